// The collection with every stand-in vendor library on the library path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StandInControl.h"
#include "TempWorkingDirectory.h"
#include "collection/ScannerCollection.h"

using namespace vela::scan;
using vela::base::smart_ptr;

TEST(VendorCollection, ListsEveryMakeFoundInTheFixedOrder) {
  TempWorkingDirectory cwd;  // no test scanner folder
  // Each control starts its library's script afresh.
  StandInControl izzix("libizzix.so"), usb("libqnusbapi.so"), crossMatch("libusb4xx.so");
  StandInControl ftr("libftrscanapi.so");
  std::vector<uint8_t> statuses(128, 1);
  statuses[2] = statuses[9] = 0;
  ftr.SetBytes("statuses", statuses);

  smart_ptr<DeviceDescriptorList> devices = Create_BioScanners()->GetDevices();
  std::vector<std::pair<int32_t, std::string>> listed;
  for (int32_t i = 0; i < devices->Count(); ++i)
    listed.emplace_back(devices->GetByIndex(i)->GetId(), devices->GetByIndex(i)->GetName());
  EXPECT_EQ(listed, (std::vector<std::pair<int32_t, std::string>>{
                        {0x70000, "IZZIX Device"},
                        {0x10000, "Tavix Device"},
                        {0x30002, "Tavix3.5 Device"},
                        {0x30009, "Tavix3.5 Device"},
                        {0x40000, "CrossMatch Device"},
                    }));
}

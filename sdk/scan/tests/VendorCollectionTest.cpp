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
  StandInControl fm("libfm200api.so"), secu("libsecubsp.so"), smz("libsmz_api.so"), ia("libiaapi.so");
  StandInControl corvid("libqncorvidapi.so");
  ia.Set("devices", 2);
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
                        {0x50000, "Tavix3 Device"},
                        {0x60000, "Nitgen Device"},
                        {0x60001, "Nitgen Device"},
                        {0x80000, "Tavix BI Ethernet Device"},
                        {0x80001, "Tavix BI Ethernet Device"},
                        {0xA0000, "Tavix Mouse 4.0"},
                        {0xB0000, "UPEK Eicon"},
                        {0xB0001, "UPEK Eicon"},
                    }));
  EXPECT_STREQ(devices->GetByIndex(6)->GetDescription(), "MFDU01-C3");

  // Every listed device opens through the collection on its make's driver.
  smart_ptr<BioScanners> scanners = Create_BioScanners();
  smart_ptr<DeviceDescriptorList> again = scanners->GetDevices();
  for (int32_t i = 0; i < again->Count(); ++i) {
    smart_ptr<DeviceDescriptor> descriptor = again->GetByIndex(i);
    smart_ptr<Scanner> device = scanners->GetDevice(descriptor);
    EXPECT_EQ(device->GetDeviceInfo()->GetDeviceType(), descriptor->GetId() >> 16) << descriptor->GetName();
    EXPECT_GT(device->AcquireImage()->GetWidth(), 0) << descriptor->GetName();
  }
  for (StandInControl* library : {&izzix, &usb, &crossMatch, &ftr, &fm, &secu, &smz, &ia, &corvid})
    EXPECT_EQ(library->OpenHandles(), 0);
}

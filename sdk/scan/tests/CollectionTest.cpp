#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "BmpBytes.h"
#include "FailureOf.h"
#include "TempWorkingDirectory.h"
#include "bindings/fakescan/FakeScanFolder.h"
#include "collection/Makes.h"
#include "collection/ScannerCollection.h"
#include "device/DeviceType.h"

using namespace vela::scan;
using vela::base::smart_ptr;

namespace {

std::vector<int32_t> Ids(DeviceDescriptorList& list) {
  std::vector<int32_t> ids;
  for (int32_t i = 0; i < list.Count(); ++i) ids.push_back(list.GetByIndex(i)->GetId());
  return ids;
}

// Stand-in makes: what each probe finds, and the id an open was asked for.
int32_t openedId = 0;
smart_ptr<Scanner> RecordOpen(int32_t id) {
  openedId = id;
  throw std::runtime_error("opened");
}
std::vector<uint16_t> FindsNothing() { return {}; }
std::vector<uint16_t> FindsThreeAndFive() { return {3, 5}; }
std::vector<uint16_t> FindsZeroAndOne() { return {0, 1}; }
std::vector<uint16_t> FailsToProbe() { throw std::runtime_error("Failed to LoadLibrary"); }

const std::array<Make, 5> standInMakes{{
    {IzzixType, "IZZIX Device", "IZZIX device", Listing::OneDevice, FindsThreeAndFive, RecordOpen},
    {TavixUsbType, "Tavix Device", "Tavix device", Listing::OneDevice, FindsNothing, RecordOpen},
    {CrossMatchType, "CrossMatch Device", "CrossMatch Verifier 300", Listing::OneDevice, FailsToProbe,
     RecordOpen},
    {NitgenType, "Nitgen Device", "MFDU01-C3", Listing::OnePerIndex, FindsZeroAndOne, RecordOpen},
    {UpekType, "UPEK Eicon", "Swipe fingerprint scanner", Listing::OnePerIndex, FindsThreeAndFive,
     nullptr},
}};

smart_ptr<DeviceDescriptor> DescriptorWithId(int32_t id) {
  return smart_ptr<DeviceDescriptor>(new Descriptor(id, "made up", "by the client"));
}

}  // namespace

TEST(ScannerCollection, ListsDevicesInMakeOrderWithTypeAndIndexInTheirIds) {
  smart_ptr<BioScanners> scanners(new ScannerCollection(standInMakes));
  smart_ptr<DeviceDescriptorList> devices = scanners->GetDevices();
  EXPECT_EQ(Ids(*devices), (std::vector<int32_t>{0x70000, 0x60000, 0x60001, 0xB0003, 0xB0005}));
  EXPECT_STREQ(devices->GetByIndex(1)->GetName(), "Nitgen Device");
  EXPECT_STREQ(devices->GetByIndex(2)->GetName(), "Nitgen Device");
  EXPECT_STREQ(devices->GetByIndex(2)->GetDescription(), "MFDU01-C3");
  EXPECT_EQ(scanners->GetDevices().get(), devices.get()) << "the list is made once";
}

TEST(ScannerCollection, GetDevicePassesTheWholeIdToItsMake) {
  smart_ptr<BioScanners> scanners(new ScannerCollection(standInMakes));
  EXPECT_EQ(FailureOf([&] { scanners->GetDevice(DescriptorWithId(0x60001)); }), "opened");
  EXPECT_EQ(openedId, 0x60001);
  EXPECT_EQ(FailureOf([&] { scanners->GetDevice(DescriptorWithId(0xB0003)); }), "Failed to LoadLibrary")
      << "a make whose binding is absent fails like a missing library";
}

TEST(ScannerCollection, UnknownTypesAreRejected) {
  smart_ptr<BioScanners> scanners = Create_BioScanners();
  for (int32_t id : {0x90000, 0x00000, 0xC0000, 0xFF0001}) {
    EXPECT_EQ(FailureOf([&] { scanners->GetDevice(DescriptorWithId(id)); }),
              "BioScanners::GetDevice wrong type")
        << std::hex << id;
  }
  EXPECT_THROW(scanners->GetDevice(smart_ptr<DeviceDescriptor>()), vela::base::exceptions::invalid_argument);
}

TEST(ScannerCollection, MakesAreProbedInTheirFixedOrder) {
  std::vector<int32_t> types;
  std::vector<std::string> names;
  for (const Make& make : SupportedMakes()) {
    types.push_back(make.type);
    names.push_back(make.name);
  }
  EXPECT_EQ(types, (std::vector<int32_t>{7, 1, 2, 3, 4, 5, 6, 8, 10, 11}));
  EXPECT_EQ(names, (std::vector<std::string>{"IZZIX Device", "Tavix Device", "FakeScan Device",
                                             "Tavix3.5 Device", "CrossMatch Device", "Tavix3 Device",
                                             "Nitgen Device", "Tavix BI Ethernet Device",
                                             "Tavix Mouse 4.0", "UPEK Eicon"}));
}

TEST(ScannerCollection, WithoutDevicesTheListIsEmptyAndIndexingFails) {
  TempWorkingDirectory cwd;  // no test scanner folder here
  smart_ptr<DeviceDescriptorList> devices = Create_BioScanners()->GetDevices();
  EXPECT_EQ(devices->Count(), 0);
  for (int32_t index : {0, -1}) {
    try {
      devices->GetByIndex(index);
      ADD_FAILURE() << "no exception for index " << index;
    } catch (const vela::base::exceptions::out_of_range& e) {
      EXPECT_STREQ(e.what(), "Out of range");
    }
  }
}

TEST(ScannerCollection, ListsTheTestScannerWhenItsFolderHoldsABitmap) {
  TempWorkingDirectory cwd;
  std::filesystem::create_directory(fakeScanFolder);
  BmpBytes bmp;
  bmp.fileRows = {0, 0, 0, 0};
  bmp.WriteTo(std::filesystem::path(fakeScanFolder) / "only.bmp");
  bmp.WriteTo(std::filesystem::path(fakeScanFolder) / "second.bmp");

  smart_ptr<BioScanners> scanners = Create_BioScanners();
  smart_ptr<DeviceDescriptorList> devices = scanners->GetDevices();
  ASSERT_EQ(Ids(*devices), std::vector<int32_t>{0x20000});
  smart_ptr<Scanner> device = scanners->GetDevice(devices->GetByIndex(0));
  EXPECT_EQ(device->GetDeviceInfo()->GetDeviceType(), FakeScanType);
}

TEST(ScannerCollection, WithoutVendorLibrariesVendorDevicesFailToOpenWithTheirTexts) {
  smart_ptr<BioScanners> scanners = Create_BioScanners();
  struct Case {
    int32_t id;
    const char* failure;
  } cases[] = {{0x70000, "Failed to LoadLibrary"},
               {0x10000, "Failed to LoadLibrary"},
               {0x60001, "Failed to LoadLibrary"},
               {0xB0000, "Failed to LoadLibrary"},
               // Twice: a library that failed to load leaves the shared count as it was.
               {0x80000, "Failed to load library QnCorvidApi.dll"},
               {0x80000, "Failed to load library QnCorvidApi.dll"}};
  for (const Case& c : cases)
    EXPECT_EQ(FailureOf([&] { scanners->GetDevice(DescriptorWithId(c.id)); }), c.failure) << std::hex << c.id;
}

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "BmpBytes.h"
#include "TempWorkingDirectory.h"
#include "vela/concurrency.h"
#include "vela/scan.h"

using vela::base::smart_ptr;
using namespace vela::scan;

TEST(ScanClient, ReplaysTheTestScannerThroughTheSharedLibrary) {
  TempWorkingDirectory cwd;
  std::filesystem::create_directory("fakescan_images");
  BmpBytes bmp;
  bmp.width = 2;
  bmp.height = 1;
  bmp.fileRows = {17, 34, 0, 0};
  bmp.WriteTo("fakescan_images/one.bmp");

  smart_ptr<BioScanners> scanners = Create_BioScanners();
  smart_ptr<DeviceDescriptorList> devices = scanners->GetDevices();
  ASSERT_EQ(devices->Count(), 1);
  smart_ptr<Scanner> device = scanners->GetDevice(devices->GetByIndex(0));
  smart_ptr<vela::base::Image> image = device->AcquireImage();
  ASSERT_EQ(image->GetWidth(), 2);
  EXPECT_EQ(image->GetData()[0], 17);
  EXPECT_EQ(image->GetData()[1], 34);
  EXPECT_EQ(device->GetDeviceInfo()->GetDeviceType(), 2);

  try {
    device->GetGain();
    FAIL() << "GetGain did not fail";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "GetGain");
  }
  EXPECT_THROW(devices->GetByIndex(1), vela::base::exceptions::out_of_range);
}

TEST(ScanClient, FactoryAndConcurrencyExceptionsAreExported) {
  void* library = dlopen(VELA50_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(library, nullptr);
  EXPECT_NE(dlsym(library, "_ZN4vela4scan18Create_BioScannersEv"), nullptr);
  EXPECT_NE(dlsym(library, "_ZTIN11concurrency10exceptions6failedE"), nullptr);
  EXPECT_NE(dlsym(library, "_ZTIN11concurrency10exceptions7timeoutE"), nullptr);
  EXPECT_NE(dlsym(library, "_ZTIN4vela4scan7ScannerE"), nullptr);
  EXPECT_EQ(dlsym(library, "_ZTIN4vela4scan12CaptureImageE"), nullptr) << "internal classes stay hidden";
  dlclose(library);

  try {
    throw concurrency::exceptions::timeout();
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "concurrency::timeout");
  }
}

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "FailureOf.h"
#include "bindings/DynamicLibrary.h"

using vela::scan::DynamicLibrary;
using vela::scan::VendorLibraryFile;

TEST(VendorLibraryFile, MapsWindowsNamesIgnoringCaseAndRejectsOthers) {
  EXPECT_EQ(VendorLibraryFile("IZZIX.dll"), "libizzix.so");
  EXPECT_EQ(VendorLibraryFile("fm200api.dll"), "libfm200api.so");
  EXPECT_EQ(VendorLibraryFile("QnCorvidApi.DLL"), "libqncorvidapi.so");
  EXPECT_EQ(FailureOf<std::runtime_error>([] { VendorLibraryFile("kernel32.dll"); }), "Failed to LoadLibrary");
  EXPECT_EQ(FailureOf<std::runtime_error>([] { VendorLibraryFile("IZZIX.dll.evil"); }), "Failed to LoadLibrary");
}

TEST(VendorEntryName, DecoratedWindowsNamesMapToPlainOnes) {
  EXPECT_STREQ(vela::scan::VendorEntryName("_QNUSBOpenEx@8"), "QNUSBOpenEx");
  EXPECT_STREQ(vela::scan::VendorEntryName("DFP_Open"), "DFP_Open");
  EXPECT_EQ(vela::scan::VendorEntryName(nullptr), nullptr);
}

TEST(DynamicLibrary, FindsEntryPointsAndUnloadsOnDestruction) {
  std::optional<DynamicLibrary> library;
  library.emplace(STUB_VENDOR_LIBRARY);
  auto addOne = library->GetProc<int (*)(int)>("stub_add_one");
  EXPECT_EQ(addOne(41), 42);
  EXPECT_EQ(FailureOf<std::runtime_error>([&] { library->GetProc("no_such_entry"); }), "Failed to GetProcAddress");
  library.reset();
  EXPECT_EQ(dlopen(STUB_VENDOR_LIBRARY, RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST(DynamicLibrary, MissingFileFailsToLoad) {
  EXPECT_EQ(FailureOf<std::runtime_error>([] { DynamicLibrary library("libvela_no_such_vendor.so"); }), "Failed to LoadLibrary");
}

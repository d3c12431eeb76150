// The sizes the makes' libraries report, held to 4096 a side before the binding sizes any
// buffer from them: each make refuses a side past it (or below 1) with its own failure text,
// where it used to allocate what the library claimed, or fail in the image's constructor on a
// size whose three bytes a pixel no 32-bit row arithmetic holds.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "BindingTestSupport.h"
#include "FailureOf.h"
#include "StandInControl.h"
#include "bindings/CaptureTarget.h"
#include "bindings/nitgen/NitgenDevice.h"
#include "bindings/tavix35/Tavix35Device.h"
#include "bindings/tavixmouse/TavixMouseDevice.h"
#include "bindings/tavixusb/TavixUsbDevice.h"
#include "bindings/upek/UpekDevice.h"

using namespace vela::scan;
using vela::base::smart_ptr;

namespace {

// One make: its stand-in, the script keys of the image's width and height, the text it
// refuses a size with, and a capture: open, make the image, fill it.
struct Make {
  const char* name;
  const char* library;
  const char* widthKey;
  const char* heightKey;
  const char* failure;
  std::function<smart_ptr<CaptureImage>()> capture;
};

template <class Device>
smart_ptr<CaptureImage> OpenAndCapture() {
  Device device(0);
  smart_ptr<CaptureImage> image = device.NewImage();
  device.Capture();
  return image;
}

const Make makes[] = {
    // The raw image lies on its side: its rows are the image's width.
    {"Tavix USB", "libqnusbapi.so", "rows", "columns", "_pIQnusb->GetImage", OpenAndCapture<TavixUsbDevice>},
    {"Tavix3.5", "libftrscanapi.so", "width", "height", "Failed to call ftrScanGetImageSize",
     OpenAndCapture<Tavix35Device>},
    {"Nitgen", "libsecubsp.so", "width", "height", "Nitgen:: Failed to GetDeviceInfo", OpenAndCapture<NitgenDevice>},
    {"Tavix Mouse", "libsmz_api.so", "width", "height", "Failed to create Tavix Mouse 4.0 interface",
     OpenAndCapture<TavixMouseDevice>},
    {"UPEK", "libiaapi.so", "width", "height", "TFM has returned wrong or unexpected response!",
     OpenAndCapture<UpekDevice>},
};

}  // namespace

TEST(ReportedSizes, EveryMakeRefusesASidePastTheLargestWithItsOwnFailure) {
  struct Size {
    const char* what;
    int64_t width;
    int64_t height;
  } refused[] = {
      {"one column past", kLargestSide + 1, 1},
      {"one row past", 1, kLargestSide + 1},
      {"no columns", 0, 5},
      {"no rows", 5, 0},
      {"negative", -3, 2},
      // Three bytes a pixel of these pass 32 bits, a row's or the whole image's.
      {"24-bit row past 32 bits", 715827883, 1},
      {"24-bit image past 32 bits", 30000, 30000},
  };
  for (const Make& make : makes) {
    StandInControl standIn(make.library);
    for (const Size& size : refused) {
      standIn.Reset();
      standIn.Set(make.widthKey, size.width);
      standIn.Set(make.heightKey, size.height);
      EXPECT_EQ(FailureOf([&] { make.capture(); }), make.failure) << make.name << ", " << size.what;
      EXPECT_EQ(standIn.OpenHandles(), 0) << make.name << ", " << size.what;
    }
  }
}

TEST(ReportedSizes, EveryMakeTakesTheLargestSide) {
  struct Size {
    int64_t width;
    int64_t height;
  } taken[] = {{kLargestSide, 1}, {1, kLargestSide}, {kLargestSide, 3}};
  for (const Make& make : makes) {
    StandInControl standIn(make.library);
    for (const Size& size : taken) {
      standIn.Reset();
      standIn.Set(make.widthKey, size.width);
      standIn.Set(make.heightKey, size.height);
      smart_ptr<CaptureImage> image;
      EXPECT_EQ(FailureOf([&] { image = make.capture(); }), "(no exception)") << make.name << " " << size.width;
      if (!image) continue;
      EXPECT_EQ(image->GetWidth(), size.width) << make.name;
      EXPECT_EQ(image->GetHeight(), size.height) << make.name;
      EXPECT_EQ(Rows(*image).size(), size_t(size.width * size.height)) << make.name;
    }
  }
}

TEST(ReportedSizes, AByteCountPastALargestImageIsRefusedBeforeABufferIsSizedFromIt) {
  const int64_t pastLargest = kLargestSide * kLargestSide + 1;
  {
    StandInControl usb("libqnusbapi.so");
    TavixUsbDevice device(0);
    device.NewImage();
    usb.Set("byteCount", pastLargest);
    EXPECT_EQ(FailureOf([&] { device.Capture(); }), "_pIQnusb->GetImage");
    EXPECT_EQ(usb.TakeCalls(), "QNUSBOpenEx(0) GetImageFormat GetImageFormat") << "the library is not asked to fill it";
  }
  {
    StandInControl ftr("libftrscanapi.so");
    Tavix35Device device(0);
    device.NewImage();
    ftr.Set("byteCount", pastLargest);
    EXPECT_EQ(FailureOf([&] { device.Capture(); }), "Failed to call ftrScanGetImageSize");
    ftr.Set("byteCount", 8 + 100);
    EXPECT_EQ(FailureOf([&] { device.Capture(); }), "(no exception)") << "more than the image, within the largest";
  }
}

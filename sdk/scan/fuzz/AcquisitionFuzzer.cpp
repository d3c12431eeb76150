// Every make's AcquireImage against its stand-in vendor library, scripted from arbitrary bytes:
//   [0]     the make;
//   [1..2]  the width the library reports, [3..4] the height (little-endian; up to a little past
//           4096, or from 0xF000 on one of the hostile sizes below);
//   [5..6]  how far the byte count it reports lies from width x height (signed);
//   [7]     which of its calls fail (one bit a call), and whether it reports a received length;
//   [8..]   its pixels, repeated to any length (the network reply itself for that make).
// An image handed out has sides of 1..4096; a capture that failed leaves its image blank; one
// that succeeded shows the library's pixels, in the make's order, at its corners. The
// sanitizers watch every copy the bindings make from what the library delivered.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iterator>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "StandInControl.h"
#include "bindings/CaptureTarget.h"
#include "bindings/crossmatch/CrossMatchDevice.h"
#include "bindings/izzix/IzzixDevice.h"
#include "bindings/network/NetworkScanner.h"
#include "bindings/nitgen/NitgenDevice.h"
#include "bindings/tavix3/Tavix3Device.h"
#include "bindings/tavix35/Tavix35Device.h"
#include "bindings/tavixmouse/TavixMouseDevice.h"
#include "bindings/tavixusb/TavixUsbDevice.h"
#include "bindings/upek/UpekDevice.h"
#include "device/DeviceType.h"
#include "device/ScannerDriver.h"

using namespace vela::scan;
using vela::base::smart_ptr;

namespace {

struct Script {
  int64_t width;
  int64_t height;
  int64_t byteCount;
  uint8_t failures;
  std::vector<uint8_t> pixels;

  bool Fails(int call) const { return failures >> call & 1; }
  // The library's byte i of a capture.
  uint8_t Pixel(int64_t i) const { return pixels[size_t(i) % pixels.size()]; }
};

// Sizes whose products or three bytes a pixel pass 32 bits, and sides no image has.
int64_t Side(uint16_t value) {
  static constexpr int64_t hostile[] = {-1, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(),
                                        715827883, 46341, 65535, 0, kLargestSide + 1};
  if (value < 0xF000) return value % (kLargestSide + 8);
  return hostile[value % std::size(hostile)];
}

// One make: its stand-in's file, how the script reaches it, and its driver.
// One make: its stand-in's file, how the script reaches it, its driver, and the pixel at
// (x, y) of a w x h image captured from what the stand-in delivered.
struct Make {
  const char* library;
  void (*script)(StandInControl& standIn, const Script& s);
  smart_ptr<Scanner> (*open)();
  uint8_t (*pixel)(const Script& s, int64_t x, int64_t y, int64_t w, int64_t h);
};

template <class Binding, DeviceType type>
smart_ptr<Scanner> OpenDriver() {
  return CreateScannerDriver<Binding>(DeviceId(type, 0));
}

smart_ptr<Scanner> OpenNetwork() {
  EnumerateNetwork();
  return CreateNetworkScanner(DeviceId(NetworkType, 0));
}

void SetSize(StandInControl& standIn, const Script& s, const char* widthKey, const char* heightKey) {
  standIn.Set(widthKey, s.width);
  standIn.Set(heightKey, s.height);
  standIn.Set("byteCount", s.byteCount);
}

const Make makes[] = {
    {"libizzix.so",
     [](StandInControl& standIn, const Script& s) {
       if (s.Fails(0)) standIn.Set("DFP_Capture", 0);
     },
     OpenDriver<IzzixDevice, IzzixType>,
     // The correction reads the raw bytes backwards.
     [](const Script& s, int64_t x, int64_t y, int64_t w, int64_t) { return s.Pixel(izzix::rawBytes - 1 - (y * w + x)); }},
    {"libqnusbapi.so",
     [](StandInControl& standIn, const Script& s) {
       SetSize(standIn, s, "rows", "columns");
       if (s.Fails(0)) standIn.Set("GetImage", 1);
     },
     OpenDriver<TavixUsbDevice, TavixUsbType>,
     // Raw row i (of h columns) is image column w - 1 - i, inverted.
     [](const Script& s, int64_t x, int64_t y, int64_t w, int64_t h) {
       return uint8_t(255 - s.Pixel((w - 1 - x) * h + y));
     }},
    {"libftrscanapi.so",
     [](StandInControl& standIn, const Script& s) {
       SetSize(standIn, s, "width", "height");
       if (s.Fails(0)) standIn.Set("ftrScanGetImage", 0);
       if (s.Fails(1)) standIn.Set("ftrScanGetImageSize", 0);
       standIn.Set("flags", s.failures >> 2 & 1);
     },
     OpenDriver<Tavix35Device, Tavix35Type>,
     [](const Script& s, int64_t x, int64_t y, int64_t w, int64_t) { return uint8_t(255 - s.Pixel(y * w + x)); }},
    {"libusb4xx.so",
     [](StandInControl& standIn, const Script& s) {
       if (s.Fails(0)) standIn.Set("USB_GetCroppedStillImage", 3);
     },
     OpenDriver<CrossMatchDevice, CrossMatchType>,
     [](const Script& s, int64_t x, int64_t y, int64_t w, int64_t) { return s.Pixel(y * w + x); }},
    {"libfm200api.so",
     [](StandInControl& standIn, const Script& s) {
       if (s.Fails(0)) standIn.Set("FP_Snap", -1);
       if (s.Fails(1)) standIn.Set("FP_GetImage", 2);
     },
     OpenDriver<Tavix3Device, Tavix3Type>,
     // Painted bottom-up.
     [](const Script& s, int64_t x, int64_t y, int64_t w, int64_t h) { return s.Pixel((h - 1 - y) * w + x); }},
    {"libsecubsp.so",
     [](StandInControl& standIn, const Script& s) {
       SetSize(standIn, s, "width", "height");
       if (s.Fails(0)) standIn.Set("noCallback", 1);
       if (s.Fails(1)) standIn.Set("SecuAPI_GetDeviceInfo", 9);
     },
     OpenDriver<NitgenDevice, NitgenType>,
     // A capture without a callback leaves the image blank.
     [](const Script& s, int64_t x, int64_t y, int64_t w, int64_t) {
       return s.Fails(0) ? uint8_t(0) : s.Pixel(y * w + x);
     }},
    {"libsmz_api.so",
     [](StandInControl& standIn, const Script& s) {
       SetSize(standIn, s, "width", "height");
       if (s.Fails(0)) standIn.Set("SMZ_GetImage", 1);
       if (s.Fails(1)) standIn.Set("SMZ_InitCapture", 1);
       if (s.Fails(2)) standIn.Set("SMZ_EndCapture", 1);
     },
     OpenDriver<TavixMouseDevice, TavixMouseType>,
     // Delivered bottom-up.
     [](const Script& s, int64_t x, int64_t y, int64_t w, int64_t h) { return s.Pixel((h - 1 - y) * w + x); }},
    {"libiaapi.so",
     [](StandInControl& standIn, const Script& s) {
       // The library's information block holds each side in 16 bits.
       standIn.Set("width", s.width);
       standIn.Set("height", s.height);
       standIn.Set("grabBytes", s.byteCount);
       if (s.Fails(0)) standIn.Set("IAGrab", -1062);
       if (s.Fails(1)) standIn.Set("IAGrab", -1041);
     },
     OpenDriver<UpekDevice, UpekType>,
     // The rows the grab holds whole; a failed grab holds none.
     [](const Script& s, int64_t x, int64_t y, int64_t w, int64_t) {
       const bool grabbed = !s.Fails(0) && !s.Fails(1) && y < std::max<int64_t>(s.byteCount, 0) / w;
       return grabbed ? s.Pixel(y * w + x) : uint8_t(0);
     }},
    {"libqncorvidapi.so",
     [](StandInControl& standIn, const Script& s) {
       standIn.Set("count", 1);
       standIn.Set("width", s.width);
       standIn.Set("height", s.height);
       standIn.SetBytes("reply", s.pixels);
       if (s.Fails(0)) standIn.Set("GetImage", 1);
       if (s.Fails(1)) standIn.Set("GetImage", corvid::getImageTimedOut);
       if (s.Fails(7)) standIn.Set("received", int64_t(s.pixels.size()) + (s.byteCount - s.width * s.height));
     },
     OpenNetwork,
     // The reply's rows, stored bottom-up from its pixel offset.
     [](const Script& s, int64_t x, int64_t y, int64_t w, int64_t h) {
       uint32_t offset = 0;
       std::memcpy(&offset, s.pixels.data() + 10, sizeof offset);
       return s.Pixel(offset + (h - 1 - y) * w + x);
     }},
};

bool Blank(const vela::base::Image& image) {
  const uint8_t* data = image.GetData();
  const size_t bytes = size_t(image.GetHeight()) * size_t(image.GetRowBytes());
  for (size_t i = 0; i < bytes; ++i)
    if (data[i] != 0) return false;
  return true;
}

// The stand-ins stay loaded for the whole run: their scripts outlive each device's library.
StandInControl& StandInOf(size_t make) {
  static std::unique_ptr<StandInControl> loaded[std::size(makes)];
  if (!loaded[make]) loaded[make] = std::make_unique<StandInControl>(makes[make].library);
  return *loaded[make];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  const size_t which = data[0] % std::size(makes);
  Script s;
  s.width = Side(uint16_t(data[1] | data[2] << 8));
  s.height = Side(uint16_t(data[3] | data[4] << 8));
  const int16_t byteDelta = int16_t(data[5] | data[6] << 8);
  // Only sizes with a product in reach give a count near it; the others report their own.
  const bool inReach = s.width >= 0 && s.height >= 0 && s.width <= 65535 && s.height <= 65535;
  s.byteCount = inReach ? s.width * s.height + byteDelta : byteDelta;
  s.byteCount = std::clamp<int64_t>(s.byteCount, std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max());
  s.failures = data[7];
  s.pixels.assign(data + 8, data + size);
  if (s.pixels.empty()) s.pixels = {0x5A};

  StandInControl& standIn = StandInOf(which);
  standIn.Reset();
  standIn.SetBytes("pixels", s.pixels);
  makes[which].script(standIn, s);

  smart_ptr<Scanner> device;
  try {
    device = makes[which].open();
  } catch (const std::exception&) {
    return 0;  // refused at open, with the make's text
  }
  smart_ptr<vela::base::Image> image;
  try {
    image = device->AcquireImage();
  } catch (const std::exception&) {
    return 0;
  }
  if (image->GetWidth() < 1 || image->GetWidth() > kLargestSide || image->GetHeight() < 1 ||
      image->GetHeight() > kLargestSide)
    std::abort();
  if (image->GetRowBytes() < image->GetWidth()) std::abort();
  // The locally attached makes fill the image after handing it out, and a capture that failed
  // fails the device's next acquisition instead; the network scanner throws at once.
  bool captureFailed = false;
  try {
    const vela::base::Image& filled = *image;
    (void)filled.GetData();
    device->AcquireImage();
  } catch (const std::exception&) {
    captureFailed = true;
  }
  if (captureFailed) {
    if (!Blank(*image)) std::abort();
    return 0;
  }
  // The corners tell rows that came in the wrong order, or columns from the wrong place.
  const int64_t w = image->GetWidth(), h = image->GetHeight();
  const uint8_t* pixels = image->GetData();
  for (const auto& [x, y] : {std::pair{int64_t{0}, int64_t{0}}, {w - 1, int64_t{0}}, {int64_t{0}, h - 1}, {w - 1, h - 1}})
    if (pixels[y * image->GetRowBytes() + x] != makes[which].pixel(s, x, y, w, h)) std::abort();
  return 0;
}

// Stand-in for the Tavix Mouse library. Script: "SMZ_InitDriver" (the
// driver; 0 fails), "SMZ_GetImageSize", "SMZ_InitCapture", "SMZ_EndCapture",
// "SMZ_GetImage" (0 = success), "width", "height". Image byte i is i.
#include <string>
#include <type_traits>

#include "StandIn.h"
#include "bindings/tavixmouse/TavixMouseAbi.h"

using namespace vela::scan::tavixmouse;
using standin::Log;
using standin::Value;

STANDIN_EXPORT Driver SMZ_InitDriver(int32_t mode) {
  Log("SMZ_InitDriver(" + std::to_string(mode) + ")");
  const Driver driver = Driver(Value("SMZ_InitDriver", 5));
  if (driver) standin::Opened();
  return driver;
}

STANDIN_EXPORT int32_t SMZ_TerminateDriver(Driver driver) {
  Log("SMZ_TerminateDriver(" + std::to_string(driver) + ")");
  standin::Closed();
  return 0;
}

STANDIN_EXPORT int32_t SMZ_Snap(Driver) {
  Log("SMZ_Snap");
  return 0;
}

STANDIN_EXPORT int32_t SMZ_Capture(Driver, int32_t* state) {
  Log("SMZ_Capture(" + std::to_string(*state) + ")");
  return 0;
}

STANDIN_EXPORT int32_t SMZ_InitCapture(Driver) {
  Log("SMZ_InitCapture");
  return int32_t(Value("SMZ_InitCapture", 0));
}

STANDIN_EXPORT int32_t SMZ_EndCapture(Driver) {
  Log("SMZ_EndCapture");
  return int32_t(Value("SMZ_EndCapture", 0));
}

STANDIN_EXPORT int32_t SMZ_GetImageSize(Driver, int32_t mode, int32_t* width, int32_t* height, int32_t* third) {
  Log("SMZ_GetImageSize(" + std::to_string(mode) + ")");
  *width = int32_t(Value("width", 3));
  *height = int32_t(Value("height", 2));
  *third = 0;
  return int32_t(Value("SMZ_GetImageSize", 0));
}

STANDIN_EXPORT int32_t SMZ_GetImage(Driver, int32_t mode, int32_t, uint8_t* buffer) {
  Log("SMZ_GetImage(" + std::to_string(mode) + ")");
  const int64_t size = Value("width", 3) * Value("height", 2);
  const standin::Pixels pixels;
  for (int64_t i = 0; i < size; ++i) buffer[i] = pixels.At(size_t(i), uint8_t(i));
  return int32_t(Value("SMZ_GetImage", 0));
}

STANDIN_MATCHES(SMZ_InitDriver, InitDriver_t);
STANDIN_MATCHES(SMZ_TerminateDriver, TerminateDriver_t);
STANDIN_MATCHES(SMZ_Snap, Snap_t);
STANDIN_MATCHES(SMZ_Capture, Capture_t);
STANDIN_MATCHES(SMZ_InitCapture, InitCapture_t);
STANDIN_MATCHES(SMZ_EndCapture, EndCapture_t);
STANDIN_MATCHES(SMZ_GetImageSize, GetImageSize_t);
STANDIN_MATCHES(SMZ_GetImage, GetImage_t);

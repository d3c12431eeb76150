// Stand-in for the IZZIX library. Script: "DFP_Open" (the handle, 0 by
// default; -1 fails), "DFP_Capture" (1 = success). The raw capture holds
// i % 251 at byte i; the corrected image is the raw bytes read backwards.
#include <string>
#include <type_traits>

#include "StandIn.h"
#include "bindings/izzix/IzzixAbi.h"

using namespace vela::scan::izzix;
using standin::Log;
using standin::Value;

STANDIN_EXPORT Handle DFP_Open(int32_t port) {
  Log("DFP_Open(" + std::to_string(port) + ")");
  const Handle handle = Handle(Value("DFP_Open", 0));
  if (handle != failedHandle) standin::Opened();
  return handle;
}

STANDIN_EXPORT int32_t DFP_Close(Handle handle) {
  Log("DFP_Close(" + std::to_string(handle) + ")");
  standin::Closed();
  return 0;
}

STANDIN_EXPORT int32_t DFP_Capture(Handle handle, int32_t timeout, uint8_t* raw) {
  Log("DFP_Capture(" + std::to_string(handle) + "," + std::to_string(timeout) + ")");
  const standin::Pixels pixels;
  for (int32_t i = 0; i < rawBytes; ++i) raw[i] = pixels.At(size_t(i), uint8_t(i % 251));
  return int32_t(Value("DFP_Capture", captureSucceeded));
}

STANDIN_EXPORT int32_t DFP_CorrectImage(const uint8_t* raw, uint8_t* image) {
  Log("DFP_CorrectImage");
  for (int32_t i = 0; i < imageBytes; ++i) image[i] = raw[rawBytes - 1 - i];
  return 0;
}

STANDIN_MATCHES(DFP_Open, DFP_Open_t);
STANDIN_MATCHES(DFP_Close, DFP_Close_t);
STANDIN_MATCHES(DFP_Capture, DFP_Capture_t);
STANDIN_MATCHES(DFP_CorrectImage, DFP_CorrectImage_t);

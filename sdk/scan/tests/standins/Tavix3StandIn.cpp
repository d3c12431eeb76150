// Stand-in for the Tavix3 capture driver library. Script:
// "FP_ConnectCaptureDriver", "FP_CreateCaptureHandle", "FP_CreateImageHandle"
// (the handles; 0 fails), "FP_Snap" (-1 fails), "FP_GetImage" (0 = success).
// The painted bitmap's stored row n holds the value n.
#include <string>
#include <type_traits>

#include "StandIn.h"
#include "bindings/tavix3/Tavix3Abi.h"

using namespace vela::scan::tavix3;
using standin::Log;
using standin::Value;

namespace {
intptr_t Create(const std::string& call, const char* key, int64_t fallback) {
  Log(call);
  const intptr_t handle = intptr_t(Value(key, fallback));
  if (handle) standin::Opened();
  return handle;
}
int32_t Destroy(const std::string& call) {
  Log(call);
  standin::Closed();
  return 0;
}
}  // namespace

STANDIN_EXPORT Connection FP_ConnectCaptureDriver(int32_t port) {
  return Create("FP_ConnectCaptureDriver(" + std::to_string(port) + ")", "FP_ConnectCaptureDriver", 11);
}
STANDIN_EXPORT int32_t FP_DisconnectCaptureDriver(Connection connection) {
  return Destroy("FP_DisconnectCaptureDriver(" + std::to_string(connection) + ")");
}
STANDIN_EXPORT ObjectHandle FP_CreateCaptureHandle(Connection connection) {
  return Create("FP_CreateCaptureHandle(" + std::to_string(connection) + ")", "FP_CreateCaptureHandle", 21);
}
STANDIN_EXPORT int32_t FP_DestroyCaptureHandle(Connection, ObjectHandle capture) {
  return Destroy("FP_DestroyCaptureHandle(" + std::to_string(capture) + ")");
}
STANDIN_EXPORT ObjectHandle FP_CreateImageHandle(Connection, int32_t bitsPerPixel, int32_t count) {
  return Create("FP_CreateImageHandle(" + std::to_string(bitsPerPixel) + "," + std::to_string(count) + ")",
                "FP_CreateImageHandle", 31);
}
STANDIN_EXPORT int32_t FP_DestroyImageHandle(Connection, ObjectHandle image) {
  return Destroy("FP_DestroyImageHandle(" + std::to_string(image) + ")");
}
STANDIN_EXPORT int32_t FP_Snap(Connection) {
  Log("FP_Snap");
  return int32_t(Value("FP_Snap", 0));
}
STANDIN_EXPORT int32_t FP_Capture(Connection, ObjectHandle) {
  Log("FP_Capture");
  return 0;
}
STANDIN_EXPORT int32_t FP_GetImage(Connection, ObjectHandle image) {
  Log("FP_GetImage(" + std::to_string(image) + ")");
  return int32_t(Value("FP_GetImage", 0));
}
STANDIN_EXPORT int32_t FP_DisplayImage(Connection, Surface* surface, ObjectHandle, int32_t x, int32_t y,
                                       int32_t width, int32_t height) {
  Log("FP_DisplayImage(" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(width) + "," +
      std::to_string(height) + ")");
  const standin::Pixels pixels;
  for (int32_t n = 0; n < surface->height; ++n)
    for (int32_t i = 0; i < surface->width; ++i)
      surface->bits[n * surface->rowBytes + i] = pixels.At(size_t(n * surface->width + i), uint8_t(n));
  return 0;
}

STANDIN_MATCHES(FP_ConnectCaptureDriver, ConnectCaptureDriver_t);
STANDIN_MATCHES(FP_DisconnectCaptureDriver, DisconnectCaptureDriver_t);
STANDIN_MATCHES(FP_CreateCaptureHandle, CreateCaptureHandle_t);
STANDIN_MATCHES(FP_DestroyCaptureHandle, DestroyCaptureHandle_t);
STANDIN_MATCHES(FP_CreateImageHandle, CreateImageHandle_t);
STANDIN_MATCHES(FP_DestroyImageHandle, DestroyImageHandle_t);
STANDIN_MATCHES(FP_Snap, Snap_t);
STANDIN_MATCHES(FP_Capture, Capture_t);
STANDIN_MATCHES(FP_GetImage, GetImage_t);
STANDIN_MATCHES(FP_DisplayImage, DisplayImage_t);

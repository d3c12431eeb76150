#pragma once
// The Tavix3 capture driver library; shared by the binding and the tests'
// stand-in library. The library paints a captured image into a drawing
// surface it is given: here an 8-bit, bottom-up bitmap of ours.

#include <cstdint>

namespace vela::scan::tavix3 {

inline constexpr const char* libraryName = "FM200API.DLL";
inline constexpr int32_t side = 256;  // the bitmap and the image are side x side
inline constexpr int32_t snapFailed = -1;

using Connection = intptr_t;  // 0: none
using ObjectHandle = intptr_t;  // capture and image handles; 0: none

// side x side pixels, one byte each, rows stored bottom-up.
struct Surface {
  uint8_t* bits;
  int32_t width;
  int32_t height;
  int32_t rowBytes;
};

using ConnectCaptureDriver_t = Connection (*)(int32_t port);
using DisconnectCaptureDriver_t = int32_t (*)(Connection connection);
using Snap_t = int32_t (*)(Connection connection);
using CreateImageHandle_t = ObjectHandle (*)(Connection connection, int32_t bitsPerPixel, int32_t count);
using DestroyImageHandle_t = int32_t (*)(Connection connection, ObjectHandle image);
using CreateCaptureHandle_t = ObjectHandle (*)(Connection connection);
using DestroyCaptureHandle_t = int32_t (*)(Connection connection, ObjectHandle capture);
using Capture_t = int32_t (*)(Connection connection, ObjectHandle capture);
using GetImage_t = int32_t (*)(Connection connection, ObjectHandle image);  // 0 = success
using DisplayImage_t = int32_t (*)(Connection connection, Surface* surface, ObjectHandle image, int32_t x,
                                   int32_t y, int32_t width, int32_t height);

}  // namespace vela::scan::tavix3

#pragma once
// The IZZIX library's entry points as this system calls them; shared by the
// binding and the tests' stand-in library. Handles are pointer-sized.

#include <cstdint>

namespace vela::scan::izzix {

inline constexpr const char* libraryName = "IZZIX.dll";

using Handle = intptr_t;
inline constexpr Handle failedHandle = -1;

inline constexpr int32_t width = 280;
inline constexpr int32_t height = 320;
inline constexpr int32_t rawBytes = 120800;
inline constexpr int32_t imageBytes = width * height;  // 89600
inline constexpr int32_t captureTimeout = 50;
inline constexpr int32_t captureSucceeded = 1;

using DFP_Open_t = Handle (*)(int32_t port);
using DFP_Close_t = int32_t (*)(Handle handle);
// Fills rawBytes bytes; captureSucceeded on success.
using DFP_Capture_t = int32_t (*)(Handle handle, int32_t timeout, uint8_t* raw);
// Turns the raw capture into imageBytes bytes of image, rows top-down.
using DFP_CorrectImage_t = int32_t (*)(const uint8_t* raw, uint8_t* image);

}  // namespace vela::scan::izzix

#pragma once
// The Tavix Mouse library's entry points; shared by the binding and the
// tests' stand-in library.

#include <cstdint>

namespace vela::scan::tavixmouse {

inline constexpr const char* libraryName = "smz_api.dll";
inline constexpr int32_t imageMode = 4;

using Driver = intptr_t;  // 0: none

using InitDriver_t = Driver (*)(int32_t mode);
using TerminateDriver_t = int32_t (*)(Driver driver);
using Snap_t = int32_t (*)(Driver driver);
using Capture_t = int32_t (*)(Driver driver, int32_t* state);
// The three below answer 0 on success.
using InitCapture_t = int32_t (*)(Driver driver);
using EndCapture_t = int32_t (*)(Driver driver);
using GetImageSize_t = int32_t (*)(Driver driver, int32_t mode, int32_t* width, int32_t* height, int32_t* third);
// width x height bytes, rows bottom-up; 0 on success.
using GetImage_t = int32_t (*)(Driver driver, int32_t mode, int32_t, uint8_t* buffer);

}  // namespace vela::scan::tavixmouse

#pragma once
// The CrossMatch scanner library's entry points; shared by the binding and
// the tests' stand-in library.

#include <cstdint>

namespace vela::scan::crossmatch {

inline constexpr const char* libraryName = "Usb4xx.dll";
inline constexpr int32_t width = 440;
inline constexpr int32_t height = 480;
inline constexpr int32_t blockHeader = 1064;  // bytes ahead of the pixels in a still image
inline constexpr int32_t stillQuality = 100;
inline constexpr int32_t serialNumberLength = 255;

// Every call answers 0 on success.
using Initialize_t = int32_t (*)(int32_t, int32_t, int32_t);
using Reset_t = int32_t (*)();
using Uninitialize_t = int32_t (*)();
using SetByte_t = int32_t (*)(uint8_t value);  // brightness, contrast, gain
using GetByte_t = int32_t (*)(uint8_t* value);
using SetFlag_t = int32_t (*)(int32_t on);     // flip vertical, live mode
using SetImageSize_t = int32_t (*)(int32_t width, int32_t height);
// *block: blockHeader bytes, then width x height pixels, rows top-down; the
// library keeps the block.
using GetCroppedStillImage_t = int32_t (*)(uint8_t** block, int32_t quality, int32_t, int32_t width,
                                           int32_t height);
using GetScannerSerialNumber_t = int32_t (*)(char* text, int32_t length);
using GetProductCode_t = int32_t (*)(int32_t* code);

}  // namespace vela::scan::crossmatch

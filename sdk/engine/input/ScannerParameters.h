#pragma once

#include <cstdint>

#include "engine/records/ResultCodes.h"

namespace vela::engine {

// What the input and cleaning stages need to know of the device that took an
// image. GetScannerParameters fills it per call; the conversion fills the
// source resolution and the crop, the resampling scales the crop.
struct ScannerParameters {
    int32_t scannerId = 0;
    int32_t sourceDpiX = 0;
    int32_t sourceDpiY = 0;
    int32_t targetDpiX = 0;
    int32_t targetDpiY = 0;
    uint8_t mirror = 0;          // 1: rows are reversed before resampling
    int32_t cleanA = 0;          // tuning pair the cleaning does not read
    int32_t cleanB = 0;
    int32_t cleanC = 30;
    double cleanD = 64.0;
    int32_t limitHigh = 50;
    int32_t limitLow = 0;
    int32_t thresholdSteps = 3;
    int32_t cropX = 0;           // left and top of the canvas window in the input,
    int32_t cropY = 0;           // in target-resolution pixels after resampling
};

// Sets the defaults, then the settings of the scanner and the target
// resolution the data type asks for. The source resolution already in the
// parameters (from the BMP) is kept unless the scanner overrides it.
// A negative, unknown (6, 7, 13 or above 16) scanner id gives 0xC3100065; a
// negative BiometricDataId gives 0xC3100064.
ResultCode GetScannerParameters(int32_t scannerId, int32_t dataId, ScannerParameters& parameters);

} // namespace vela::engine

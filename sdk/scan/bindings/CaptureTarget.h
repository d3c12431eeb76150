#pragma once
// Filling a binding's capture target from what a vendor library delivered.

#include <cstddef>
#include <cstdint>

#include "device/CaptureImage.h"

namespace vela::scan {

enum class RowOrder { TopDown, BottomUp };

// Throws std::runtime_error(failure) unless the device's size, read again at
// capture time, is the target's and its byte count covers width x height.
void RequireTargetSize(const CaptureImage& target, int64_t width, int64_t height, int64_t byteCount,
                       const char* failure);

// Copies the target's height rows of width bytes from source, whose rows lie
// sourceStride bytes apart, in the given order (bottom-up: the source's last
// row becomes the target's first).
void CopyRows(CaptureImage& target, const uint8_t* source, size_t sourceStride, RowOrder order);

}  // namespace vela::scan

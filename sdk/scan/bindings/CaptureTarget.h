#pragma once
// Filling a binding's capture target from what a vendor library delivered.

#include <cstddef>
#include <cstdint>

#include "device/CaptureImage.h"

namespace vela::scan {

enum class RowOrder { TopDown, BottomUp };

// The largest side, in pixels, a binding accepts from a vendor library. A library's sizes are
// held to it before any buffer is sized from them: a side past it, or a byte count past a
// largest image, would have the binding allocate (and copy) whatever the library claims.
inline constexpr int64_t kLargestSide = 4096;

// Whether both sides lie in 1..kLargestSide.
bool WithinLargestSide(int64_t width, int64_t height);
// Throws std::runtime_error(failure) unless both sides lie in 1..kLargestSide.
void RequireReportedSize(int64_t width, int64_t height, const char* failure);

// Throws std::runtime_error(failure) unless the device's size, read again at
// capture time, is the target's and its byte count covers width x height
// without passing a largest image (kLargestSide a side).
void RequireTargetSize(const CaptureImage& target, int64_t width, int64_t height, int64_t byteCount,
                       const char* failure);

// Copies the target's height rows of width bytes from source, whose rows lie
// sourceStride bytes apart, in the given order (bottom-up: the source's last
// row becomes the target's first).
void CopyRows(CaptureImage& target, const uint8_t* source, size_t sourceStride, RowOrder order);

}  // namespace vela::scan

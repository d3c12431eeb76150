#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/records/ResultCodes.h"

namespace vela::engine {

// Reverses each of the first height rows of a canvas left to right over its
// first width pixels (scanners that deliver mirrored pictures).
// 0xC3100075 when the canvas is short or the size lies outside it.
ResultCode MirrorRows(uint8_t* canvas, size_t length, int32_t width, int32_t height);

} // namespace vela::engine

#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/records/ResultCodes.h"

namespace vela::engine {

// Presets an ImageParameters block: all zero but the work geometry (288 x 400,
// the work resolution of the data type, 115,200 pixels).
// 0xC3100075 when the buffer is shorter than 108 bytes.
ResultCode InitImageParameters(int32_t dataId, uint8_t* parameters, size_t length);

} // namespace vela::engine

#pragma once

#include <cstdint>

#include "engine/records/ResultCodes.h"

namespace vela::engine {

// Checks of the int32 fields that describe an image given to the engine. A
// negative value is refused like one that is too large.

// Scanner ids 0..16 are known, except 6, 7 and 13: 0xC3100065 otherwise.
ResultCode CheckScannerId(int32_t scannerId);

// The image index (finger code) must lie in 0..10: 0xC3100071 otherwise.
ResultCode CheckFingerCode(int32_t fingerCode);

// The impression index must lie in 0..10: 0xC3100072 otherwise.
ResultCode CheckImpressionIndex(int32_t impressionIndex);

} // namespace vela::engine

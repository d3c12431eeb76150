// Impressions of the older "VMRQ" list format, 412 bytes each.
#pragma once

#include <cstdint>
#include <span>

namespace vela::math {

// Unpacks one 412-byte legacy impression into the 664 bytes that follow the
// size and kind words of an ImpressionRecord. Block codes 30 and 31 both mean
// "no direction": the format has no other use for them.
void UnpackLegacyRecord(std::span<const uint8_t> legacy, std::span<uint8_t> record);

}  // namespace vela::math

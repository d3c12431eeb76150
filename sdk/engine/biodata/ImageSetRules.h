#pragma once

#include <cstdint>
#include <vector>

#include "engine/biodata/ImageChain.h"

namespace vela::engine {

// Sorts the entries by image index x 11 + impression index, ascending; equal
// keys keep their chain order.
void OrderImageChain(std::vector<ChainEntry>& entries);

// Whether the chain's images (or stored blocks) suit the type, after which
// the entries are in the order the type is built in:
//   10, 11, 110, 111, 20, 120: exactly two finger codes, both 1..10
//   139: one image (else 0xC3100067), finger code 1, 2, 6 or 7, impression 1
//   140: at most 4 blocks (else 0xC3100067), their own finger codes 1, 2, 6,
//        7 once each at most and impression 1; sorted by those
//   150, 161, 162, 164, 165: at most 10 images of a finger code
//   151: at least 2 blocks (else 0xC3100067) of type 150 holding 1..99 whole
//        finger entries, at most 10 entries of a code and 100 in all
//   152: exactly 2 such blocks (else 0xC3100067), at most 10 entries of a
//        code in each, at most 100 in the merge
//   153: one block (else 0xC3100067) of type 150 holding whole entries
//   163: one block (else 0xC3100067); 167: two images (else 0xC3100067)
// Other failures give 0xC3100073. Types 1 to 120 other than the above are
// sorted and take any set.
ResultCode CheckImageSet(int32_t dataId, std::vector<ChainEntry>& entries);

} // namespace vela::engine

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/records/ResultCodes.h"

namespace vela::engine {

// One entry of an image chain, checked to hold its header, its payload and
// the cleaned image it asks for. Spans point into the caller's chain.
struct ChainEntry {
    std::span<uint8_t> entry;      // the whole entry, header included
    std::span<uint8_t> payload;    // a BMP, or a stored BiometricData block
    int32_t cleanedSize = 0;       // 0 or 14,462: the entry's last bytes receive the cleaned image
    int32_t scannerId = 0;
    int32_t fingerCode = 0;        // the image index
    int32_t impressionIndex = 0;
};

// The payload a type carries in place of a picture.
bool CarriesStoredBlock(int32_t dataId);     // 151, 152, 153, 163: a BiometricData block
bool CarriesQualityBlock(int32_t dataId);    // 140: a type-139 block of 2,719 bytes

// Reads and checks the chain entry by entry; the first failure ends it.
// Each entry, in this order:
//   size word not above 139, or beyond the chain                0xC3100068
//   payload: a BMP's own checks (ValidateInputBmp), or a stored
//     block whose size word is below 8 or beyond the entry     0xC3100068
//   cleaned-image size neither 0 nor 14,462                      0xC310006B
//   entry smaller than header + payload + cleaned image          0xC3100068
//   scanner id                                                   0xC3100065
//   image index outside 0..10                                    0xC3100071
//   impression index outside 0..10                               0xC3100072
// The chain ends at a size word of 0 or at the end of the buffer. No entry,
// or a 101st entry, gives 0xC3100067.
ResultCode ReadImageChain(int32_t dataId, std::span<uint8_t> chain, std::vector<ChainEntry>& entries);

} // namespace vela::engine

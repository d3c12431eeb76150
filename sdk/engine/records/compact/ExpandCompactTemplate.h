#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vela::engine {

// Turns a compact block (type 161, 162, 164 or 165) into a type-150 block of
// FingerEntrys: per entry the two impressions (or the one, twice) and their
// copies shifted by the entry's offsets in whole blocks. Returns an empty
// vector when the block is of another type, its total size lies outside
// 8..the type's maximum or beyond the buffer, it holds no entry, an entry does
// not unpack, an unpacked impression is invalid, or memory runs out.
std::vector<uint8_t> ExpandCompactTemplate(const uint8_t* block, size_t length);

} // namespace vela::engine

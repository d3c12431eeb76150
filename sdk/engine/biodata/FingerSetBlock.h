#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vela::engine {

// A stored type-150 block read as its finger entries.
struct FingerSetView {
    std::span<const uint8_t> block;   // header and whole entries only
    int32_t entries = 0;

    std::span<const uint8_t> Entry(int32_t index) const;
    // Byte 9 of the entry's first record.
    int32_t FingerCode(int32_t index) const;
};

// The block as finger entries, when it is of type 150, its size word lies
// within the buffer and it holds whole entries only; entries counts them.
bool ReadFingerSet(std::span<const uint8_t> block, FingerSetView& view);

} // namespace vela::engine

#pragma once

#include <array>
#include <cstdint>

namespace vela::engine {

// The working list of minutiae in work-image pixels; direction in 15-degree
// steps from the row direction toward increasing rows (24 may stand for 0).
struct MinutiaList {
    static constexpr int kCapacity = 470;

    int count = 0;
    std::array<int16_t, kCapacity> x{};
    std::array<int16_t, kCapacity> y{};
    std::array<uint8_t, kCapacity> direction{};
    std::array<uint8_t, kCapacity> valid{};

    // False when the list is full.
    bool Add(int column, int row, int dir)
    {
        if (count >= kCapacity)
            return false;
        x[count] = static_cast<int16_t>(column);
        y[count] = static_cast<int16_t>(row);
        direction[count] = static_cast<uint8_t>(dir);
        valid[count] = 1;
        ++count;
        return true;
    }

    // Keeps the valid entries, in order.
    void Compact()
    {
        int kept = 0;
        for (int i = 0; i < count; ++i) {
            if (!valid[i])
                continue;
            x[kept] = x[i];
            y[kept] = y[i];
            direction[kept] = direction[i];
            valid[kept] = 1;
            ++kept;
        }
        count = kept;
    }
};

} // namespace vela::engine

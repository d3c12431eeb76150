// The two comparisons take two untrusted records; the fuzz input is split
// into them at the point its first two bytes name.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <span>

inline bool SplitFuzzInput(const uint8_t* data, size_t size, std::span<const uint8_t>& a, std::span<const uint8_t>& b)
{
    if (size < 2)
        return false;
    const size_t split = (static_cast<size_t>(data[0]) << 8 | data[1]) % (size - 1);
    a = std::span<const uint8_t>(data + 2, split);
    b = std::span<const uint8_t>(data + 2 + split, size - 2 - split);
    return true;
}

// Scores stay in range; a malformed record gives -7 whichever side it is on.
inline void CheckScore(int32_t forward, int32_t backward, int32_t top)
{
    if (forward > top || backward > top || forward < -7 || backward < -7)
        std::abort();
    if ((forward == -7) != (backward == -7) && forward != -2 && backward != -2)
        std::abort();
}

#include "engine/records/compact/BlockSpiralOrder.h"

namespace vela::engine {

namespace {

constexpr std::array<uint16_t, kBlockCount> MakeSpiralSequence()
{
    std::array<uint16_t, kBlockCount> sequence{};
    int32_t filled = 0;
    int32_t row = 9;
    int32_t column = 8;
    auto emit = [&](int32_t r, int32_t c) {
        if (filled < kBlockCount && r >= 0 && r < kBlockRows && c >= 0 && c < kBlockColumns)
            sequence[filled++] = static_cast<uint16_t>(r * kBlockColumns + c);
    };
    emit(row, column);

    // Each turn runs down, right, up and left to bounds that then move one
    // block outward; bounds past the grid's edge are cut at the edge.
    int32_t bottom = 16;
    int32_t right = 9;
    int32_t top = 8;
    int32_t left = 7;
    while (filled < kBlockCount) {
        while (row < bottom && row + 1 < kBlockRows)
            emit(++row, column);
        while (column < right && column + 1 < kBlockColumns)
            emit(row, ++column);
        while (row > top && row > 0)
            emit(--row, column);
        while (column > left && column > 0)
            emit(row, --column);
        ++bottom;
        ++right;
        --top;
        --left;
    }
    return sequence;
}

constexpr std::array<uint16_t, kBlockCount> InvertSequence(const std::array<uint16_t, kBlockCount>& sequence)
{
    std::array<uint16_t, kBlockCount> order{};
    for (int32_t position = 0; position < kBlockCount; ++position)
        order[sequence[position]] = static_cast<uint16_t>(position);
    return order;
}

constexpr std::array<uint16_t, kBlockCount> kSequence = MakeSpiralSequence();
constexpr std::array<uint16_t, kBlockCount> kOrder = InvertSequence(kSequence);

} // namespace

const std::array<uint16_t, kBlockCount>& BlockSpiralSequence()
{
    return kSequence;
}

const std::array<uint16_t, kBlockCount>& BlockSpiralOrder()
{
    return kOrder;
}

} // namespace vela::engine

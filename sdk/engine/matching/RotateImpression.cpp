#include "engine/matching/RotateImpression.h"

#include <algorithm>
#include <array>
#include <vector>

namespace vela::engine {

namespace {

constexpr int32_t kScale = 1000;

// Block value steps of a 45-degree index turn; 180 degrees leaves a ridge
// direction as it was.
constexpr int32_t kIndexBlockTurn[] = {0, 15, 30, 45, 0};
constexpr int32_t kIndexMinutiaTurn[] = {0, -3, -6, -9, -12};
constexpr int32_t kIndexCosine[] = {1000, 707, 0, -707, -1000};
constexpr int32_t kIndexSine[] = {0, 707, 1000, 707, 0};

constexpr Rotation kFifteenUp{966, 259, 5, -1};
constexpr Rotation kFifteenDown{966, -259, -5, 1};

int32_t DivideRounded(int32_t value)
{
    return value >= 0 ? (value + kScale / 2) / kScale : -((-value + kScale / 2) / kScale);
}

// For an output block, the source block that the turn brought there: the
// inverse turn of its offset from the centre block.
void SourceBlock(const Rotation& rotation, int32_t row, int32_t column, bool nearest, int32_t& sourceRow,
                 int32_t& sourceColumn)
{
    const int32_t dc = column - kRotationCentreColumn;
    const int32_t dr = row - kRotationCentreRow;
    const int32_t columnOffset = rotation.cosine * dc - rotation.sine * dr;
    const int32_t rowOffset = rotation.cosine * dr + rotation.sine * dc;
    if (nearest) {
        sourceColumn = kRotationCentreColumn + DivideRounded(columnOffset);
        sourceRow = kRotationCentreRow + DivideRounded(rowOffset);
    } else {
        sourceColumn = kRotationCentreColumn + columnOffset / kScale;
        sourceRow = kRotationCentreRow + rowOffset / kScale;
    }
}

// For each output block of a turn, the index of its source block, or -1
// off the grid.
struct SourceBlocks {
    int32_t cosine = 0;
    int32_t sine = 0;
    bool nearest = false;
    std::array<int16_t, kBlockCount> index{};
};

SourceBlocks MakeSourceBlocks(const Rotation& rotation, bool nearest)
{
    SourceBlocks blocks{rotation.cosine, rotation.sine, nearest, {}};
    for (int32_t row = 0; row < kBlockRows; ++row) {
        for (int32_t column = 0; column < kBlockColumns; ++column) {
            int32_t sourceRow = 0;
            int32_t sourceColumn = 0;
            SourceBlock(rotation, row, column, nearest, sourceRow, sourceColumn);
            const bool inside =
                sourceRow >= 0 && sourceRow < kBlockRows && sourceColumn >= 0 && sourceColumn < kBlockColumns;
            blocks.index[row * kBlockColumns + column] =
                static_cast<int16_t>(inside ? sourceRow * kBlockColumns + sourceColumn : -1);
        }
    }
    return blocks;
}

// The turns the matcher makes again and again, worked out once.
const std::vector<SourceBlocks>& KnownSourceBlocks()
{
    static const std::vector<SourceBlocks> known = [] {
        std::vector<SourceBlocks> made;
        for (bool nearest : {true, false}) {
            for (int32_t index = -4; index <= 4; ++index)
                made.push_back(MakeSourceBlocks(RotationByIndex(index), nearest));
            for (const Rotation& turn : {kSmallTurnUp, kSmallTurnDown, kFifteenUp, kFifteenDown})
                made.push_back(MakeSourceBlocks(turn, nearest));
        }
        return made;
    }();
    return known;
}

// Every byte a block can hold, turned by a number of direction steps.
using TurnedValues = std::array<uint8_t, 256>;

TurnedValues MakeTurnedValues(int32_t steps)
{
    TurnedValues values{};
    for (int32_t value = 0; value < 256; ++value)
        values[value] = TurnBlockValue(static_cast<uint8_t>(value), steps);
    return values;
}

// The tables of every turn up to a half circle either way, worked out
// once: each comparison turns several maps; nullptr beyond them.
const TurnedValues* KnownTurnedValues(int32_t steps)
{
    static const std::vector<TurnedValues> known = [] {
        std::vector<TurnedValues> made;
        for (int32_t turn = -kDirectionSteps; turn <= kDirectionSteps; ++turn)
            made.push_back(MakeTurnedValues(turn));
        return made;
    }();
    if (steps < -kDirectionSteps || steps > kDirectionSteps)
        return nullptr;
    return &known[static_cast<size_t>(steps + kDirectionSteps)];
}

BlockMap TurnMap(const BlockMap& source, const Rotation& rotation, bool nearest)
{
    SourceBlocks made;
    const SourceBlocks* blocks = nullptr;
    for (const SourceBlocks& known : KnownSourceBlocks()) {
        if (known.cosine == rotation.cosine && known.sine == rotation.sine && known.nearest == nearest) {
            blocks = &known;
            break;
        }
    }
    if (blocks == nullptr) {
        made = MakeSourceBlocks(rotation, nearest);
        blocks = &made;
    }
    TurnedValues madeValues{};
    const TurnedValues* knownValues = KnownTurnedValues(rotation.blockTurn);
    if (knownValues == nullptr)
        madeValues = MakeTurnedValues(rotation.blockTurn);
    const TurnedValues& turnedValue = knownValues != nullptr ? *knownValues : madeValues;
    BlockMap turned;
    for (size_t i = 0; i < turned.size(); ++i) {
        const int16_t from = blocks->index[i];
        turned[i] = from < 0 ? kNoDirection : turnedValue[source[static_cast<size_t>(from)]];
    }
    return turned;
}

} // namespace

Rotation RotationByIndex(int32_t index)
{
    const int32_t step = std::clamp(index < 0 ? -index : index, 0, 4);
    const int32_t sign = index < 0 ? -1 : 1;
    return Rotation{kIndexCosine[step], sign * kIndexSine[step], sign * kIndexBlockTurn[step],
                    sign * kIndexMinutiaTurn[step]};
}

Rotation AlignmentRotation(int32_t rotation)
{
    if (rotation > 0)
        return kFifteenUp;
    if (rotation < 0)
        return kFifteenDown;
    return Rotation{kScale, 0, 0, 0};
}

uint8_t TurnBlockValue(uint8_t value, int32_t steps)
{
    if (!IsDirected(value))
        return kNoDirection;
    const int32_t turned = (value % kDirectionSteps + steps) % kDirectionSteps;
    return static_cast<uint8_t>(turned < 0 ? turned + kDirectionSteps : turned);
}

uint8_t TurnMinutiaDirection(uint8_t direction, int32_t steps)
{
    const int32_t turned = (direction % kMinutiaDirections + steps) % kMinutiaDirections;
    return static_cast<uint8_t>(turned < 0 ? turned + kMinutiaDirections : turned);
}

void RotateMinutiaPosition(const Rotation& rotation, int32_t x, int32_t y, int32_t& outX, int32_t& outY)
{
    const int32_t dx = x - kRotationCentreX;
    const int32_t dy = y - kRotationCentreY;
    outX = (rotation.cosine * dx + rotation.sine * dy) / kScale + kRotationCentreX;
    outY = (rotation.cosine * dy - rotation.sine * dx) / kScale + kRotationCentreY;
}

Impression RotateImpression(const Impression& source, const Rotation& rotation)
{
    Impression turned = source;
    turned.blocks = TurnMap(source.blocks, rotation, true);
    turned.x.fill(0);
    turned.y.fill(0);
    turned.direction.fill(0);
    const int32_t count = std::min<int32_t>(source.count, kMaxMinutiae);
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i) {
        int32_t x = 0;
        int32_t y = 0;
        RotateMinutiaPosition(rotation, source.x[i], source.y[i], x, y);
        if (!IsDirected(BlockUnderMinutia(turned.blocks, x, y)))
            continue;
        turned.x[kept] = static_cast<uint8_t>(x);
        turned.y[kept] = static_cast<uint8_t>(y);
        turned.direction[kept] = TurnMinutiaDirection(source.direction[i], rotation.minutiaTurn);
        ++kept;
    }
    turned.count = static_cast<uint8_t>(kept);
    return turned;
}

Impression RotateImpression(const Impression& source, int32_t index)
{
    return RotateImpression(source, RotationByIndex(index));
}

BlockMap RotateBlockMap(const BlockMap& source, int32_t rotation)
{
    if (rotation == 0)
        return source;
    return TurnMap(source, AlignmentRotation(rotation), false);
}

} // namespace vela::engine

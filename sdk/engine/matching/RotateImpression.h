#pragma once

#include <cstdint>

#include "engine/matching/BlockMapGeometry.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// A turn of an impression about block (9, 12), that is (76, 100) in half
// pixels. A positive sine turns counter-clockwise as the image is seen (rows
// growing downward): block values, counted toward the top of the image, grow,
// and minutia directions, counted toward growing rows, shrink.
struct Rotation {
    int32_t cosine;       // x 1000
    int32_t sine;         // x 1000
    int32_t blockTurn;    // 3-degree steps added to block values
    int32_t minutiaTurn;  // 15-degree steps added to minutia directions
};

inline constexpr int32_t kRotationCentreX = 76;
inline constexpr int32_t kRotationCentreY = 100;
inline constexpr int32_t kRotationCentreColumn = 9;
inline constexpr int32_t kRotationCentreRow = 12;

// Index 1..4: 45, 90, 135 and 180 degrees counter-clockwise; -1..-4 the same
// clockwise; 0 no turn.
Rotation RotationByIndex(int32_t index);

// About 22 degrees either way, the retries of a promising comparison.
inline constexpr Rotation kSmallTurnUp{927, 374, 7, -1};
inline constexpr Rotation kSmallTurnDown{927, -374, -7, 1};

// 15 degrees either way (rotation +1 and -1 of an alignment).
Rotation AlignmentRotation(int32_t rotation);

uint8_t TurnBlockValue(uint8_t value, int32_t steps);
uint8_t TurnMinutiaDirection(uint8_t direction, int32_t steps);

// Moves a minutia position by the turn; integer division toward zero.
void RotateMinutiaPosition(const Rotation& rotation, int32_t x, int32_t y, int32_t& outX, int32_t& outY);

// The whole impression turned: its block map sampled at the nearest block
// and its values turned, its minutiae moved and turned; a minutia is kept, in
// order, only inside the map and on a directed block of the turned map.
Impression RotateImpression(const Impression& source, const Rotation& rotation);
Impression RotateImpression(const Impression& source, int32_t index);

// A block map turned by rotation x 15 degrees (-1, 0, +1), each block taken
// from the source position truncated toward the centre, values turned by
// rotation x 5 steps.
BlockMap RotateBlockMap(const BlockMap& source, int32_t rotation);

} // namespace vela::engine

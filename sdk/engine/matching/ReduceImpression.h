#pragma once

#include "engine/matching/BlockMapGeometry.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// Erodes the block map: the two outermost rows and columns become 61, and so
// does every block with a 61 in its 3 x 3 neighbourhood.
BlockMap ErodeBlockMap(const BlockMap& map);

// The impression with its map eroded and without the minutiae that lie on a
// 61 block of the eroded map: a large overlap is paired on its inner part.
Impression ReduceImpression(const Impression& impression);

} // namespace vela::engine

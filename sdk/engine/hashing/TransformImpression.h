#pragma once

#include <cstdint>

#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// Moves an impression by (xShift, yShift) half pixels, then turns it by
// `degrees` about the centre (72, 100). Minutiae that leave the 144 x 200
// area are dropped (the count shrinks); each output block is sampled from
// where it came from, its direction turned with it, 61 where that lies off
// the grid. TransformImpression turns 15-degree minutia directions,
// TransformImpressionFine the fine ones of a fine impression.
Impression TransformImpression(const Impression& impression, int32_t degrees, int32_t xShift, int32_t yShift);
Impression TransformImpressionFine(const Impression& fine, int32_t degrees, int32_t xShift, int32_t yShift);

} // namespace vela::engine

#pragma once

#include "engine/matching/MatchContext.h"

namespace vela::engine {

// Finds the first impression's block map among the cached ones, or stores it
// in the next slot (the oldest, 41 maps ago) with its maps turned by -15, 0
// and +15 degrees; either way that slot becomes the current one.
const MapCacheSlot& LookUpMapCache(MapCache& cache, const BlockMap& blockMap);

// The slot of the first impression being compared.
const MapCacheSlot& CurrentMapCacheSlot(const MapCache& cache);

// The cache position, kept around a comparison that must not use up a slot.
struct MapCacheIndex {
    int32_t nextIndex;
    int32_t currentSlot;
};
MapCacheIndex SaveMapCacheIndex(const MapCache& cache);
void RestoreMapCacheIndex(MapCache& cache, const MapCacheIndex& index);

// Whether the map is held in some slot, for tests and diagnostics.
bool MapCacheHolds(const MapCache& cache, const BlockMap& blockMap);

} // namespace vela::engine

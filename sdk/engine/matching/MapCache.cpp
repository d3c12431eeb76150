#include "engine/matching/MapCache.h"

#include "engine/matching/RotateImpression.h"

namespace vela::engine {

namespace {

int32_t FindSlot(const MapCache& cache, const BlockMap& blockMap)
{
    for (int32_t i = 0; i < kMapCacheSlots; ++i) {
        const MapCacheSlot& slot = cache.slots[i];
        if (slot.filled && slot.key == blockMap)
            return i;
    }
    return -1;
}

void FillSlot(MapCacheSlot& slot, const BlockMap& blockMap)
{
    slot.filled = true;
    slot.key = blockMap;
    for (int32_t rotation = -1; rotation <= 1; ++rotation) {
        slot.maps[rotation + 1] = RotateBlockMap(blockMap, rotation);
        slot.padded[rotation + 1] = PadBlockMap(slot.maps[rotation + 1]);
    }
}

} // namespace

const MapCacheSlot& LookUpMapCache(MapCache& cache, const BlockMap& blockMap)
{
    int32_t index = FindSlot(cache, blockMap);
    if (index < 0) {
        index = cache.nextIndex;
        FillSlot(cache.slots[index], blockMap);
        cache.nextIndex = (index + 1) % kMapCacheSlots;
    }
    cache.currentSlot = index;
    return cache.slots[index];
}

const MapCacheSlot& CurrentMapCacheSlot(const MapCache& cache)
{
    return cache.slots[cache.currentSlot];
}

MapCacheIndex SaveMapCacheIndex(const MapCache& cache)
{
    return MapCacheIndex{cache.nextIndex, cache.currentSlot};
}

void RestoreMapCacheIndex(MapCache& cache, const MapCacheIndex& index)
{
    cache.nextIndex = index.nextIndex;
    cache.currentSlot = index.currentSlot;
}

bool MapCacheHolds(const MapCache& cache, const BlockMap& blockMap)
{
    return FindSlot(cache, blockMap) >= 0;
}

} // namespace vela::engine

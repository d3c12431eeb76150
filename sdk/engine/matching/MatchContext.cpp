#include "engine/matching/MatchContext.h"

#include <new>

namespace vela::engine {

namespace {

constexpr int32_t kOutOfMemory = -2;

int32_t Create(MatchContext** context, bool withResultSlot)
{
    if (context == nullptr)
        return kOutOfMemory;
    *context = new (std::nothrow) MatchContext();
    if (*context == nullptr)
        return kOutOfMemory;
    (*context)->hasResultSlot = withResultSlot;
    ResetMatchContext(**context);
    return 0;
}

} // namespace

int32_t CreateMatchContext(MatchContext** context)
{
    return Create(context, true);
}

int32_t CreateSmallMatchContext(MatchContext** context)
{
    return Create(context, false);
}

void DestroyMatchContext(MatchContext* context)
{
    delete context;
}

void ResetMatchContext(MatchContext& context)
{
    for (MapCacheSlot& slot : context.cache.slots) {
        slot.filled = false;
        slot.key.fill(0);
        for (BlockMap& map : slot.maps)
            map.fill(kNoDirection);
        slot.padded.fill(PaddedBlockMap{});
    }
    context.cache.nextIndex = 0;
    context.cache.currentSlot = 0;
}

int32_t TakeMatchResult(MatchContext& context, std::array<int32_t, 3>& values)
{
    const bool pending = context.hasResultSlot && context.result.pending;
    values = pending ? context.result.values : std::array<int32_t, 3>{};
    context.result = MatchResultSlot{};
    return pending ? 0 : 1;
}

void SetMatchResult(MatchContext& context, const std::array<int32_t, 3>& values)
{
    if (!context.hasResultSlot)
        return;
    context.result.pending = true;
    context.result.values = values;
}

void ClearMatchResult(MatchContext& context)
{
    context.result = MatchResultSlot{};
}

MatchContextPtr MakeMatchContext()
{
    MatchContext* context = nullptr;
    CreateMatchContext(&context);
    return MatchContextPtr(context);
}

MatchContextPtr MakeSmallMatchContext()
{
    MatchContext* context = nullptr;
    CreateSmallMatchContext(&context);
    return MatchContextPtr(context);
}

} // namespace vela::engine

#include "engine/hashing/PairHashTables.h"

#include <new>

namespace vela::engine {

namespace {

void DestroyPairHashTables(PairHashTables* tables)
{
    delete tables;
}

} // namespace

PairHashTables* AttachPairHashTables(MatchContext& context)
{
    if (context.pairHash)
        return context.pairHash.get();
    try {
        std::unique_ptr<PairHashTables, PairHashTablesDeleter> tables(
            new PairHashTables(), PairHashTablesDeleter{&DestroyPairHashTables});
        for (PairHashSlot& slot : tables->slots)
            slot.filledBuckets.reserve(kHashBuckets);
        context.pairHash = std::move(tables);
        return context.pairHash.get();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace vela::engine

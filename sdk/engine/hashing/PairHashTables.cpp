#include "engine/hashing/PairHashTables.h"

#include <new>

namespace vela::engine {

namespace {

void DestroyPairHashTables(PairHashTables* tables)
{
    delete tables;
}

} // namespace

int32_t PairBucketIndex(int32_t qx, int32_t qy, int32_t angle)
{
    if (qx < -kHashCellRange || qx > kHashCellRange || qy < -kHashCellRange || qy > kHashCellRange ||
        angle < -kHashAngleRange || angle > kHashAngleRange)
        return -1;
    return ((qx + kHashCellRange) * kHashCells + (qy + kHashCellRange)) * kHashAngles + (angle + kHashAngleRange);
}

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

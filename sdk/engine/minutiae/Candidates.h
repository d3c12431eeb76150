#pragma once

#include <cstdint>

namespace vela::engine {

// A bounded list of WorkImage offsets in caller-owned storage; entries past
// the capacity are not listed.
struct OffsetList {
    int32_t* offsets;
    int capacity;
    int count = 0;

    bool Add(int32_t at)
    {
        if (count >= capacity)
            return false;
        offsets[count++] = at;
        return true;
    }
};

// What makes a set pixel a branching point.
enum class BranchRule {
    MoreThanTwoNeighbours, // any junction: used to cut spurs off their ridges
    ThreeWaySplit,         // the twelve codes of three non-adjacent neighbours
};

// Lists, in offset order, the set pixels with exactly one set neighbour
// (endings) and those that are branching points by the rule.
void FindMinutiaCandidates(const uint8_t* image, BranchRule rule, OffsetList& endings, OffsetList& branchings);

} // namespace vela::engine

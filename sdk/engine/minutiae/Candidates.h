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

// Lists, in offset order, the set pixels with exactly one set neighbour
// (endings) and those with more than two (branching points). A clean
// three-way split of the skeleton has three neighbours no two of which are
// adjacent; counting every junction also catches the small loops and thick
// forks that the thinning can leave where ridges meet.
void FindMinutiaCandidates(const uint8_t* image, OffsetList& endings, OffsetList& branchings);

} // namespace vela::engine

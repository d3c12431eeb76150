#include "engine/minutiae/Candidates.h"

#include <bit>

#include "engine/minutiae/NeighbourCodes.h"
#include "engine/minutiae/WorkScan.h"

namespace vela::engine {

void FindMinutiaCandidates(const uint8_t* image, OffsetList& endings, OffsetList& branchings)
{
    endings.count = 0;
    branchings.count = 0;
    for (int at = kScanFirst; at <= kScanLast; ++at) {
        if (!image[at])
            continue;
        const uint8_t code = NeighbourCode(image, at);
        if (IsEndingCode(code)) {
            endings.Add(at);
            continue;
        }
        if (std::popcount(code) > 2)
            branchings.Add(at);
    }
}

} // namespace vela::engine

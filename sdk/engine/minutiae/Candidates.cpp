#include "engine/minutiae/Candidates.h"

#include <array>
#include <bit>

#include "engine/minutiae/NeighbourCodes.h"
#include "engine/minutiae/WorkScan.h"

namespace vela::engine {
namespace {

// Set neighbours per neighbour code; a table, as the targets need not have a
// population-count instruction.
constexpr std::array<uint8_t, 256> kNeighbourCount = [] {
    std::array<uint8_t, 256> count{};
    for (int code = 0; code < 256; ++code)
        count[code] = static_cast<uint8_t>(std::popcount(static_cast<unsigned>(code)));
    return count;
}();

} // namespace

void FindMinutiaCandidates(const uint8_t* image, OffsetList& endings, OffsetList& branchings)
{
    endings.count = 0;
    branchings.count = 0;
    for (int at = NextSetOffset(image, kScanFirst); at <= kScanLast; at = NextSetOffset(image, at + 1)) {
        const uint8_t code = NeighbourCode(image, at);
        const int neighbours = kNeighbourCount[code];
        if (neighbours == 1)
            endings.Add(at);
        else if (neighbours > 2)
            branchings.Add(at);
    }
}

} // namespace vela::engine

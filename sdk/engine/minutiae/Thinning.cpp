#include "engine/minutiae/Thinning.h"

#include <cstring>

#include "engine/minutiae/NeighbourCodes.h"
#include "engine/minutiae/WorkScan.h"

namespace vela::engine {
namespace {

constexpr int kMaxPasses = 6;
constexpr int kSettledDeletions = 50;

} // namespace

int ThinPass(uint8_t* image, uint8_t* before)
{
    constexpr int s = kWorkImageStride;
    std::memcpy(before, image, kWorkImageBytes);
    int deleted = 0;
    for (int at = NextSetOffset(before, kScanFirst); at <= kScanLast; at = NextSetOffset(before, at + 1)) {
        if (before[at - s] && before[at + 1] && before[at + s] && before[at - 1])
            continue;
        if (!ThinKeep[NeighbourCode(image, at)]) {
            image[at] = 0;
            ++deleted;
        }
    }
    return deleted;
}

void ThinRidges(uint8_t* image, uint8_t* before)
{
    for (int pass = 0; pass < kMaxPasses; ++pass)
        if (ThinPass(image, before) <= kSettledDeletions)
            return;
}

} // namespace vela::engine

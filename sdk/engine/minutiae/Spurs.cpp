#include "engine/minutiae/Spurs.h"

#include <cstring>

#include "engine/minutiae/NeighbourCodes.h"
#include "engine/minutiae/WorkScan.h"

namespace vela::engine {
namespace {

constexpr int kLongestSpur = 6;

// Clears the ridge from `start` on, recording each pixel, until no set
// neighbour is left or the record is full. Returns the record's new length.
int WalkRidge(uint8_t* image, int start, const WalkRecord& walks, int recorded)
{
    int at = start;
    while (recorded < walks.capacity) {
        walks.pixels[recorded++] = at;
        image[at] = 0;
        const int step = FirstSetNeighbour(image, at);
        if (step == 0)
            break;
        at += step;
    }
    return recorded;
}

void TrimRidgeEnds(uint8_t* image, uint8_t* before)
{
    std::memcpy(before, image, kWorkImageBytes);
    for (int at = NextSetOffset(before, kScanFirst); at <= kScanLast; at = NextSetOffset(before, at + 1))
        if (SpurTrim[NeighbourCode(before, at)])
            image[at] = 0;
}

} // namespace

void RemoveShortSpurs(uint8_t* image, uint8_t* before, OffsetList& endings, const OffsetList& branchings,
                      const WalkRecord& walks)
{
    for (int k = 0; k < branchings.count; ++k)
        image[branchings.offsets[k]] = 0;
    for (int k = 0; k < branchings.count; ++k)
        for (int step : kWalkOrder)
            if (image[branchings.offsets[k] + step])
                endings.Add(branchings.offsets[k] + step);

    int recorded = 0;
    for (int k = 0; k < endings.count; ++k) {
        recorded = WalkRidge(image, endings.offsets[k], walks, recorded);
        walks.walkEnds[k] = recorded;
    }

    for (int k = 0; k < branchings.count; ++k)
        image[branchings.offsets[k]] = kSetPixel;
    int walkStart = 0;
    for (int k = 0; k < endings.count; ++k) {
        const int walkEnd = walks.walkEnds[k];
        if (walkEnd - walkStart > kLongestSpur)
            for (int p = walkStart; p < walkEnd; ++p)
                image[walks.pixels[p]] = kSetPixel;
        walkStart = walkEnd;
    }

    TrimRidgeEnds(image, before);
}

} // namespace vela::engine

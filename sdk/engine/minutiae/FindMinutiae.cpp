#include "engine/minutiae/FindMinutiae.h"

#include <cstring>

#include "engine/directions/ExtractionWork.h"
#include "engine/directions/RidgeCleanup.h"
#include "engine/minutiae/Candidates.h"
#include "engine/minutiae/FinishImpression.h"
#include "engine/minutiae/MinutiaFilters.h"
#include "engine/minutiae/MinutiaList.h"
#include "engine/minutiae/Spurs.h"
#include "engine/minutiae/Thinning.h"
#include "engine/minutiae/TraceRidges.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {
namespace {

constexpr uint8_t kLowestBlockQuality = 15;

// The candidate lists and the walk record share the entry area.
struct CandidateStorage {
    OffsetList endings;
    OffsetList branchings;
    WalkRecord walks;
};

CandidateStorage CarveCandidates(int32_t* entries)
{
    using namespace extraction_work;
    int32_t* endings = entries;
    int32_t* branchings = endings + kEndingCapacity;
    int32_t* walkPixels = branchings + kBranchingCapacity;
    int32_t* walkEnds = walkPixels + kWalkCapacity;
    return CandidateStorage{OffsetList{endings, static_cast<int>(kEndingCapacity)},
                            OffsetList{branchings, static_cast<int>(kBranchingCapacity)},
                            WalkRecord{walkPixels, static_cast<int>(kWalkCapacity), walkEnds}};
}

} // namespace

bool FindMinutiae(std::span<uint8_t> workImage, std::span<uint8_t> record, std::span<uint8_t> work)
{
    const auto scratch = CarveExtractionWork(work);
    if (!scratch || workImage.size() < static_cast<size_t>(kWorkImageBytes) || record.size() < impression::kSize)
        return false;
    uint8_t* image = workImage.data();
    uint8_t* rec = record.data();
    rec[impression::kCountOffset] = 0;
    std::memset(rec + impression::kMinutiaXOffset, 0, 3 * kMaxMinutiae);
    if (rec[impression::kQualityOffset] < kLowestBlockQuality)
        return true;

    // The clean ridge image has a clear margin; keeping it clear bounds every
    // neighbour look-up below to the buffer.
    FillFrame(image, kWorkImageMargin, 0);
    CandidateStorage lists = CarveCandidates(scratch->entries);
    MinutiaList minutiae;

    ThinRidges(image, scratch->scratch0);
    FindMinutiaCandidates(image, lists.endings, lists.branchings);
    RemoveShortSpurs(image, scratch->scratch0, lists.endings, lists.branchings, lists.walks);
    TraceRidges(image, lists.endings, lists.branchings, minutiae);
    RemoveFacingPairs(minutiae);
    RemoveCrowdedMinutiae(minutiae);
    LimitMinutiae(minutiae, rec);
    FinishImpressionRecord(rec);
    return true;
}

} // namespace vela::engine

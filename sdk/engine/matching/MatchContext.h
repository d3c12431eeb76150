#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "engine/matching/BlockMapGeometry.h"
#include "engine/matching/PaddedBlockMap.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// The thresholds of one comparison. The finger-set matchers relax them for a
// second pass and write the normal values back afterwards.
struct MatchTuning {
    int32_t minimumOverlap;      // directed block pairs an alignment needs
    int32_t maximumDifference;   // mean direction difference x 100 an alignment may have
    int32_t reverseScore;        // one-way score that earns the reverse comparison
    int32_t rotationScore;       // score above which the turned copies are tried
    int32_t neighbourhoodScore;  // score above which the neighbouring shifts are paired
};
inline constexpr MatchTuning kNormalMatchTuning{56, 350, 150, 140, 240};
inline constexpr MatchTuning kRelaxedMatchTuning{46, 380, 80, 0, 200};

// Forward aligns a new first impression and remembers the alignment; Reverse
// starts from that alignment with the roles swapped; Rotated compares a turned
// copy of the second impression against the current first one.
enum class AlignMode { Forward = 0, Reverse = 1, Rotated = 2 };

// The difference an evaluation reports when it cannot compare enough blocks.
inline constexpr int32_t kNoAlignmentDifference = 6000;

// Where the first impression's block map lies on the second one: shifted by
// whole blocks after turning by rotation x 15 degrees (-1, 0 or +1).
struct Alignment {
    int32_t columnShift = 0;
    int32_t rowShift = 0;
    int32_t rotation = 0;
    int32_t overlap = 0;         // directed block pairs compared
    int32_t difference = kNoAlignmentDifference;
};

struct PairingParameters {
    int32_t regionMinimum;       // a region is split off only with more minutiae than this
    int32_t iterations;          // re-centring passes of a region
    int32_t window;              // a partner lies closer than this on both axes (half pixels)
    int32_t closeDistance;       // a pair nearer than this counts as close
    int32_t directionTolerance;  // largest direction difference of a pair (15-degree steps)
};
inline constexpr PairingParameters kPairing{9, 3, 13, 6, 4};
inline constexpr int32_t kNeighbourhoodIterations = 2;

// What the score is made from, cleared for each aligned comparison.
struct ScoreInputs {
    int32_t overlap = 0;
    int32_t commonCount = 0;     // minutiae inside the area both impressions cover
    int32_t difference = 0;
    int32_t closeCount = 0;      // close pairs over all regions
    int32_t regionScoreSum = 0;
};

// The block maps of one first impression, ready for alignment: its own map
// turned by -15, 0 and +15 degrees, keyed by the map as it was given.
inline constexpr int32_t kMapCacheSlots = 41;
struct MapCacheSlot {
    bool filled = false;
    BlockMap key{};
    std::array<BlockMap, 3> maps{};  // rotation -1, 0, +1
    std::array<PaddedBlockMap, 3> padded{};  // the same maps laid out for the alignment search

    const BlockMap& Map(int32_t rotation) const { return maps[rotation + 1]; }
    const PaddedBlockMap& Padded(int32_t rotation) const { return padded[rotation + 1]; }
};

struct MapCache {
    std::array<MapCacheSlot, kMapCacheSlots> slots{};
    int32_t nextIndex = 0;       // the slot the next new map goes into
    int32_t currentSlot = 0;     // the slot of the impression being compared
};

inline constexpr int32_t kMaxRegions = 4;
inline constexpr int32_t kMaxRegionMinutiae = 50;
struct MatchRegion {
    int32_t centreX = 0;
    int32_t centreY = 0;
    int32_t score = 0;
    int32_t paired = 0;          // close pairs of the best pass
    int32_t count = 0;
    std::array<int16_t, kMaxRegionMinutiae> x{};
    std::array<int16_t, kMaxRegionMinutiae> y{};
    std::array<int16_t, kMaxRegionMinutiae> direction{};
};

// Pure functions of one impression that the comparisons of an impression
// pair ask for again and again with the same input (every shift, turn and
// neighbour pairs the same first impression): the last answer of each, kept
// with its input.
struct ImpressionMemo {
    bool reducedFilled = false;
    Impression reducedSource;
    Impression reduced;          // ReduceImpression(reducedSource)

    bool turnedFilled = false;
    int32_t turnedRotation = 0;
    BlockMap turnedSource{};
    BlockMap turned{};           // RotateBlockMap(turnedSource, turnedRotation)
};

// Three values an algorithm leaves for its caller, handed out once.
struct MatchResultSlot {
    bool pending = false;
    std::array<int32_t, 3> values{};
};

// The tables of the hash-aligned finger-entry comparison. That comparison
// attaches them to a context the first time it runs there (the small form
// never needs them) and supplies the function that frees them.
struct PairHashTables;
struct PairHashTablesDeleter {
    void (*destroy)(PairHashTables*) = nullptr;
    void operator()(PairHashTables* tables) const
    {
        if (destroy != nullptr)
            destroy(tables);
    }
};

// Everything a comparison changes. One context serves one comparison at a
// time: give each thread its own.
struct MatchContext {
    ScoreInputs scoreInputs;
    MapCache cache;
    MatchTuning tuning = kNormalMatchTuning;
    Alignment alignment;
    Alignment forward;           // the last forward alignment, for the reverse comparison
    bool forwardSaved = false;
    PairingParameters pairing = kPairing;
    Impression transformed;      // the first impression moved onto the second
    std::array<MatchRegion, kMaxRegions> regions{};
    int32_t regionCount = 0;
    ImpressionMemo memo;
    bool hasResultSlot = true;   // false in the small form
    MatchResultSlot result;
    std::unique_ptr<PairHashTables, PairHashTablesDeleter> pairHash;
};

// 0, or -2 when memory runs out (nothing is returned then). The small form
// lacks only the last-result slot.
int32_t CreateMatchContext(MatchContext** context);
int32_t CreateSmallMatchContext(MatchContext** context);
void DestroyMatchContext(MatchContext* context);

// Empties the map cache: every map 61, no keys, next slot 0.
void ResetMatchContext(MatchContext& context);

// 0 and the pending values (then no longer pending), or 1 and zeros.
int32_t TakeMatchResult(MatchContext& context, std::array<int32_t, 3>& values);
// Leaves values for TakeMatchResult; the small form has nowhere to keep them.
void SetMatchResult(MatchContext& context, const std::array<int32_t, 3>& values);
void ClearMatchResult(MatchContext& context);

struct MatchContextDeleter {
    void operator()(MatchContext* context) const { DestroyMatchContext(context); }
};
using MatchContextPtr = std::unique_ptr<MatchContext, MatchContextDeleter>;

// The same creations for callers that keep the context in a smart pointer;
// empty when memory runs out.
MatchContextPtr MakeMatchContext();
MatchContextPtr MakeSmallMatchContext();

} // namespace vela::engine

#pragma once

#include <array>
#include <cstdint>

#include "engine/matching/BlockMapGeometry.h"

namespace vela::engine {

// A block map laid out so that the direction cost of a whole shift is one
// straight run over bytes instead of a table look-up per block pair.
//
// Values are coded for arithmetic: a direction 0..59 as itself (60 as 0, the
// same direction), anything undirected as kUndirectedCode. Rows are spaced
// kPaddedWidth apart with undirected blocks between them and around the map,
// wide enough for every shift the alignment searches: a first map shifted by
// (columnShift, rowShift) then lies on the second map at a constant distance
// in bytes, and blocks shifted off the grid meet undirected padding, never a
// neighbouring row.
//
// The coarse evaluation reads the even rows and columns of the second map
// only; the first map is split for it into four planes by the parity of row
// and column, so that those reads are a straight run as well.
inline constexpr uint8_t kUndirectedCode = 0x80;

inline constexpr int32_t kPaddedRowShift = 10;     // |rowShift| the layout covers
inline constexpr int32_t kPaddedColumnShift = 8;   // |columnShift| the layout covers
inline constexpr int32_t kPaddedWidth = kBlockColumns + kPaddedColumnShift;
inline constexpr int32_t kPaddedRows = kBlockRows + 2 * kPaddedRowShift;
// A run is read in whole steps of kRunStep bytes; the second map's bytes past
// its last block are undirected, and both layouts hold the overrun.
inline constexpr int32_t kRunStep = 16;
inline constexpr int32_t RoundUpToRunStep(int32_t length)
{
    return (length + kRunStep - 1) / kRunStep * kRunStep;
}
inline constexpr int32_t kFullRun = RoundUpToRunStep((kBlockRows - 1) * kPaddedWidth + kBlockColumns);
inline constexpr int32_t kPaddedSize = kPaddedRows * kPaddedWidth + 2 * kPaddedColumnShift + kRunStep;

inline constexpr int32_t kPlaneColumns = (kBlockColumns + 1) / 2;
inline constexpr int32_t kPlaneRowShift = kPaddedRowShift / 2;
inline constexpr int32_t kPlaneColumnShift = kPaddedColumnShift / 2;
inline constexpr int32_t kPlaneWidth = kPlaneColumns + kPlaneColumnShift;
inline constexpr int32_t kPlaneRows = (kBlockRows + 1) / 2 + 2 * kPlaneRowShift;
inline constexpr int32_t kEvenRun = RoundUpToRunStep(((kBlockRows + 1) / 2 - 1) * kPlaneWidth + kPlaneColumns);
inline constexpr int32_t kPlaneSize = kPlaneRows * kPlaneWidth + 2 * kPlaneColumnShift + kRunStep;

// The first and last row of a map that hold a directed block; none when
// first > last.
struct DirectedRows {
    int32_t first = kBlockRows;
    int32_t last = -1;
};

struct PaddedBlockMap {
    PaddedBlockMap();

    std::array<uint8_t, kPaddedSize> full;
    std::array<std::array<uint8_t, kPlaneSize>, 4> planes;   // [2 * row parity + column parity]
    DirectedRows directed;
};

// The first map of an alignment, padded for every shift.
PaddedBlockMap PadBlockMap(const BlockMap& map);

// The second map of an alignment, in the same row spacing: every block, and
// the even rows and columns for the coarse evaluation.
struct SecondBlockMap {
    explicit SecondBlockMap(const BlockMap& map);

    std::array<uint8_t, kFullRun> full;
    std::array<uint8_t, kEvenRun> even;
    DirectedRows directed;
};

// The packed cost of a shift as EvaluateAlignmentFull and
// EvaluateAlignmentCoarse sum it (total difference in the high 16 bits,
// directed pairs in the low 16), when the shift lies within the padding;
// false otherwise.
bool PaddedDirectionCost(const PaddedBlockMap& first, const SecondBlockMap& second, int32_t columnShift,
                         int32_t rowShift, bool coarse, uint32_t& sum);

// The ways a run of coded bytes can be summed: one byte at a time, 16 bytes
// at a time (SSE2), and 32 at a time where the processor has AVX2, chosen
// when the program runs. All give the same packed sum; the fastest one the
// processor has is used. Length is a whole number of 16-byte steps.
enum class RunKernel { Portable, Narrow, Wide };
bool RunKernelAvailable(RunKernel kernel);
uint32_t SumDirectionRun(const uint8_t* first, const uint8_t* second, int32_t length, RunKernel kernel);

} // namespace vela::engine

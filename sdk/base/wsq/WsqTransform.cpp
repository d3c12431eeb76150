#include "wsq/WsqTransform.h"

#include <algorithm>
#include <cstring>

namespace vela::wsq {
namespace {

int FilterHalf(const std::vector<float>& filter) { return (static_cast<int>(filter.size()) - 1) / 2; }

// Tap k (counted from the centre) of a symmetric filter, 0 outside it.
float TapAt(const std::vector<float>& filter, int k) {
  const int half = FilterHalf(filter);
  return k < -half || k > half ? 0.0f : filter[static_cast<size_t>(half + k)];
}

// Position j of a line of n values extended by whole-sample symmetry at both
// ends, folded back into 0..n-1 however far out it lies.
int32_t Reflect(int32_t j, int32_t n) {
  if (n == 1) return 0;
  const int32_t period = 2 * (n - 1);
  j %= period;
  if (j < 0) j += period;
  return j < n ? j : period - j;
}

// Whether position j of an extended line of interleaved coefficients holds
// a coefficient. A single sample extends to a constant, whose high-pass
// coefficients (the odd positions) are all zero; longer lines reflect odd
// positions onto odd ones.
bool HoldsCoefficient(int32_t j, int32_t n) { return n > 1 || j % 2 == 0; }

// ext holds the line at ext[half .. half + n); fills the half values beyond
// each end. For interleaved coefficients a single sample's high-pass
// neighbours are zero.
void ExtendLine(float* ext, int32_t n, int half, bool coefficients) {
  for (int k = 1; k <= half; ++k) {
    const bool zero = coefficients && !HoldsCoefficient(k, n);
    ext[half - k] = zero ? 0.0f : ext[half + Reflect(-k, n)];
    ext[half + n - 1 + k] = zero ? 0.0f : ext[half + Reflect(n - 1 + k, n)];
  }
}

// target[i] = the sum over j of taps[j] x lines[j][i], for i < n. Eight
// sums at a time stay in registers (a fixed count the compiler vectorises)
// while the lines are read in order.
void SumScaledLines(float* target, const float* const* lines, const float* taps, int count,
                    int32_t n) {
  constexpr int32_t kLanes = 8;
  int32_t x0 = 0;
  for (; x0 + kLanes <= n; x0 += kLanes) {
    float sums[kLanes] = {};
    for (int j = 0; j < count; ++j) {
      const float tap = taps[j];
      const float* from = lines[j] + x0;
      for (int32_t x = 0; x < kLanes; ++x) sums[x] += tap * from[x];
    }
    for (int32_t x = 0; x < kLanes; ++x) target[x0 + x] = sums[x];
  }
  for (; x0 < n; ++x0) {
    float sum = 0;
    for (int j = 0; j < count; ++j) sum += taps[j] * lines[j][x0];
    target[x0] = sum;
  }
}

// An extended line split into its even and odd positions, so that each
// phase of a filter reads both in order.
struct SplitLine {
  const float* even;
  const float* odd;
};
SplitLine Deinterleave(const float* ext, int32_t length, float* even, float* odd) {
  for (int32_t j = 0; 2 * j < length; ++j) even[j] = ext[2 * j];
  for (int32_t j = 0; 2 * j + 1 < length; ++j) odd[j] = ext[2 * j + 1];
  return SplitLine{even, odd};
}

// The n outputs of one phase: out[i] takes position 2i + phase of the line.
void FilterPhase(SplitLine line, const PhaseFilters& filters, int phase, int32_t n, float* out) {
  const float* lines[kMaxFilterTaps];
  float taps[kMaxFilterTaps];
  int count = 0;
  for (int k = -filters.half; k <= filters.half; ++k) {
    const float tap = filters.taps[phase][filters.half + k];
    if (tap == 0.0f) continue;
    const int at = filters.half + phase + k;  // in the extended line, for i = 0
    lines[count] = (at % 2 == 0 ? line.even : line.odd) + at / 2;
    taps[count++] = tap;
  }
  SumScaledLines(out, lines, taps, count, n);
}

// Where the low-pass and the high-pass halves of n values start.
struct Halves {
  int32_t low;
  int32_t high;
};
Halves HalfOffsets(int32_t n, bool inverted) {
  return inverted ? Halves{n / 2, 0} : Halves{0, (n + 1) / 2};
}
int32_t PlaceOf(int32_t p, Halves halves) { return (p & 1 ? halves.high : halves.low) + p / 2; }

// Line buffers for one row: the extended line, its even and odd positions,
// and the two phases' outputs.
struct RowBuffers {
  float* ext;
  float* even;
  float* odd;
  float* evenOut;
  float* oddOut;
};

// Calls filterRow(row, buffers) for each row of the region.
template <typename FilterRow>
void ForEachRow(float* image, int32_t width, const Rect& r, int half, TransformScratch& scratch,
                FilterRow filterRow) {
  const size_t length = size_t(r.width) + 2 * size_t(half);
  float* base = scratch.line.data();
  const RowBuffers buffers{base, base + length, base + length + (length + 1) / 2,
                           base + 2 * length + 1, base + 2 * length + 1 + (length + 1) / 2};
  for (int32_t y = r.y; y < r.y + r.height; ++y)
    filterRow(image + size_t(y) * size_t(width) + r.x, buffers);
}

void AnalyseRows(float* image, int32_t width, const Split& split, const PhaseFilters& filters,
                 TransformScratch& scratch) {
  const Rect& r = split.region;
  const int32_t length = r.width + 2 * filters.half;
  const Halves halves = HalfOffsets(r.width, split.invertX);
  ForEachRow(image, width, r, filters.half, scratch, [&](float* row, const RowBuffers& b) {
    std::memcpy(b.ext + filters.half, row, sizeof(float) * size_t(r.width));
    ExtendLine(b.ext, r.width, filters.half, false);
    const SplitLine line = Deinterleave(b.ext, length, b.even, b.odd);
    FilterPhase(line, filters, 0, (r.width + 1) / 2, row + halves.low);
    FilterPhase(line, filters, 1, r.width / 2, row + halves.high);
  });
}

void SynthesiseRows(float* image, int32_t width, const Split& split, const PhaseFilters& filters,
                    TransformScratch& scratch) {
  const Rect& r = split.region;
  const int32_t length = r.width + 2 * filters.half;
  const Halves halves = HalfOffsets(r.width, split.invertX);
  ForEachRow(image, width, r, filters.half, scratch, [&](float* row, const RowBuffers& b) {
    for (int32_t p = 0; p < r.width; ++p) b.ext[filters.half + p] = row[PlaceOf(p, halves)];
    ExtendLine(b.ext, r.width, filters.half, true);
    const SplitLine line = Deinterleave(b.ext, length, b.even, b.odd);
    FilterPhase(line, filters, 0, (r.width + 1) / 2, b.evenOut);
    FilterPhase(line, filters, 1, r.width / 2, b.oddOut);
    for (int32_t i = 0; 2 * i < r.width; ++i) row[2 * i] = b.evenOut[i];
    for (int32_t i = 0; 2 * i + 1 < r.width; ++i) row[2 * i + 1] = b.oddOut[i];
  });
}

// Row `p` of the output takes the filtered rows of `source` (h rows of w
// values) around p, whole rows at a time.
void FilterColumnsInto(float* target, const float* source, int32_t p, int32_t w, int32_t h,
                       const PhaseFilters& filters, bool coefficients) {
  const float* rows[kMaxFilterTaps];
  float taps[kMaxFilterTaps];
  int count = 0;
  for (int k = -filters.half; k <= filters.half; ++k) {
    const float tap = filters.taps[p & 1][filters.half + k];
    if (tap == 0.0f || (coefficients && !HoldsCoefficient(p + k, h))) continue;
    rows[count] = source + size_t(Reflect(p + k, h)) * size_t(w);
    taps[count++] = tap;
  }
  SumScaledLines(target, rows, taps, count, w);
}

void AnalyseColumns(float* image, int32_t width, const Split& split, const PhaseFilters& filters,
                    TransformScratch& scratch) {
  const Rect& r = split.region;
  const Halves halves = HalfOffsets(r.height, split.invertY);
  float* copy = scratch.region.data();
  for (int32_t y = 0; y < r.height; ++y)
    std::memcpy(copy + size_t(y) * size_t(r.width), image + size_t(r.y + y) * size_t(width) + r.x,
                sizeof(float) * size_t(r.width));
  for (int32_t p = 0; p < r.height; ++p) {
    float* target = image + size_t(r.y + PlaceOf(p, halves)) * size_t(width) + r.x;
    FilterColumnsInto(target, copy, p, r.width, r.height, filters, false);
  }
}

void SynthesiseColumns(float* image, int32_t width, const Split& split,
                       const PhaseFilters& filters, TransformScratch& scratch) {
  const Rect& r = split.region;
  const Halves halves = HalfOffsets(r.height, split.invertY);
  float* interleaved = scratch.region.data();
  for (int32_t p = 0; p < r.height; ++p)
    std::memcpy(interleaved + size_t(p) * size_t(r.width),
                image + size_t(r.y + PlaceOf(p, halves)) * size_t(width) + r.x,
                sizeof(float) * size_t(r.width));
  for (int32_t m = 0; m < r.height; ++m) {
    float* target = image + size_t(r.y + m) * size_t(width) + r.x;
    FilterColumnsInto(target, interleaved, m, r.width, r.height, filters, true);
  }
}

void PrepareScratch(const SubbandTrees& trees, const PhaseFilters& filters,
                    TransformScratch& scratch) {
  const Rect& whole = trees.splits[0].region;
  scratch.region.resize(size_t(whole.width) * size_t(whole.height));
  scratch.line.resize(4 * (size_t(std::max(whole.width, whole.height)) + 2 * size_t(filters.half) + 2));
}

bool IsEmpty(const Split& split) { return split.region.width <= 0 || split.region.height <= 0; }

}  // namespace

PhaseFilters AnalysisFilters(const TransformTable& table) {
  PhaseFilters filters;
  filters.half = std::max(FilterHalf(table.lowPass), FilterHalf(table.highPass));
  for (int k = -filters.half; k <= filters.half; ++k) {
    filters.taps[0][filters.half + k] = TapAt(table.lowPass, k);
    filters.taps[1][filters.half + k] = TapAt(table.highPass, k);
  }
  return filters;
}

PhaseFilters SynthesisFilters(const TransformTable& table) {
  PhaseFilters filters;
  filters.half = std::max(FilterHalf(table.lowPass), FilterHalf(table.highPass));
  for (int k = -filters.half; k <= filters.half; ++k) {
    const float sign = k % 2 == 0 ? 1.0f : -1.0f;
    // Low-pass coefficients stand at even positions and are spread by the
    // modulated high-pass filter; high-pass ones by the modulated low-pass.
    const float fromLow = sign * TapAt(table.highPass, k);
    const float fromHigh = sign * TapAt(table.lowPass, k);
    const bool evenOffset = k % 2 == 0;
    filters.taps[0][filters.half + k] = evenOffset ? fromLow : fromHigh;
    filters.taps[1][filters.half + k] = evenOffset ? fromHigh : fromLow;
  }
  return filters;
}

void ForwardTransform(float* image, int32_t width, const SubbandTrees& trees,
                      const PhaseFilters& analysis, TransformScratch& scratch) {
  PrepareScratch(trees, analysis, scratch);
  for (const Split& split : trees.splits) {
    if (IsEmpty(split)) continue;
    AnalyseRows(image, width, split, analysis, scratch);
    AnalyseColumns(image, width, split, analysis, scratch);
  }
}

void InverseTransform(float* image, int32_t width, const SubbandTrees& trees,
                      const PhaseFilters& synthesis, TransformScratch& scratch) {
  PrepareScratch(trees, synthesis, scratch);
  for (auto split = trees.splits.rbegin(); split != trees.splits.rend(); ++split) {
    if (IsEmpty(*split)) continue;
    SynthesiseColumns(image, width, *split, synthesis, scratch);
    SynthesiseRows(image, width, *split, synthesis, scratch);
  }
}

}  // namespace vela::wsq

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

float FilterAt(const PhaseFilters& filters, int32_t p, const float* ext) {
  const float* taps = filters.taps[p & 1].data();
  const float* at = ext + p;  // at[half] is position p
  float sum = 0;
  for (int k = 0; k <= 2 * filters.half; ++k) sum += taps[k] * at[k];
  return sum;
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

// Calls filterRow(row, ext) for each row of the region, ext being the line
// buffer with room for the extension at both ends.
template <typename FilterRow>
void ForEachRow(float* image, int32_t width, const Rect& r, TransformScratch& scratch,
                FilterRow filterRow) {
  for (int32_t y = r.y; y < r.y + r.height; ++y)
    filterRow(image + size_t(y) * size_t(width) + r.x, scratch.line.data());
}

void AnalyseRows(float* image, int32_t width, const Split& split, const PhaseFilters& filters,
                 TransformScratch& scratch) {
  const Rect& r = split.region;
  const Halves halves = HalfOffsets(r.width, split.invertX);
  ForEachRow(image, width, r, scratch, [&](float* row, float* ext) {
    std::memcpy(ext + filters.half, row, sizeof(float) * size_t(r.width));
    ExtendLine(ext, r.width, filters.half, false);
    for (int32_t p = 0; p < r.width; ++p) row[PlaceOf(p, halves)] = FilterAt(filters, p, ext);
  });
}

void SynthesiseRows(float* image, int32_t width, const Split& split, const PhaseFilters& filters,
                    TransformScratch& scratch) {
  const Rect& r = split.region;
  const Halves halves = HalfOffsets(r.width, split.invertX);
  ForEachRow(image, width, r, scratch, [&](float* row, float* ext) {
    for (int32_t p = 0; p < r.width; ++p) ext[filters.half + p] = row[PlaceOf(p, halves)];
    ExtendLine(ext, r.width, filters.half, true);
    for (int32_t m = 0; m < r.width; ++m) row[m] = FilterAt(filters, m, ext);
  });
}

// Row `p` of the output takes the filtered rows of `source` (h rows of w
// values) around p. Whole rows are combined a strip at a time, so memory is
// walked in order and the sums stay in a small buffer.
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
  constexpr int32_t kStrip = 256;
  float sums[kStrip];
  for (int32_t x0 = 0; x0 < w; x0 += kStrip) {
    const int32_t n = std::min(kStrip, w - x0);
    std::fill(sums, sums + n, 0.0f);
    for (int j = 0; j < count; ++j) {
      const float tap = taps[j];
      const float* from = rows[j] + x0;
      for (int32_t x = 0; x < n; ++x) sums[x] += tap * from[x];
    }
    std::copy(sums, sums + n, target + x0);
  }
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
  scratch.line.resize(size_t(std::max(whole.width, whole.height)) + 2 * size_t(filters.half));
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

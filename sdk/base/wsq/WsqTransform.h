// The separable wavelet transform of the standard: symmetric filters of odd
// length, whole-sample symmetric extension at both ends, low-pass outputs
// taken at even positions and high-pass outputs at odd ones.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "wsq/WsqFormat.h"
#include "wsq/WsqTrees.h"

namespace vela::wsq {

// A filter pair folded into one kernel per output parity: position p of a
// line becomes the sum over k of taps[p & 1][half + k] x line[p + k].
struct PhaseFilters {
  int half = 0;
  std::array<std::array<float, kMaxFilterTaps>, 2> taps{};
};

// Analysis: even positions take the low-pass filter, odd ones the high-pass.
PhaseFilters AnalysisFilters(const TransformTable& table);
// Synthesis: the alternating-sign filters that undo AnalysisFilters.
PhaseFilters SynthesisFilters(const TransformTable& table);

// Buffers that one transform call reuses for every line.
struct TransformScratch {
  std::vector<float> region;
  std::vector<float> line;
};

// image holds width x height values, rows top-down, no padding.
void ForwardTransform(float* image, int32_t width, const SubbandTrees& trees,
                      const PhaseFilters& analysis, TransformScratch& scratch);
void InverseTransform(float* image, int32_t width, const SubbandTrees& trees,
                      const PhaseFilters& synthesis, TransformScratch& scratch);

}  // namespace vela::wsq

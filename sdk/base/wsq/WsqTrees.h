// The standard's decomposition of an image into 64 subbands: the 20 regions
// that the wavelet transform splits in four, in the order the forward
// transform splits them, and the 64 subband rectangles.
//
// A split puts the low-pass half of each axis first, except on an axis where
// the region is itself the high-pass half of its parent: decimating a
// high-pass band mirrors its spectrum, so there the high-pass half goes first
// and the subbands stay in the order of their frequencies.
#pragma once

#include <array>
#include <cstdint>

#include "wsq/WsqFormat.h"

namespace vela::wsq {

struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

struct Split {
  Rect region;
  bool invertX = false;  // high-pass half of the columns first
  bool invertY = false;  // high-pass half of the rows first
};

inline constexpr int kSplits = 20;

// The coded subbands fall into three blocks, each with its own block header.
inline constexpr int kBlocks = 3;
inline constexpr std::array<int, kBlocks + 1> kBlockStart = {0, 19, 52, kCodedSubbands};

struct SubbandTrees {
  std::array<Split, kSplits> splits;
  std::array<Rect, kSubbands> subbands;
};

SubbandTrees BuildSubbandTrees(int32_t width, int32_t height);

}  // namespace vela::wsq

#include "wsq/WsqTrees.h"

namespace vela::wsq {
namespace {

// The four parts of a split region in the order of their frequencies: low in
// both axes, high in x, high in y, high in both. Each part is the high-pass
// half of its parent along the axes it is "high" in, which is what inverts
// its own split there.
std::array<Split, 4> Quarters(const Split& parent) {
  const Rect& r = parent.region;
  const int32_t lowWidth = (r.width + 1) / 2, highWidth = r.width / 2;
  const int32_t lowHeight = (r.height + 1) / 2, highHeight = r.height / 2;
  const int32_t leftWidth = parent.invertX ? highWidth : lowWidth;
  const int32_t rightWidth = parent.invertX ? lowWidth : highWidth;
  const int32_t topHeight = parent.invertY ? highHeight : lowHeight;
  const int32_t bottomHeight = parent.invertY ? lowHeight : highHeight;
  const Rect topLeft{r.x, r.y, leftWidth, topHeight};
  const Rect topRight{r.x + leftWidth, r.y, rightWidth, topHeight};
  const Rect bottomLeft{r.x, r.y + topHeight, leftWidth, bottomHeight};
  const Rect bottomRight{r.x + leftWidth, r.y + topHeight, rightWidth, bottomHeight};
  return {Split{topLeft, false, false}, Split{topRight, true, false},
          Split{bottomLeft, false, true}, Split{bottomRight, true, true}};
}

class TreeBuilder {
 public:
  explicit TreeBuilder(SubbandTrees& trees) : trees(trees) {}

  // Records a split and returns its four parts.
  std::array<Split, 4> Divide(const Split& region) {
    trees.splits[nextSplit++] = region;
    return Quarters(region);
  }

  void Subband(int index, const Split& part) { trees.subbands[index] = part.region; }

 private:
  SubbandTrees& trees;
  int nextSplit = 0;
};

}  // namespace

SubbandTrees BuildSubbandTrees(int32_t width, int32_t height) {
  SubbandTrees trees;
  TreeBuilder tree(trees);

  const auto image = tree.Divide(Split{Rect{0, 0, width, height}, false, false});
  const auto low = tree.Divide(image[0]);
  const auto highX = tree.Divide(image[1]);
  const auto highY = tree.Divide(image[2]);
  // The finest quarter is never coded and never split; its subbands only
  // mark where it lies.
  const auto finest = Quarters(image[3]);

  // The three coarse quarters of the low-pass image are split twice more,
  // those 12 splits coming after the three that make them.
  const std::array<Split, 4> lowLow = tree.Divide(low[0]);
  const std::array<Split, 4> lowHighX = tree.Divide(low[1]);
  const std::array<Split, 4> lowHighY = tree.Divide(low[2]);
  std::array<std::array<Split, 4>, 12> eighths;
  for (int q = 0; q < 4; ++q) eighths[q] = tree.Divide(lowLow[q]);
  for (int q = 0; q < 4; ++q) eighths[4 + q] = tree.Divide(lowHighX[q]);
  for (int q = 0; q < 4; ++q) eighths[8 + q] = tree.Divide(lowHighY[q]);
  const auto coarsest = tree.Divide(eighths[0][0]);

  // Subbands 0-3 are the coarsest; 4-18 the rest of the low-low quarter.
  int next = 0;
  for (const Split& part : coarsest) tree.Subband(next++, part);
  for (int q = 0; q < 12; ++q)
    for (int p = 0; p < 4; ++p) {
      if (q == 0 && p == 0) continue;
      tree.Subband(next++, eighths[q][p]);
    }
  tree.Subband(next++, low[3]);
  for (const Split& part : highX) tree.Subband(next++, part);
  for (const Split& part : highY) tree.Subband(next++, part);
  for (const Split& part : finest) tree.Subband(next++, part);
  return trees;
}

}  // namespace vela::wsq

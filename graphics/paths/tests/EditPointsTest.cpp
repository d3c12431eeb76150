#include "paths/EditPoints.h"

#include <gtest/gtest.h>

namespace pv::graphics {
namespace {

struct Case {
  const char* name;
  TPointArray points;
  TTypeArray types;
  std::vector<uint8_t> selected;
  int32_t operation;
  bool changed;
  TPointArray wantPoints;
  TTypeArray wantTypes;
};

constexpr uint8_t N = ptNode, E = ptEndNode, C = ptEndNodeClose, K = ptControl;

TEST(EditPoints, TableOfOperations) {
  const TEditPointsOffset offset{10, 20, true};
  const Case cases[] = {
      {"move a node and its control points",
       {{0, 0}, {1, 1}, {2, 2}, {30, 0}, {40, 0}},
       {N, K, K, N, E},
       {0, 0, 0, 1, 0},
       epMove, true,
       {{0, 0}, {1, 1}, {12, 22}, {40, 20}, {40, 0}},
       {N, K, K, N, E}},
      {"move a lone control point",
       {{0, 0}, {1, 1}, {2, 2}, {30, 0}},
       {N, K, K, E},
       {0, 1, 0, 0},
       epMove, true,
       {{0, 0}, {11, 21}, {2, 2}, {30, 0}},
       {N, K, K, E}},
      {"join the ends of one open figure",
       {{0, 0}, {10, 0}, {10, 10}, {2, 0}},
       {N, N, N, E},
       {1, 0, 0, 1},
       epJoin, true,
       {{1, 0}, {10, 0}, {10, 10}},
       {N, N, C}},
      {"join two figures end to start",
       {{0, 0}, {10, 0}, {12, 0}, {20, 0}},
       {N, E, N, E},
       {0, 1, 1, 0},
       epJoin, true,
       {{0, 0}, {11, 0}, {20, 0}},
       {N, N, E}},
      {"join two figures start to start (the first is reversed)",
       {{0, 0}, {10, 0}, {-2, 0}, {-20, 0}},
       {N, E, N, E},
       {1, 0, 1, 0},
       epJoin, true,
       {{10, 0}, {-1, 0}, {-20, 0}},
       {N, N, E}},
      {"connect two figures end to end (the second is reversed)",
       {{0, 0}, {10, 0}, {30, 0}, {20, 5}},
       {N, E, N, E},
       {0, 1, 0, 1},
       epConnect, true,
       {{0, 0}, {10, 0}, {20, 5}, {30, 0}},
       {N, N, N, E}},
      {"connect the ends of one open figure closes it",
       {{0, 0}, {10, 0}, {10, 10}},
       {N, N, E},
       {1, 0, 1},
       epConnect, true,
       {{0, 0}, {10, 0}, {10, 10}},
       {N, N, C}},
      {"break an open figure inside",
       {{0, 0}, {10, 0}, {20, 0}},
       {N, N, E},
       {0, 1, 0},
       epBreak, true,
       {{0, 0}, {10, 0}, {10, 0}, {20, 0}},
       {N, E, N, E}},
      {"break a closed figure opens and rotates it",
       {{0, 0}, {10, 0}, {10, 10}, {0, 10}},
       {N, N, N, C},
       {0, 1, 0, 0},
       epBreak, true,
       {{10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}},
       {N, N, N, N, E}},
      {"curve to line",
       {{0, 0}, {1, 5}, {2, 5}, {30, 0}},
       {N, K, K, E},
       {1, 0, 0, 0},
       epCurvesToLines, true,
       {{0, 0}, {30, 0}},
       {N, E}},
      {"line to curve, also the closing segment",
       {{0, 0}, {30, 0}, {30, 30}},
       {N, N, C},
       {0, 0, 1},
       epLinesToCurves, true,
       {{0, 0}, {30, 0}, {30, 30}, {20, 20}, {10, 10}},
       {N, N, C, K, K}},
      {"an operation that is not offered changes nothing",
       {{0, 0}, {10, 0}, {20, 0}},
       {N, N, E},
       {1, 0, 0},
       epBreak, false,
       {{0, 0}, {10, 0}, {20, 0}},
       {N, N, E}},
      {"unknown operations do nothing",
       {{0, 0}, {10, 0}},
       {N, E},
       {1, 1},
       9, false,
       {{0, 0}, {10, 0}},
       {N, E}},
  };
  for (const Case& c : cases) {
    TPointArray points = c.points;
    TTypeArray types = c.types;
    EXPECT_EQ(EditPoints(points, types, c.selected, offset, c.operation), c.changed) << c.name;
    EXPECT_EQ(points, c.wantPoints) << c.name;
    EXPECT_EQ(types, c.wantTypes) << c.name;
  }
}

TEST(GetEditPointsCaps, OffersWhatTheSelectionAllows) {
  struct CapsCase {
    const char* name;
    TTypeArray types;
    std::vector<uint8_t> selected;
    uint32_t caps;
  };
  const uint32_t move = 1u << epMove, join = 1u << epJoin, brk = 1u << epBreak, conn = 1u << epConnect,
                 toLine = 1u << epCurvesToLines, toCurve = 1u << epLinesToCurves;
  const CapsCase cases[] = {
      {"nothing selected", {N, N, E}, {0, 0, 0}, 0},
      {"the ends of a three-node figure", {N, N, E}, {1, 0, 1}, move | join | conn | toCurve},
      {"the ends of a two-node figure: connect only", {N, E}, {1, 1}, move | conn | toCurve},
      {"an inside node", {N, N, E}, {0, 1, 0}, move | brk | toCurve},
      {"a control point", {N, K, K, E}, {0, 1, 0, 0}, move},
      {"a curve's start", {N, K, K, E}, {1, 0, 0, 0}, move | toLine},
      {"ends of two figures", {N, E, N, E}, {0, 1, 1, 0}, move | join | conn | toCurve},
      {"three ends", {N, E, N, E}, {1, 1, 1, 0}, move | toCurve},
      {"a closed figure's nodes", {N, N, C}, {1, 0, 1}, move | brk | toCurve},
  };
  for (const CapsCase& c : cases) {
    const TPointArray points(c.types.size(), TPoint{1, 1});
    EXPECT_EQ(GetEditPointsCaps(points, c.types, c.selected), c.caps) << c.name;
  }
  EXPECT_EQ(GetEditPointsCaps(TPointArray(2), TTypeArray{N}, std::vector<uint8_t>{1, 1}), 0u);
}

}  // namespace
}  // namespace pv::graphics

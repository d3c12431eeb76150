#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "DXF_structs.h"
#include "TestSupport.h"

namespace pv::viewer {
namespace {

using canvas::CanvasOp;
using canvas::RecordingCanvas;
using test::Drawn;
using test::Dxf;
using test::UnitMap;
using Lines = std::vector<std::string>;

std::vector<Point3D> Square() { return {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}; }

std::string Record(const DXF_Entity& e, std::string_view layer = "0") {
  std::ostringstream out;
  e.WriteToDxf(out, layer);
  return out.str();
}

std::unique_ptr<Attrib_> MakeAttrib(const char* tag, const char* value, Point3D at, int flags = 0) {
  return std::make_unique<Attrib_>(WCS_Z_Axis, 0, 1.0, 0, flags, tag, value, WCS_Origin, at);
}

TEST(Polyline_, ClosingRule) {
  const Point3D a{0, 0, 0}, b{1, 0, 0}, c{1, 1, 0};
  struct Case {
    std::vector<Point3D> points;
    bool closedFlag;
    bool closed;
    size_t count;
  };
  const Case cases[] = {
      {{a, b, c, a}, false, true, 3},   // a repeated first point closes it
      {{a, b, c, a}, true, true, 4},    // the flag takes the points as they are
      {{a}, false, true, 0},            // one point is its own first and last
      {{a, b}, false, false, 2},
      {{}, false, false, 0},
      {{a, b, c}, true, true, 3},
  };
  for (const Case& k : cases) {
    const Polyline_ p(WCS_Z_Axis, k.closedFlag, 0, k.points);
    EXPECT_EQ(p.Closed(), k.closed) << k.points.size();
    EXPECT_EQ(p.Points().size(), k.count) << k.points.size();
    EXPECT_EQ(p.ClosedPolyCount() + p.OpenPolyCount(), 1);
  }
}

TEST(Polyline_, InsideTestOnEdgesAndVertices) {
  const Polyline_ square(WCS_Z_Axis, true, 0, Square());
  struct Case {
    Point3D p;
    bool inside;
  };
  // Left and bottom edges count as inside, right and top as outside.
  const Case cases[] = {
      {{5, 5, 0}, true},   {{0, 5, 0}, true},   {{10, 5, 0}, false}, {{5, 0, 0}, true},
      {{5, 10, 0}, false}, {{0, 0, 0}, true},   {{10, 0, 0}, false}, {{10, 10, 0}, false},
      {{0, 10, 0}, false}, {{-1, 5, 0}, false}, {{11, 5, 0}, false}, {{9.999, 9.999, 7}, true},
  };
  for (const Case& c : cases) EXPECT_EQ(square.IsInside(c.p), c.inside) << c.p.x << "," << c.p.y;
  // The same outline left open contains nothing; a polyline without points neither.
  EXPECT_FALSE(Polyline_(WCS_Z_Axis, false, 0, Square()).IsInside({5, 5, 0}));
  EXPECT_FALSE(Polyline_(WCS_Z_Axis, false, 0, std::vector<Point3D>{{1, 1, 0}}).IsInside({1, 1, 0}));
}

TEST(Polyline_, NearestPointAndMoves) {
  Polyline_ p(WCS_Z_Axis, false, 0, std::vector<Point3D>{{0, 0, 0}, {10, 0, 0}, {0, 0, 5}});
  EXPECT_DOUBLE_EQ(p.Distance({1, 1, 0}), 2.0);
  const Point3D closest = p.ClosestPoint({1, 1, 0});
  EXPECT_EQ(closest.z, 0.0);  // the first of two equally near points
  EXPECT_TRUE(p.MovePoint({10, 0, 0}, {20, 0, 0}));
  EXPECT_EQ(p.Points()[1].x, 20.0);
  EXPECT_FALSE(p.MovePoint({99, 0, 0}, {1, 1, 1}));
  const Polyline_ empty(WCS_Z_Axis, false, 0, std::vector<Point3D>{{3, 3, 0}});
  EXPECT_EQ(empty.Distance({0, 0, 0}), 1e10);
  EXPECT_EQ(empty.ClosestPoint({0, 0, 0}).x, 1e10);
}

TEST(Line_, HitTestsUseSquaredDistances) {
  Line_ line({0, 0, 0}, 0, {10, 0, 0});
  EXPECT_DOUBLE_EQ(line.Distance({3, 4, 0}), 25.0);
  EXPECT_EQ(line.ClosestPoint({5, 1, 0}).x, 10.0);  // equal distances give the end point
  EXPECT_EQ(line.ClosestPoint({4, 1, 0}).x, 0.0);
  EXPECT_TRUE(line.MovePoint({10, 0, 0}, {10, 5, 0}));
  EXPECT_EQ(line.EndPoint().y, 5.0);
  EXPECT_FALSE(line.MovePoint({3, 3, 3}, {0, 0, 0}));
  EXPECT_EQ(line.VertexCount(), 2);
  EXPECT_EQ(line.LineCount(), 1);
}

TEST(Circle_, InsideIncludesTheCircleItself) {
  const Circle_ c(WCS_Z_Axis, 0, 5, {0, 0, 0});
  EXPECT_TRUE(c.IsInside({5, 0, 0}));
  EXPECT_TRUE(c.IsInside({3, 4, 9}));
  EXPECT_FALSE(c.IsInside({5.0001, 0, 0}));
  EXPECT_FALSE(Arc_(WCS_Z_Axis, 0, 0, 360, 5, {0, 0, 0}).IsInside({0, 0, 0}));
}

TEST(Arc_, ExtentsWalkTheQuadrants) {
  struct Case {
    double start, end;
    Point3D max, min;
  };
  const double c10 = std::cos(10 * M_PI / 180), s10 = std::sin(10 * M_PI / 180);
  const Case cases[] = {
      {350, 10, {1, s10, 0}, {c10, -s10, 0}},   // crosses 0 degrees
      {0, 360, {1, 1, 0}, {-1, -1, 0}},         // the whole circle
      {0, 90, {1, 1, 0}, {0, 0, 0}},
      {90, 0, {1, 1, 0}, {-1, -1, 0}},          // three quarters
      {-90, 0, {1, 0, 0}, {0, -1, 0}},          // negative angles are brought into range
      {-10, 10, {1, s10, 0}, {c10, -s10, 0}},
      {370, 460, {c10, 1, 0}, {-s10, s10, 0}},  // 10 to 100 degrees
      {10, 80, {c10, c10, 0}, {s10, s10, 0}},  // within one quadrant
      {80, 10, {1, 1, 0}, {-1, -1, 0}},        // ends in one quadrant, sweeping through all four
      {200, 199.5, {1, 1, 0}, {-1, -1, 0}},
      {45, 45, {1, 1, 0}, {-1, -1, 0}},  // ends that meet: drawn as the whole circle
  };
  for (const Case& k : cases) {
    const Arc_ arc(WCS_Z_Axis, 0, k.start, k.end, 1, {0, 0, 7});
    Point3D max{-100, -100, -100}, min{100, 100, 100};
    arc.GrowExtents(max, min);
    EXPECT_NEAR(max.x, k.max.x, 1e-12) << k.start << " " << k.end;
    EXPECT_NEAR(max.y, k.max.y, 1e-12) << k.start << " " << k.end;
    EXPECT_NEAR(min.x, k.min.x, 1e-12) << k.start << " " << k.end;
    EXPECT_NEAR(min.y, k.min.y, 1e-12) << k.start << " " << k.end;
    EXPECT_EQ(max.z, -100);  // the centre's z is not part of the arc's extents
    EXPECT_EQ(min.z, 100);
  }
}

TEST(DXF_Entity, ColourIndexes) {
  struct Case {
    int32_t index;
    TColor colour;
  };
  const Case cases[] = {
      {7, 0x000000},       {0, 0x000000},      {1, 0x0000FF}, {12, 0x808080}, {13, 0x000000},
      {256, 0xFF00FF},     // by-layer keeps its index; the colour is the table's by the remainder
      {-1, 0x0000FF},      // a layer that is off keeps its colour
      {-7, 0x000000},      {INT32_MIN, 0x808080},
  };
  for (const Case& c : cases) {
    Point_ p(WCS_Z_Axis, c.index, WCS_Origin);
    EXPECT_EQ(p.Color(), c.colour) << c.index;
    EXPECT_EQ(p.ColorIndex(), c.index);
  }
  Point_ p(WCS_Z_Axis, 0, WCS_Origin);
  p.SetColor(0x000000);
  EXPECT_EQ(p.ColorIndex(), 7);
  p.SetColor(0x808080);
  EXPECT_EQ(p.ColorIndex(), 12);
  p.SetColor(0x123456);
  EXPECT_EQ(p.ColorIndex(), 0);
  EXPECT_EQ(p.Color(), 0x123456);
}

TEST(DXF_Entity, ExtrusionMakesAnObjectCoordinateSystem) {
  const Circle_ flat(WCS_Z_Axis, 0, 1, {2, 2, 0});
  EXPECT_EQ(flat.OCS(), nullptr);
  const Circle_ down({0, 0, -1}, 0, 1, {2, 2, 0});
  ASSERT_NE(down.OCS(), nullptr);
  const Point3D w = DXF_Utils::TransformPoint(*down.OCS(), {2, 2, 3});
  EXPECT_EQ(w.x, -2.0);
  EXPECT_EQ(w.y, 2.0);
  EXPECT_EQ(w.z, -3.0);
  EXPECT_THROW(Point_(WCS_Origin, 0, WCS_Origin), std::invalid_argument);
  EXPECT_THROW(Point_({NAN, 0, 1}, 0, WCS_Origin), std::invalid_argument);
}

TEST(DXF_Entity, NamesAndCounts) {
  EXPECT_EQ(Point_(WCS_Z_Axis, 0, WCS_Origin).DxfName(), "POINT");
  EXPECT_EQ(Attdef_(WCS_Z_Axis, 0, 1, 0, 0, "", "", "", WCS_Origin, WCS_Origin).DxfName(), "ATTDEF");
  EXPECT_EQ(Face3D_(3, 0, Square()).DxfName(), "3DFACE");
  EXPECT_EQ(Solid_(WCS_Z_Axis, 0, 0, Square(), 4).DxfName(), "SOLID");
  EXPECT_EQ(Polygon_mesh_(0, 0, Square(), 2, 2).DxfName(), "POLYLINE");
  EXPECT_EQ(Block_("B", WCS_Origin).DxfName(), "BLOCK");
  const int before = DXF_Counters::entities;
  {
    Line_ a(WCS_Origin, 0, WCS_X_Axis);
    Circle_ b(WCS_Z_Axis, 0, 1, WCS_Origin);
    EXPECT_EQ(DXF_Counters::entities, before + 2);
  }
  EXPECT_EQ(DXF_Counters::entities, before);
}

// ---- Drawing ----------------------------------------------------------------------------

TEST(Drawing, PenColourIsSetOnlyWhenItDiffers) {
  RecordingCanvas c;
  Line_ red1({0, 0, 0}, 1, {10, 5, 0});
  Line_ red2({1, 1, 0}, 1, {2, 2, 0});
  Line_ black({0, 0, 0}, 7, {1, 0, 0});
  red1.Draw(c, nullptr, UnitMap, nullptr);
  red2.Draw(c, nullptr, UnitMap, nullptr);
  black.Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(c.Count(CanvasOp::SetPen), 2u);
  EXPECT_EQ(Drawn(c), (Lines{"MoveTo 0,0", "LineTo 10,-5", "MoveTo 1,-1", "LineTo 2,-2", "MoveTo 0,0", "LineTo 1,0"}));
}

TEST(Drawing, PointsAndVertexMarks) {
  RecordingCanvas c;
  Point_ p(WCS_Z_Axis, 7, {10, 20, 0});
  p.Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(Drawn(c), (Lines{"MoveTo 8,-22", "LineTo 13,-17", "MoveTo 8,-18", "LineTo 13,-23"}));
  c.Clear();
  Line_({0, 0, 0}, 7, {10, 0, 0}).DrawVertices(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(c.Count(CanvasOp::LineTo), 4u);
}

TEST(Drawing, CirclesAndArcs) {
  RecordingCanvas c;
  Circle_(WCS_Z_Axis, 7, 2, {5, 5, 0}).Draw(c, nullptr, UnitMap, nullptr);
  Circle_(WCS_Z_Axis, 7, 0.4, {5, 5, 0}).Draw(c, nullptr, UnitMap, nullptr);  // too small: one pixel
  Arc_(WCS_Z_Axis, 7, 0, 90, 10, {0, 0, 0}).Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(Drawn(c), (Lines{"Ellipse 3,-7,7,-3", "SetPixel 5,-5,0", "Arc -10,-10,10,10,10,0,0,-10"}));
}

TEST(Drawing, MirroredCirclesAndArcsKeepTheirSize) {
  RecordingCanvas c;
  // Extrusion (0, 0, -1) mirrors x: the circle at (2, 2) lies at (-2, 2) in the world.
  Circle_({0, 0, -1}, 7, 1, {2, 2, 0}).Draw(c, nullptr, UnitMap, nullptr);
  // The quarter from 0 to 90 degrees lands on the world's quarter from 90 to 180.
  Arc_({0, 0, -1}, 7, 0, 90, 10, {0, 0, 0}).Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(Drawn(c), (Lines{"Ellipse -3,-3,-1,-1", "Arc -10,-10,10,10,0,-10,-10,0"}));
}

TEST(Drawing, TextPlacementHeightAndAlignment) {
  RecordingCanvas c;
  Text_ text(WCS_Z_Axis, 1, 3, 10, "Hello", {4, 5, 0}, {1, 1, 0});
  text.Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(c.GetFont().height, 12);
  EXPECT_EQ(c.GetFont().color, 0x00FF00);
  EXPECT_EQ(c.GetTextAlign(), canvas::TA_BASELINE | canvas::TA_CENTER);
  EXPECT_EQ(Drawn(c), (Lines{"TextOut 4,-5 \"Hello\""}));
  const size_t before = c.Commands().size();
  text.Draw(c, nullptr, UnitMap, nullptr);  // nothing to change the second time
  EXPECT_EQ(c.Commands().size(), before + 1);
  c.Clear();
  Text_(WCS_Z_Axis, 0, 3, 0.2, "tiny", WCS_Origin, {1, 1, 0}).Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(c.Count(CanvasOp::TextOut), 0u);  // less than a pixel high
  Attrib_ hidden(WCS_Z_Axis, 0, 1, 0, 1, "TAG", "v", WCS_Origin, WCS_Origin);
  hidden.Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(c.Count(CanvasOp::TextOut), 0u);
  Attdef_(WCS_Z_Axis, 0, 1, 0, 0, "p", "d", "t", WCS_Origin, WCS_Origin).Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(c.Commands().size(), 0u);
}

// Each alignment places its text the same way whatever alignment the text before it had.
TEST(Drawing, TextAlignmentDoesNotDependOnTheTextDrawnBefore) {
  constexpr uint32_t kLeft = canvas::TA_BASELINE | canvas::TA_LEFT;
  constexpr uint32_t kCentre = canvas::TA_BASELINE | canvas::TA_CENTER;
  constexpr uint32_t kRight = canvas::TA_BASELINE | canvas::TA_RIGHT;
  struct Case {
    int32_t alignment;
    uint32_t align;
    const char* drawn;
  };
  // Insertion point (1, 1), alignment point (4, 5).
  const Case cases[] = {
      {0, kLeft, "TextOut 4,-5 \"T\""},   {1, kCentre, "TextOut 4,-5 \"T\""}, {2, kRight, "TextOut 4,-5 \"T\""},
      {3, kLeft, "TextOut 1,-1 \"T\""},   {4, kCentre, "TextOut 4,-5 \"T\""}, {5, kLeft, "TextOut 1,-1 \"T\""},
  };
  for (const Case& c : cases) {
    for (int32_t before = 0; before <= 5; ++before) {
      RecordingCanvas canvas;
      Text_(WCS_Z_Axis, before, 7, 10, "B", {4, 5, 0}, {1, 1, 0}).Draw(canvas, nullptr, UnitMap, nullptr);
      canvas.Clear();
      Text_(WCS_Z_Axis, c.alignment, 7, 10, "T", {4, 5, 0}, {1, 1, 0}).Draw(canvas, nullptr, UnitMap, nullptr);
      EXPECT_EQ(canvas.GetTextAlign(), c.align) << c.alignment << " after " << before;
      EXPECT_EQ(Drawn(canvas), Lines{c.drawn}) << c.alignment << " after " << before;
    }
  }
}

TEST(Drawing, PolylinesAndMeshes) {
  RecordingCanvas c;
  Polyline_(WCS_Z_Axis, true, 7, std::vector<Point3D>{{0, 0, 0}, {2, 0, 0}, {2, 2, 0}}).Draw(c, nullptr, UnitMap, nullptr);
  Polyline_(WCS_Z_Axis, false, 7, std::vector<Point3D>{{0, 0, 0}, {2, 0, 0}}).Draw(c, nullptr, UnitMap, nullptr);
  Polyline_(WCS_Z_Axis, false, 7, std::vector<Point3D>{{5, 5, 0}}).Draw(c, nullptr, UnitMap, nullptr);  // no points left
  EXPECT_EQ(Drawn(c), (Lines{"Polygon (0,0) (2,0) (2,-2)", "Polyline (0,0) (2,0)"}));

  c.Clear();
  const std::vector<Point3D> grid{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}};
  Polygon_mesh_(7, 0x20, grid, 2, 3).Draw(c, nullptr, UnitMap, nullptr);  // closed in N only
  EXPECT_EQ(Drawn(c), (Lines{"Polygon (0,0) (1,0) (2,0)", "Polygon (0,-1) (1,-1) (2,-1)", "Polyline (0,0) (0,-1)",
                             "Polyline (1,0) (1,-1)", "Polyline (2,0) (2,-1)"}));
  c.Clear();
  Polygon_mesh_(7, 1, grid, 2, 3).Draw(c, nullptr, UnitMap, nullptr);  // closed in M: columns return
  EXPECT_EQ(Drawn(c).back(), "Polyline (2,0) (2,-1) (2,0)");
  EXPECT_THROW(Polygon_mesh_(7, 0, grid, 2, 2), std::invalid_argument);

  c.Clear();
  const std::vector<Polyface_mesh_::Face> faces{{0, 1, 2, -1}, {-1, 0, 1, 2}, {3, 9, 0, 1}, {2, 1, 0, 3}};
  Polyface_mesh_(7, faces, std::vector<Point3D>{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}}).Draw(c, nullptr, UnitMap,
                                                                                                   nullptr);
  // A face ends at its first negative index and at an index beyond the vertices.
  EXPECT_EQ(Drawn(c), (Lines{"Polygon (0,0) (4,0) (4,-4)", "Polygon (0,-4)", "Polygon (4,-4) (4,0) (0,0) (0,-4)"}));
}

TEST(Drawing, LongPolylinesAreBoundedByTheScreenBuffer) {
  std::vector<Point3D> many(Polyline_::kMaxPoints + 10);
  for (size_t i = 0; i < many.size(); ++i) many[i] = {static_cast<double>(i), 0, 0};
  RecordingCanvas c;
  Polyline_(WCS_Z_Axis, false, 7, many).Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(c.Commands().back().points.size(), Polyline_::kMaxPoints);
}

// ---- Blocks and inserts -----------------------------------------------------------------

struct Drawing {
  Entity_List blocks{"Block_"};
  Block_* Add(std::unique_ptr<Block_> block) {
    Block_* b = block.get();
    blocks.Add(std::move(block));
    return b;
  }
};

TEST(Insert_, ScalesThenRotatesThenMoves) {
  Drawing d;
  Block_* b = d.Add(std::make_unique<Block_>("B", WCS_Origin));
  b->Add(std::make_unique<Line_>(Point3D{0, 0, 0}, 7, Point3D{1, 0, 0}));
  b->Add(std::make_unique<Circle_>(WCS_Z_Axis, 7, 1, Point3D{1, 0, 0}));
  b->Add(std::make_unique<Text_>(WCS_Z_Axis, 0, 7, 1, "T", WCS_Origin, Point3D{1, 0, 0}));
  std::vector<std::unique_ptr<Attrib_>> attribs;
  attribs.push_back(MakeAttrib("TAG", "A1", {20, 20, 0}));
  Insert_ insert(WCS_Z_Axis, "B", std::move(attribs), 7, 90, {2, 2, 2}, {10, 10, 0});
  insert.SetBlockList(&d.blocks);
  RecordingCanvas c;
  insert.Draw(c, nullptr, UnitMap, nullptr);
  // The attribute stays where it was placed; the block's line, circle (same size, centre
  // moved) and text all follow the insert.
  EXPECT_EQ(Drawn(c), (Lines{"TextOut 20,-20 \"A1\"", "MoveTo 10,-10", "LineTo 10,-12", "Ellipse 8,-14,12,-10",
                             "TextOut 10,-12 \"T\""}));
  EXPECT_EQ(c.GetFont().height, 4);  // the text's height is scaled by 2
  EXPECT_EQ(c.GetFont().escapement, 900);

  // A non-uniform scale applies before the rotation.
  Insert_ stretched(WCS_Z_Axis, "B", {}, 7, 90, {2, 1, 1}, WCS_Origin);
  stretched.SetBlockList(&d.blocks);
  c.Clear();
  stretched.Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(Drawn(c)[1], "LineTo 0,-2");
}

TEST(Insert_, BlockBasePointAndNestedInserts) {
  Drawing d;
  Block_* inner = d.Add(std::make_unique<Block_>("INNER", Point3D{1, 1, 0}));
  inner->Add(std::make_unique<Line_>(Point3D{1, 1, 0}, 7, Point3D{2, 1, 0}));
  Block_* outer = d.Add(std::make_unique<Block_>("OUTER", WCS_Origin));
  outer->Add(std::make_unique<Insert_>(WCS_Z_Axis, "INNER", std::vector<std::unique_ptr<Attrib_>>{}, 7, 0,
                                       Point3D{1, 1, 1}, Point3D{5, 0, 0}));
  outer->Add(std::make_unique<Line_>(Point3D{0, 0, 0}, 7, Point3D{0, 1, 0}));
  Insert_ top(WCS_Z_Axis, "OUTER", {}, 7, 0, {1, 1, 1}, {100, 0, 0});
  top.SetBlockList(&d.blocks);
  RecordingCanvas c;
  top.Draw(c, nullptr, UnitMap, nullptr);
  // Siblings after a nested insert are drawn with their own block's matrix.
  EXPECT_EQ(Drawn(c), (Lines{"MoveTo 105,0", "LineTo 106,0", "MoveTo 100,0", "LineTo 100,-1"}));
}

TEST(Insert_, BlocksThatInsertThemselvesDoNotRecurseForever) {
  Drawing d;
  Block_* a = d.Add(std::make_unique<Block_>("A", WCS_Origin));
  Block_* b = d.Add(std::make_unique<Block_>("B", WCS_Origin));
  a->Add(std::make_unique<Line_>(Point3D{0, 0, 0}, 7, Point3D{1, 0, 0}));
  a->Add(std::make_unique<Insert_>(WCS_Z_Axis, "B", std::vector<std::unique_ptr<Attrib_>>{}, 7, 0, Point3D{1, 1, 1},
                                   Point3D{1, 0, 0}));
  b->Add(std::make_unique<Insert_>(WCS_Z_Axis, "A", std::vector<std::unique_ptr<Attrib_>>{}, 7, 0, Point3D{1, 1, 1},
                                   Point3D{1, 0, 0}));
  Insert_ top(WCS_Z_Axis, "A", {}, 7, 0, {1, 1, 1}, WCS_Origin);
  top.SetBlockList(&d.blocks);
  RecordingCanvas c;
  top.Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(c.Count(CanvasOp::LineTo), 1u);  // A once; its second visit is cut
  const std::string details = top.Details();
  EXPECT_NE(details.find("Name :\tB"), std::string::npos);
}

// Counts lines instead of recording them.
class CountingCanvas : public RecordingCanvas {
 public:
  long lines = 0;
  void MoveTo(int32_t, int32_t) override {}
  void LineTo(int32_t, int32_t) override { ++lines; }
};

TEST(Insert_, BlocksInsertingOthersManyTimesOverAreBounded) {
  // B0 inserts B1 twice, B1 inserts B2 twice, ... : 2^40 lines if followed to the end.
  Drawing d;
  constexpr int kLevels = 40;
  for (int i = 0; i < kLevels; ++i) {
    Block_* b = d.Add(std::make_unique<Block_>("B" + std::to_string(i), WCS_Origin));
    b->Add(std::make_unique<Line_>(Point3D{0, 0, 0}, 7, Point3D{1, 0, 0}));
    if (i + 1 == kLevels) continue;
    for (int k = 0; k < 2; ++k) {
      b->Add(std::make_unique<Insert_>(WCS_Z_Axis, "B" + std::to_string(i + 1), std::vector<std::unique_ptr<Attrib_>>{},
                                       7, 0, Point3D{1, 1, 1}, Point3D{static_cast<double>(k), 0, 0}));
    }
  }
  Insert_ top(WCS_Z_Axis, "B0", {}, 7, 0, {1, 1, 1}, WCS_Origin);
  top.SetBlockList(&d.blocks);
  CountingCanvas c;
  top.Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(c.lines, Block_::kMaxVisitsPerWalk);
  // A second walk has its own allowance.
  c.lines = 0;
  top.Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(c.lines, Block_::kMaxVisitsPerWalk);
}

TEST(Insert_, DetailsOfBlocksInsertingOthersManyTimesOverAreBounded) {
  // A inserts B 40 times, B inserts C 40 times, C holds 40 lines: 64,000 lines spelled out if
  // followed to the end (and a million at 100 a level).
  Drawing d;
  constexpr int kWays = 40;
  const char* names[] = {"A", "B", "C"};
  for (int level = 0; level < 3; ++level) {
    Block_* b = d.Add(std::make_unique<Block_>(names[level], WCS_Origin));
    for (int k = 0; k < kWays; ++k) {
      if (level == 2) {
        b->Add(std::make_unique<Line_>(Point3D{0, double(k), 0}, 7, Point3D{1, double(k), 0}));
      } else {
        b->Add(std::make_unique<Insert_>(WCS_Z_Axis, names[level + 1], std::vector<std::unique_ptr<Attrib_>>{}, 7, 0,
                                         Point3D{1, 1, 1}, Point3D{double(k), 0, 0}));
      }
    }
  }
  Insert_ top(WCS_Z_Axis, "A", {}, 7, 0, {1, 1, 1}, WCS_Origin);
  top.SetBlockList(&d.blocks);
  const auto count = [](const std::string& text, const std::string& what) {
    long n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  };
  const std::string details = top.Details();
  const long listed = count(details, "\r\nLine_\r\n") + count(details, "\r\nInsert_\r\n");
  EXPECT_EQ(listed, Block_::kMaxDetailedEntities);
  EXPECT_NE(details.find(Block_::kNotFollowedLine), std::string::npos);
  // The text starts as it always did, and a second text has its own allowance.
  EXPECT_EQ(details.rfind("Insert_\r\n", 0), 0u);
  EXPECT_EQ(top.Details(), details);
  // A block small enough is listed whole, without the line.
  Insert_ small(WCS_Z_Axis, "C", {}, 7, 0, {1, 1, 1}, WCS_Origin);
  small.SetBlockList(&d.blocks);
  const std::string whole = small.Details();
  EXPECT_EQ(count(whole, "\r\nLine_\r\n"), kWays);
  EXPECT_EQ(whole.find(Block_::kNotFollowedLine), std::string::npos);
}

TEST(Insert_, RefusalsAndMissingBlocks) {
  std::vector<std::unique_ptr<Attrib_>> many;
  for (int i = 0; i < 17; ++i) many.push_back(MakeAttrib("T", "v", WCS_Origin));
  try {
    Insert_ insert(WCS_Z_Axis, "B", std::move(many), 7, 0, {1, 1, 1}, WCS_Origin);
    FAIL() << "17 attributes were taken";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "This version only handles 16 ATTRIBs");
  }
  Entity_List empty("Block_");
  Insert_ lost(WCS_Z_Axis, "NOWHERE", {}, 7, 0, {1, 1, 1}, WCS_Origin);
  try {
    lost.SetBlockList(&empty);
    FAIL() << "a missing block was found";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Block reference NOWHERE not found");
  }
  Insert_ unnamed(WCS_Z_Axis, "", {}, 7, 0, {1, 1, 1}, WCS_Origin);
  unnamed.SetBlockList(&empty);  // no name, nothing to find
  EXPECT_THROW(unnamed.Details(), std::runtime_error);
}

// ---- Details ----------------------------------------------------------------------------

TEST(Details, TextsOfTheEntities) {
  EXPECT_EQ(Line_({0, 0, 0}, 1, {10, 5, 0}).Details(), "Line_\r\nWCS\r\n(0.00, 0.00, 0.00)\r\n(10.00, 5.00, 0.00)");
  EXPECT_EQ(Circle_({0, 0, -1}, 1, 1, {2, 2, 0}).Details(),
            "Circle_\r\nOCS Axis (0.00, 0.00, -1.00)\r\n(2.00, 2.00, 0.00)\r\nRadius = 1.000");
  EXPECT_EQ(Arc_(WCS_Z_Axis, 1, 0, 90, 2, WCS_Origin).Details(),
            "Arc_\r\nWCS\r\n(0.00, 0.00, 0.00)\r\nRadius = 2.000\r\nAngle 1 = 0.000\r\nAngle 2 = 1.571");
  EXPECT_EQ(Attrib_(WCS_Z_Axis, 0, 2.5, 0, 1, "NUMBER", "D1", WCS_Origin, {1, 2, 3}).Details(),
            "Attrib_\r\nWCS\r\n(1.00, 2.00, 3.00)\r\nText \tD1\r\nTextHeight = 2.500\r\nTag \tNUMBER\r\nInvisible");
  EXPECT_EQ(Polyline_(WCS_Z_Axis, true, 0, std::vector<Point3D>{{0, 0, 0}, {1, 0, 0}}).Details(),
            "Polyline_\r\nWCS\r\nClosed\r\n(0.00, 0.00, 0.00)\r\n(1.00, 0.00, 0.00)");
  EXPECT_EQ(Solid_(WCS_Z_Axis, 2, 0, Square(), 3).Details(),
            "Solid_\r\nWCS\r\nClosed\r\n(0.00, 0.00, 0.00)\r\n(10.00, 0.00, 0.00)\r\n(10.00, 10.00, 0.00)\r\n"
            "Thickness\t2.000");
  const std::vector<Point3D> grid(6);
  EXPECT_EQ(Polygon_mesh_(0, 0x20, grid, 2, 3).Details(),
            "Polyline_ (polygon mesh)\r\nWCS\r\nVertices\t6\r\nM\t2\r\nN\t3\r\nClosed M\tFALSE\r\nClosed N\tTRUE");
  const std::vector<Polyface_mesh_::Face> faces{{0, 1, 2, -1}};
  EXPECT_EQ(Polyface_mesh_(0, faces, grid).Details(), "Polyline_ (polyface mesh)\r\nWCS\r\nVertices\t6\r\nFaces\t1");
}

TEST(Details, InsertListsItsAttributesAndBlock) {
  Drawing d;
  Block_* b = d.Add(std::make_unique<Block_>("DOOR", Point3D{1, 0, 0}));
  b->Add(std::make_unique<Point_>(WCS_Z_Axis, 0, Point3D{1, 0, 0}));
  std::vector<std::unique_ptr<Attrib_>> attribs;
  attribs.push_back(MakeAttrib("N", "7", {0, 0, 0}));
  Insert_ insert(WCS_Z_Axis, "DOOR", std::move(attribs), 0, 90, {1, 1, 1}, {5, 5, 0});
  insert.SetBlockList(&d.blocks);
  const std::string expected =
      "Insert_\r\nOCS Axis (0.00, 0.00, 1.00)\r\n(5.00, 5.00, 0.00)\r\nBlock \tDOOR\r\nScaling\t(1.00, 1.00, 1.00)\r\n"
      "Rotation\t90.000\r\nAttribs \t1\r\n\r\n1 : Attrib_\r\nWCS\r\n(0.00, 0.00, 0.00)\r\nText \t7\r\n"
      "TextHeight = 1.000\r\nTag \tN\r\nVisible\r\n\r\n----BLOCK-----\r\nName :\tDOOR\r\nBase :\t(1.00, 0.00, 0.00)"
      "\r\n\r\nPoint_\r\nWCS\r\n(1.00, 0.00, 0.00)\r\n---ENDBLOCK---";
  EXPECT_EQ(insert.Details(), expected);
}

// ---- DXF records ------------------------------------------------------------------------

TEST(Records, EntitiesWriteTheirDxfRecords) {
  const std::string eol = "\r\n";
  EXPECT_EQ(Record(Line_({0, 0, 0}, 1, {10, 5, 0}), "WALLS"),
            Dxf({"0", "LINE", "8", "WALLS", "62", "1", "10", "0.000", "20", "0.000", "30", "0.000", "11", "10.000",
                 "21", "5.000", "31", "0.000"}, eol));
  EXPECT_EQ(Record(Circle_({0, 0, -1}, 3, 1.5, {1, 2, 0})),
            Dxf({"0", "CIRCLE", "8", "0", "62", "3", "210", "0.000", "220", "0.000", "230", "-1.000", "10", "1.000",
                 "20", "2.000", "30", "0.000", "40", "1.500"}, eol));
  EXPECT_EQ(Record(Polyline_(WCS_Z_Axis, true, 0, std::vector<Point3D>{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}})),
            Dxf({"0", "POLYLINE", "8", "0", "62", "0", "70", "9", "0", "VERTEX", "70", "32", "10", "0.000", "20",
                 "0.000", "30", "0.000", "0", "VERTEX", "70", "32", "10", "1.000", "20", "0.000", "30", "0.000", "0",
                 "VERTEX", "70", "32", "10", "1.000", "20", "1.000", "30", "0.000", "0", "SEQEND"}, eol));
  EXPECT_EQ(Record(Face3D_(3, 2, Square())),
            Dxf({"0", "3DFACE", "8", "0", "62", "2", "10", "0.000", "20", "0.000", "30", "0.000", "11", "10.000",
                 "21", "0.000", "31", "0.000", "12", "10.000", "22", "10.000", "32", "0.000", "13", "10.000", "23",
                 "10.000", "33", "0.000"}, eol));
  EXPECT_NE(Record(Solid_(WCS_Z_Axis, 2, 0, Square(), 4)).find("39\r\n 2.00000000000000E+0000\r\n"), std::string::npos);
  EXPECT_EQ(Record(Insert_(WCS_Z_Axis, "B", {}, 0, 0, {1, 1, 1}, {1, 2, 3})),
            Dxf({"0", "INSERT", "8", "0", "62", "0", "210", "0.000", "220", "0.000", "230", "1.000", "10", "1.000",
                 "20", "2.000", "30", "3.000", "2", "B", "66", "0"}, eol));
  const std::vector<Polyface_mesh_::Face> faces{{0, 1, 2, -1}};
  const std::string polyface = Record(Polyface_mesh_(0, faces, Square()));
  EXPECT_NE(polyface.find(Dxf({"71", "4", "72", "1"}, eol)), std::string::npos);
  EXPECT_NE(polyface.find(Dxf({"70", "128", "71", "1", "72", "2", "73", "3", "74", "0"}, eol)), std::string::npos);
  EXPECT_TRUE(Record(Arc_(WCS_Z_Axis, 0, 350, 10, 1, WCS_Origin))
                  .ends_with(Dxf({"40", "1.000", "50", "350.000", "51", "10.000"}, eol)));
}

}  // namespace
}  // namespace pv::viewer

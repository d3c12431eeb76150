// Extents, hit tests and vertex moves work on the entities as they are drawn: through their
// object coordinate system (an extrusion of (0, 0, -1) mirrors x) and, for inserts, with the
// insertion point where the block lands.
#include <gtest/gtest.h>

#include <filesystem>

#include "DXF_structs.h"
#include "TestSupport.h"

namespace pv::viewer {
namespace {

using canvas::RecordingCanvas;
using test::Drawn;
using test::UnitMap;
using Lines = std::vector<std::string>;

constexpr Point3D kDown{0, 0, -1};

std::vector<Point3D> Square() { return {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}; }

TEST(World, ExtentsOfMirroredEntitiesAreWhereTheyAreDrawn) {
  struct Case {
    std::unique_ptr<DXF_Entity> entity;
    Point3D min, max;
  };
  std::vector<Case> cases;
  cases.push_back({std::make_unique<Point_>(kDown, 7, Point3D{3, 4, 0}), {-3, 4, 0}, {-3, 4, 0}});
  cases.push_back({std::make_unique<Circle_>(kDown, 7, 2, Point3D{5, 1, 0}), {-7, -1, 0}, {-3, 3, 0}});
  // The quarter from 0 to 90 degrees lies on the world's quarter from 90 to 180.
  cases.push_back({std::make_unique<Arc_>(kDown, 7, 0, 90, 10, Point3D{32, 6, 0}), {-42, 6, 0}, {-32, 16, 0}});
  // From 180 round through 270 to 0: the lower half, mirrored onto +x.
  cases.push_back({std::make_unique<Arc_>(kDown, 7, 180, 0, 2, Point3D{-32, 6, 0}), {30, 4, 0}, {34, 6, 0}});
  cases.push_back({std::make_unique<Polyline_>(kDown, true, 7, Square()), {-10, 0, 0}, {0, 10, 0}});
  cases.push_back({std::make_unique<Solid_>(kDown, 0, 7, Square(), 4), {-10, 0, 0}, {0, 10, 0}});
  for (const Case& c : cases) {
    Point3D max{-1e10, -1e10, -1e10}, min{1e10, 1e10, 1e10};
    c.entity->GrowExtents(max, min);
    const std::string what = c.entity->Details();
    EXPECT_NEAR(min.x, c.min.x, 1e-9) << what;
    EXPECT_NEAR(min.y, c.min.y, 1e-9) << what;
    EXPECT_NEAR(max.x, c.max.x, 1e-9) << what;
    EXPECT_NEAR(max.y, c.max.y, 1e-9) << what;
  }
}

TEST(World, HitTestsAndMovesSeeTheMirroredSide) {
  const Arc_ arc(kDown, 7, 0, 90, 10, {32, 6, 0});
  EXPECT_EQ(arc.Distance({-32, 6, 0}), 0.0);
  EXPECT_GT(arc.Distance({32, 6, 0}), 4000.0);
  EXPECT_EQ(arc.ClosestPoint({-31, 6, 0}).x, -32.0);

  const Circle_ circle(kDown, 7, 2, {5, 1, 0});
  EXPECT_TRUE(circle.IsInside({-5, 1, 0}));
  EXPECT_FALSE(circle.IsInside({5, 1, 0}));

  Polyline_ square(kDown, true, 7, Square());
  EXPECT_TRUE(square.IsInside({-5, 5, 0}));
  EXPECT_FALSE(square.IsInside({5, 5, 0}));
  const Point3D corner = square.ClosestPoint({-9, 1, 0});
  EXPECT_EQ(corner.x, -10.0);
  EXPECT_EQ(corner.y, 0.0);
  // The vertex is dragged from where it is drawn to where it is dropped.
  EXPECT_FALSE(square.MovePoint({10, 0, 0}, {12, -1, 0}));
  ASSERT_TRUE(square.MovePoint(corner, {-12, -1, corner.z}));
  RecordingCanvas c;
  square.Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(Drawn(c), (Lines{"Polygon (0,0) (-12,1) (-10,-10) (0,-10)"}));

  Point_ point(kDown, 7, {3, 4, 0});
  ASSERT_TRUE(point.MovePoint(point.ClosestPoint({0, 0, 0}), {-5, 4, 0}));
  c.Clear();
  point.Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(Drawn(c).front(), "MoveTo -7,-6");  // the mark around (-5, -4) on screen
}

struct Blocks {
  Entity_List list{"Block_"};
  Blocks() {
    auto block = std::make_unique<Block_>("B", WCS_Origin);
    block->Add(std::make_unique<Line_>(Point3D{0, 0, 0}, 7, Point3D{1, 0, 0}));
    list.Add(std::move(block));
  }
};

TEST(World, AnInsertsMarkHitsAndDragAreAtItsInsertionPoint) {
  Blocks blocks;
  std::vector<std::unique_ptr<Attrib_>> attribs;
  attribs.push_back(std::make_unique<Attrib_>(WCS_Z_Axis, 0, 1.0, 0, 0, "TAG", "A1", WCS_Origin, Point3D{20, 20, 0}));
  Insert_ insert(WCS_Z_Axis, "B", std::move(attribs), 7, 0, {1, 1, 1}, {10, 10, 0});
  insert.SetBlockList(&blocks.list);
  RecordingCanvas c;
  insert.DrawVertices(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(Drawn(c), (Lines{"MoveTo 8,-12", "LineTo 13,-7", "MoveTo 8,-8", "LineTo 13,-13"}));
  EXPECT_EQ(insert.Distance({10, 10, 0}), 0.0);

  // The block and the attribute follow the dragged insertion point.
  ASSERT_TRUE(insert.MovePoint({10, 10, 0}, {15, 10, 0}));
  c.Clear();
  insert.Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(Drawn(c), (Lines{"TextOut 25,-20 \"A1\"", "MoveTo 15,-10", "LineTo 16,-10"}));
  EXPECT_EQ(insert.GetPoint().x, 15.0);

  // Mirrored by its extrusion, the insert lands at -x, and is found and dragged there.
  Insert_ mirrored(kDown, "B", {}, 7, 0, {1, 1, 1}, {10, 10, 0});
  mirrored.SetBlockList(&blocks.list);
  const Point3D at = mirrored.ClosestPoint(WCS_Origin);
  EXPECT_EQ(at.x, -10.0);
  EXPECT_EQ(at.y, 10.0);
  c.Clear();
  mirrored.DrawVertices(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(Drawn(c).front(), "MoveTo -12,-12");
  ASSERT_TRUE(mirrored.MovePoint(at, {-20, 10, at.z}));
  c.Clear();
  mirrored.Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(Drawn(c), (Lines{"MoveTo -20,-10", "LineTo -21,-10"}));
}

TEST(World, ADraggedTextIsDrawnWhereItWasDropped) {
  Text_ centred(WCS_Z_Axis, 1, 3, 10, "Hello", {4, 5, 0}, {1, 1, 0});
  ASSERT_TRUE(centred.MovePoint({1, 1, 0}, {11, 1, 0}));
  RecordingCanvas c;
  centred.Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(Drawn(c), (Lines{"TextOut 14,-5 \"Hello\""}));
  EXPECT_EQ(centred.AlignmentPoint().x, 14.0);
}

// offset_self_intersect_r12.dxf holds arcs with extrusion (0, 0, -1) stored at -x and drawn at +x.
TEST(World, SharedFileWithMirroredArcs) {
  const std::filesystem::path file = std::filesystem::path(PV_SHARED_DATA_DIR) / "dxf" / "offset_self_intersect_r12.dxf";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "shared test data not found: " << file;
  test::RecordingPrompts prompts;
  test::RecordingBusyBox busy;
  const auto drawing = DXF_Object::CreateFromFile(file, nullptr, busy, prompts);
  EXPECT_NEAR(drawing->GetMinExtents().x, -1.5, 1e-6);  // as ezdxf's bounding box has it
  EXPECT_NEAR(drawing->GetMinExtents().y, 0, 1e-6);
  EXPECT_NEAR(drawing->GetMaxExtents().x, 34, 1e-6);
  EXPECT_NEAR(drawing->GetMaxExtents().y, 25, 1e-6);
  selection_lists all;
  for (int i = 0; i < drawing->LayerCount(); ++i) {
    DXF_Layer* layer = drawing->Layer(static_cast<size_t>(i));
    for (int j = 0; j < layer->ListCount(); ++j) all.lists.push_back(layer->List(static_cast<size_t>(j)));
  }
  DXF_Entity* entity = nullptr;
  Point3D closest;
  all.FindNearestPoint({32, 6, 0}, entity, closest);
  ASSERT_NE(entity, nullptr);
  EXPECT_STREQ(entity->ClassName(), "Arc_");
  EXPECT_NEAR(closest.x, 32, 1e-9);
  EXPECT_NEAR(closest.y, 6, 1e-9);
  // Nothing is drawn on the mirror side.
  all.FindNearestPoint({-32, 6, 0}, entity, closest);
  EXPECT_GT(closest.x, -1.5 - 1e-6);
}

}  // namespace
}  // namespace pv::viewer

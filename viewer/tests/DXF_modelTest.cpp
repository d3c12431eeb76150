#include <gtest/gtest.h>

#include "DXF_structs.h"

namespace pv::viewer {
namespace {

std::unique_ptr<Line_> MakeLine(double x, int32_t colour = 0) {
  return std::make_unique<Line_>(Point3D{x, 0, 0}, colour, Point3D{x, 1, 0});
}

std::vector<std::string> Names(const DXF_Layer& layer) { return layer.ListNames(); }

TEST(DXF_Layer, ListsAreMadePerEntityClassInOrder) {
  DXF_Layer layer("WALLS");
  layer.AddEntity(MakeLine(1));
  layer.AddEntity(std::make_unique<Circle_>(WCS_Z_Axis, 0, 1, WCS_Origin));
  layer.AddEntity(MakeLine(2));
  EXPECT_EQ(Names(layer), (std::vector<std::string>{"Line_", "Circle_"}));
  EXPECT_EQ(layer.List(0)->Count(), 2u);
  EXPECT_EQ(layer.List(0)->Owner(), &layer);
  EXPECT_EQ(layer.ListByName("Circle_"), layer.List(1));
  EXPECT_EQ(layer.ListByName("Arc_")->Count(), 0u);  // made when asked for
  EXPECT_EQ(layer.ListCount(), 3);
}

TEST(DXF_Layer, EntitiesByLayerTakeTheLayerColour) {
  DXF_Layer layer("L");
  layer.SetColour(5);
  struct Case {
    int32_t index, expectedIndex;
    TColor colour;
  };
  const Case cases[] = {{256, 5, 0xFF0000}, {0, 5, 0xFF0000}, {7, 7, 0x000000}, {1, 1, 0x0000FF}};
  for (const Case& c : cases) {
    auto line = MakeLine(0, c.index);
    Line_* l = line.get();
    layer.AddEntity(std::move(line));
    EXPECT_EQ(l->ColorIndex(), c.expectedIndex) << c.index;
    EXPECT_EQ(l->Color(), c.colour) << c.index;
  }
}

TEST(DXF_Layer, AddAndDeleteWholeLists) {
  DXF_Layer layer("L");
  layer.AddEntity(MakeLine(1));
  auto lines = std::make_unique<Entity_List>("Line_");
  try {
    layer.AddList(std::move(lines));
    FAIL() << "two lists of one name";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Attempted to add two lists with same name");
  }
  auto arcs = std::make_unique<Entity_List>("Arc_");
  Entity_List* a = arcs.get();
  layer.AddList(std::move(arcs));
  EXPECT_EQ(a->Owner(), &layer);
  auto given = layer.DeleteList("Arc_", false);
  ASSERT_EQ(given.size(), 1u);
  EXPECT_EQ(given[0].get(), a);
  const int lists = DXF_Counters::lists;
  EXPECT_TRUE(layer.DeleteList("Line_", true).empty());
  EXPECT_EQ(DXF_Counters::lists, lists - 1);
  EXPECT_EQ(layer.ListCount(), 0);
  EXPECT_EQ(layer.ListByName("Line_")->Count(), 0u);  // the index follows the deletions
}

// The viewer deletes a chosen list by the list's own name, which goes with the list; the lists
// before it are still compared with that name.
TEST(DXF_Layer, DeletesAListByItsOwnName) {
  DXF_Layer layer("L");
  for (const char* name : {"Text_", "Line_", "Arc_"}) layer.AddList(std::make_unique<Entity_List>(name));
  const int lists = DXF_Counters::lists;
  layer.DeleteList(layer.List(1)->Name(), true);
  EXPECT_EQ(DXF_Counters::lists, lists - 1);
  ASSERT_EQ(layer.ListCount(), 2);
  EXPECT_EQ(layer.List(0)->Name(), "Text_");
  EXPECT_EQ(layer.List(1)->Name(), "Arc_");
}

TEST(DXF_Object, LayersByName) {
  DXF_Object drawing;
  EXPECT_EQ(drawing.Name(), "Untitled");
  DXF_Layer* walls = drawing.CreateLayer("WALLS", false);
  EXPECT_EQ(drawing.LayerByName("WALLS"), walls);
  EXPECT_EQ(drawing.CreateLayer("WALLS", true), walls);
  EXPECT_NE(drawing.LayerByName("walls"), walls);  // names are case-sensitive
  try {
    drawing.CreateLayer("WALLS", false);
    FAIL() << "a second layer WALLS";
  } catch (const DXF_exception& e) {
    EXPECT_STREQ(e.what(), "Attempted to create layer with existing name");
  }
  EXPECT_EQ(drawing.LayerCount(), 2);
}

TEST(DXF_Object, MergeMovesEveryEntityInReverse) {
  DXF_Object target("target");
  DXF_Object source("source");
  DXF_Layer* a = source.CreateLayer("A", false);
  a->SetColour(3);
  std::vector<DXF_Entity*> moved;
  for (double x : {1.0, 2.0, 3.0}) {
    auto line = MakeLine(x, 7);
    moved.push_back(line.get());
    a->AddEntity(std::move(line));
  }
  // An insert of a block of the source drawing still finds it afterwards.
  DXF_Layer* zero = source.CreateLayer("0", false);
  auto block = std::make_unique<Block_>("B", WCS_Origin);
  block->Add(MakeLine(9, 7));
  zero->AddEntity(std::move(block));
  auto insert = std::make_unique<Insert_>(WCS_Z_Axis, "B", std::vector<std::unique_ptr<Attrib_>>{}, 7, 0,
                                          Point3D{1, 1, 1}, WCS_Origin);
  insert->SetBlockList(zero->ListByName("Block_"));
  Insert_* ins = insert.get();
  a->AddEntity(std::move(insert));

  target.Merge(source);
  DXF_Layer* merged = target.LayerByName("A");
  EXPECT_EQ(merged->Colour(), 0);  // the source layer's colour is not carried over
  Entity_List* lines = merged->ListByName("Line_");
  ASSERT_EQ(lines->Count(), 3u);
  EXPECT_EQ(lines->Entity(0), moved[2]);
  EXPECT_EQ(lines->Entity(2), moved[0]);
  EXPECT_EQ(source.LayerByName("A")->ListByName("Line_")->Count(), 0u);
  EXPECT_EQ(target.Layer(0)->Name(), "0");  // taken first for its block list
  EXPECT_EQ(ins->BlockList(), target.LayerByName("0")->ListByName("Block_"));
  EXPECT_EQ(target.LayerByName("0")->ListByName("Block_")->Count(), 1u);
  EXPECT_NO_THROW(ins->GetBlock());
}

TEST(DXF_Object, RemoveEmptyLayersAndTree) {
  DXF_Object drawing("plan.dxf");
  drawing.CreateLayer("EMPTY", false)->ListByName("Line_");
  DXF_Layer* full = drawing.CreateLayer("FULL", false);
  full->AddEntity(MakeLine(1));
  full->ListByName("Arc_");
  drawing.RemoveEmptyLayers();
  ASSERT_EQ(drawing.LayerCount(), 1);
  EXPECT_EQ(drawing.LayerByName("FULL"), full);
  EXPECT_EQ(full->ListCount(), 1);

  std::vector<ListItem> items;
  drawing.FillListItems(items);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].text, "plan.dxf");
  EXPECT_EQ(items[1].text, "  FULL");
  EXPECT_EQ(std::get<DXF_Layer*>(items[1].object), full);
  EXPECT_EQ(items[2].text, "    Line_");
  EXPECT_EQ(std::get<Entity_List*>(items[2].object), full->List(0));

  DXF_Object lonely;
  lonely.CreateLayer("X", false)->ListByName("Line_");
  lonely.RemoveEmptyLayers();
  EXPECT_EQ(lonely.LayerCount(), 0);
}

TEST(DXF_Object, InstanceCounters) {
  const int objects = DXF_Counters::objects, layers = DXF_Counters::layers, lists = DXF_Counters::lists,
            entities = DXF_Counters::entities;
  {
    DXF_Object drawing;
    drawing.CreateLayer("A", false)->AddEntity(MakeLine(1));
    EXPECT_EQ(DXF_Counters::objects, objects + 1);
    EXPECT_EQ(DXF_Counters::layers, layers + 1);
    EXPECT_EQ(DXF_Counters::lists, lists + 1);
    EXPECT_EQ(DXF_Counters::entities, entities + 1);
  }
  EXPECT_EQ(DXF_Counters::objects, objects);
  EXPECT_EQ(DXF_Counters::layers, layers);
  EXPECT_EQ(DXF_Counters::lists, lists);
  EXPECT_EQ(DXF_Counters::entities, entities);
}

TEST(selection_lists, NearestPointPrefersTheFirstListOnTies) {
  Entity_List first("Line_"), second("Point_");
  first.Add(MakeLine(10));  // ends (10, 0) and (10, 1)
  second.Add(std::make_unique<Point_>(WCS_Z_Axis, 0, Point3D{-10, 0, 0}));
  selection_lists selection;
  selection.lists = {&first, &second};
  DXF_Entity* entity = nullptr;
  Point3D closest{7, 7, 7};
  selection.FindNearestPoint({0, 0, 0}, entity, closest);
  EXPECT_EQ(entity, first.Entity(0));
  EXPECT_EQ(closest.x, 10.0);
  EXPECT_EQ(closest.y, 0.0);

  selection.lists.clear();
  entity = nullptr;
  closest = {7, 7, 7};
  selection.FindNearestPoint({0, 0, 0}, entity, closest);  // nothing to find: both untouched
  EXPECT_EQ(entity, nullptr);
  EXPECT_EQ(closest.x, 7.0);
}

TEST(selection_lists, ContainingEntity) {
  Entity_List polys("Polyline_"), circles("Circle_");
  polys.Add(std::make_unique<Polyline_>(WCS_Z_Axis, false, 0,
                                        std::vector<Point3D>{{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}));
  circles.Add(std::make_unique<Circle_>(WCS_Z_Axis, 0, 2, Point3D{5, 5, 0}));
  selection_lists selection;
  selection.lists = {&polys, &circles};
  DXF_Entity* entity = nullptr;
  Point3D closest{1, 1, 1};
  selection.FindContainingEntity({5, 6, 0}, entity, closest);
  EXPECT_EQ(entity, circles.Entity(0));  // the open polyline contains nothing
  EXPECT_EQ(closest.x, 5.0);
  entity = nullptr;
  selection.FindContainingEntity({50, 50, 0}, entity, closest);
  EXPECT_EQ(entity, nullptr);
  EXPECT_EQ(closest.x, 0.0);
  EXPECT_EQ(closest.y, 0.0);
}

TEST(Entity_List, SumsExtentsAndBlockIndex) {
  Entity_List list("Block_");
  auto b1 = std::make_unique<Block_>("B", WCS_Origin);
  Block_* first = b1.get();
  list.Add(std::move(b1));
  EXPECT_EQ(list.FindBlock("B"), first);
  list.Add(std::make_unique<Block_>("B", WCS_Origin));  // a duplicate name: the first one counts
  list.Add(std::make_unique<Block_>("C", WCS_Origin));
  EXPECT_EQ(list.FindBlock("B"), first);
  EXPECT_NE(list.FindBlock("C"), nullptr);
  EXPECT_EQ(list.FindBlock("b"), nullptr);
  list.TakeLast();
  EXPECT_EQ(list.FindBlock("C"), nullptr);

  Entity_List lines("Line_");
  lines.Add(MakeLine(1));
  lines.Add(MakeLine(-4));
  EXPECT_EQ(lines.VertexCount(), 4);
  EXPECT_EQ(lines.LineCount(), 2);
  Point3D max{0, 0, 0}, min{0, 0, 0};
  lines.GrowExtents(max, min);
  EXPECT_EQ(max.x, 1.0);
  EXPECT_EQ(min.x, -4.0);
  DXF_Entity* nearest = nullptr;
  EXPECT_DOUBLE_EQ(lines.Nearest({-4, 2, 0}, nearest), 1.0);
  EXPECT_EQ(nearest, lines.Entity(1));
}

}  // namespace
}  // namespace pv::viewer

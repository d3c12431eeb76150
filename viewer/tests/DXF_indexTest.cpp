// The tracking queries answer through an index over each list; these tests hold its answers
// to those of walking the lists in order, on a generated drawing of every kind of entity
// (inserts placed away from their blocks' contents, entities seen from below, closed and
// open polylines, faces, repeated entities that tie, blocks themselves) at many points.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "DXF_model.h"
#include "TestSupport.h"

namespace pv::viewer {
namespace {

using test::ReadDxfText;

std::string Number(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.6f", v);
  return buf;
}

// DXF text with about `count` entities of every kind, on `layers` layers (a number prime to
// nine puts every kind on every layer).
std::string GeneratedDrawing(int count, unsigned seed, int layers = 3) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> coord(-500, 500);
  std::uniform_real_distribution<double> small(-20, 20);
  std::uniform_real_distribution<double> radius(0.5, 30);
  std::string t = "0\nSECTION\n2\nBLOCKS\n";
  // A block drawn far from its base point: an insert's own point is not inside its drawing.
  t += "0\nBLOCK\n8\n0\n2\nFAR\n70\n0\n10\n0\n20\n0\n30\n0\n";
  t += "0\nLINE\n8\n0\n10\n300\n20\n300\n30\n0\n11\n320\n21\n310\n31\n0\n";
  t += "0\nCIRCLE\n8\n0\n10\n310\n20\n280\n30\n0\n40\n15\n";
  t += "0\nENDBLK\n8\n0\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
  auto pair = [&](int code, const std::string& value) { t += std::to_string(code) + "\n" + value + "\n"; };
  auto point = [&](int code, double x, double y) {
    pair(code, Number(x));
    pair(code + 10, Number(y));
    pair(code + 20, "0");
  };
  // Seen from below: drawn (and hit) mirrored.
  auto mirror = [&] { pair(210, "0"), pair(220, "0"), pair(230, "-1"); };
  std::string previous;
  for (int i = 0; i < count; ++i) {
    const std::string layer = "L" + std::to_string(i % layers);
    const double x = coord(rng), y = coord(rng);
    const size_t before = t.size();
    switch (i % 9) {
      case 0:
        pair(0, "POINT"), pair(8, layer), point(10, x, y);
        if (rng() % 3 == 0) mirror();
        break;
      case 1:
        pair(0, "LINE"), pair(8, layer), point(10, x, y), point(11, x + small(rng), y + small(rng));
        break;
      case 2:
        pair(0, "CIRCLE"), pair(8, layer), point(10, x, y), pair(40, Number(radius(rng)));
        if (rng() % 3 == 0) mirror();
        break;
      case 3:
        pair(0, "ARC"), pair(8, layer), point(10, x, y), pair(40, Number(radius(rng)));
        pair(50, Number(rng() % 360)), pair(51, Number(rng() % 360));
        if (rng() % 3 == 0) mirror();
        break;
      case 4:
        pair(0, "TEXT"), pair(8, layer), point(10, x, y), pair(40, "2"), pair(1, "T" + std::to_string(i));
        if (rng() % 3 == 0) mirror();
        break;
      case 5: {
        pair(0, "POLYLINE"), pair(8, layer), pair(66, "1"), point(10, 0, 0), pair(70, rng() % 2 ? "1" : "0");
        if (rng() % 3 == 0) mirror();
        const int vertices = 3 + static_cast<int>(rng() % 6);
        for (int v = 0; v < vertices; ++v) pair(0, "VERTEX"), pair(8, layer), point(10, x + small(rng), y + small(rng));
        pair(0, "SEQEND"), pair(8, layer);
        break;
      }
      case 6:
        pair(0, "INSERT"), pair(8, layer), pair(2, "FAR"), point(10, x, y);
        if (rng() % 2) pair(50, Number(rng() % 360));
        if (rng() % 3 == 0) mirror();
        break;
      case 7:
        pair(0, "3DFACE"), pair(8, layer), point(10, x, y), point(11, x + 5, y), point(12, x + 5, y + 5),
            point(13, x, y + 5);
        break;
      default:
        t += previous;  // the entity before, again: equal distances, decided by position
        break;
    }
    previous = t.substr(before);
  }
  t += "0\nENDSEC\n0\nEOF\n";
  return t;
}

// The answers of the walk in order, with no index.
void WalkNearest(const selection_lists& selection, const Point3D& p, DXF_Entity*& entity) {
  double best = 1e10;
  for (const Entity_List* list : selection.lists) {
    for (const auto& e : list->Entities()) {
      const double d = e->Distance(p);
      if (d < best) {
        best = d;
        entity = e.get();
      }
    }
  }
}

DXF_Entity* WalkInside(const selection_lists& selection, const Point3D& p) {
  for (const Entity_List* list : selection.lists) {
    for (const auto& e : list->Entities()) {
      if (e->IsInside(p)) return e.get();
    }
  }
  return nullptr;
}

selection_lists EveryList(const DXF_Object& drawing) {
  selection_lists selection;
  for (int i = 0; i < drawing.LayerCount(); ++i) {
    const DXF_Layer* layer = drawing.Layer(static_cast<size_t>(i));
    for (int j = 0; j < layer->ListCount(); ++j) selection.lists.push_back(layer->List(static_cast<size_t>(j)));
  }
  return selection;
}

TEST(EntityIndex, QueriesAnswerAsTheWalkInOrderDoes) {
  const auto read = ReadDxfText(GeneratedDrawing(6000, 11));
  ASSERT_TRUE(read->isDxf);
  const selection_lists selection = EveryList(*read->drawing);
  size_t largest = 0;
  for (const Entity_List* list : selection.lists) largest = std::max(largest, list->Count());
  ASSERT_GE(largest, 200u) << "the lists must be long enough to be indexed";

  std::mt19937 rng(5);
  std::uniform_real_distribution<double> coord(-700, 700);
  int inside = 0;
  for (int i = 0; i < 10000; ++i) {
    // Points on entities' own coordinates too, where distances tie at 0.
    Point3D p{coord(rng), coord(rng), 0.0};
    if (i % 10 == 0) {
      const Entity_List* list = selection.lists[rng() % selection.lists.size()];
      if (list->Count() > 0) {
        Point3D max{-1e300, -1e300, 0}, min{1e300, 1e300, 0};
        list->Entity(rng() % list->Count())->GrowExtents(max, min);
        if (max.x >= min.x) p = {min.x, max.y, 0.0};
      }
    }
    DXF_Entity* expected = nullptr;
    DXF_Entity* actual = nullptr;
    Point3D closest;
    WalkNearest(selection, p, expected);
    selection.FindNearestPoint(p, actual, closest);
    ASSERT_EQ(actual, expected) << "nearest to (" << p.x << ", " << p.y << ")";

    DXF_Entity* expectedInside = WalkInside(selection, p);
    DXF_Entity* actualInside = nullptr;
    selection.FindContainingEntity(p, actualInside, closest);
    ASSERT_EQ(actualInside, expectedInside) << "containing (" << p.x << ", " << p.y << ")";
    if (expectedInside) ++inside;
  }
  EXPECT_GT(inside, 500) << "the points must hit entities often enough to test containment";
}

TEST(EntityIndex, FollowsEntitiesThatMoveAndListsThatChange) {
  const auto read = ReadDxfText(GeneratedDrawing(900, 3));
  const selection_lists selection = EveryList(*read->drawing);
  Entity_List* lines = nullptr;
  for (Entity_List* list : selection.lists) {
    if (list->Name() == "Line_" && (!lines || list->Count() > lines->Count())) lines = list;
  }
  ASSERT_TRUE(lines != nullptr && lines->Count() >= 64);
  const Point3D far{5000, 5000, 0};
  DXF_Entity* entity = nullptr;
  Point3D closest;
  selection.FindNearestPoint(far, entity, closest);  // builds the indexes

  auto* line = dynamic_cast<Line_*>(lines->Entity(lines->Count() / 2));
  ASSERT_NE(line, nullptr);
  ASSERT_TRUE(line->MovePoint(line->GetPoint(), {4990, 4990, 0}));
  Entity_List::NoteGeometryChanged();
  selection.FindNearestPoint(far, entity, closest);
  EXPECT_EQ(entity, line);

  lines->Add(std::make_unique<Point_>(WCS_Z_Axis, 0, Point3D{5000, 5001, 0}));
  selection.FindNearestPoint(far, entity, closest);
  EXPECT_EQ(entity, lines->Entity(lines->Count() - 1));
  auto taken = lines->TakeLast();
  selection.FindNearestPoint(far, entity, closest);
  EXPECT_EQ(entity, line);
}

// The index follows the edits of the viewer without being built again: a drag moves one
// vertex of the entity nearest the mouse (as a Shift-drag does), a delete takes chosen lists
// out of the choice and frees them, and now and then the lists are chosen again. After every
// step the queries at many points answer as the walk does.
TEST(EntityIndex, FollowsDragsAndDeletesAsTheWalkDoes) {
  const auto read = ReadDxfText(GeneratedDrawing(6000, 29, 10));
  ASSERT_TRUE(read->isDxf);
  DXF_Object& drawing = *read->drawing;
  selection_lists selection = EveryList(drawing);
  ASSERT_GE(selection.lists.size(), 20u);

  std::mt19937 rng(41);
  std::uniform_real_distribution<double> coord(-700, 700);
  auto randomPoint = [&] { return Point3D{coord(rng), coord(rng), 0.0}; };
  auto compare = [&](const Point3D& p, const std::string& step) {
    DXF_Entity* expected = nullptr;
    DXF_Entity* actual = nullptr;
    Point3D closest;
    WalkNearest(selection, p, expected);
    selection.FindNearestPoint(p, actual, closest);
    ASSERT_EQ(actual, expected) << "nearest to (" << p.x << ", " << p.y << ") after " << step;
    DXF_Entity* actualInside = nullptr;
    selection.FindContainingEntity(p, actualInside, closest);
    ASSERT_EQ(actualInside, WalkInside(selection, p)) << "containing (" << p.x << ", " << p.y << ") after " << step;
  };

  int drags = 0, deletes = 0, queries = 0;
  for (int step = 0; step < 100; ++step) {
    std::string what;
    const unsigned kind = rng() % 10;
    if (kind < 7) {
      // A drag from the vertex nearest a point to another point, anywhere in the drawing.
      DXF_Entity* entity = nullptr;
      Point3D from;
      selection.FindNearestPoint(randomPoint(), entity, from);
      if (!entity) continue;
      const Point3D to = DXF_Utils::RoundPoint(randomPoint(), 1000);
      if (!entity->MovePoint(from, to)) continue;
      selection.NoteEntityMoved(entity);
      what = "a drag of a " + std::string(entity->ClassName()) + " to (" + std::to_string(to.x) + ", " +
             std::to_string(to.y) + ")";
      ++drags;
    } else if (kind < 9) {
      // A delete of one or two chosen lists (not the block definitions, which inserts use).
      const int count = 1 + static_cast<int>(rng() % 2);
      for (int i = 0; i < count && selection.lists.size() > 4; ++i) {
        const size_t at = rng() % selection.lists.size();
        Entity_List* list = selection.lists[at];
        if (list->Name() == "Block_") continue;
        what += " a delete of " + list->Owner()->Name() + "/" + list->Name();
        selection.lists.erase(selection.lists.begin() + static_cast<std::ptrdiff_t>(at));
        list->Owner()->DeleteList(list->Name(), true);
        ++deletes;
      }
      if (what.empty()) continue;
    } else {
      selection = EveryList(drawing);
      what = "choosing every list again";
    }
    for (int i = 0; i < 100; ++i) {
      ASSERT_NO_FATAL_FAILURE(compare(randomPoint(), what));
      ++queries;
    }
  }
  EXPECT_GE(queries, 9000);
  EXPECT_GE(drags, 40);
  EXPECT_GE(deletes, 10);
}

// A copy of a choice has its own index: an edit noted through one is not half-known to the
// other, and a list that leaves one stays in the other.
TEST(EntityIndex, CopiesOfAChoiceKeepTheirOwnIndex) {
  const auto read = ReadDxfText(GeneratedDrawing(900, 5));
  selection_lists all = EveryList(*read->drawing);
  const Point3D far{5000, 5000, 0};
  DXF_Entity* entity = nullptr;
  Point3D closest;
  all.FindNearestPoint(far, entity, closest);  // builds the index
  const selection_lists copy = all;
  // The list of the nearest entity leaves the original choice, not the copy.
  DXF_Entity* nearest = entity;
  Entity_List* holder = nullptr;
  for (Entity_List* list : all.lists) {
    for (const auto& e : list->Entities()) {
      if (e.get() == nearest) holder = list;
    }
  }
  ASSERT_NE(holder, nullptr);
  std::erase(all.lists, holder);
  entity = nullptr;
  all.FindNearestPoint(far, entity, closest);
  EXPECT_NE(entity, nearest);
  entity = nullptr;
  copy.FindNearestPoint(far, entity, closest);
  EXPECT_EQ(entity, nearest);
}

}  // namespace
}  // namespace pv::viewer

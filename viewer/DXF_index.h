#pragma once
// A bounding-volume tree over a sequence of entities, for the tracking queries: the entity
// nearest to a point and the first entity that contains it. Its answers are exactly those of
// walking the sequence in order (the first of equal distances wins), only without measuring
// the entities that cannot win: each entity gives a query box (DXF_Entity::GrowQueryBox)
// holding every point its Distance measures to and every point it contains, and Distance is
// a squared distance in the plane, so the squared distance to a box is a lower bound of it.
// Entities without a query box are measured at every query.
//
// An edit does not build the tree again: an entity changed in place has its box taken again
// and the boxes above it fitted, and entities that leave are forgotten where they stand. The
// tree may then bound its entities less tightly than a new one would, which costs a little
// search but never changes an answer: every box still holds the boxes below it.

#include <cstdint>
#include <span>
#include <vector>

#include "DXF_entity.h"

namespace pv::viewer {

class EntityIndex {
 public:
  explicit EntityIndex(std::vector<DXF_Entity*> entities);

  // The first entity of least Distance below `limit`, or none.
  DXF_Entity* Nearest(const Point3D& p, double limit) const;
  // The first entity that contains p, or none.
  DXF_Entity* FirstInside(const Point3D& p) const;

  // The entity changed in place (a vertex moved): its box is taken again and the boxes above
  // it fitted. Nothing happens for an entity not in the sequence. False when the index cannot
  // follow the change (the entity gained or lost its query box): it must be built again.
  bool Moved(const DXF_Entity* entity);

  // Positions [first, first + count) of the sequence that have left it (their list was
  // deleted or is no longer chosen). They are never looked at again, so their entities may
  // already be gone; the others keep their positions.
  struct Range {
    uint32_t first;
    uint32_t count;
  };
  void Remove(std::span<const Range> ranges);

 private:
  struct Box {
    double x0, y0, x1, y1;
  };
  struct Node {
    Box box;
    uint32_t first;  // into order_
    uint32_t count;  // entities of a leaf; 0 for an inner node, whose children are the
    uint32_t right;  // next node and the node at `right`
  };

  static const Box kEmpty;
  static Box Union(const Box& a, const Box& b);
  // False when the entity grows no box.
  static bool QueryBoxOf(const DXF_Entity& entity, Box& box);
  uint32_t Build(uint32_t first, uint32_t count);
  // The box of a leaf from its entities, of an inner node from its children.
  void Fit(uint32_t node);
  static double SquaredDistance(const Box& box, const Point3D& p);

  std::vector<DXF_Entity*> entities_;  // null where an entity has left
  std::vector<Box> boxes_;        // by position in the sequence; empty (inverted) where one left
  std::vector<uint32_t> order_;   // positions with a box, grouped by leaf
  std::vector<uint32_t> always_;  // positions without a box
  std::vector<Node> nodes_;
};

}  // namespace pv::viewer

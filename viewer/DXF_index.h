#pragma once
// A bounding-volume tree over a sequence of entities, for the tracking queries: the entity
// nearest to a point and the first entity that contains it. Its answers are exactly those of
// walking the sequence in order (the first of equal distances wins), only without measuring
// the entities that cannot win: each entity gives a query box (DXF_Entity::GrowQueryBox)
// holding every point its Distance measures to and every point it contains, and Distance is
// a squared distance in the plane, so the squared distance to a box is a lower bound of it.
// Entities without a query box are measured at every query.

#include <cstdint>
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

  uint32_t Build(uint32_t first, uint32_t count);
  static double SquaredDistance(const Box& box, const Point3D& p);

  std::vector<DXF_Entity*> entities_;
  std::vector<Box> boxes_;        // by position in the sequence
  std::vector<uint32_t> order_;   // positions with a box, grouped by leaf
  std::vector<uint32_t> always_;  // positions without a box
  std::vector<Node> nodes_;
};

}  // namespace pv::viewer

#include "DXF_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pv::viewer {

namespace {

constexpr uint32_t kLeafSize = 8;

// A containment test computes where an edge crosses the point's row; its rounding may put a
// point on the box's edge a hair outside, so containment boxes are looked at a little wider.
bool ContainsLoosely(double lo, double hi, double v) {
  const double slack = 1e-9 * std::max({1.0, std::fabs(lo), std::fabs(hi)});
  return v >= lo - slack && v <= hi + slack;
}

}  // namespace

EntityIndex::EntityIndex(std::vector<DXF_Entity*> entities) : entities_(std::move(entities)) {
  boxes_.resize(entities_.size());
  order_.reserve(entities_.size());
  constexpr double kHuge = std::numeric_limits<double>::max();
  for (size_t i = 0; i < entities_.size(); ++i) {
    Point3D max{-kHuge, -kHuge, -kHuge};
    Point3D min{kHuge, kHuge, kHuge};
    entities_[i]->GrowQueryBox(max, min);
    const auto position = static_cast<uint32_t>(i);
    if (!(min.x <= max.x && min.y <= max.y)) {
      always_.push_back(position);
      continue;
    }
    boxes_[i] = {min.x, min.y, max.x, max.y};
    order_.push_back(position);
  }
  if (!order_.empty()) {
    nodes_.reserve(2 * order_.size() / kLeafSize + 2);
    Build(0, static_cast<uint32_t>(order_.size()));
  }
}

uint32_t EntityIndex::Build(uint32_t first, uint32_t count) {
  const auto index = static_cast<uint32_t>(nodes_.size());
  nodes_.push_back({});
  Box box = boxes_[order_[first]];
  for (uint32_t i = first + 1; i < first + count; ++i) {
    const Box& b = boxes_[order_[i]];
    box = {std::min(box.x0, b.x0), std::min(box.y0, b.y0), std::max(box.x1, b.x1), std::max(box.y1, b.y1)};
  }
  nodes_[index].box = box;
  nodes_[index].first = first;
  if (count <= kLeafSize) {
    nodes_[index].count = count;
    return index;
  }
  // Halves along the wider side, by the middles of the boxes.
  const bool alongX = box.x1 - box.x0 >= box.y1 - box.y0;
  auto middle = [&](uint32_t position) {
    const Box& b = boxes_[position];
    return alongX ? b.x0 / 2 + b.x1 / 2 : b.y0 / 2 + b.y1 / 2;
  };
  const uint32_t half = count / 2;
  std::nth_element(order_.begin() + first, order_.begin() + first + half, order_.begin() + first + count,
                   [&](uint32_t a, uint32_t b) { return middle(a) < middle(b); });
  nodes_[index].count = 0;
  Build(first, half);
  const uint32_t right = Build(first + half, count - half);
  nodes_[index].right = right;
  return index;
}

double EntityIndex::SquaredDistance(const Box& box, const Point3D& p) {
  const double dx = p.x < box.x0 ? box.x0 - p.x : (p.x > box.x1 ? p.x - box.x1 : 0.0);
  const double dy = p.y < box.y0 ? box.y0 - p.y : (p.y > box.y1 ? p.y - box.y1 : 0.0);
  return dx * dx + dy * dy;
}

DXF_Entity* EntityIndex::Nearest(const Point3D& p, double limit) const {
  double best = limit;
  bool found = false;
  size_t bestPosition = 0;
  // A later position wins only when strictly nearer, an earlier one also on a tie: as in the
  // walk in order, where the first of equal distances stays.
  auto measure = [&](uint32_t at) {
    const double d = entities_[at]->Distance(p);
    if (d < best || (found && d == best && at < bestPosition)) {
      best = d;
      bestPosition = at;
      found = true;
    }
  };
  for (uint32_t at : always_) measure(at);
  if (!nodes_.empty()) {
    std::vector<uint32_t> stack{0};
    while (!stack.empty()) {
      const Node& node = nodes_[stack.back()];
      const uint32_t self = stack.back();
      stack.pop_back();
      // Equal bounds are kept: an entity at the best distance may still win by its position.
      if (SquaredDistance(node.box, p) > best) continue;
      if (node.count > 0) {
        for (uint32_t i = node.first; i < node.first + node.count; ++i) {
          if (SquaredDistance(boxes_[order_[i]], p) <= best) measure(order_[i]);
        }
        continue;
      }
      // The nearer child goes on top, so that it is searched first and narrows the rest.
      const uint32_t left = self + 1;
      const bool leftNearer = SquaredDistance(nodes_[left].box, p) <= SquaredDistance(nodes_[node.right].box, p);
      stack.push_back(leftNearer ? node.right : left);
      stack.push_back(leftNearer ? left : node.right);
    }
  }
  return found ? entities_[bestPosition] : nullptr;
}

DXF_Entity* EntityIndex::FirstInside(const Point3D& p) const {
  std::vector<uint32_t> candidates = always_;
  if (!nodes_.empty()) {
    std::vector<uint32_t> stack{0};
    auto holds = [&](const Box& b) { return ContainsLoosely(b.x0, b.x1, p.x) && ContainsLoosely(b.y0, b.y1, p.y); };
    while (!stack.empty()) {
      const uint32_t self = stack.back();
      const Node& node = nodes_[self];
      stack.pop_back();
      if (!holds(node.box)) continue;
      if (node.count == 0) {
        stack.push_back(self + 1);
        stack.push_back(node.right);
        continue;
      }
      for (uint32_t i = node.first; i < node.first + node.count; ++i) {
        if (holds(boxes_[order_[i]])) candidates.push_back(order_[i]);
      }
    }
  }
  std::sort(candidates.begin(), candidates.end());
  for (uint32_t at : candidates) {
    if (entities_[at]->IsInside(p)) return entities_[at];
  }
  return nullptr;
}

}  // namespace pv::viewer

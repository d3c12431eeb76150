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

constexpr double kInfinity = std::numeric_limits<double>::infinity();

}  // namespace

// The box of nothing: the union with it is the other box, and no point is near it or in it.
const EntityIndex::Box EntityIndex::kEmpty{kInfinity, kInfinity, -kInfinity, -kInfinity};

EntityIndex::Box EntityIndex::Union(const Box& a, const Box& b) {
  return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

bool EntityIndex::QueryBoxOf(const DXF_Entity& entity, Box& box) {
  constexpr double kHuge = std::numeric_limits<double>::max();
  Point3D max{-kHuge, -kHuge, -kHuge};
  Point3D min{kHuge, kHuge, kHuge};
  entity.GrowQueryBox(max, min);
  if (!(min.x <= max.x && min.y <= max.y)) return false;
  box = {min.x, min.y, max.x, max.y};
  return true;
}

EntityIndex::EntityIndex(std::vector<DXF_Entity*> entities) : entities_(std::move(entities)) {
  boxes_.resize(entities_.size());
  order_.reserve(entities_.size());
  for (size_t i = 0; i < entities_.size(); ++i) {
    const auto position = static_cast<uint32_t>(i);
    if (!QueryBoxOf(*entities_[i], boxes_[i])) {
      boxes_[i] = kEmpty;
      always_.push_back(position);
      continue;
    }
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
  Box box = kEmpty;
  for (uint32_t i = first; i < first + count; ++i) box = Union(box, boxes_[order_[i]]);
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

void EntityIndex::Fit(uint32_t index) {
  Node& node = nodes_[index];
  if (node.count == 0) {
    node.box = Union(nodes_[index + 1].box, nodes_[node.right].box);
    return;
  }
  Box box = kEmpty;
  for (uint32_t i = node.first; i < node.first + node.count; ++i) box = Union(box, boxes_[order_[i]]);
  node.box = box;
}

bool EntityIndex::Moved(const DXF_Entity* entity) {
  if (!entity) return true;
  // A list chosen twice holds its entities at two positions.
  for (size_t i = 0; i < entities_.size(); ++i) {
    if (entities_[i] != entity) continue;
    const auto position = static_cast<uint32_t>(i);
    Box box;
    const bool boxed = QueryBoxOf(*entity, box);
    const bool wasBoxed = boxes_[position].x0 <= boxes_[position].x1;
    if (boxed != wasBoxed) return false;
    if (!boxed) continue;  // measured by every query as it was
    boxes_[position] = box;
    const auto slot = static_cast<uint32_t>(std::find(order_.begin(), order_.end(), position) - order_.begin());
    // Down to the leaf that holds the slot, then its box and every box above it fitted again.
    std::vector<uint32_t> path;
    uint32_t node = 0;
    while (nodes_[node].count == 0) {
      path.push_back(node);
      const uint32_t right = nodes_[node].right;
      node = slot >= nodes_[right].first ? right : node + 1;
    }
    Fit(node);
    for (auto it = path.rbegin(); it != path.rend(); ++it) Fit(*it);
  }
  return true;
}

void EntityIndex::Remove(std::span<const Range> ranges) {
  bool removed = false;
  for (const Range& range : ranges) {
    for (uint32_t at = range.first; at < range.first + range.count && at < entities_.size(); ++at) {
      if (!entities_[at]) continue;
      entities_[at] = nullptr;
      boxes_[at] = kEmpty;
      removed = true;
    }
  }
  if (!removed) return;
  std::erase_if(always_, [&](uint32_t at) { return entities_[at] == nullptr; });
  // Children come after their parent, so fitting from the last node to the first fits each
  // node after the nodes below it.
  for (size_t i = nodes_.size(); i-- > 0;) Fit(static_cast<uint32_t>(i));
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
    if (!entities_[at]) return;  // left; only a point of no place (NaN) gets this far
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
    if (entities_[at] && entities_[at]->IsInside(p)) return entities_[at];
  }
  return nullptr;
}

}  // namespace pv::viewer

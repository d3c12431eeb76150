#include "canvas/Region.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace pv::canvas {

namespace {

using Span = std::pair<int32_t, int32_t>;

// The pixels whose centres x + 0.5 lie in [from, to).
Span CentreSpan(double from, double to) {
  return {static_cast<int32_t>(std::ceil(from - 0.5)), static_cast<int32_t>(std::ceil(to - 0.5))};
}

bool Evaluate(RegionMode mode, bool a, bool b) {
  switch (mode) {
    case RegionMode::And: return a && b;
    case RegionMode::Or: return a || b;
    case RegionMode::Xor: return a != b;
    case RegionMode::Diff: return a && !b;
    case RegionMode::Copy: return a;
  }
  return false;
}

bool InSpans(const std::vector<Span>& spans, int32_t x) {
  auto it = std::upper_bound(spans.begin(), spans.end(), x,
                             [](int32_t v, const Span& s) { return v < s.first; });
  return it != spans.begin() && x < std::prev(it)->second;
}

std::vector<Span> CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, RegionMode mode) {
  std::vector<int32_t> edges;
  edges.reserve(2 * (a.size() + b.size()));
  for (const auto& s : a) { edges.push_back(s.first); edges.push_back(s.second); }
  for (const auto& s : b) { edges.push_back(s.first); edges.push_back(s.second); }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  std::vector<Span> out;
  for (size_t i = 0; i + 1 < edges.size(); ++i) {
    if (!Evaluate(mode, InSpans(a, edges[i]), InSpans(b, edges[i]))) continue;
    if (!out.empty() && out.back().second == edges[i]) {
      out.back().second = edges[i + 1];
    } else {
      out.emplace_back(edges[i], edges[i + 1]);
    }
  }
  return out;
}

// Sorted, merged spans from unordered, possibly overlapping ones.
std::vector<Span> Normalise(std::vector<Span> spans) {
  std::erase_if(spans, [](const Span& s) { return s.second <= s.first; });
  std::sort(spans.begin(), spans.end());
  std::vector<Span> out;
  for (const auto& s : spans) {
    if (!out.empty() && s.first <= out.back().second) {
      out.back().second = std::max(out.back().second, s.second);
    } else {
      out.push_back(s);
    }
  }
  return out;
}

TRect Normalised(const TRect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
          std::max(r.top, r.bottom)};
}

}  // namespace

void Region::AppendBand(int32_t top, int32_t bottom, std::vector<Span> spans) {
  if (spans.empty() || bottom <= top) return;
  if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
    bands_.back().bottom = bottom;
    return;
  }
  bands_.push_back({top, bottom, std::move(spans)});
}

const std::vector<Region::Span>* Region::SpansAt(int32_t y) const {
  auto it = std::upper_bound(bands_.begin(), bands_.end(), y,
                             [](int32_t v, const Band& b) { return v < b.top; });
  if (it == bands_.begin()) return nullptr;
  --it;
  return y < it->bottom ? &it->spans : nullptr;
}

Region Region::FromRect(const TRect& rect) {
  const TRect r = Normalised(rect);
  Region region;
  if (!r.IsEmpty()) region.AppendBand(r.top, r.bottom, {{r.left, r.right}});
  return region;
}

namespace {

struct TCorners {
  double rx = 0;
  double ry = 0;
};

TCorners CornerRadii(const TRect& r, int32_t cornerWidth, int32_t cornerHeight) {
  return {std::clamp<double>(std::abs(static_cast<double>(cornerWidth)), 0.0, r.Width()) / 2.0,
          std::clamp<double>(std::abs(static_cast<double>(cornerHeight)), 0.0, r.Height()) / 2.0};
}

// The pixels of row y of a rounded rectangle (r normalised, y inside it); false when the
// corners leave the row empty.
bool RoundRectRow(const TRect& r, TCorners c, int32_t y, Span& span) {
  const double yc = y + 0.5;
  double inset = 0.0;
  double dy = 0.0;
  if (yc < r.top + c.ry) dy = (r.top + c.ry - yc) / c.ry;
  if (yc > r.bottom - c.ry) dy = (yc - (r.bottom - c.ry)) / c.ry;
  if (dy > 0.0) {
    if (dy >= 1.0) return false;
    inset = c.rx * (1.0 - std::sqrt(1.0 - dy * dy));
  }
  span = CentreSpan(r.left + inset, r.right - inset);
  return true;
}

}  // namespace

Region Region::FromEllipse(const TRect& rect) {
  return FromRoundRect(rect, rect.right - rect.left, rect.bottom - rect.top);
}

Region Region::FromRoundRect(const TRect& rect, int32_t cornerWidth, int32_t cornerHeight) {
  return FromRoundRectRows(rect, cornerWidth, cornerHeight, INT32_MIN, INT32_MAX);
}

Region Region::FromRoundRectRows(const TRect& rect, int32_t cornerWidth, int32_t cornerHeight, int32_t firstRow,
                                 int32_t endRow) {
  const TRect r = Normalised(rect);
  Region region;
  if (r.IsEmpty()) return region;
  const TCorners corners = CornerRadii(r, cornerWidth, cornerHeight);
  const int32_t first = std::max(r.top, firstRow);
  const int32_t end = std::min(r.bottom, endRow);
  for (int32_t y = first; y < end; ++y) {
    Span span;
    if (RoundRectRow(r, corners, y, span)) region.AppendBand(y, y + 1, Normalise({span}));
  }
  return region;
}

bool Region::RoundRectContains(const TRect& rect, int32_t cornerWidth, int32_t cornerHeight, int32_t x, int32_t y) {
  const TRect r = Normalised(rect);
  if (r.IsEmpty() || y < r.top || y >= r.bottom) return false;
  Span span;
  return RoundRectRow(r, CornerRadii(r, cornerWidth, cornerHeight), y, span) && x >= span.first && x < span.second;
}

bool Region::EllipseContains(const TRect& rect, int32_t x, int32_t y) {
  return RoundRectContains(rect, rect.right - rect.left, rect.bottom - rect.top, x, y);
}

Region Region::FromPolygon(std::span<const TPoint> points, PolyFillMode mode) {
  const int32_t count = static_cast<int32_t>(points.size());
  return FromPolyPolygon(points, std::span<const int32_t>(&count, 1), mode);
}

Region Region::FromPolyPolygon(std::span<const TPoint> points, std::span<const int32_t> counts,
                               PolyFillMode mode) {
  struct Edge {
    double x0, y0, x1, y1;
    int direction;
  };
  std::vector<Edge> edges;
  size_t start = 0;
  for (int32_t n : counts) {
    if (n <= 0 || start + static_cast<size_t>(n) > points.size()) break;
    for (int32_t i = 0; i < n; ++i) {
      const TPoint& a = points[start + i];
      const TPoint& b = points[start + (i + 1) % n];
      if (a.y == b.y) continue;
      if (a.y < b.y) {
        edges.push_back({double(a.x), double(a.y), double(b.x), double(b.y), 1});
      } else {
        edges.push_back({double(b.x), double(b.y), double(a.x), double(a.y), -1});
      }
    }
    start += static_cast<size_t>(n);
  }
  Region region;
  if (edges.empty()) return region;
  double minY = edges[0].y0, maxY = edges[0].y1;
  for (const Edge& e : edges) {
    minY = std::min(minY, e.y0);
    maxY = std::max(maxY, e.y1);
  }
  std::vector<std::pair<double, int>> crossings;
  for (int32_t y = static_cast<int32_t>(minY); y < static_cast<int32_t>(maxY); ++y) {
    const double yc = y + 0.5;
    crossings.clear();
    for (const Edge& e : edges) {
      if (yc < e.y0 || yc >= e.y1) continue;
      crossings.emplace_back(e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.direction);
    }
    std::sort(crossings.begin(), crossings.end());
    std::vector<Span> spans;
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += crossings[i].second;
      const bool inside = mode == PolyFillMode::Alternate ? (i % 2 == 0) : winding != 0;
      if (inside) spans.push_back(CentreSpan(crossings[i].first, crossings[i + 1].first));
    }
    region.AppendBand(y, y + 1, Normalise(std::move(spans)));
  }
  return region;
}

Region Region::Combine(const Region& a, const Region& b, RegionMode mode) {
  if (mode == RegionMode::Copy) return a;
  std::vector<int32_t> ys;
  for (const Band& band : a.bands_) { ys.push_back(band.top); ys.push_back(band.bottom); }
  for (const Band& band : b.bands_) { ys.push_back(band.top); ys.push_back(band.bottom); }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  static const std::vector<Span> kNone;
  Region out;
  for (size_t i = 0; i + 1 < ys.size(); ++i) {
    const auto* sa = a.SpansAt(ys[i]);
    const auto* sb = b.SpansAt(ys[i]);
    out.AppendBand(ys[i], ys[i + 1], CombineSpans(sa ? *sa : kNone, sb ? *sb : kNone, mode));
  }
  return out;
}

Region Region::FromRects(std::span<const TRect> rects) {
  std::vector<TRect> byTop;
  byTop.reserve(rects.size());
  std::vector<int32_t> ys;
  ys.reserve(2 * rects.size());
  for (const TRect& r : rects) {
    if (r.IsEmpty()) continue;
    byTop.push_back(r);
    ys.push_back(r.top);
    ys.push_back(r.bottom);
  }
  const auto byTopOrder = [](const TRect& a, const TRect& b) { return a.top < b.top; };
  if (!std::is_sorted(byTop.begin(), byTop.end(), byTopOrder)) std::sort(byTop.begin(), byTop.end(), byTopOrder);
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  Region out;
  std::vector<TRect> active;
  std::vector<Span> spans;
  size_t next = 0;
  for (size_t i = 0; i + 1 < ys.size(); ++i) {
    const int32_t y = ys[i];
    std::erase_if(active, [y](const TRect& r) { return r.bottom <= y; });
    while (next < byTop.size() && byTop[next].top <= y) active.push_back(byTop[next++]);
    spans.clear();
    for (const TRect& r : active) spans.emplace_back(r.left, r.right);
    out.AppendBand(y, ys[i + 1], Normalise(spans));
  }
  return out;
}

bool Region::Contains(int32_t x, int32_t y) const {
  const auto* spans = SpansAt(y);
  return spans != nullptr && InSpans(*spans, x);
}

TRect Region::Bounds() const {
  if (bands_.empty()) return {};
  TRect r{bands_.front().spans.front().first, bands_.front().top, bands_.front().spans.back().second,
          bands_.back().bottom};
  for (const Band& band : bands_) {
    r.left = std::min(r.left, band.spans.front().first);
    r.right = std::max(r.right, band.spans.back().second);
  }
  return r;
}

void Region::Offset(int32_t dx, int32_t dy) {
  for (Band& band : bands_) {
    band.top += dy;
    band.bottom += dy;
    for (Span& s : band.spans) {
      s.first += dx;
      s.second += dx;
    }
  }
}

std::vector<TRect> Region::Rects() const {
  std::vector<TRect> out;
  for (const Band& band : bands_) {
    for (const Span& s : band.spans) out.push_back({s.first, band.top, s.second, band.bottom});
  }
  return out;
}

}  // namespace pv::canvas

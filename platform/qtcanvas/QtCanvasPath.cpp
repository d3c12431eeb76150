// Paths, regions and clipping of the Qt canvas.
#include <QPainter>
#include <QRegion>
#include <cmath>

#include "qtcanvas/QtCanvas.h"

namespace pv::qtcanvas {

QRegion ToQRegion(const Region& region) {
  QRegion out;
  const auto rects = region.Rects();
  if (rects.empty()) return out;
  QList<QRect> list;
  list.reserve(static_cast<qsizetype>(rects.size()));
  for (const TRect& r : rects) list.push_back(QRect(r.left, r.top, r.Width(), r.Height()));
  out.setRects(list.constData(), static_cast<int>(list.size()));
  return out;
}

void QtCanvas::BeginPath() {
  inPath_ = true;
  path_ = QPainterPath();
}

void QtCanvas::EndPath() { inPath_ = false; }

void QtCanvas::AbortPath() {
  inPath_ = false;
  path_ = QPainterPath();
}

void QtCanvas::CloseFigure() {
  if (inPath_) path_.closeSubpath();
}

// Stroking, filling or clipping with a path uses it up.
void QtCanvas::StrokePath() {
  StrokeOutline(path_);
  path_ = QPainterPath();
}

void QtCanvas::FillPath() {
  path_.setFillRule(state_.fillMode == PolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
  if (BrushDraws()) FillInterior(path_, MakeBrush(state_.brush));
  path_ = QPainterPath();
}

void QtCanvas::StrokeAndFillPath() {
  path_.setFillRule(state_.fillMode == PolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
  if (BrushDraws()) FillInterior(path_, MakeBrush(state_.brush));
  StrokeOutline(path_);
  path_ = QPainterPath();
}

Region QtCanvas::PathToRegion() {
  std::vector<TPoint> points;
  std::vector<int32_t> counts;
  for (const QPolygonF& polygon : path_.toSubpathPolygons()) {
    if (polygon.size() < 3) continue;
    for (const QPointF& p : polygon) {
      points.push_back({static_cast<int32_t>(std::lround(p.x())), static_cast<int32_t>(std::lround(p.y()))});
    }
    counts.push_back(static_cast<int32_t>(polygon.size()));
  }
  path_ = QPainterPath();
  return Region::FromPolyPolygon(points, counts, state_.fillMode);
}

void QtCanvas::SelectClipPath(RegionMode mode) { CombineClip(PathToRegion(), mode); }

void QtCanvas::FillRgn(const Region& region, const Brush& brush) {
  if (region.IsEmpty()) return;
  ApplyCopy();
  painter_->setBrushOrigin(state_.brushOrigin.x, state_.brushOrigin.y);
  const QBrush qbrush = MakeBrush(brush);
  for (const TRect& r : region.Rects()) painter_->fillRect(QRect(r.left, r.top, r.Width(), r.Height()), qbrush);
}

// The frame is the part of the region that its copies shifted by the frame's width and
// height do not all cover.
void QtCanvas::FrameRgn(const Region& region, const Brush& brush, int32_t width, int32_t height) {
  Region inner = region;
  for (auto [dx, dy] : {std::pair{width, 0}, std::pair{-width, 0}, std::pair{0, height}, std::pair{0, -height}}) {
    Region shifted = region;
    shifted.Offset(dx, dy);
    inner = Region::Combine(inner, shifted, RegionMode::And);
  }
  FillRgn(Region::Combine(region, inner, RegionMode::Diff), brush);
}

void QtCanvas::ApplyClip() const {
  if (state_.clip) {
    // With clipping switched off after an earlier clip, Qt's raster engine takes a region of
    // several rectangles as no clip at all: switch clipping on before replacing the region.
    painter_->setClipping(true);
    painter_->setClipRegion(ToQRegion(*state_.clip));
  } else {
    painter_->setClipping(false);
  }
}

void QtCanvas::CombineClip(const Region& region, RegionMode mode) {
  if (mode == RegionMode::Copy) {
    state_.clip = region;
  } else {
    const Region current = state_.clip ? *state_.clip : Region::FromRect({0, 0, size_.cx, size_.cy});
    state_.clip = Region::Combine(current, region, mode);
  }
  ApplyClip();
}

void QtCanvas::SelectClipRgn(const std::optional<Region>& region) {
  state_.clip = region;
  ApplyClip();
}

void QtCanvas::ExtSelectClipRgn(const Region& region, RegionMode mode) { CombineClip(region, mode); }

void QtCanvas::IntersectClipRect(const TRect& rect) { CombineClip(Region::FromRect(rect), RegionMode::And); }

void QtCanvas::ExcludeClipRect(const TRect& rect) { CombineClip(Region::FromRect(rect), RegionMode::Diff); }

TRect QtCanvas::GetClipBox() const {
  return state_.clip ? state_.clip->Bounds() : TRect{0, 0, size_.cx, size_.cy};
}

}  // namespace pv::qtcanvas

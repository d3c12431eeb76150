// How a curve paints and is hit: its refresh rectangle (pen and caps included), the path or
// polyline with its fill, the caps at the open ends, and the hit test in pixels.

#include <algorithm>
#include <climits>
#include <optional>

#include "base/Units.h"
#include "canvas/Canvas.h"
#include "canvas/Region.h"
#include "controls/VexaPanel.h"
#include "paint/ClipHelpers.h"
#include "paths/PathQueries.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "shapes/CurvePoints.h"
#include "shapes/LineCaps.h"
#include "shapes/VexaCurve.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

using namespace pv::canvas;

namespace {

int32_t PanelScale(const TVexaControl& control) { return control.Owner() ? control.Owner()->Scale() : 100; }

// The larger side of a cap's extent for a pen of that width (document units); 0 without a cap.
int64_t CapReach(const TLineCapProp& cap, int32_t penWidth) {
  TLineCapInfo info;
  if (!GetLineCapInfo(cap.GetCapStyle(), cap.GetActualSize(penWidth, 1000), info)) return 0;
  return std::max<int64_t>(static_cast<int64_t>(info.right) - info.left, static_cast<int64_t>(info.bottom) - info.top);
}

TLineCap CapOf(const TLineCapProp& cap, TColor penColor, int32_t penWidth, int32_t scale) {
  TLineCap out;
  out.style = cap.GetCapStyle();
  out.color = cap.GetFixedOutlineColor() ? cap.GetOutlineColor() : penColor;
  out.fillColor = cap.GetFixedFillColor() ? cap.GetFillColor() : penColor;
  out.size = ScaleValue(cap.GetActualSize(penWidth, 1000), scale);
  return out;
}

// The box of pixel points, right and bottom excluded.
TRect PixelBox(const std::vector<TPoint>& pixels) {
  TRect r{pixels[0].x, pixels[0].y, pixels[0].x, pixels[0].y};
  for (const TPoint& p : pixels) {
    r = {std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x), std::max(r.bottom, p.y)};
  }
  return {r.left, r.top, r.right + 1, r.bottom + 1};
}

// MulDiv(value, scale, 100000), the panel's scaling, on a 64-bit value and inline: painting
// converts every point of every curve.
int32_t ScaleToPixels(int64_t value, int32_t scale) {
  if (scale <= 0) return winmath::MulDiv(ClampToInt32(value), scale, 100000);
  const int64_t product = value * scale;
  int64_t quotient = product / 100000;
  const int64_t remainder = product % 100000;
  if (2 * (remainder < 0 ? -remainder : remainder) >= 100000) quotient += product < 0 ? -1 : 1;
  return quotient > INT32_MAX || quotient < INT32_MIN ? -1 : static_cast<int32_t>(quotient);
}

}  // namespace

void TVexaCurve::GetPaintPoints(std::vector<TPoint>& out, int32_t x, int32_t y, int32_t scale) const {
  const TRect doc = GetDocRect();
  const int64_t x0 = static_cast<int64_t>(x) - ScaleToPixels(doc.left, scale);
  const int64_t y0 = static_cast<int64_t>(y) - ScaleToPixels(doc.top, scale);
  out.resize(points_.size());
  for (size_t i = 0; i < points_.size(); ++i) {
    const TPoint p = points_[i];
    out[i] = {ClampToInt32(ScaleToPixels(static_cast<int64_t>(p.x) + doc.left, scale) + x0),
              ClampToInt32(ScaleToPixels(static_cast<int64_t>(p.y) + doc.top, scale) + y0)};
  }
}

TRect TVexaCurve::GetRefreshRect(int32_t x, int32_t y) const {
  const int32_t penWidth = pen_->GetActualWidth();
  int64_t m = penWidth > 0 ? static_cast<int64_t>(penWidth) + 2000 : 0;
  m += std::max(CapReach(*beginCap_, penWidth), CapReach(*endCap_, penWidth));
  return {ClampToInt32(x - m), ClampToInt32(y - m), ClampToInt32(static_cast<int64_t>(x) + GetWidth() + m),
          ClampToInt32(static_cast<int64_t>(y) + GetHeight() + m)};
}

bool TVexaCurve::IsPointInside(int32_t x, int32_t y) const {
  if (points_.empty()) return false;
  const int32_t scale = PanelScale(*this);
  const TRect r = GetDocRect();
  TPoint doc{x, y};
  if (Owner()) doc = Owner()->PixelToDocPoint({x, y});
  const int64_t px = static_cast<int64_t>(doc.x) - r.left;
  const int64_t py = static_cast<int64_t>(doc.y) - r.top;
  const int32_t penWidth = pen_->GetActualWidth();
  const int64_t t = (static_cast<int64_t>(UnScaleValue(4, scale)) + penWidth) / 2;
  if (px < -t || py < -t || px > GetWidth() + t || py > GetHeight() + t) return false;
  const bool filled = !brush_->IsClear() || (Owner() && Owner()->SelectAsFilled());
  return graphics::PathHitTest(points_, types_, {ClampToInt32(px), ClampToInt32(py)}, GetPathInfo(), nullptr,
                               static_cast<double>(t), filled, penWidth > 0);
}

void TVexaCurve::Paint(Canvas& canvas, const TRect& rect) {
  if (points_.empty()) return;
  const int32_t scale = PanelScale(*this);
  // One buffer for every curve painted: a paint converts thousands of curves in a row.
  thread_local std::vector<TPoint> pixels;
  GetPaintPoints(pixels, rect.left, rect.top, scale);
  pen_->Setup(canvas, scale);
  const canvas::Pen pen = canvas.GetPen();
  brush_->Setup(canvas, scale);
  const TPathFigureInfos& infos = *GetPathInfo();
  if (infos.anyCurves || infos.figures.size() >= 2) {
    PaintPath(canvas, pixels, infos);
  } else {
    PaintPolyline(canvas, pixels, infos);
  }
  if (beginCap_->GetCapStyle() != 0 || endCap_->GetCapStyle() != 0)
    PaintCaps(canvas, pixels, pen.style == PenStyle::Clear ? 0 : std::max(1, pen.width), pen.color);
}

void TVexaCurve::PaintPath(Canvas& canvas, const std::vector<TPoint>& pixels, const TPathFigureInfos& infos) {
  if (brush_->IsClear()) {
    if (CreatePlatformPath(canvas, pixels, types_, &infos, true, true, true)) canvas.StrokePath();
    return;
  }
  if (brush_->GetMethod() != TBrushMethod::bmHatch) {
    // A bitmap or gradient fills the closed figures' region as clip, then the whole path is
    // stroked over it.
    if (CreatePlatformPath(canvas, pixels, types_, &infos, true, true, false)) {
      const std::optional<Region> saved = IntersectClipPath(canvas);
      const TRect box = PixelBox(pixels);
      brush_->PaintFill(canvas, box, Owner() ? Owner()->PaintRect() : box, false, PanelScale(*this));
      RestoreClip(canvas, saved);
    }
    if (CreatePlatformPath(canvas, pixels, types_, &infos, true, true, true)) canvas.StrokePath();
    return;
  }
  if (CreatePlatformPath(canvas, pixels, types_, &infos, true, true, false)) canvas.StrokeAndFillPath();
  const bool anyOpen = std::any_of(infos.figures.begin(), infos.figures.end(), [](const auto& f) { return !f.closed; });
  if (anyOpen && CreatePlatformPath(canvas, pixels, types_, &infos, true, false, true)) canvas.StrokePath();
}

void TVexaCurve::PaintPolyline(Canvas& canvas, const std::vector<TPoint>& pixels, const TPathFigureInfos& infos) {
  if (infos.figures.empty()) return;
  const TPathFigureInfo& f = infos.figures.front();
  const std::span<const TPoint> figure(pixels.data() + f.first, static_cast<size_t>(f.lastNode - f.first + 1));
  if (f.closed && brush_->GetMethod() != TBrushMethod::bmHatch && !brush_->IsClear()) {
    const std::optional<Region> saved = IntersectClipRgn(canvas, Region::FromPolygon(figure, PolyFillMode::Winding));
    const TRect box = PixelBox(pixels);
    brush_->PaintFill(canvas, box, Owner() ? Owner()->PaintRect() : box, false, PanelScale(*this));
    RestoreClip(canvas, saved);
  }
  if (f.closed) {
    canvas.Polygon(figure);
  } else {
    canvas.Polyline(figure);
  }
}

void TVexaCurve::PaintCaps(Canvas& canvas, const std::vector<TPoint>& pixels, int32_t penPixels, TColor penColor) {
  const int32_t scale = PanelScale(*this);
  const int32_t penWidth = pen_->GetActualWidth();
  DrawLineCaps(canvas, penPixels, CapOf(*beginCap_, penColor, penWidth, scale), CapOf(*endCap_, penColor, penWidth, scale),
               pixels, types_);
}

}  // namespace pv::graphics

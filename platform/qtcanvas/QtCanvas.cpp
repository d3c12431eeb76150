#include "qtcanvas/QtCanvas.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace pv::qtcanvas {

QColor ToQColor(TColor color) {
  const uint32_t rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

namespace {

QPoint ToQPoint(TPoint p) { return QPoint(p.x, p.y); }

// Cosmetic dash patterns of the platform, in pixels on and off.
QList<qreal> DashPattern(PenStyle style) {
  switch (style) {
    case PenStyle::Dash: return {18, 6};
    case PenStyle::Dot: return {3, 3};
    case PenStyle::DashDot: return {9, 6, 3, 6};
    case PenStyle::DashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
  }
}

Qt::BrushStyle HatchStyle(BrushStyle style) {
  switch (style) {
    case BrushStyle::Horizontal: return Qt::HorPattern;
    case BrushStyle::Vertical: return Qt::VerPattern;
    case BrushStyle::FDiagonal: return Qt::BDiagPattern;  // Qt names the diagonals the other way round
    case BrushStyle::BDiagonal: return Qt::FDiagPattern;
    case BrushStyle::Cross: return Qt::CrossPattern;
    case BrushStyle::DiagCross: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
  }
}

bool IsHatch(BrushStyle style) { return style != BrushStyle::Solid && style != BrushStyle::Clear; }

TRect Normalized(const TRect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

QPolygon ToQPolygon(std::span<const TPoint> points) {
  QPolygon polygon;
  polygon.reserve(static_cast<qsizetype>(points.size()));
  for (TPoint p : points) polygon << ToQPoint(p);
  return polygon;
}

Qt::FillRule ToFillRule(PolyFillMode mode) {
  return mode == PolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill;
}

}  // namespace

QtCanvas::QtCanvas(QImage& image) : QtCanvas(static_cast<QPaintDevice&>(image), TSize{image.width(), image.height()}) {
  image_ = &image;
  ropsAsCopy_ = image.hasAlphaChannel();
}

QtCanvas::QtCanvas(QPaintDevice& device, TSize size) : device_(&device), size_(size) {
  painter_ = std::make_unique<QPainter>(device_);
  painter_->setRenderHint(QPainter::Antialiasing, false);
  painter_->setRenderHint(QPainter::TextAntialiasing, false);
  RefreshFont();
}

QtCanvas::~QtCanvas() { painter_->end(); }

// ---- State ------------------------------------------------------------------------------

void QtCanvas::SetPen(const Pen& pen) { state_.pen = pen; }
void QtCanvas::SetBrush(const Brush& brush) {
  state_.brush = brush;
  if (const auto mode = BkModeOfBrush(brush)) state_.bkMode = *mode;
}

void QtCanvas::SetFont(const Font& font) {
  if (font == state_.font) return;
  const bool faceChanged = font.name != state_.font.name || font.height != state_.font.height ||
                           font.width != state_.font.width || font.weight != state_.font.weight ||
                           font.italic != state_.font.italic || font.underline != state_.font.underline ||
                           font.strikeOut != state_.font.strikeOut || font.pitch != state_.font.pitch;
  state_.font = font;
  if (faceChanged) RefreshFont();
}

void QtCanvas::SaveState() { saved_.push_back(state_); }

void QtCanvas::RestoreState() {
  if (saved_.empty()) return;
  const bool fontChanged = !(saved_.back().font == state_.font);
  state_ = std::move(saved_.back());
  saved_.pop_back();
  if (fontChanged) RefreshFont();
  ApplyClip();
}

// ---- Painter set-up ---------------------------------------------------------------------

bool QtCanvas::OffDevice(const TRect& box) const {
  // What a shape paints lies in its box widened by its pen on each side (a wide pen is centred
  // on the outline, its caps reach half the width past an end); two pixels more cover rounding.
  // Only on an image: another device (an SVG generator) keeps what is drawn outside its size.
  // Checked only with the direct calls on, so the path route still paints every shape and the
  // direct-call test compares both.
  const TRect r = Normalized(box);
  return OffDevice(r.left, r.top, r.right, r.bottom);
}

bool QtCanvas::OffDevice(int64_t left, int64_t top, int64_t right, int64_t bottom) const {
  if (!image_ || !directCalls_) return false;
  const int64_t margin = int64_t{std::max(state_.pen.width, 1)} + 2;
  return right + margin < 0 || bottom + margin < 0 || left - margin > size_.cx || top - margin > size_.cy;
}

bool QtCanvas::PenDraws() const { return state_.pen.style != PenStyle::Clear && state_.pen.mode != PenMode::Nop; }

bool QtCanvas::BrushDraws() const {
  return (state_.brush.style != BrushStyle::Clear || state_.brush.bitmap) && state_.pen.mode != PenMode::Nop;
}

bool QtCanvas::ApplyRop2() const {
  if (!image_ || ropsAsCopy_) {
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    return state_.pen.mode != PenMode::Nop;
  }
  QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
  switch (state_.pen.mode) {
    case PenMode::Black: mode = QPainter::RasterOp_ClearDestination; break;
    case PenMode::NotMerge: mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case PenMode::MaskNotPen: mode = QPainter::RasterOp_NotSourceAndDestination; break;
    case PenMode::NotCopy: mode = QPainter::RasterOp_NotSource; break;
    case PenMode::MaskPenNot: mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case PenMode::Not: mode = QPainter::RasterOp_NotDestination; break;
    case PenMode::Xor: mode = QPainter::RasterOp_SourceXorDestination; break;
    case PenMode::NotMask: mode = QPainter::RasterOp_NotSourceOrNotDestination; break;
    case PenMode::Mask: mode = QPainter::RasterOp_SourceAndDestination; break;
    case PenMode::NotXor: mode = QPainter::RasterOp_NotSourceXorDestination; break;
    case PenMode::Nop: return false;
    case PenMode::MergeNotPen: mode = QPainter::RasterOp_NotSourceOrDestination; break;
    case PenMode::Copy: mode = QPainter::CompositionMode_SourceOver; break;
    case PenMode::MergePenNot: mode = QPainter::RasterOp_SourceOrNotDestination; break;
    case PenMode::Merge: mode = QPainter::RasterOp_SourceOrDestination; break;
    case PenMode::White: mode = QPainter::RasterOp_SetDestination; break;
  }
  painter_->setCompositionMode(mode);
  return true;
}

void QtCanvas::ApplyCopy() const { painter_->setCompositionMode(QPainter::CompositionMode_SourceOver); }

QBrush QtCanvas::MakeBrush(const Brush& brush) const {
  if (brush.bitmap && !brush.bitmap->Empty()) return QBrush(ToQImage(*brush.bitmap));
  if (brush.style == BrushStyle::Clear) return QBrush(Qt::NoBrush);
  return QBrush(ToQColor(brush.color), HatchStyle(brush.style));
}

QRectF QtCanvas::OutlineBox(const TRect& box) const {
  const TRect r = Normalized(box);
  double inset = 0;
  if (state_.pen.style == PenStyle::InsideFrame && state_.pen.width > 1) inset = (state_.pen.width - 1) / 2.0;
  return QRectF(r.left + inset, r.top + inset, std::max(0.0, r.Width() - 1 - 2 * inset),
                std::max(0.0, r.Height() - 1 - 2 * inset));
}

bool QtCanvas::ThinSolidPen() const {
  return state_.pen.width <= 1 && (state_.pen.style == PenStyle::Solid || state_.pen.style == PenStyle::InsideFrame);
}

void QtCanvas::ApplyStrokePen(bool thin) {
  // Building a QPen allocates; most drawings stroke thousands of shapes with one pen.
  if (!strokePenOf_ || !(*strokePenOf_ == state_.pen) || strokePenThin_ != thin) {
    const Pen& pen = state_.pen;
    strokePen_ = QPen(ToQColor(pen.color));
    strokePen_.setJoinStyle(Qt::RoundJoin);
    if (thin) {
      strokePen_.setWidth(0);
      strokePen_.setCapStyle(Qt::FlatCap);
      const auto dashes = DashPattern(pen.style);
      if (!dashes.isEmpty()) strokePen_.setDashPattern(dashes);
    } else {
      // A wide pen is filled around the line; its centre sits on pixel centres.
      strokePen_.setWidth(pen.width);
      strokePen_.setCapStyle(Qt::RoundCap);
    }
    strokePenOf_ = pen;
    strokePenThin_ = thin;
  }
  painter_->setPen(strokePen_);
}

void QtCanvas::StrokeOutline(const QPainterPath& outline) {
  if (!PenDraws() || !ApplyRop2()) return;
  painter_->setBrush(Qt::NoBrush);
  const bool thin = state_.pen.width <= 1;
  ApplyStrokePen(thin);
  painter_->drawPath(thin ? outline : outline.translated(0.5, 0.5));
}

void QtCanvas::FillInterior(const QPainterPath& interior, const QBrush& brush) {
  if (!ApplyRop2()) return;
  painter_->setPen(Qt::NoPen);
  painter_->setBrushOrigin(state_.brushOrigin.x, state_.brushOrigin.y);
  if (IsHatch(state_.brush.style) && !state_.brush.bitmap && state_.bkMode == BkMode::Opaque) {
    painter_->setBrush(ToQColor(state_.bkColor));
    painter_->drawPath(interior);
  }
  painter_->setBrush(brush);
  painter_->drawPath(interior);
}

void QtCanvas::PaintShape(const QPainterPath& interior, const QPainterPath& outline, bool fill) {
  if (fill && BrushDraws()) FillInterior(interior, MakeBrush(state_.brush));
  StrokeOutline(outline);
}

void QtCanvas::PathAppend(const QPainterPath& figure) { path_.addPath(figure); }

// ---- Lines and shapes -------------------------------------------------------------------

void QtCanvas::MoveTo(int32_t x, int32_t y) {
  state_.penPos = {x, y};
  if (inPath_) path_.moveTo(x, y);
}

void QtCanvas::LineTo(int32_t x, int32_t y) {
  const TPoint from = state_.penPos;
  state_.penPos = {x, y};
  if (inPath_) {
    if (path_.elementCount() == 0) path_.moveTo(from.x, from.y);
    path_.lineTo(x, y);
    return;
  }
  if (directCalls_ && ThinSolidPen()) {
    // A line of no length has no pixel before its left-out end pixel.
    if ((from.x == x && from.y == y) || !PenDraws() || !ApplyRop2()) return;
    ApplyStrokePen(true);
    painter_->drawLine(from.x, from.y, x, y);
    return;
  }
  QPainterPath line;
  line.moveTo(from.x, from.y);
  line.lineTo(x, y);
  StrokeOutline(line);
}

void QtCanvas::Polyline(std::span<const TPoint> points) {
  if (points.size() < 2) return;
  if (!inPath_ && directCalls_ && ThinSolidPen()) {
    if (!PenDraws() || !ApplyRop2()) return;
    ApplyStrokePen(true);
    painter_->drawPolyline(ToQPolygon(points));
    return;
  }
  QPainterPath line;
  line.addPolygon(QPolygonF(ToQPolygon(points)));
  if (inPath_) {
    PathAppend(line);
    return;
  }
  StrokeOutline(line);
}

void QtCanvas::Polygon(std::span<const TPoint> points) {
  if (points.size() < 2) return;
  QPainterPath shape;
  shape.addPolygon(QPolygonF(ToQPolygon(points)));
  shape.closeSubpath();
  shape.setFillRule(ToFillRule(state_.fillMode));
  if (inPath_) {
    PathAppend(shape);
    return;
  }
  PaintShape(shape, shape, true);
}

void QtCanvas::PolyPolygon(std::span<const TPoint> points, std::span<const int32_t> counts) {
  QPainterPath shape;
  shape.setFillRule(ToFillRule(state_.fillMode));
  size_t at = 0;
  for (int32_t n : counts) {
    if (n <= 0 || at + static_cast<size_t>(n) > points.size()) break;
    shape.addPolygon(QPolygonF(ToQPolygon(points.subspan(at, static_cast<size_t>(n)))));
    shape.closeSubpath();
    at += static_cast<size_t>(n);
  }
  if (inPath_) {
    PathAppend(shape);
    return;
  }
  PaintShape(shape, shape, true);
}

void QtCanvas::PolyBezier(std::span<const TPoint> points) {
  if (points.empty()) return;
  QPainterPath curve;
  curve.moveTo(ToQPoint(points[0]));
  for (size_t i = 1; i + 2 < points.size(); i += 3) {
    curve.cubicTo(ToQPoint(points[i]), ToQPoint(points[i + 1]), ToQPoint(points[i + 2]));
  }
  if (inPath_) {
    PathAppend(curve);
    return;
  }
  StrokeOutline(curve);
}

void QtCanvas::PolyBezierTo(std::span<const TPoint> points) {
  QPainterPath curve;
  curve.moveTo(ToQPoint(state_.penPos));
  for (size_t i = 0; i + 2 < points.size(); i += 3) {
    curve.cubicTo(ToQPoint(points[i]), ToQPoint(points[i + 1]), ToQPoint(points[i + 2]));
    state_.penPos = points[i + 2];
  }
  if (inPath_) {
    if (path_.elementCount() == 0) path_.moveTo(curve.elementAt(0).x, curve.elementAt(0).y);
    path_.connectPath(curve);
    return;
  }
  StrokeOutline(curve);
}

void QtCanvas::Rectangle(const TRect& rect) {
  const TRect r = Normalized(rect);
  if (inPath_) {
    path_.addPolygon(QPolygonF(QVector<QPointF>{{double(r.left), double(r.top)}, {double(r.right), double(r.top)},
                                                {double(r.right), double(r.bottom)}, {double(r.left), double(r.bottom)}}));
    path_.closeSubpath();
    return;
  }
  QPainterPath interior;
  // A one-pixel outline covers the border, so the fill stays inside it and no pixel is
  // painted twice (which xor drawing would undo).
  const bool thinOutline = PenDraws() && state_.pen.width <= 1;
  if (thinOutline) {
    interior.addRect(QRectF(r.left + 1, r.top + 1, std::max(0, r.Width() - 2), std::max(0, r.Height() - 2)));
  } else {
    interior.addRect(QRectF(r.left, r.top, r.Width(), r.Height()));
  }
  if (ThinSolidPen()) {
    if (BrushDraws()) FillInterior(interior, MakeBrush(state_.brush));
    if (PenDraws() && ApplyRop2()) FillThinFrame(r);
    return;
  }
  QPainterPath outline;
  outline.addRect(OutlineBox(r));
  PaintShape(interior, outline, true);
}

void QtCanvas::FillThinFrame(const TRect& r) {
  // Four strips that never overlap (xor would undo a pixel painted twice). A stroked
  // rectangle loses its far corner once the shape reaches past the picture's edge, and a
  // document painted in pieces must have the same pixels as one painted whole.
  const QColor color = ToQColor(state_.pen.color);
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return;
  if (w <= 2 || h <= 2) {
    painter_->fillRect(QRect(r.left, r.top, w, h), color);
    return;
  }
  painter_->fillRect(QRect(r.left, r.top, w, 1), color);
  painter_->fillRect(QRect(r.left, r.bottom - 1, w, 1), color);
  painter_->fillRect(QRect(r.left, r.top + 1, 1, h - 2), color);
  painter_->fillRect(QRect(r.right - 1, r.top + 1, 1, h - 2), color);
}

void QtCanvas::RoundRect(const TRect& rect, int32_t cornerWidth, int32_t cornerHeight) {
  const TRect r = Normalized(rect);
  // The platform gives the corner ellipse's diameters, Qt its radii.
  const double rx = std::min(std::abs(cornerWidth), r.Width()) / 2.0;
  const double ry = std::min(std::abs(cornerHeight), r.Height()) / 2.0;
  QPainterPath interior;
  interior.addRoundedRect(QRectF(r.left, r.top, r.Width(), r.Height()), rx, ry);
  if (inPath_) {
    PathAppend(interior);
    return;
  }
  QPainterPath outline;
  outline.addRoundedRect(OutlineBox(r), rx, ry);
  PaintShape(interior, outline, true);
}

void QtCanvas::Ellipse(const TRect& rect) {
  const TRect r = Normalized(rect);
  const QRectF box(r.left, r.top, r.Width(), r.Height());
  QPainterPath interior;
  if (inPath_) {
    interior.addEllipse(box);
    PathAppend(interior);
    return;
  }
  // A zoomed view leaves most of a large drawing's shapes outside the picture; building and
  // stroking their outlines was most of such a repaint.
  if (OffDevice(r)) return;
  // Qt's own ellipse call rounds its outline differently, so both parts stay paths; the
  // interior is only built when a brush paints it.
  if (BrushDraws()) {
    interior.addEllipse(box);
    FillInterior(interior, MakeBrush(state_.brush));
  }
  if (!PenDraws()) return;
  scratchPath_.clear();
  scratchPath_.addEllipse(OutlineBox(r));
  StrokeOutline(scratchPath_);
}

// Qt's arcs take parametric angles of the ellipse; the platform gives two radial points whose
// rays from the centre cut the ellipse where the arc starts and ends, counter-clockwise.
QPainterPath QtCanvas::ArcPath(const TRect& box, TPoint start, TPoint end, bool moveToStart) const {
  QPainterPath path;
  AddArc(path, box, start, end, moveToStart);
  return path;
}

void QtCanvas::AddArc(QPainterPath& path, const TRect& box, TPoint start, TPoint end, bool moveToStart) const {
  const TRect r = Normalized(box);
  const QRectF outline = OutlineBox(r);
  const double cx = (r.left + r.right) / 2.0;
  const double cy = (r.top + r.bottom) / 2.0;
  const double a = std::max(outline.width() / 2.0, 1e-9);
  const double b = std::max(outline.height() / 2.0, 1e-9);
  auto parametric = [&](TPoint p) {
    return std::atan2((cy - p.y) / b, (p.x - cx) / a) * 180.0 / std::numbers::pi;
  };
  const double t0 = parametric(start);
  double sweep = parametric(end) - t0;
  while (sweep <= 1e-9) sweep += 360.0;  // equal radials: the whole ellipse
  if (moveToStart) path.arcMoveTo(outline, t0);
  path.arcTo(outline, t0, sweep);
}

void QtCanvas::Arc(const TRect& box, TPoint start, TPoint end) {
  if (inPath_) {
    PathAppend(ArcPath(box, start, end, true));
    return;
  }
  if (!PenDraws() || OffDevice(box)) return;
  scratchPath_.clear();
  AddArc(scratchPath_, box, start, end, true);
  StrokeOutline(scratchPath_);
}

void QtCanvas::ArcTo(const TRect& box, TPoint start, TPoint end) {
  QPainterPath arc = ArcPath(box, start, end, true);
  const QPointF arcStart = arc.elementAt(0);
  const QPointF arcEnd = arc.currentPosition();
  QPainterPath joined;
  joined.moveTo(state_.penPos.x, state_.penPos.y);
  joined.lineTo(arcStart);
  joined.connectPath(arc);
  state_.penPos = {static_cast<int32_t>(std::lround(arcEnd.x())), static_cast<int32_t>(std::lround(arcEnd.y()))};
  if (inPath_) {
    if (path_.elementCount() == 0) {
      path_.addPath(joined);
    } else {
      path_.connectPath(joined);
    }
    return;
  }
  StrokeOutline(joined);
}

void QtCanvas::Chord(const TRect& box, TPoint start, TPoint end) {
  QPainterPath shape = ArcPath(box, start, end, true);
  shape.closeSubpath();
  if (inPath_) {
    PathAppend(shape);
    return;
  }
  PaintShape(shape, shape, true);
}

void QtCanvas::Pie(const TRect& box, TPoint start, TPoint end) {
  const TRect r = Normalized(box);
  const QPointF centre = OutlineBox(r).center();
  QPainterPath shape;
  shape.moveTo(centre);
  shape.connectPath(ArcPath(box, start, end, true));
  shape.closeSubpath();
  if (inPath_) {
    PathAppend(shape);
    return;
  }
  PaintShape(shape, shape, true);
}

void QtCanvas::SetPixel(int32_t x, int32_t y, TColor color) {
  if (x < 0 || y < 0 || x >= size_.cx || y >= size_.cy) return;
  if (state_.clip && !state_.clip->Contains(x, y)) return;
  if (image_) {
    image_->setPixel(x, y, ToQColor(color).rgb());
    return;
  }
  ApplyCopy();
  painter_->fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

uint32_t QtCanvas::GetPixel(int32_t x, int32_t y) const {
  if (!image_ || x < 0 || y < 0 || x >= size_.cx || y >= size_.cy) return CLR_INVALID;
  const QRgb p = image_->pixel(x, y);
  return RGB(static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)), static_cast<uint8_t>(qBlue(p)));
}

void QtCanvas::FillRect(const TRect& rect) {
  const TRect r = Normalized(rect);
  if (r.IsEmpty()) return;
  ApplyCopy();
  painter_->setBrushOrigin(state_.brushOrigin.x, state_.brushOrigin.y);
  painter_->fillRect(QRect(r.left, r.top, r.Width(), r.Height()), MakeBrush(state_.brush));
}

void QtCanvas::FrameRect(const TRect& rect) {
  const TRect r = Normalized(rect);
  if (r.IsEmpty()) return;
  ApplyCopy();
  const QBrush brush = MakeBrush(state_.brush);
  painter_->fillRect(QRect(r.left, r.top, r.Width(), 1), brush);
  painter_->fillRect(QRect(r.left, r.bottom - 1, r.Width(), 1), brush);
  painter_->fillRect(QRect(r.left, r.top, 1, r.Height()), brush);
  painter_->fillRect(QRect(r.right - 1, r.top, 1, r.Height()), brush);
}

void QtCanvas::DrawFocusRect(const TRect& rect) {
  if (!image_) return;
  const TRect r = IntersectRect(Normalized(rect), {0, 0, size_.cx, size_.cy});
  const TRect full = Normalized(rect);
  auto flip = [&](int32_t x, int32_t y) {
    if (!r.Contains(x, y) || (state_.clip && !state_.clip->Contains(x, y))) return;
    if (((x + y) & 1) != 0) return;  // dotted: every other pixel
    image_->setPixel(x, y, image_->pixel(x, y) ^ 0x00FFFFFFu);
  };
  if (full.IsEmpty()) return;
  for (int32_t x = full.left; x < full.right; ++x) {
    flip(x, full.top);
    if (full.bottom - 1 != full.top) flip(x, full.bottom - 1);
  }
  for (int32_t y = full.top + 1; y < full.bottom - 1; ++y) {
    flip(full.left, y);
    if (full.right - 1 != full.left) flip(full.right - 1, y);
  }
}

void QtCanvas::InvertRect(const TRect& rect) {
  const TRect r = Normalized(rect);
  if (r.IsEmpty() || !image_) return;
  painter_->setCompositionMode(QPainter::RasterOp_NotDestination);
  painter_->fillRect(QRect(r.left, r.top, r.Width(), r.Height()), Qt::black);
  ApplyCopy();
}

}  // namespace pv::qtcanvas

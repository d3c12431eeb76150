#include "canvas/RecordingCanvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

namespace pv::canvas {

namespace {

constexpr int kEllipseSegments = 64;
constexpr int kBezierSegments = 16;

std::vector<int32_t> RectArgs(const TRect& r) { return {r.left, r.top, r.right, r.bottom}; }

TRect ArgsRect(const std::vector<int32_t>& a, size_t at = 0) {
  return {a[at], a[at + 1], a[at + 2], a[at + 3]};
}

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

// The angle of a radial point as seen on the screen (y grows downwards), in radians.
double ScreenAngle(const TRect& box, TPoint p) {
  const double cx = (box.left + box.right) / 2.0;
  const double cy = (box.top + box.bottom) / 2.0;
  return std::atan2(cy - p.y, p.x - cx);
}

// Points along the ellipse in the box, counter-clockwise on the screen from one radial to the
// other (the whole ellipse when they coincide).
std::vector<TPoint> ArcPoints(const TRect& box, TPoint start, TPoint end) {
  const double cx = (box.left + box.right) / 2.0;
  const double cy = (box.top + box.bottom) / 2.0;
  const double rx = (box.right - box.left) / 2.0;
  const double ry = (box.bottom - box.top) / 2.0;
  const double a0 = ScreenAngle(box, start);
  double a1 = ScreenAngle(box, end);
  while (a1 <= a0) a1 += 2 * std::numbers::pi;
  const int steps = std::max(1, static_cast<int>(std::ceil((a1 - a0) / (2 * std::numbers::pi) * kEllipseSegments)));
  std::vector<TPoint> out;
  for (int i = 0; i <= steps; ++i) {
    const double a = a0 + (a1 - a0) * i / steps;
    out.push_back({Round(cx + rx * std::cos(a)), Round(cy - ry * std::sin(a))});
  }
  return out;
}

std::vector<TPoint> EllipsePoints(const TRect& box) {
  const TPoint right{box.right, (box.top + box.bottom) / 2};
  auto points = ArcPoints(box, right, right);
  points.pop_back();
  return points;
}

void AppendBezier(std::vector<TPoint>& out, TPoint p0, TPoint p1, TPoint p2, TPoint p3) {
  for (int i = 1; i <= kBezierSegments; ++i) {
    const double t = static_cast<double>(i) / kBezierSegments;
    const double u = 1 - t;
    const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
    out.push_back({Round(b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x),
                   Round(b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y)});
  }
}

std::vector<TPoint> RectFigure(const TRect& r) {
  return {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
}

// The em height of a font of the given height: a negative height is the em itself, a positive
// one the whole cell, 0 the default font.
int32_t EmHeight(int32_t fontHeight) {
  if (fontHeight < 0) return -fontHeight;
  if (fontHeight > 0) return fontHeight - fontHeight / 9;
  return 11;
}

size_t CodePointCount(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(),
                                           [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Quote(std::string_view text) {
  std::string out = "\"";
  out += text;
  out += '"';
  return out;
}

}  // namespace

const char* CanvasOpName(CanvasOp op) {
  switch (op) {
    case CanvasOp::SetPen: return "SetPen";
    case CanvasOp::SetBrush: return "SetBrush";
    case CanvasOp::SetFont: return "SetFont";
    case CanvasOp::SetTextAlign: return "SetTextAlign";
    case CanvasOp::SetBkMode: return "SetBkMode";
    case CanvasOp::SetBkColor: return "SetBkColor";
    case CanvasOp::SetPolyFillMode: return "SetPolyFillMode";
    case CanvasOp::SetBrushOrigin: return "SetBrushOrigin";
    case CanvasOp::SaveState: return "SaveState";
    case CanvasOp::RestoreState: return "RestoreState";
    case CanvasOp::MoveTo: return "MoveTo";
    case CanvasOp::LineTo: return "LineTo";
    case CanvasOp::Polyline: return "Polyline";
    case CanvasOp::Polygon: return "Polygon";
    case CanvasOp::PolyPolygon: return "PolyPolygon";
    case CanvasOp::PolyBezier: return "PolyBezier";
    case CanvasOp::PolyBezierTo: return "PolyBezierTo";
    case CanvasOp::Rectangle: return "Rectangle";
    case CanvasOp::RoundRect: return "RoundRect";
    case CanvasOp::Ellipse: return "Ellipse";
    case CanvasOp::Arc: return "Arc";
    case CanvasOp::ArcTo: return "ArcTo";
    case CanvasOp::Chord: return "Chord";
    case CanvasOp::Pie: return "Pie";
    case CanvasOp::SetPixel: return "SetPixel";
    case CanvasOp::FillRect: return "FillRect";
    case CanvasOp::FrameRect: return "FrameRect";
    case CanvasOp::DrawFocusRect: return "DrawFocusRect";
    case CanvasOp::InvertRect: return "InvertRect";
    case CanvasOp::BeginPath: return "BeginPath";
    case CanvasOp::EndPath: return "EndPath";
    case CanvasOp::AbortPath: return "AbortPath";
    case CanvasOp::CloseFigure: return "CloseFigure";
    case CanvasOp::StrokePath: return "StrokePath";
    case CanvasOp::FillPath: return "FillPath";
    case CanvasOp::StrokeAndFillPath: return "StrokeAndFillPath";
    case CanvasOp::SelectClipPath: return "SelectClipPath";
    case CanvasOp::FillRgn: return "FillRgn";
    case CanvasOp::FrameRgn: return "FrameRgn";
    case CanvasOp::SelectClipRgn: return "SelectClipRgn";
    case CanvasOp::ExtSelectClipRgn: return "ExtSelectClipRgn";
    case CanvasOp::IntersectClipRect: return "IntersectClipRect";
    case CanvasOp::ExcludeClipRect: return "ExcludeClipRect";
    case CanvasOp::TextOut: return "TextOut";
    case CanvasOp::ExtTextOut: return "ExtTextOut";
    case CanvasOp::DrawText: return "DrawText";
    case CanvasOp::Draw: return "Draw";
    case CanvasOp::StretchDraw: return "StretchDraw";
    case CanvasOp::StretchBlt: return "StretchBlt";
    case CanvasOp::SetPixels: return "SetPixels";
  }
  return "?";
}

std::string CanvasCommand::ToString() const {
  std::ostringstream out;
  out << CanvasOpName(op);
  switch (op) {
    case CanvasOp::SetPen:
      out << ' ' << static_cast<int>(pen.style) << ',' << pen.width << ",0x" << std::hex << pen.color << std::dec
          << ',' << static_cast<int>(pen.mode);
      return out.str();
    case CanvasOp::SetBrush:
      out << ' ' << static_cast<int>(brush.style) << ",0x" << std::hex << brush.color << std::dec
          << (brush.bitmap ? ",bitmap" : "");
      return out.str();
    case CanvasOp::SetFont:
      out << ' ' << font.name << ',' << font.height << ",0x" << std::hex << font.color << std::dec << ','
          << font.escapement;
      return out.str();
    default:
      break;
  }
  for (size_t i = 0; i < args.size(); ++i) out << (i == 0 ? " " : ",") << args[i];
  for (const TPoint& p : points) out << " (" << p.x << ',' << p.y << ')';
  if (!text.empty() || op == CanvasOp::TextOut || op == CanvasOp::ExtTextOut || op == CanvasOp::DrawText) {
    out << ' ' << Quote(text);
  }
  return out.str();
}

void Replay(const std::vector<CanvasCommand>& commands, Canvas& target) {
  for (const CanvasCommand& c : commands) {
    const auto& a = c.args;
    switch (c.op) {
      case CanvasOp::SetPen: target.SetPen(c.pen); break;
      case CanvasOp::SetBrush: target.SetBrush(c.brush); break;
      case CanvasOp::SetFont: target.SetFont(c.font); break;
      case CanvasOp::SetTextAlign: target.SetTextAlign(static_cast<uint32_t>(a[0])); break;
      case CanvasOp::SetBkMode: target.SetBkMode(static_cast<BkMode>(a[0])); break;
      case CanvasOp::SetBkColor: target.SetBkColor(a[0]); break;
      case CanvasOp::SetPolyFillMode: target.SetPolyFillMode(static_cast<PolyFillMode>(a[0])); break;
      case CanvasOp::SetBrushOrigin: target.SetBrushOrigin({a[0], a[1]}); break;
      case CanvasOp::SaveState: target.SaveState(); break;
      case CanvasOp::RestoreState: target.RestoreState(); break;
      case CanvasOp::MoveTo: target.MoveTo(a[0], a[1]); break;
      case CanvasOp::LineTo: target.LineTo(a[0], a[1]); break;
      case CanvasOp::Polyline: target.Polyline(c.points); break;
      case CanvasOp::Polygon: target.Polygon(c.points); break;
      case CanvasOp::PolyPolygon: target.PolyPolygon(c.points, c.counts); break;
      case CanvasOp::PolyBezier: target.PolyBezier(c.points); break;
      case CanvasOp::PolyBezierTo: target.PolyBezierTo(c.points); break;
      case CanvasOp::Rectangle: target.Rectangle(ArgsRect(a)); break;
      case CanvasOp::RoundRect: target.RoundRect(ArgsRect(a), a[4], a[5]); break;
      case CanvasOp::Ellipse: target.Ellipse(ArgsRect(a)); break;
      case CanvasOp::Arc: target.Arc(ArgsRect(a), {a[4], a[5]}, {a[6], a[7]}); break;
      case CanvasOp::ArcTo: target.ArcTo(ArgsRect(a), {a[4], a[5]}, {a[6], a[7]}); break;
      case CanvasOp::Chord: target.Chord(ArgsRect(a), {a[4], a[5]}, {a[6], a[7]}); break;
      case CanvasOp::Pie: target.Pie(ArgsRect(a), {a[4], a[5]}, {a[6], a[7]}); break;
      case CanvasOp::SetPixel: target.SetPixel(a[0], a[1], a[2]); break;
      case CanvasOp::FillRect: target.FillRect(ArgsRect(a)); break;
      case CanvasOp::FrameRect: target.FrameRect(ArgsRect(a)); break;
      case CanvasOp::DrawFocusRect: target.DrawFocusRect(ArgsRect(a)); break;
      case CanvasOp::InvertRect: target.InvertRect(ArgsRect(a)); break;
      case CanvasOp::BeginPath: target.BeginPath(); break;
      case CanvasOp::EndPath: target.EndPath(); break;
      case CanvasOp::AbortPath: target.AbortPath(); break;
      case CanvasOp::CloseFigure: target.CloseFigure(); break;
      case CanvasOp::StrokePath: target.StrokePath(); break;
      case CanvasOp::FillPath: target.FillPath(); break;
      case CanvasOp::StrokeAndFillPath: target.StrokeAndFillPath(); break;
      case CanvasOp::SelectClipPath: target.SelectClipPath(static_cast<RegionMode>(a[0])); break;
      case CanvasOp::FillRgn: target.FillRgn(*c.region, c.brush); break;
      case CanvasOp::FrameRgn: target.FrameRgn(*c.region, c.brush, a[0], a[1]); break;
      case CanvasOp::SelectClipRgn: target.SelectClipRgn(c.region); break;
      case CanvasOp::ExtSelectClipRgn: target.ExtSelectClipRgn(*c.region, static_cast<RegionMode>(a[0])); break;
      case CanvasOp::IntersectClipRect: target.IntersectClipRect(ArgsRect(a)); break;
      case CanvasOp::ExcludeClipRect: target.ExcludeClipRect(ArgsRect(a)); break;
      case CanvasOp::TextOut: target.TextOut(a[0], a[1], c.text); break;
      case CanvasOp::ExtTextOut: {
        const TRect rect = a.size() >= 7 ? ArgsRect(a, 3) : TRect{};
        target.ExtTextOut(a[0], a[1], static_cast<uint32_t>(a[2]), a.size() >= 7 ? &rect : nullptr, c.text,
                          c.counts);
        break;
      }
      case CanvasOp::DrawText: {
        TRect rect = ArgsRect(a);
        target.DrawText(c.text, rect, static_cast<uint32_t>(a[4]));
        break;
      }
      case CanvasOp::Draw: target.Draw(a[0], a[1], *c.bitmap); break;
      case CanvasOp::StretchDraw: target.StretchDraw(ArgsRect(a), *c.bitmap); break;
      case CanvasOp::StretchBlt:
        target.StretchBlt(ArgsRect(a), *c.bitmap, ArgsRect(a, 4), static_cast<Rop3>(static_cast<uint32_t>(a[8])));
        break;
      case CanvasOp::SetPixels: target.SetPixels(a[0], a[1], *c.bitmap); break;
    }
  }
}

RecordingCanvas::RecordingCanvas(TSize size) : size_(size) {}

std::vector<std::string> RecordingCanvas::Lines() const {
  std::vector<std::string> out;
  out.reserve(commands_.size());
  for (const auto& c : commands_) out.push_back(c.ToString());
  return out;
}

size_t RecordingCanvas::Count(CanvasOp op) const {
  return static_cast<size_t>(std::count_if(commands_.begin(), commands_.end(),
                                           [op](const CanvasCommand& c) { return c.op == op; }));
}

CanvasCommand& RecordingCanvas::Record(CanvasOp op, std::vector<int32_t> args) {
  CanvasCommand& c = commands_.emplace_back();
  c.op = op;
  c.args = std::move(args);
  return c;
}

void RecordingCanvas::RecordShape(CanvasOp op, const TRect& rect, std::vector<int32_t> extra) {
  auto args = RectArgs(rect);
  args.insert(args.end(), extra.begin(), extra.end());
  Record(op, std::move(args));
}

// ---- State ------------------------------------------------------------------------------

void RecordingCanvas::SetPen(const Pen& pen) {
  state_.pen = pen;
  Record(CanvasOp::SetPen).pen = pen;
}

void RecordingCanvas::SetBrush(const Brush& brush) {
  state_.brush = brush;
  if (const auto mode = BkModeOfBrush(brush)) state_.bkMode = *mode;
  Record(CanvasOp::SetBrush).brush = brush;
}

void RecordingCanvas::SetFont(const Font& font) {
  state_.font = font;
  Record(CanvasOp::SetFont).font = font;
}

void RecordingCanvas::SetTextAlign(uint32_t flags) {
  state_.textAlign = flags;
  Record(CanvasOp::SetTextAlign, {static_cast<int32_t>(flags)});
}

void RecordingCanvas::SetBkMode(BkMode mode) {
  state_.bkMode = mode;
  Record(CanvasOp::SetBkMode, {static_cast<int32_t>(mode)});
}

void RecordingCanvas::SetBkColor(TColor color) {
  state_.bkColor = color;
  Record(CanvasOp::SetBkColor, {color});
}

void RecordingCanvas::SetPolyFillMode(PolyFillMode mode) {
  state_.fillMode = mode;
  Record(CanvasOp::SetPolyFillMode, {static_cast<int32_t>(mode)});
}

void RecordingCanvas::SetBrushOrigin(TPoint origin) {
  state_.brushOrigin = origin;
  Record(CanvasOp::SetBrushOrigin, {origin.x, origin.y});
}

void RecordingCanvas::SaveState() {
  saved_.push_back(state_);
  Record(CanvasOp::SaveState);
}

void RecordingCanvas::RestoreState() {
  if (saved_.empty()) return;
  state_ = std::move(saved_.back());
  saved_.pop_back();
  Record(CanvasOp::RestoreState);
}

// ---- Lines and shapes -------------------------------------------------------------------

void RecordingCanvas::PathAddPoint(TPoint p) {
  if (path_.empty()) path_.push_back({state_.penPos});
  path_.back().push_back(p);
}

void RecordingCanvas::PathAddFigure(Figure figure) {
  if (!figure.empty()) path_.push_back(std::move(figure));
}

void RecordingCanvas::MoveTo(int32_t x, int32_t y) {
  state_.penPos = {x, y};
  if (inPath_) path_.push_back({state_.penPos});
  Record(CanvasOp::MoveTo, {x, y});
}

void RecordingCanvas::LineTo(int32_t x, int32_t y) {
  if (inPath_) PathAddPoint({x, y});
  state_.penPos = {x, y};
  Record(CanvasOp::LineTo, {x, y});
}

void RecordingCanvas::Polyline(std::span<const TPoint> points) {
  if (inPath_) PathAddFigure(Figure(points.begin(), points.end()));
  Record(CanvasOp::Polyline).points.assign(points.begin(), points.end());
}

void RecordingCanvas::Polygon(std::span<const TPoint> points) {
  if (inPath_) PathAddFigure(Figure(points.begin(), points.end()));
  Record(CanvasOp::Polygon).points.assign(points.begin(), points.end());
}

void RecordingCanvas::PolyPolygon(std::span<const TPoint> points, std::span<const int32_t> counts) {
  if (inPath_) {
    size_t at = 0;
    for (int32_t n : counts) {
      if (n <= 0 || at + static_cast<size_t>(n) > points.size()) break;
      PathAddFigure(Figure(points.begin() + at, points.begin() + at + n));
      at += static_cast<size_t>(n);
    }
  }
  CanvasCommand& c = Record(CanvasOp::PolyPolygon);
  c.points.assign(points.begin(), points.end());
  c.counts.assign(counts.begin(), counts.end());
}

void RecordingCanvas::PolyBezier(std::span<const TPoint> points) {
  if (inPath_ && !points.empty()) {
    Figure figure{points[0]};
    for (size_t i = 1; i + 2 < points.size(); i += 3) {
      AppendBezier(figure, figure.back(), points[i], points[i + 1], points[i + 2]);
    }
    PathAddFigure(std::move(figure));
  }
  Record(CanvasOp::PolyBezier).points.assign(points.begin(), points.end());
}

void RecordingCanvas::PolyBezierTo(std::span<const TPoint> points) {
  for (size_t i = 0; i + 2 < points.size(); i += 3) {
    if (inPath_) {
      Figure segment;
      AppendBezier(segment, state_.penPos, points[i], points[i + 1], points[i + 2]);
      for (TPoint p : segment) PathAddPoint(p);
    }
    state_.penPos = points[i + 2];
  }
  Record(CanvasOp::PolyBezierTo).points.assign(points.begin(), points.end());
}

void RecordingCanvas::Rectangle(const TRect& rect) {
  if (inPath_) {
    PathAddFigure(RectFigure(rect));
  }
  RecordShape(CanvasOp::Rectangle, rect);
}

void RecordingCanvas::RoundRect(const TRect& rect, int32_t cornerWidth, int32_t cornerHeight) {
  if (inPath_) {
    const Region shape = Region::FromRoundRect(rect, cornerWidth, cornerHeight);
    for (const TRect& r : shape.Rects()) PathAddFigure(RectFigure(r));
  }
  RecordShape(CanvasOp::RoundRect, rect, {cornerWidth, cornerHeight});
}

void RecordingCanvas::Ellipse(const TRect& rect) {
  if (inPath_) PathAddFigure(EllipsePoints(rect));
  RecordShape(CanvasOp::Ellipse, rect);
}

void RecordingCanvas::Arc(const TRect& box, TPoint start, TPoint end) {
  if (inPath_) PathAddFigure(ArcPoints(box, start, end));
  RecordShape(CanvasOp::Arc, box, {start.x, start.y, end.x, end.y});
}

void RecordingCanvas::ArcTo(const TRect& box, TPoint start, TPoint end) {
  const auto points = ArcPoints(box, start, end);
  if (inPath_) {
    for (TPoint p : points) PathAddPoint(p);
  }
  state_.penPos = points.back();
  RecordShape(CanvasOp::ArcTo, box, {start.x, start.y, end.x, end.y});
}

void RecordingCanvas::Chord(const TRect& box, TPoint start, TPoint end) {
  if (inPath_) PathAddFigure(ArcPoints(box, start, end));
  RecordShape(CanvasOp::Chord, box, {start.x, start.y, end.x, end.y});
}

void RecordingCanvas::Pie(const TRect& box, TPoint start, TPoint end) {
  if (inPath_) {
    Figure figure = ArcPoints(box, start, end);
    figure.push_back({(box.left + box.right) / 2, (box.top + box.bottom) / 2});
    PathAddFigure(std::move(figure));
  }
  RecordShape(CanvasOp::Pie, box, {start.x, start.y, end.x, end.y});
}

void RecordingCanvas::SetPixel(int32_t x, int32_t y, TColor color) {
  Record(CanvasOp::SetPixel, {x, y, color});
}

uint32_t RecordingCanvas::GetPixel(int32_t, int32_t) const { return CLR_INVALID; }

void RecordingCanvas::FillRect(const TRect& rect) { RecordShape(CanvasOp::FillRect, rect); }
void RecordingCanvas::FrameRect(const TRect& rect) { RecordShape(CanvasOp::FrameRect, rect); }
void RecordingCanvas::DrawFocusRect(const TRect& rect) { RecordShape(CanvasOp::DrawFocusRect, rect); }
void RecordingCanvas::InvertRect(const TRect& rect) { RecordShape(CanvasOp::InvertRect, rect); }

// ---- Paths ------------------------------------------------------------------------------

void RecordingCanvas::BeginPath() {
  inPath_ = true;
  path_.clear();
  Record(CanvasOp::BeginPath);
}

void RecordingCanvas::EndPath() {
  inPath_ = false;
  Record(CanvasOp::EndPath);
}

void RecordingCanvas::AbortPath() {
  inPath_ = false;
  path_.clear();
  Record(CanvasOp::AbortPath);
}

void RecordingCanvas::CloseFigure() {
  if (inPath_ && !path_.empty()) {
    const TPoint first = path_.back().front();
    path_.push_back({first});
  }
  Record(CanvasOp::CloseFigure);
}

// Stroking, filling or clipping with a path uses it up.
void RecordingCanvas::StrokePath() {
  path_.clear();
  Record(CanvasOp::StrokePath);
}

void RecordingCanvas::FillPath() {
  path_.clear();
  Record(CanvasOp::FillPath);
}

void RecordingCanvas::StrokeAndFillPath() {
  path_.clear();
  Record(CanvasOp::StrokeAndFillPath);
}

Region RecordingCanvas::PathToRegion() {
  std::vector<TPoint> points;
  std::vector<int32_t> counts;
  for (const Figure& f : path_) {
    if (f.size() < 3) continue;
    points.insert(points.end(), f.begin(), f.end());
    counts.push_back(static_cast<int32_t>(f.size()));
  }
  path_.clear();
  return Region::FromPolyPolygon(points, counts, state_.fillMode);
}

void RecordingCanvas::SelectClipPath(RegionMode mode) {
  const Region region = PathToRegion();
  CombineClip(region, mode);
  Record(CanvasOp::SelectClipPath, {static_cast<int32_t>(mode)});
}

// ---- Regions and clipping ---------------------------------------------------------------

void RecordingCanvas::CombineClip(const Region& region, RegionMode mode) {
  if (mode == RegionMode::Copy) {
    state_.clip = region;
    return;
  }
  const Region current = state_.clip ? *state_.clip : Region::FromRect({0, 0, size_.cx, size_.cy});
  state_.clip = Region::Combine(current, region, mode);
}

void RecordingCanvas::FillRgn(const Region& region, const Brush& brush) {
  CanvasCommand& c = Record(CanvasOp::FillRgn);
  c.region = region;
  c.brush = brush;
}

void RecordingCanvas::FrameRgn(const Region& region, const Brush& brush, int32_t width, int32_t height) {
  CanvasCommand& c = Record(CanvasOp::FrameRgn, {width, height});
  c.region = region;
  c.brush = brush;
}

void RecordingCanvas::SelectClipRgn(const std::optional<Region>& region) {
  state_.clip = region;
  Record(CanvasOp::SelectClipRgn).region = region;
}

void RecordingCanvas::ExtSelectClipRgn(const Region& region, RegionMode mode) {
  CombineClip(region, mode);
  Record(CanvasOp::ExtSelectClipRgn, {static_cast<int32_t>(mode)}).region = region;
}

void RecordingCanvas::IntersectClipRect(const TRect& rect) {
  CombineClip(Region::FromRect(rect), RegionMode::And);
  RecordShape(CanvasOp::IntersectClipRect, rect);
}

void RecordingCanvas::ExcludeClipRect(const TRect& rect) {
  CombineClip(Region::FromRect(rect), RegionMode::Diff);
  RecordShape(CanvasOp::ExcludeClipRect, rect);
}

TRect RecordingCanvas::GetClipBox() const {
  return state_.clip ? state_.clip->Bounds() : TRect{0, 0, size_.cx, size_.cy};
}

// ---- Text -------------------------------------------------------------------------------

TextMetric RecordingCanvas::GetTextMetrics() const {
  const int32_t h = state_.font.height;
  const int32_t em = EmHeight(h);
  const int32_t cell = h > 0 ? h : em + em / 8;
  TextMetric m;
  m.height = cell;
  m.descent = cell / 5;
  m.ascent = cell - m.descent;
  m.internalLeading = cell - em;
  m.aveCharWidth = CharAdvance();
  m.maxCharWidth = std::max(em, m.aveCharWidth);
  return m;
}

int32_t RecordingCanvas::CharAdvance() const {
  const int32_t em = EmHeight(state_.font.height);
  return std::max(1, em / 2) + (state_.font.weight >= FW_BOLD ? 1 : 0);
}

TSize RecordingCanvas::GetTextExtent(std::string_view text) const {
  return {static_cast<int32_t>(CodePointCount(text)) * CharAdvance(), GetTextMetrics().height};
}

std::vector<ABC> RecordingCanvas::GetCharABCWidths(uint32_t first, uint32_t last) const {
  if (last < first) return {};
  return std::vector<ABC>(last - first + 1, ABC{0, static_cast<uint32_t>(CharAdvance()), 0});
}

void RecordingCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
  if (state_.textAlign & TA_UPDATECP) {
    x = state_.penPos.x;
    y = state_.penPos.y;
    state_.penPos.x += GetTextExtent(text).cx;
  }
  Record(CanvasOp::TextOut, {x, y}).text = std::string(text);
}

void RecordingCanvas::ExtTextOut(int32_t x, int32_t y, uint32_t options, const TRect* rect, std::string_view text,
                                 std::span<const int32_t> advances) {
  std::vector<int32_t> args{x, y, static_cast<int32_t>(options)};
  if (rect) {
    const auto r = RectArgs(*rect);
    args.insert(args.end(), r.begin(), r.end());
  }
  CanvasCommand& c = Record(CanvasOp::ExtTextOut, std::move(args));
  c.text = std::string(text);
  c.counts.assign(advances.begin(), advances.end());
}

int32_t RecordingCanvas::DrawText(std::string_view text, TRect& rect, uint32_t format) {
  const int32_t lineHeight = GetTextMetrics().height;
  const int32_t advance = CharAdvance();
  const int32_t maxWidth = rect.right - rect.left;
  std::vector<std::string> lines;
  std::string current;
  auto width = [&](const std::string& s) { return static_cast<int32_t>(CodePointCount(s)) * advance; };
  for (char ch : text) {
    if (ch == '\r') continue;
    if (ch == '\n' && !(format & DT_SINGLELINE)) {
      lines.push_back(std::move(current));
      current.clear();
      continue;
    }
    current += (ch == '\n') ? ' ' : ch;
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE) && width(current) > maxWidth) {
      const auto space = current.find_last_of(' ');
      if (space != std::string::npos && space > 0) {
        lines.push_back(current.substr(0, space));
        current = current.substr(space + 1);
      }
    }
  }
  lines.push_back(std::move(current));
  const int32_t height = static_cast<int32_t>(lines.size()) * lineHeight;
  if (format & DT_CALCRECT) {
    int32_t widest = 0;
    for (const auto& line : lines) widest = std::max(widest, width(line));
    rect.right = rect.left + widest;
    rect.bottom = rect.top + height;
    return height;
  }
  auto args = RectArgs(rect);
  args.push_back(static_cast<int32_t>(format));
  Record(CanvasOp::DrawText, std::move(args)).text = std::string(text);
  return height;
}

// ---- Bitmaps ----------------------------------------------------------------------------

void RecordingCanvas::Draw(int32_t x, int32_t y, const Bitmap& bitmap) {
  Record(CanvasOp::Draw, {x, y}).bitmap = std::make_shared<const Bitmap>(bitmap);
}

void RecordingCanvas::StretchDraw(const TRect& rect, const Bitmap& bitmap) {
  CanvasCommand& c = Record(CanvasOp::StretchDraw, RectArgs(rect));
  c.bitmap = std::make_shared<const Bitmap>(bitmap);
}

void RecordingCanvas::StretchBlt(const TRect& dest, const Bitmap& source, const TRect& sourceRect, Rop3 rop) {
  auto args = RectArgs(dest);
  const auto s = RectArgs(sourceRect);
  args.insert(args.end(), s.begin(), s.end());
  args.push_back(static_cast<int32_t>(rop));
  Record(CanvasOp::StretchBlt, std::move(args)).bitmap = std::make_shared<const Bitmap>(source);
}

bool RecordingCanvas::GetPixels(const TRect&, Bitmap&) const { return false; }

void RecordingCanvas::SetPixels(int32_t x, int32_t y, const Bitmap& pixels) {
  Record(CanvasOp::SetPixels, {x, y, pixels.Width(), pixels.Height()}).bitmap = std::make_shared<const Bitmap>(pixels);
}

namespace {

class LoggedCanvas : public RecordingCanvas {
 public:
  LoggedCanvas(TSize size, std::vector<std::vector<CanvasCommand>>* log) : RecordingCanvas(size), log_(log) {}
  ~LoggedCanvas() override {
    if (log_) log_->push_back(Commands());
  }

 private:
  std::vector<std::vector<CanvasCommand>>* log_;
};

}  // namespace

std::unique_ptr<Canvas> RecordingBitmapCanvasFactory::Create(Bitmap& bitmap) {
  ++created;
  return std::make_unique<LoggedCanvas>(TSize{bitmap.Width(), bitmap.Height()}, keepLogs ? &finished : nullptr);
}

}  // namespace pv::canvas

#include "shapes/ShapePaths.h"

#include <cmath>
#include <numbers>

#include "shapes/ShapeAngles.h"

namespace pv::graphics {

namespace {

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

void Add(TShapePath& path, int32_t x, int32_t y, uint8_t type) {
  path.points.push_back({x, y});
  path.types.push_back(type);
}

// A node and the two control points of the Bezier segment that starts at it.
void AddCurve(TShapePath& path, TPoint node, TPoint c1, TPoint c2, uint8_t nodeType = ptNode) {
  Add(path, node.x, node.y, nodeType);
  Add(path, c1.x, c1.y, ptControl);
  Add(path, c2.x, c2.y, ptControl);
}

double Radians(int32_t thousandths) { return thousandths * std::numbers::pi / (kFullTurn / 2); }

}  // namespace

TShapePath BoxCurvePath(int32_t w, int32_t h, int32_t r) {
  TShapePath path;
  if (r == 0) {
    Add(path, 0, 0, ptNode);
    Add(path, w, 0, ptNode);
    Add(path, w, h, ptNode);
    Add(path, 0, h, ptEndNodeClose);
    return path;
  }
  const int32_t half = r / 2;
  const int32_t k = Round(r * kBezierCircle / 2);
  Add(path, half, 0, ptNode);
  AddCurve(path, {w - half, 0}, {w - k, 0}, {w, k});
  Add(path, w, half, ptNode);
  AddCurve(path, {w, h - half}, {w, h - k}, {w - k, h});
  Add(path, w - half, h, ptNode);
  AddCurve(path, {half, h}, {k, h}, {0, h - k});
  Add(path, 0, h - half, ptNode);
  // The closing corner runs from the last node back to the first.
  AddCurve(path, {0, half}, {0, k}, {k, 0}, ptEndNodeClose);
  return path;
}

TShapePath EllipseCurvePath(int32_t w, int32_t h) {
  const int32_t cx = w / 2;
  const int32_t cy = h / 2;
  const int32_t kx = Round(w * kBezierCircle / 2);
  const int32_t ky = Round(h * kBezierCircle / 2);
  TShapePath path;
  AddCurve(path, {cx, 0}, {w - kx, 0}, {w, ky});
  AddCurve(path, {w, cy}, {w, h - ky}, {w - kx, h});
  AddCurve(path, {cx, h}, {kx, h}, {0, h - ky});
  AddCurve(path, {0, cy}, {0, ky}, {kx, 0}, ptEndNodeClose);
  return path;
}

std::vector<TArcPiece> ArcPieces(int32_t beginAngle, int32_t endAngle) {
  // Unnormalised angles (an arc ending at 360 degrees, a negative start) would never meet
  // the end below: the cut points run through 0 .. 359999 only.
  const int32_t begin = NormalizeAngle(beginAngle);
  const int32_t end = NormalizeAngle(endAngle);
  std::vector<TArcPiece> pieces;
  if (begin == end) return pieces;
  int32_t a = begin;
  int32_t p = (a / kQuarterTurn) * kQuarterTurn + kQuarterTurn;
  for (;;) {
    if (a < end && end < p) p = end;
    if (p > kFullTurn - 1) p -= kFullTurn;
    int32_t sweep = p - a;
    if (sweep < 0) sweep += kFullTurn;
    pieces.push_back({a, sweep});
    if (p == end) return pieces;
    a = p;
    p += kQuarterTurn;
  }
}

TShapePath ArcCurvePath(int32_t w, int32_t h, int32_t begin, int32_t end, bool pie) {
  const std::vector<TArcPiece> pieces = ArcPieces(begin, end);
  if (pieces.empty()) return EllipseCurvePath(w, h);
  const double rx = w / 2.0;
  const double ry = h / 2.0;
  const auto map = [&](double x, double y, double turn) {
    const double c = std::cos(turn);
    const double s = std::sin(turn);
    const double X = x * c - y * s;
    const double Y = x * s + y * c;
    return TPoint{Round(rx + rx * X), Round(ry - ry * Y)};
  };
  TShapePath path;
  TPoint last{};
  for (const TArcPiece& piece : pieces) {
    // The unit arc of this sweep symmetric about the x axis, turned into place.
    const double half = Radians(piece.sweep) / 2;
    const double cosHalf = std::cos(half);
    const double sinHalf = std::sin(half);
    const double x1 = cosHalf + 4.0 / 3.0 * (1 - cosHalf);
    const double y1 = sinHalf - cosHalf * 4.0 / 3.0 * (1 - cosHalf) / sinHalf;
    const double turn = half + Radians(piece.start);
    AddCurve(path, map(cosHalf, -sinHalf, turn), map(x1, -y1, turn), map(x1, y1, turn));
    last = map(cosHalf, sinHalf, turn);
  }
  if (!pie) {
    Add(path, last.x, last.y, ptEndNode);
    return path;
  }
  Add(path, last.x, last.y, ptNode);
  Add(path, w / 2, h / 2, ptEndNodeClose);
  return path;
}

}  // namespace pv::graphics

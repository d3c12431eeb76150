#include "DXF_polylines.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace pv::viewer {

using namespace DXF_Utils;
using canvas::TPoint;

namespace {

// One more than the point limit, so a closed mesh column can return to its start.
thread_local std::array<TPoint, Polyline_::kMaxPoints + 1> screenBuffer;

}  // namespace

// ---- Polyline_ --------------------------------------------------------------------------

Polyline_::Polyline_(bool closed, int32_t colorIndex, std::span<const Point3D> points)
    : closed_(closed), points_(points.begin(), points.end()) {
  SetColorIndex(colorIndex);
}

Polyline_::Polyline_(const Point3D& extrusion, bool closed, int32_t colorIndex, std::span<const Point3D> points)
    : Polyline_(closed, colorIndex, points) {
  if (!closed_ && !points_.empty() && SamePoint(points_.front(), points_.back())) {
    closed_ = true;
    points_.pop_back();
  }
  SetExtrusion(extrusion);
}

std::span<const TPoint> Polyline_::MapPoints(const DrawContext& dc, const Matrix4x4* m,
                                             std::span<const size_t> indexes) const {
  const size_t n = std::min(indexes.size(), screenBuffer.size());
  for (size_t i = 0; i < n; ++i) screenBuffer[i] = dc.Map(points_[indexes[i]], m);
  return {screenBuffer.data(), n};
}

std::span<const TPoint> Polyline_::MapAll(const DrawContext& dc, const Matrix4x4* m) const {
  const size_t n = std::min(points_.size(), kMaxPoints);
  for (size_t i = 0; i < n; ++i) screenBuffer[i] = dc.Map(points_[i], m);
  return {screenBuffer.data(), n};
}

void Polyline_::Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) {
  const DrawContext dc{canvas, outer, toScreen, userData};
  SelectPenColor(canvas);
  if (points_.empty()) return;
  const auto m = Combined(outer);
  const auto screen = MapAll(dc, m ? &*m : nullptr);
  if (closed_) {
    canvas.Polygon(screen);
  } else {
    canvas.Polyline(screen);
  }
}

void Polyline_::DrawVertices(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                             void* userData) {
  const DrawContext dc{canvas, outer, toScreen, userData};
  SelectPenColor(canvas);
  const auto m = Combined(outer);
  for (const Point3D& p : points_) DrawMark(dc, p, m ? &*m : nullptr);
}

void Polyline_::Translate(const Point3D& offset) {
  for (Point3D& p : points_) p = AddPoints(p, offset);
}

void Polyline_::RoundCoords(int axisBits, double k) {
  for (Point3D& p : points_) RoundPointCoords(p, axisBits, k);
}

void Polyline_::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  WriteRecordStart(out, layerName);
  WriteInt(out, 70, closed_ ? 9 : 8);
  for (const Point3D& p : points_) {
    WritePair(out, 0, "VERTEX");
    WriteInt(out, 70, 32);
    WritePoint(out, 10, p);
  }
  WritePair(out, 0, "SEQEND");
}

std::string Polyline_::PointLines() const {
  std::string out;
  for (const Point3D& p : points_) out += "\r\n" + PointToText(p);
  return out;
}

std::string Polyline_::Details() const {
  return JoinLines({ClassName(), OcsLine(), closed_ ? "Closed" : "Open"}) + PointLines();
}

void Polyline_::GrowExtents(Point3D& max, Point3D& min) const {
  for (const Point3D& q : points_) {
    const Point3D p = ToWorld(q);
    MaxPoint(max, p);
    MinPoint(min, p);
  }
}

double Polyline_::Distance(const Point3D& p) const {
  double best = 1e10;
  for (const Point3D& q : points_) best = MinOf(best, SqrDistance2D(p, ToWorld(q)));
  return best;
}

Point3D Polyline_::ClosestPoint(const Point3D& p) const {
  double best = 1e10;
  Point3D closest{1e10, 1e10, 1e10};
  for (const Point3D& own : points_) {
    const Point3D q = ToWorld(own);
    const double d = SqrDistance2D(p, q);
    if (d < best) {
      best = d;
      closest = q;
    }
  }
  return closest;
}

bool Polyline_::IsInside(const Point3D& p) const {
  if (!closed_ || points_.empty()) return false;
  bool inside = false;
  Point3D previous = ToWorld(points_.back());
  for (const Point3D& own : points_) {
    const Point3D q = ToWorld(own);
    const bool crosses = (q.y <= p.y && p.y < previous.y) || (previous.y <= p.y && p.y < q.y);
    if (crosses && q.x + (p.y - q.y) * (previous.x - q.x) / (previous.y - q.y) > p.x) inside = !inside;
    previous = q;
  }
  return inside;
}

bool Polyline_::MovePoint(const Point3D& oldPoint, const Point3D& newPoint) {
  for (Point3D& q : points_) {
    if (!SamePoint(ToWorld(q), oldPoint)) continue;
    const auto moved = FromWorld(newPoint);
    if (!moved) return false;
    q = *moved;
    return true;
  }
  return false;
}

// ---- Face3D_ and Solid_ -----------------------------------------------------------------

Face3D_::Face3D_(int count, int32_t colorIndex, std::span<const Point3D> corners)
    : Polyline_(WCS_Z_Axis, true, colorIndex, corners.first(std::min<size_t>(count < 0 ? 0 : count, corners.size()))) {}

// A 3DFACE lies in world coordinates and has no extrusion to write; a SOLID read with one keeps
// it, or saving would turn its corners into another plane.
void Face3D_::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  WriteRecordStart(out, layerName);
  for (size_t i = 0; i < points_.size(); ++i) WritePoint(out, 10 + static_cast<int>(i), points_[i]);
  if (points_.size() == 3) WritePoint(out, 13, points_[2]);
}

Solid_::Solid_(const Point3D& extrusion, double thickness, int32_t colorIndex, std::span<const Point3D> corners,
               int count)
    : Face3D_(count, colorIndex, corners), thickness_(thickness) {
  SetExtrusion(extrusion);
}

void Solid_::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  Face3D_::WriteToDxf(out, layerName);
  WritePair(out, 39, DefaultRealText(thickness_));
}

std::string Solid_::Details() const {
  return JoinLines({Polyline_::Details(), "Thickness\t" + FloatToText(thickness_)});
}

// ---- Polygon_mesh_ ----------------------------------------------------------------------

Polygon_mesh_::Polygon_mesh_(int32_t colorIndex, int32_t flags, std::span<const Point3D> points, int32_t m,
                             int32_t n)
    : Polyline_(false, colorIndex, points), m_(m), n_(n), closedM_(flags & 1), closedN_(flags & 0x20) {
  if (m <= 0 || n <= 0 || static_cast<long long>(m) * n != static_cast<long long>(points.size())) {
    throw std::invalid_argument("A polygon mesh needs M x N vertices");
  }
}

void Polygon_mesh_::Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                         void* userData) {
  const DrawContext dc{canvas, outer, toScreen, userData};
  SelectPenColor(canvas);
  const auto matrix = Combined(outer);
  const Matrix4x4* mp = matrix ? &*matrix : nullptr;
  std::vector<size_t> indexes;
  for (int32_t r = 0; r < m_; ++r) {
    indexes.resize(static_cast<size_t>(n_));
    std::iota(indexes.begin(), indexes.end(), static_cast<size_t>(r) * n_);
    const auto row = MapPoints(dc, mp, indexes);
    if (closedN_) {
      canvas.Polygon(row);
    } else {
      canvas.Polyline(row);
    }
  }
  for (int32_t c = 0; c < n_; ++c) {
    indexes.clear();
    for (int32_t r = 0; r < m_; ++r) indexes.push_back(static_cast<size_t>(r) * n_ + c);
    if (closedM_) indexes.push_back(static_cast<size_t>(c));
    canvas.Polyline(MapPoints(dc, mp, indexes));
  }
}

void Polygon_mesh_::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  WriteRecordStart(out, layerName);
  WriteInt(out, 66, 1);
  WriteInt(out, 70, (closedM_ ? 1 : 0) + 0x10 + (closedN_ ? 0x20 : 0));
  WriteInt(out, 71, m_);
  WriteInt(out, 72, n_);
  for (const Point3D& p : points_) {
    WritePair(out, 0, "VERTEX");
    WriteInt(out, 70, 64);
    WritePoint(out, 10, p);
  }
  WritePair(out, 0, "SEQEND");
}

std::string Polygon_mesh_::Details() const {
  return JoinLines({"Polyline_ (polygon mesh)", OcsLine(), "Vertices\t" + std::to_string(points_.size()),
                    "M\t" + std::to_string(m_), "N\t" + std::to_string(n_), "Closed M\t" + BoolToText(closedM_),
                    "Closed N\t" + BoolToText(closedN_)});
}

// ---- Polyface_mesh_ ---------------------------------------------------------------------

Polyface_mesh_::Polyface_mesh_(int32_t colorIndex, std::span<const Face> faces, std::span<const Point3D> vertices)
    : Polyline_(false, colorIndex, vertices), faces_(faces.begin(), faces.end()) {}

void Polyface_mesh_::Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                          void* userData) {
  const DrawContext dc{canvas, outer, toScreen, userData};
  SelectPenColor(canvas);
  const auto matrix = Combined(outer);
  std::vector<size_t> indexes;
  for (const Face& face : faces_) {
    indexes.clear();
    for (int32_t index : face) {
      if (index < 0 || static_cast<size_t>(index) >= points_.size()) break;
      indexes.push_back(static_cast<size_t>(index));
    }
    if (!indexes.empty()) canvas.Polygon(MapPoints(dc, matrix ? &*matrix : nullptr, indexes));
  }
}

void Polyface_mesh_::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  WriteRecordStart(out, layerName);
  WriteInt(out, 66, 1);
  WriteInt(out, 70, 64);
  WriteInt(out, 71, static_cast<long long>(points_.size()));
  WriteInt(out, 72, static_cast<long long>(faces_.size()));
  for (const Point3D& p : points_) {
    WritePair(out, 0, "VERTEX");
    WriteInt(out, 70, 192);
    WritePoint(out, 10, p);
  }
  for (const Face& face : faces_) {
    WritePair(out, 0, "VERTEX");
    WriteInt(out, 70, 128);
    for (int i = 0; i < 4; ++i) WriteInt(out, 71 + i, face[i] < 0 ? 0 : static_cast<long long>(face[i]) + 1);
  }
  WritePair(out, 0, "SEQEND");
}

std::string Polyface_mesh_::Details() const {
  return JoinLines({"Polyline_ (polyface mesh)", OcsLine(), "Vertices\t" + std::to_string(points_.size()),
                    "Faces\t" + std::to_string(faces_.size())});
}

}  // namespace pv::viewer

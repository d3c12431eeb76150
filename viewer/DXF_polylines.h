#pragma once
// The entities made of a list of points: polylines, 3D faces, solids and the two meshes.

#include <array>
#include <span>
#include <vector>

#include "DXF_entity.h"

namespace pv::viewer {

class Polyline_ : public DXF_Entity {
 public:
  // Drawing converts at most this many points into its screen buffer.
  static constexpr size_t kMaxPoints = 8192;

  // An open polyline whose last point repeats the first is closed, without the repeat (so a
  // single point read open leaves a closed polyline without points). Closed ones keep theirs.
  Polyline_(const Point3D& extrusion, bool closed, int32_t colorIndex, std::span<const Point3D> points);

  void Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) override;
  void DrawVertices(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                    void* userData) override;
  void Translate(const Point3D& offset) override;
  void RoundCoords(int axisBits, double k) override;
  int VertexCount() const override { return static_cast<int>(points_.size()); }
  int LineCount() const override { return static_cast<int>(points_.size()); }
  int OpenPolyCount() const override { return closed_ ? 0 : 1; }
  int ClosedPolyCount() const override { return closed_ ? 1 : 0; }
  void WriteToDxf(std::ostream& out, std::string_view layerName) const override;
  std::string Details() const override;
  void GrowExtents(Point3D& max, Point3D& min) const override;
  double Distance(const Point3D& p) const override;
  // The first point nearest to p; without points, (1e10, 1e10, 1e10).
  Point3D ClosestPoint(const Point3D& p) const override;
  // Even-odd crossing test in x and y, closed polylines only.
  bool IsInside(const Point3D& p) const override;
  void GrowQueryBox(Point3D& max, Point3D& min) const override { GrowExtents(max, min); }
  bool MovePoint(const Point3D& oldPoint, const Point3D& newPoint) override;
  const char* ClassName() const override { return "Polyline_"; }

  bool Closed() const { return closed_; }
  const std::vector<Point3D>& Points() const { return points_; }

 protected:
  // Takes the points as given, without the closing rule and without an extrusion.
  Polyline_(bool closed, int32_t colorIndex, std::span<const Point3D> points);

  std::string PointLines() const;
  // Maps points (by index into points_) into the screen buffer; returns how many.
  std::span<const canvas::TPoint> MapPoints(const DrawContext& dc, const Matrix4x4* m,
                                            std::span<const size_t> indexes) const;
  std::span<const canvas::TPoint> MapAll(const DrawContext& dc, const Matrix4x4* m) const;

  bool closed_ = false;
  std::vector<Point3D> points_;
};

class Face3D_ : public Polyline_ {
 public:
  // 3 or 4 corners; always closed.
  Face3D_(int count, int32_t colorIndex, std::span<const Point3D> corners);

  std::string DxfName() const override { return "3DFACE"; }
  void WriteToDxf(std::ostream& out, std::string_view layerName) const override;
  const char* ClassName() const override { return "Face3D_"; }
};

class Solid_ : public Face3D_ {
 public:
  Solid_(const Point3D& extrusion, double thickness, int32_t colorIndex, std::span<const Point3D> corners, int count);

  std::string DxfName() const override { return "SOLID"; }
  void WriteToDxf(std::ostream& out, std::string_view layerName) const override;
  std::string Details() const override;
  const char* ClassName() const override { return "Solid_"; }

  double Thickness() const { return thickness_; }

 private:
  double thickness_ = 0.0;
};

class Polygon_mesh_ : public Polyline_ {
 public:
  // M rows of N vertices in reading order; closed in M for flag bit 1, in N for bit 0x20.
  // The vertex count must be M x N.
  Polygon_mesh_(int32_t colorIndex, int32_t flags, std::span<const Point3D> points, int32_t m, int32_t n);

  void Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) override;
  std::string DxfName() const override { return "POLYLINE"; }
  void WriteToDxf(std::ostream& out, std::string_view layerName) const override;
  std::string Details() const override;
  const char* ClassName() const override { return "Polygon_mesh_"; }

  int32_t M() const { return m_; }
  int32_t N() const { return n_; }
  bool ClosedM() const { return closedM_; }
  bool ClosedN() const { return closedN_; }

 private:
  int32_t m_ = 0;
  int32_t n_ = 0;
  bool closedM_ = false;
  bool closedN_ = false;
};

class Polyface_mesh_ : public Polyline_ {
 public:
  // Four 0-based vertex indexes per face, -1 for none.
  using Face = std::array<int32_t, 4>;

  Polyface_mesh_(int32_t colorIndex, std::span<const Face> faces, std::span<const Point3D> vertices);

  // One polygon per face through its indexes up to the first negative one (or one beyond the
  // vertices).
  void Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) override;
  std::string DxfName() const override { return "POLYLINE"; }
  void WriteToDxf(std::ostream& out, std::string_view layerName) const override;
  std::string Details() const override;
  const char* ClassName() const override { return "Polyface_mesh_"; }

  const std::vector<Face>& Faces() const { return faces_; }

 private:
  std::vector<Face> faces_;
};

}  // namespace pv::viewer

#pragma once
// The root of the drawing model's entities: colour, object coordinate system, and the
// operations every entity answers (drawing through a world-to-screen function, extents, hit
// tests, vertex moves, details text, its DXF record).

#include <atomic>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "DXF_Utils.h"
#include "canvas/Canvas.h"

namespace pv::viewer {

class Entity_List;

// Maps a world point (through the matrix, when given) to a screen pixel. The viewer passes its
// zoom panel's mapping with the panel as user data.
using WorldToScreenFunc = canvas::TPoint (*)(void* userData, const Point3D& world, const Matrix4x4* matrix);

// How many objects of each kind of the drawing model exist, for the viewer's memory labels.
struct DXF_Counters {
  static inline std::atomic<int> entities{0};
  static inline std::atomic<int> lists{0};
  static inline std::atomic<int> layers{0};
  static inline std::atomic<int> objects{0};
};

// Where an entity is drawn: the canvas, the matrix handed down by block insertions (none at
// the top level) and the mapping to screen pixels.
struct DrawContext {
  canvas::Canvas& canvas;
  const Matrix4x4* outer;
  WorldToScreenFunc toScreen;
  void* userData;

  canvas::TPoint Map(const Point3D& p, const Matrix4x4* m) const { return toScreen(userData, p, m); }
  DrawContext With(const Matrix4x4* matrix) const { return {canvas, matrix, toScreen, userData}; }
};

// The object coordinate system of an entity that has one, held apart: most entities have none,
// and a repaint walks every entity, so its time goes mostly into bringing entities from
// memory; 128 bytes of matrix in each would double what a line brings.
class HeldMatrix {
 public:
  HeldMatrix& operator=(const Matrix4x4& m) {
    if (m_) {
      *m_ = m;
    } else {
      m_ = std::make_unique<Matrix4x4>(m);
    }
    return *this;
  }
  void reset() { m_.reset(); }
  explicit operator bool() const { return m_ != nullptr; }
  const Matrix4x4& operator*() const { return *m_; }

 private:
  std::unique_ptr<Matrix4x4> m_;
};

class DXF_Entity {
 public:
  virtual ~DXF_Entity();
  DXF_Entity(const DXF_Entity&) = delete;
  DXF_Entity& operator=(const DXF_Entity&) = delete;

  // Stores the extrusion and builds the object coordinate system by the arbitrary-axis rule
  // (none for exactly (0, 0, 1)). A zero or non-finite extrusion is refused.
  virtual void SetExtrusion(const Point3D& extrusion);
  virtual void SetBlockList(Entity_List* list);
  virtual void Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                    void* userData) = 0;
  virtual void DrawVertices(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                            void* userData) = 0;
  // The index is kept as given; the colour is looked up by its remainder mod 13 (of its
  // magnitude, so a negative index of a layer that is off keeps its colour).
  virtual void SetColorIndex(int32_t index);
  // The index becomes the last table position holding the colour, 0 when none does.
  virtual void SetColor(TColor color);
  virtual void Translate(const Point3D& offset);
  // Rounds x for bit 1, y for bit 2, z for bit 4 (halves to even).
  virtual void RoundCoords(int axisBits, double k);
  virtual int VertexCount() const { return 1; }
  virtual int LineCount() const { return 0; }
  virtual int OpenPolyCount() const { return 0; }
  virtual int ClosedPolyCount() const { return 0; }
  virtual std::string DxfName() const;
  virtual void WritePoint(std::ostream& out, int code, const Point3D& p) const;
  virtual void WriteToDxf(std::ostream& out, std::string_view layerName) const;
  virtual std::string Details() const = 0;
  virtual void GrowExtents(Point3D& max, Point3D& min) const = 0;
  virtual double Distance(const Point3D& p) const = 0;  // squared for points, lines and polylines
  virtual Point3D ClosestPoint(const Point3D& p) const = 0;
  virtual bool IsInside(const Point3D&) const { return false; }
  // Grows the box by every point that Distance measures to and every point that IsInside
  // accepts; an entity that grows nothing is measured by every query (see DXF_index.h).
  virtual void GrowQueryBox(Point3D&, Point3D&) const {}
  virtual bool MovePoint(const Point3D&, const Point3D&) { return false; }
  // The class name as declared ("Point_", "Line_"): the name of the entity list it goes in.
  virtual const char* ClassName() const = 0;

  TColor Color() const { return color_; }
  int32_t ColorIndex() const { return colorIndex_; }
  // Puts back a colour and index taken from Color() and ColorIndex() (after a highlight).
  void RestoreColour(TColor color, int32_t index) {
    color_ = color;
    colorIndex_ = index;
  }
  const Matrix4x4* OCS() const { return ocs_ ? &*ocs_ : nullptr; }
  const Point3D& Extrusion() const { return extrusion_; }

 protected:
  DXF_Entity();

  std::optional<Matrix4x4> Combined(const Matrix4x4* outer) const;
  // A point of the entity's own coordinates where drawing puts it in the world, and back.
  // Hit tests, extents and vertex moves work on world points, as the user sees them.
  Point3D ToWorld(const Point3D& p) const { return ocs_ ? DXF_Utils::TransformPoint(*ocs_, p) : p; }
  std::optional<Point3D> FromWorld(const Point3D& p) const {
    return ocs_ ? DXF_Utils::InverseTransformPoint(*ocs_, p) : p;
  }
  void SelectPenColor(canvas::Canvas& canvas) const;  // only when it differs
  void DrawMark(const DrawContext& dc, const Point3D& p, const Matrix4x4* matrix) const;
  std::string OcsLine() const;  // "OCS Axis (x, y, z)" or "WCS"
  void WriteRecordStart(std::ostream& out, std::string_view layerName) const;
  // RoundCoords for one point: x for bit 1, y for bit 2, z for bit 4.
  static void RoundPointCoords(Point3D& p, int axisBits, double k);

  static void WritePair(std::ostream& out, int code, std::string_view value);
  static void WriteInt(std::ostream& out, int code, long long value);
  static void WriteFloat(std::ostream& out, int code, double value);
  static void WriteAngle(std::ostream& out, int code, double radians,
                         double (*toRadians)(double degrees));  // in degrees, as the reader takes them

  TColor color_ = 0;
  int32_t colorIndex_ = 0;
  HeldMatrix ocs_;
  Point3D extrusion_ = WCS_Z_Axis;
};

// The text of a value in the run-time's default real format: 23 characters, sign or blank,
// one digit, a point, 14 digits, "E", the exponent's sign and four digits.
std::string DefaultRealText(double v);

// The x and y axes of the object coordinate system of an extrusion (arbitrary-axis rule).
void ArbitraryAxes(const Point3D& n, Point3D& ax, Point3D& ay);

// Lines joined with CR LF.
std::string JoinLines(std::initializer_list<std::string> lines);

}  // namespace pv::viewer

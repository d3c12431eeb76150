#pragma once
// The entities placed at one point: POINT, TEXT, ATTRIB, ATTDEF, LINE (from its start point),
// CIRCLE and ARC (from their centre).

#include <string>

#include "DXF_entity.h"

namespace pv::viewer {

class Point_ : public DXF_Entity {
 public:
  Point_(const Point3D& extrusion, int32_t colorIndex, const Point3D& point);

  void Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) override;
  void DrawVertices(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                    void* userData) override;
  void Translate(const Point3D& offset) override;
  void RoundCoords(int axisBits, double k) override;
  void WriteToDxf(std::ostream& out, std::string_view layerName) const override;
  std::string Details() const override;
  void GrowExtents(Point3D& max, Point3D& min) const override;
  double Distance(const Point3D& p) const override;
  Point3D ClosestPoint(const Point3D& p) const override;
  void GrowQueryBox(Point3D& max, Point3D& min) const override;
  bool MovePoint(const Point3D& oldPoint, const Point3D& newPoint) override;
  const char* ClassName() const override { return "Point_"; }

  const Point3D& GetPoint() const { return point_; }
  // Where the point is drawn in the world: hit tests, extents and moves see it there.
  virtual Point3D WorldPoint() const { return ToWorld(point_); }

 protected:
  // For entities without an object coordinate system (lines) and for those that build their
  // own matrix (inserts).
  Point_(int32_t colorIndex, const Point3D& point);
  // The point of the entity's own coordinates that is drawn at a world point.
  virtual std::optional<Point3D> PointFromWorld(const Point3D& world) const { return FromWorld(world); }
  // The point whose mark is drawn, in the coordinates the entity's matrix maps.
  virtual const Point3D& MarkedPoint() const { return point_; }

  Point3D point_;
};

class Text_ : public Point_ {
 public:
  // Alignment 0 left, 1 and 4 centred on the alignment point, 2 right; 3 and 5 left from the
  // insertion point. An alignment point at the origin is replaced by the insertion point.
  Text_(const Point3D& extrusion, int32_t alignment, int32_t colorIndex, double height, std::string text,
        const Point3D& alignmentPoint, const Point3D& insertionPoint);

  void Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) override;
  // The alignment point goes along with the insertion point, so the text follows the move.
  bool MovePoint(const Point3D& oldPoint, const Point3D& newPoint) override;
  void WriteToDxf(std::ostream& out, std::string_view layerName) const override;
  std::string Details() const override;
  const char* ClassName() const override { return "Text_"; }

  double Height() const { return height_; }
  const std::string& Text() const { return text_; }
  const Point3D& AlignmentPoint() const { return alignmentPoint_; }
  int32_t Alignment() const { return alignment_; }

 protected:
  // Text keeps its size in pixels of its height; the outer matrix (a block insertion) moves,
  // scales and turns it.
  void DrawText(const DrawContext& dc) const;

  double height_ = 0.0;
  std::string text_;
  Point3D alignmentPoint_;
  int32_t alignment_ = 0;
};

class Attrib_ : public Text_ {
 public:
  // Visible when flag bit 1 is clear. The value is the text.
  Attrib_(const Point3D& extrusion, int32_t colorIndex, double height, int32_t alignment, int32_t flags,
          std::string tag, std::string value, const Point3D& alignmentPoint, const Point3D& insertionPoint);

  void Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) override;
  void WriteToDxf(std::ostream& out, std::string_view layerName) const override;
  std::string Details() const override;
  const char* ClassName() const override { return "Attrib_"; }

  const std::string& Tag() const { return tag_; }
  bool Visible() const { return visible_; }

 private:
  std::string tag_;
  bool visible_ = true;
};

class Attdef_ : public Attrib_ {
 public:
  // The default value is the text.
  Attdef_(const Point3D& extrusion, int32_t colorIndex, double height, int32_t alignment, int32_t flags,
          std::string prompt, std::string defaultValue, std::string tag, const Point3D& alignmentPoint,
          const Point3D& insertionPoint);

  void Draw(canvas::Canvas&, const Matrix4x4*, WorldToScreenFunc, void*) override {}
  void WriteToDxf(std::ostream& out, std::string_view layerName) const override;
  const char* ClassName() const override { return "Attdef_"; }

  const std::string& Prompt() const { return prompt_; }

 private:
  std::string prompt_;
};

class Line_ : public Point_ {
 public:
  Line_(const Point3D& start, int32_t colorIndex, const Point3D& end);

  void Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) override;
  void DrawVertices(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                    void* userData) override;
  void Translate(const Point3D& offset) override;
  void RoundCoords(int axisBits, double k) override;
  int VertexCount() const override { return 2; }
  int LineCount() const override { return 1; }
  void WriteToDxf(std::ostream& out, std::string_view layerName) const override;
  std::string Details() const override;
  void GrowExtents(Point3D& max, Point3D& min) const override;
  double Distance(const Point3D& p) const override;
  Point3D ClosestPoint(const Point3D& p) const override;
  void GrowQueryBox(Point3D& max, Point3D& min) const override;
  bool MovePoint(const Point3D& oldPoint, const Point3D& newPoint) override;
  const char* ClassName() const override { return "Line_"; }

  const Point3D& EndPoint() const { return end_; }

 private:
  Point3D end_;
};

class Circle_ : public Point_ {
 public:
  Circle_(const Point3D& extrusion, int32_t colorIndex, double radius, const Point3D& centre);

  void Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) override;
  void WriteToDxf(std::ostream& out, std::string_view layerName) const override;
  std::string Details() const override;
  void GrowExtents(Point3D& max, Point3D& min) const override;
  bool IsInside(const Point3D& p) const override;
  void GrowQueryBox(Point3D& max, Point3D& min) const override;
  const char* ClassName() const override { return "Circle_"; }

  double Radius() const { return radius_; }

 protected:
  // Where the circle lands in world coordinates: its centre and radius through the matrix
  // (the radius scaled by the matrix's planar scale) and whether the matrix mirrors it.
  struct Placement {
    Point3D centre;
    double radius = 0.0;
    bool mirrored = false;
  };
  Placement Place(const Matrix4x4* matrix) const;
  // Extents and inside test of the circle as drawn (through its object coordinate system).
  Placement PlaceInWorld() const { return Place(OCS()); }
  // The screen box of the placed circle; false when it is too small to draw (then p1 is the
  // pixel to set).
  bool ScreenBox(const DrawContext& dc, const Placement& place, canvas::TRect& box, canvas::TPoint& p1) const;

  double radius_ = 0.0;
};

class Arc_ : public Circle_ {
 public:
  Arc_(const Point3D& extrusion, int32_t colorIndex, double startDegrees, double endDegrees, double radius,
       const Point3D& centre);

  void Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) override;
  void WriteToDxf(std::ostream& out, std::string_view layerName) const override;
  std::string Details() const override;
  void GrowExtents(Point3D& max, Point3D& min) const override;
  bool IsInside(const Point3D&) const override { return false; }
  const char* ClassName() const override { return "Arc_"; }

  double StartAngle() const { return startAngle_; }  // radians
  double EndAngle() const { return endAngle_; }

 private:
  // The ends through the matrix, in the counter-clockwise order in which the placed arc runs
  // (a mirror turns its direction round).
  struct Ends {
    Point3D start;
    Point3D end;
  };
  Ends PlaceEnds(const Matrix4x4* matrix) const;

  double startAngle_ = 0.0;
  double endAngle_ = 0.0;
};

}  // namespace pv::viewer

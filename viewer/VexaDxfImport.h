#pragma once
// Converts a drawing of the DXF model into a document of the vector-graphics library shown in
// a TVexaPanel: one document layer per DXF layer and, per entity, one control (curve, ellipse,
// arc, text, group) with the entity's colour and its geometry mapped into document units
// through the fit (scale and offsets) that the viewer computes from its zoom box.
//
// Entity classes and what they become:
//   Block_ (a group under ifBlockGroups), Insert_ (a group under ifInsertGroups),
//   Line_ / Polyline_ / Face3D_: one curve; Polygon_mesh_: M + 1 curves (a group under
//   ifPolygonMeshGroups); Polyface_mesh_: one curve per face (a group under
//   ifPolyfaceMeshGroups); Circle_: ellipse; Arc_: arc; Text_ / Attrib_: text;
//   Point_, Solid_, Attdef_: nothing.
//
// An entity with a point beyond the document's coordinate range is skipped and counted; each
// kind of skip is reported once, as a note, when the import ends.
//
// A conversion, as the viewer runs it (library viewer_dxfimport, no Qt):
//   importer.Fit = ComputeImportFit(boxWidth, boxHeight, 20, drawing.GetMaxExtents(),
//                                   drawing.GetMinExtents());
//   importer.ImportDxfObject(&panel, &drawing);   // EDxfImportTooLarge, std::runtime_error
//   for (const std::string& note : importer.Report().Notes) ...  // tell the user

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "DXF_Utils.h"
#include "canvas/CanvasTypes.h"

namespace pv::graphics {
class TVexaControl;
class TVexaCurve;
class TVexaLayer;
class TVexaPanel;
}  // namespace pv::graphics

namespace pv::viewer {

class DXF_Entity;
class DXF_Layer;
class DXF_Object;
class Entity_List;
class Block_;
class Insert_;
class Line_;
class Polyline_;
class Polygon_mesh_;
class Polyface_mesh_;
class Circle_;
class Arc_;
class Text_;

// The mapping of drawing units into document units: document x = (x - MinX)·ScaleX·1000,
// document y = (MaxY - y)·ScaleY·1000 (document y grows downwards). MaxX and MinY give the
// document's size.
struct TDxfImportFit {
  double ScaleX = 1.0;
  double ScaleY = 1.0;
  double MinX = 0.0;
  double MaxX = 0.0;
  double MinY = 0.0;
  double MaxY = 1.0;
  double CentreX = 0.0;  // kept for the viewer; the import does not use them
  double CentreY = 0.0;
};

// The fit that shows the extents in a box of width x height pixels less margin on every side:
// one scale for both axes, the smaller of the two that fit (an axis of zero range scales by
// 1). A box too small for its margins still gets a positive scale (as if 1 pixel were left),
// never a negative one.
TDxfImportFit ComputeImportFit(int width, int height, int margin, const Point3D& maxExtents,
                               const Point3D& minExtents);

// A conversion refused because it would make too many controls (the message says how many);
// nothing has been added to the panel.
class EDxfImportTooLarge : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What the last import made and left out.
struct TDxfImportReport {
  long Controls = 0;       // controls made (groups included)
  long Skipped = 0;        // entities left out: a point beyond the document, or no points at all
  std::vector<std::string> Notes;  // one line per kind of thing left out, for the user
};

class TVexaDxfImport {
 public:
  // ImportFlags bits.
  static constexpr uint8_t ifBlockGroups = 1;
  static constexpr uint8_t ifInsertGroups = 2;
  static constexpr uint8_t ifPolygonMeshGroups = 4;
  static constexpr uint8_t ifPolyfaceMeshGroups = 8;
  static constexpr uint8_t kDefaultFlags = ifBlockGroups | ifInsertGroups;

  // A conversion that would make more controls than this is refused before it starts.
  static constexpr long kMaxControls = 2'000'000;
  // Of those, the controls made inside blocks through inserts may be at most this many: a few
  // kilobytes of inserts that insert others tenfold reach millions, where plain entities cost
  // file size for each control.
  static constexpr long kMaxInsertedControls = 250'000;
  // Document coordinates stay within +-kMaxDocCoord, so that widths and differences of
  // document points fit 32 bits too.
  static constexpr int32_t kMaxDocCoord = 1'073'741'823;

  TVexaDxfImport();

  TDxfImportFit Fit;
  int32_t PenWidth = 10;  // document units
  uint8_t ImportFlags = kDefaultFlags;

  // The whole drawing into the panel's document: its name becomes the schemes root's name,
  // the document size follows the fit, and each DXF layer (in order) goes to the document
  // layer of its name (made when absent). Block definitions are not converted where they are
  // defined (the viewer hides them too), only where an insert places them. Nothing is
  // recorded for undo. False when refused (an import is running, panel or drawing
  // missing, a panel without an active scheme) or when a layer or list is missing. Raises EDxfImportTooLarge (before anything
  // is made) for a drawing that would make more than kMaxControls controls, or more than
  // kMaxInsertedControls of them inside blocks through inserts, and (before
  // anything is made as well) std::runtime_error "Block reference <name> not found" for an
  // insert without its block.
  bool ImportDxfObject(graphics::TVexaPanel* panel, DXF_Object* drawing);

  // What the last (or running) import made and left out.
  const TDxfImportReport& Report() const { return report_; }

  // The steps, usable while an import runs: outside one, ImportLayer and ImportList return
  // false and ImportEntity makes nothing.
  bool ImportLayer(DXF_Layer* layer);
  bool ImportList(Entity_List* list);
  // By the entity's exact class; false only for a missing entity.
  bool ImportEntity(DXF_Entity* entity, const Matrix4x4* outer, graphics::TVexaControl* parent);

  // The document point of a drawing point (through the matrix, when given), rounded half to
  // even; false when it lies beyond kMaxDocCoord (or is not finite).
  bool MapPoint(const Point3D& p, const Matrix4x4* matrix, canvas::TPoint& out) const;
  // Sets the curve's points (with their types, when given), relative to its document
  // rectangle when that does not start at (0, 0).
  static void SetCurvePoints(graphics::TVexaCurve& curve, const std::vector<canvas::TPoint>& points,
                             const std::vector<uint8_t>* types);

  // An upper bound of the controls the drawing makes under the current flags, counted through
  // the same walk of blocks as the import; stops counting past limit. inserted, when given,
  // receives how many of them are made inside blocks through inserts.
  long CountControls(DXF_Object& drawing, long limit, long* inserted = nullptr) const;

 private:
  // The controls, made under the current layer and named when name is not empty.
  template <class T>
  T* NewControl(graphics::TVexaControl* parent, const std::string& name);
  // A curve under parent with the pen; IsSolid is left as it is without solid.
  void MakeCurve(graphics::TVexaControl* parent, const std::string& name, TColor color, std::optional<bool> solid,
                 const std::vector<canvas::TPoint>& points, const std::vector<uint8_t>* types);
  // A group under parent (with that name) that becomes the parent, when the flag is set.
  graphics::TVexaControl* GroupWhen(uint8_t flag, graphics::TVexaControl* parent, const std::string& name);
  // Maps every point; false (and the entity counted as skipped) when one does not fit.
  bool MapAll(std::span<const Point3D> points, const Matrix4x4* matrix, std::vector<canvas::TPoint>& out);
  // The circle's box in the document: the centre through the matrix, the radius scaled.
  bool CircleRect(const Circle_& circle, const Matrix4x4* matrix, canvas::TRect& rect);
  static int32_t DocLength(double range, double scale);
  // The document layer of each DXF layer, by name, made when absent.
  static std::vector<graphics::TVexaLayer*> DocumentLayers(graphics::TVexaPanel& panel, DXF_Object& drawing);
  void NoteSkipped() { ++report_.Skipped; }
  void FinishReport();

  void ImportBlock(Block_& block, const Matrix4x4* outer, graphics::TVexaControl* parent);
  void ImportInsert(Insert_& insert, const Matrix4x4* outer, graphics::TVexaControl* parent);
  void ImportLine(Line_& line, const Matrix4x4* outer, graphics::TVexaControl* parent);
  void ImportPolyline(Polyline_& polyline, const Matrix4x4* outer, graphics::TVexaControl* parent);
  void ImportPolygonMesh(Polygon_mesh_& mesh, const Matrix4x4* outer, graphics::TVexaControl* parent);
  void ImportPolyfaceMesh(Polyface_mesh_& mesh, const Matrix4x4* outer, graphics::TVexaControl* parent);
  void ImportCircle(Circle_& circle, const Matrix4x4* outer, graphics::TVexaControl* parent);
  void ImportArc(Arc_& arc, const Matrix4x4* outer, graphics::TVexaControl* parent);
  void ImportText(Text_& text, const Matrix4x4* outer, graphics::TVexaControl* parent);

  graphics::TVexaPanel* panel_ = nullptr;
  DXF_Object* drawing_ = nullptr;
  graphics::TVexaLayer* layer_ = nullptr;
  TDxfImportReport report_;
  long blocksNotEntered_ = 0;
  long emptyPolylines_ = 0;
};

}  // namespace pv::viewer

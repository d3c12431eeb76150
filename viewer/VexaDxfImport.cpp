#include "VexaDxfImport.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <typeinfo>

#include "DXF_model.h"
#include "DXF_structs.h"
#include "document/Group.h"
#include "document/Schemes.h"
#include "document/ServiceControls.h"
#include "history/History.h"
#include "panel/VexaPanel.h"
#include "paths/PathTypes.h"
#include "props/PenProps.h"
#include "shapes/VexaCurve.h"
#include "shapes/VexaEllipse.h"
#include "shapes/VexaText.h"

namespace pv::viewer {

using canvas::TPoint;
using canvas::TRect;
using graphics::TVexaControl;
using graphics::TVexaCurve;
using namespace DXF_Utils;

namespace {

constexpr double kDegrees = 180.0 / 3.14159265358979323846;
constexpr int32_t kFullTurn = 360000;  // thousandths of a degree

// Thousandths of a degree, halves to even, reduced into 0 .. 359999 (0 for an angle lost to
// overflow in a matrix of huge scales).
int32_t TurnAngle(double degrees) {
  const double thousandths = degrees * 1000.0;
  if (!std::isfinite(thousandths)) return 0;
  const double v = std::fmod(RoundHalfEven(thousandths), kFullTurn);
  const auto a = static_cast<int32_t>(v < 0.0 ? v + kFullTurn : v);
  return a == kFullTurn ? 0 : a;
}

// The direction of the angle through the x-y part of the matrix, in degrees.
double TurnedDegrees(const Matrix4x4& m, double radians) {
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  return std::atan2(c * m.m[0][1] + s * m.m[1][1], c * m.m[0][0] + s * m.m[1][0]) * kDegrees;
}

// What the matrix makes of a unit length along x and along y: the half sizes of the box around
// a unit circle it has placed (an ellipse when it scales x and y apart, of the same size both
// ways when it only turns, mirrors and scales evenly).
double ScaleOfX(const Matrix4x4* m) { return m ? std::hypot(m->m[0][0], m->m[1][0]) : 1.0; }
double ScaleOfY(const Matrix4x4* m) { return m ? std::hypot(m->m[0][1], m->m[1][1]) : 1.0; }
// The length a vertical unit (a text's height) becomes.
double HeightScale(const Matrix4x4* m) { return m ? std::hypot(m->m[1][0], m->m[1][1]) : 1.0; }

TRect NormalRect(TPoint a, TPoint b) {
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

}  // namespace

// ---- Fit --------------------------------------------------------------------------------

TDxfImportFit ComputeImportFit(int width, int height, int margin, const Point3D& maxExtents,
                               const Point3D& minExtents) {
  TDxfImportFit fit;
  // A box smaller than its margins would give a zero or negative scale, which flips or
  // collapses the document; one pixel keeps the drawing upright and visible.
  const double m = std::max(1.0, std::min(static_cast<double>(width) - 2.0 * margin, static_cast<double>(height) - 2.0 * margin));
  const double rangeX = maxExtents.x - minExtents.x;
  const double rangeY = maxExtents.y - minExtents.y;
  const double sx = rangeX != 0.0 ? m / rangeX : 1.0;
  const double sy = rangeY != 0.0 ? m / rangeY : 1.0;
  fit.ScaleX = fit.ScaleY = std::min(sx, sy);
  fit.CentreX = (maxExtents.x + minExtents.x) / 2.0;
  fit.CentreY = (maxExtents.y + minExtents.y) / 2.0;
  fit.MinX = minExtents.x;
  fit.MaxX = maxExtents.x;
  fit.MinY = minExtents.y;
  fit.MaxY = maxExtents.y;
  return fit;
}

// ---- The import ---------------------------------------------------------------------------

TVexaDxfImport::TVexaDxfImport() = default;

bool TVexaDxfImport::ImportDxfObject(graphics::TVexaPanel* panel, DXF_Object* drawing) {
  if (panel_ || !panel || !drawing || !panel->GetActiveScheme()) return false;
  report_ = {};
  blocksNotEntered_ = 0;
  emptyPolylines_ = 0;
  long inserted = 0;
  const long count = CountControls(*drawing, kMaxControls, &inserted);
  if (count > kMaxControls) {
    throw EDxfImportTooLarge("The drawing would make more than " + std::to_string(kMaxControls) +
                             " document controls; the conversion was stopped");
  }
  if (inserted > kMaxInsertedControls) {
    throw EDxfImportTooLarge("The drawing's block insertions would make more than " +
                             std::to_string(kMaxInsertedControls) + " document controls; the conversion was stopped");
  }
  struct Running {
    TVexaDxfImport& self;
    ~Running() {
      self.panel_ = nullptr;
      self.drawing_ = nullptr;
      self.layer_ = nullptr;
    }
  } running{*this};
  panel_ = panel;
  drawing_ = drawing;
  // A converted drawing is a new document, not an edit to undo step by step.
  graphics::TRecordingOff off(panel->History());
  panel->Schemes().SetName(drawing->Name());
  panel->SetDocWidth(DocLength(Fit.MaxX - Fit.MinX, Fit.ScaleX));
  panel->SetDocHeight(DocLength(Fit.MaxY - Fit.MinY, Fit.ScaleY));
  // Every layer first: a new layer looks through the whole document for a free default name,
  // which costs nothing while the document is still empty.
  const std::vector<graphics::TVexaLayer*> layers = DocumentLayers(*panel, *drawing);
  for (int i = 0; i < drawing->LayerCount(); ++i) {
    layer_ = layers[static_cast<size_t>(i)];
    const bool ok = ImportLayer(drawing->Layer(static_cast<size_t>(i)));
    layer_ = nullptr;
    if (!ok) return false;
  }
  FinishReport();
  return true;
}

std::vector<graphics::TVexaLayer*> TVexaDxfImport::DocumentLayers(graphics::TVexaPanel& panel, DXF_Object& drawing) {
  graphics::TVexaLayers& root = panel.Layers();
  std::vector<graphics::TVexaLayer*> layers;
  for (int i = 0; i < drawing.LayerCount(); ++i) {
    const std::string& name = drawing.Layer(static_cast<size_t>(i))->Name();
    graphics::TVexaLayer* layer = root.ByName(name);
    if (!layer) {
      layer = root.NewLayer();
      layer->SetName(name);
    }
    layers.push_back(layer);
  }
  return layers;
}

int32_t TVexaDxfImport::DocLength(double range, double scale) {
  const double v = RoundHalfEven(range * scale * 1000.0);
  if (!(v > 0.0)) return 0;
  return v < kMaxDocCoord ? static_cast<int32_t>(v) : kMaxDocCoord;
}

bool TVexaDxfImport::ImportLayer(DXF_Layer* layer) {
  if (!layer || !panel_) return false;
  for (int i = 0; i < layer->ListCount(); ++i) {
    if (!ImportList(layer->List(static_cast<size_t>(i)))) return false;
  }
  return true;
}

bool TVexaDxfImport::ImportList(Entity_List* list) {
  if (!list || !panel_) return false;
  TVexaControl* scheme = panel_->GetActiveScheme();
  for (const auto& owned : list->Entities()) {
    DXF_Entity& entity = *owned;
    // Definitions appear where inserts place them, never over the drawing at their own place.
    if (typeid(entity) == typeid(Block_)) continue;
    ImportEntity(&entity, nullptr, scheme);
  }
  return true;
}

bool TVexaDxfImport::ImportEntity(DXF_Entity* entity, const Matrix4x4* outer, TVexaControl* parent) {
  if (!entity) return false;
  if (!panel_) return true;
  const std::type_info& type = typeid(*entity);
  if (type == typeid(Block_)) {
    ImportBlock(static_cast<Block_&>(*entity), outer, parent);
  } else if (type == typeid(Insert_)) {
    ImportInsert(static_cast<Insert_&>(*entity), outer, parent);
  } else if (type == typeid(Line_)) {
    ImportLine(static_cast<Line_&>(*entity), outer, parent);
  } else if (type == typeid(Polyline_) || type == typeid(Face3D_)) {
    ImportPolyline(static_cast<Polyline_&>(*entity), outer, parent);
  } else if (type == typeid(Polygon_mesh_)) {
    ImportPolygonMesh(static_cast<Polygon_mesh_&>(*entity), outer, parent);
  } else if (type == typeid(Polyface_mesh_)) {
    ImportPolyfaceMesh(static_cast<Polyface_mesh_&>(*entity), outer, parent);
  } else if (type == typeid(Circle_)) {
    ImportCircle(static_cast<Circle_&>(*entity), outer, parent);
  } else if (type == typeid(Arc_)) {
    ImportArc(static_cast<Arc_&>(*entity), outer, parent);
  } else if (type == typeid(Text_) || type == typeid(Attrib_)) {
    ImportText(static_cast<Text_&>(*entity), outer, parent);
  }
  return true;
}

// ---- Mapping ----------------------------------------------------------------------------

bool TVexaDxfImport::MapPoint(const Point3D& p, const Matrix4x4* matrix, TPoint& out) const {
  const Point3D q = matrix ? TransformPoint(*matrix, p) : p;
  const double x = RoundHalfEven((q.x - Fit.MinX) * Fit.ScaleX * 1000.0);
  const double y = RoundHalfEven((Fit.MaxY - q.y) * Fit.ScaleY * 1000.0);
  // Written so that a NaN fails too.
  if (!(std::fabs(x) <= kMaxDocCoord && std::fabs(y) <= kMaxDocCoord)) return false;
  out = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
  return true;
}

bool TVexaDxfImport::MapAll(std::span<const Point3D> points, const Matrix4x4* matrix, std::vector<TPoint>& out) {
  out.resize(points.size());
  for (size_t i = 0; i < points.size(); ++i) {
    if (!MapPoint(points[i], matrix, out[i])) {
      NoteSkipped();
      return false;
    }
  }
  return true;
}

void TVexaDxfImport::SetCurvePoints(TVexaCurve& curve, const std::vector<TPoint>& points,
                                    const std::vector<uint8_t>* types) {
  const TRect r = curve.GetDocRect();
  std::vector<TPoint> relative = points;
  if (r.left != 0 || r.top != 0) {
    for (TPoint& p : relative) p = {p.x - r.left, p.y - r.top};
  }
  if (types) {
    curve.SetPointsEx(relative, *types);
  } else {
    curve.SetPoints(relative);
  }
}

// ---- Controls ---------------------------------------------------------------------------

template <class T>
T* TVexaDxfImport::NewControl(TVexaControl* parent, const std::string& name) {
  T* control = TVexaControl::New<T>(panel_, parent, layer_);
  ++report_.Controls;
  if (!name.empty()) control->SetName(name);
  return control;
}

TVexaControl* TVexaDxfImport::GroupWhen(uint8_t flag, TVexaControl* parent, const std::string& name) {
  if ((ImportFlags & flag) == 0) return parent;
  return NewControl<graphics::TVexaGroup>(parent, name);
}

template <class Shape>
static void SetPen(Shape& shape, TColor color, int32_t width) {
  shape.Pen().SetColor(color);
  shape.Pen().SetWidth(width);
}

void TVexaDxfImport::MakeCurve(TVexaControl* parent, const std::string& name, TColor color, std::optional<bool> solid,
                               const std::vector<TPoint>& points, const std::vector<uint8_t>* types) {
  auto* curve = NewControl<TVexaCurve>(parent, {});
  // Set up as one change: one notification and one repaint, not one per setting.
  const graphics::TControlUpdate update(*curve);
  if (!name.empty()) curve->SetName(name);
  if (solid) curve->SetIsSolid(*solid);
  SetPen(*curve, color, PenWidth);
  SetCurvePoints(*curve, points, types);
}

void TVexaDxfImport::ImportBlock(Block_& block, const Matrix4x4* outer, TVexaControl* parent) {
  const Block_::Visit visit(block);
  if (!visit.Entered()) {
    ++blocksNotEntered_;
    return;
  }
  const auto combined = CombineMatrices(block.OCS(), outer);
  parent = GroupWhen(ifBlockGroups, parent, block.Name());
  for (const auto& entity : block.Entities()) ImportEntity(entity.get(), combined ? &*combined : nullptr, parent);
}

void TVexaDxfImport::ImportInsert(Insert_& insert, const Matrix4x4* outer, TVexaControl* parent) {
  const auto combined = CombineMatrices(insert.OCS(), outer);
  parent = GroupWhen(ifInsertGroups, parent, insert.DxfName());
  // Attributes stand where the insert places them, outside the block's coordinates.
  for (const auto& attrib : insert.Attribs()) ImportEntity(attrib.get(), outer, parent);
  if (insert.BlockName().empty()) return;
  ImportEntity(insert.GetBlock(), combined ? &*combined : nullptr, parent);
}

void TVexaDxfImport::ImportLine(Line_& line, const Matrix4x4* outer, TVexaControl* parent) {
  const auto combined = CombineMatrices(line.OCS(), outer);
  const Point3D ends[] = {line.GetPoint(), line.EndPoint()};
  std::vector<TPoint> points;
  if (!MapAll(ends, combined ? &*combined : nullptr, points)) return;
  MakeCurve(parent, line.DxfName(), line.Color(), std::nullopt, points, nullptr);
}

void TVexaDxfImport::ImportPolyline(Polyline_& polyline, const Matrix4x4* outer, TVexaControl* parent) {
  if (polyline.Points().empty()) {
    ++emptyPolylines_;
    NoteSkipped();
    return;
  }
  const auto combined = CombineMatrices(polyline.OCS(), outer);
  std::vector<TPoint> points;
  if (!MapAll(polyline.Points(), combined ? &*combined : nullptr, points)) return;
  MakeCurve(parent, polyline.DxfName(), polyline.Color(), polyline.Closed(), points, nullptr);
}

void TVexaDxfImport::ImportPolygonMesh(Polygon_mesh_& mesh, const Matrix4x4* outer, TVexaControl* parent) {
  const auto combined = CombineMatrices(mesh.OCS(), outer);
  std::vector<TPoint> points;
  if (!MapAll(mesh.Points(), combined ? &*combined : nullptr, points)) return;
  const auto m = static_cast<size_t>(std::max(0, mesh.M()));
  const auto n = static_cast<size_t>(std::max(0, mesh.N()));
  parent = GroupWhen(ifPolygonMeshGroups, parent, mesh.DxfName());
  for (size_t r = 0; r < m; ++r) {
    MakeCurve(parent, {}, mesh.Color(), mesh.ClosedN(),
              {points.begin() + static_cast<long>(r * n), points.begin() + static_cast<long>((r + 1) * n)}, nullptr);
  }
  if (m == 0 || n == 0) return;
  // One curve holds every column, each as a figure of its own.
  std::vector<TPoint> columns;
  std::vector<uint8_t> types;
  columns.reserve(m * n);
  types.reserve(m * n);
  const uint8_t last = mesh.ClosedM() ? uint8_t{graphics::ptEndNodeClose} : uint8_t{graphics::ptEndNode};
  for (size_t j = 0; j < n; ++j) {
    for (size_t r = 0; r < m; ++r) {
      columns.push_back(points[r * n + j]);
      types.push_back(r + 1 == m ? last : uint8_t{graphics::ptNode});
    }
  }
  MakeCurve(parent, {}, mesh.Color(), std::nullopt, columns, &types);
}

void TVexaDxfImport::ImportPolyfaceMesh(Polyface_mesh_& mesh, const Matrix4x4* outer, TVexaControl* parent) {
  const auto combined = CombineMatrices(mesh.OCS(), outer);
  const Matrix4x4* matrix = combined ? &*combined : nullptr;
  const std::vector<Point3D>& vertices = mesh.Points();
  // Each face runs through its indexes up to the first that names no vertex.
  std::vector<std::vector<TPoint>> faces;
  for (const Polyface_mesh_::Face& face : mesh.Faces()) {
    std::vector<TPoint> corners;
    for (int32_t index : face) {
      if (index < 0 || static_cast<size_t>(index) >= vertices.size()) break;
      TPoint p;
      if (!MapPoint(vertices[static_cast<size_t>(index)], matrix, p)) {
        NoteSkipped();
        return;
      }
      corners.push_back(p);
    }
    if (!corners.empty()) faces.push_back(std::move(corners));
  }
  parent = GroupWhen(ifPolyfaceMeshGroups, parent, mesh.DxfName());
  for (const auto& corners : faces) {
    MakeCurve(parent, {}, mesh.Color(), true, corners, nullptr);
  }
}

bool TVexaDxfImport::CircleRect(const Circle_& circle, const Matrix4x4* matrix, TRect& rect) {
  // The centre goes through the matrix and the radius is scaled: mapping two corners instead
  // would flatten a circle in a turned insert and turn a mirrored one inside out. An insert
  // that turns and scales x and y apart makes a turned ellipse, which gets the box around it.
  const Point3D c = matrix ? TransformPoint(*matrix, circle.GetPoint()) : circle.GetPoint();
  const double r = std::fabs(circle.Radius());
  const double rx = r * ScaleOfX(matrix);
  const double ry = r * ScaleOfY(matrix);
  TPoint p1;
  TPoint p2;
  if (!MapPoint({c.x - rx, c.y + ry, c.z}, nullptr, p1) || !MapPoint({c.x + rx, c.y - ry, c.z}, nullptr, p2)) {
    NoteSkipped();
    return false;
  }
  rect = NormalRect(p1, p2);
  return true;
}

void TVexaDxfImport::ImportCircle(Circle_& circle, const Matrix4x4* outer, TVexaControl* parent) {
  const auto combined = CombineMatrices(circle.OCS(), outer);
  TRect rect;
  if (!CircleRect(circle, combined ? &*combined : nullptr, rect)) return;
  auto* ellipse = NewControl<graphics::TVexaEllipse>(parent, {});
  const graphics::TControlUpdate update(*ellipse);
  ellipse->SetName(circle.DxfName());
  SetPen(*ellipse, circle.Color(), PenWidth);
  ellipse->SetDocRect(rect);
}

void TVexaDxfImport::ImportArc(Arc_& arc, const Matrix4x4* outer, TVexaControl* parent) {
  const auto combined = CombineMatrices(arc.OCS(), outer);
  const Matrix4x4* matrix = combined ? &*combined : nullptr;
  TRect rect;
  if (!CircleRect(arc, matrix, rect)) return;
  double begin = arc.StartAngle() * kDegrees;
  double end = arc.EndAngle() * kDegrees;
  if (matrix) {
    begin = TurnedDegrees(*matrix, arc.StartAngle());
    end = TurnedDegrees(*matrix, arc.EndAngle());
    // A mirror turns the arc's direction round; it still runs counter-clockwise from begin.
    if (PlanarDeterminant(*matrix) < 0.0) std::swap(begin, end);
  }
  auto* control = NewControl<graphics::TVexaArc>(parent, {});
  const graphics::TControlUpdate update(*control);
  control->SetName(arc.DxfName());
  SetPen(*control, arc.Color(), PenWidth);
  control->SetDocRect(rect);
  control->SetBeginAngle(TurnAngle(begin));
  control->SetEndAngle(TurnAngle(end));
}

void TVexaDxfImport::ImportText(Text_& text, const Matrix4x4* outer, TVexaControl* parent) {
  // The height comes from the scales alone: the difference of two mapped points loses the
  // whole text once the drawing lies far from its origin.
  const double height = RoundHalfEven(std::fabs(text.Height()) * HeightScale(outer) * Fit.ScaleY * 1000.0);
  if (height == 0.0) return;
  const auto combined = CombineMatrices(text.OCS(), outer);
  TPoint a;
  if (!(height <= kMaxDocCoord) || !MapPoint(text.AlignmentPoint(), combined ? &*combined : nullptr, a)) {
    NoteSkipped();
    return;
  }
  auto* control = NewControl<graphics::TVexaText>(parent, text.DxfName());
  control->Font().SetColor(text.Color());
  control->Font().SetHeight(static_cast<int32_t>(height) + 2);
  control->Text().SetText(text.Text());
  switch (text.Alignment()) {
    case 0: control->SetAlignment(0); break;
    case 1: control->SetAlignment(2); break;
    case 2: control->SetAlignment(1); break;
    default: break;
  }
  // Sized to its text once, then left at that size.
  control->SetAutoSize(true);
  control->SetAutoSize(false);
  const int64_t w = control->GetWidth();
  const int64_t h = control->GetHeight();
  int64_t left = a.x;
  if (control->GetAlignment() == 1) left -= w;
  if (control->GetAlignment() == 2) left -= w / 2;
  const int64_t top = int64_t{a.y} - h;
  if (left < -kMaxDocCoord || top < -kMaxDocCoord || left + w > kMaxDocCoord) {
    --report_.Controls;
    control->Free();
    NoteSkipped();
    return;
  }
  control->SetDocRect({static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(left + w), a.y});
}

// ---- Report -----------------------------------------------------------------------------

void TVexaDxfImport::FinishReport() {
  const long outside = report_.Skipped - emptyPolylines_;
  if (outside > 0) {
    report_.Notes.push_back(std::to_string(outside) +
                            " entities lie outside the document's coordinate range and were not converted");
  }
  if (emptyPolylines_ > 0) {
    report_.Notes.push_back(std::to_string(emptyPolylines_) + " polylines without points were not converted");
  }
  if (blocksNotEntered_ > 0) {
    report_.Notes.push_back(std::to_string(blocksNotEntered_) +
                            " block insertions were not followed (a block that inserts itself, nesting too deep "
                            "or too many insertions)");
  }
}

}  // namespace pv::viewer

#include "DXF_entity.h"

#include "DXF_numbers.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace pv::viewer {

using namespace DXF_Utils;

namespace {

constexpr double kArbitraryAxisLimit = 1.0 / 64.0;

}  // namespace

void ArbitraryAxes(const Point3D& n, Point3D& ax, Point3D& ay) {
  if (std::fabs(n.x) < kArbitraryAxisLimit && std::fabs(n.y) < kArbitraryAxisLimit) {
    ax = Normalize(CrossProduct(WCS_Y_Axis, n));
  } else {
    ax = Normalize(CrossProduct(WCS_Z_Axis, n));
  }
  ay = Normalize(CrossProduct(n, ax));
}

std::string JoinLines(std::initializer_list<std::string> lines) {
  std::string out;
  bool first = true;
  for (const auto& line : lines) {
    if (!first) out += "\r\n";
    out += line;
    first = false;
  }
  return out;
}

std::string DefaultRealText(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14E", v);  // [-]d.ddddddddddddddE[+-]dd[d]
  std::string s = buf;
  const auto e = s.find('E');
  if (e == std::string::npos) return s;  // infinities and NaN
  const char sign = s[e + 1];
  const int exponent = std::abs(std::atoi(s.c_str() + e + 2));
  char tail[16];
  std::snprintf(tail, sizeof tail, "E%c%04d", sign, exponent);
  std::string mantissa = s.substr(0, e);
  if (mantissa[0] != '-') mantissa.insert(mantissa.begin(), ' ');
  return mantissa + tail;
}

DXF_Entity::DXF_Entity() { ++DXF_Counters::entities; }

DXF_Entity::~DXF_Entity() { --DXF_Counters::entities; }

void DXF_Entity::SetExtrusion(const Point3D& extrusion) {
  if (!std::isfinite(extrusion.x) || !std::isfinite(extrusion.y) || !std::isfinite(extrusion.z) ||
      SamePoint(extrusion, WCS_Origin)) {
    throw std::invalid_argument("Invalid extrusion direction");
  }
  extrusion_ = extrusion;
  if (SamePoint(extrusion, WCS_Z_Axis)) {
    ocs_.reset();
    return;
  }
  Point3D ax, ay;
  ArbitraryAxes(extrusion, ax, ay);
  ocs_ = MatrixFromAxes(ax, ay, extrusion);
}

void DXF_Entity::SetBlockList(Entity_List*) {}

void DXF_Entity::SetColorIndex(int32_t index) {
  colorIndex_ = index;
  const long long magnitude = std::llabs(static_cast<long long>(index));
  color_ = DXF_Colors[static_cast<size_t>(magnitude % static_cast<long long>(DXF_Colors.size()))];
}

void DXF_Entity::SetColor(TColor color) {
  color_ = color;
  colorIndex_ = 0;
  for (size_t i = 0; i < DXF_Colors.size(); ++i) {
    if (DXF_Colors[i] == color) colorIndex_ = static_cast<int32_t>(i);
  }
}

void DXF_Entity::Translate(const Point3D&) {}

void DXF_Entity::RoundCoords(int, double) {}

void DXF_Entity::RoundPointCoords(Point3D& p, int axisBits, double k) {
  const Point3D r = RoundPoint(p, k);
  if (axisBits & 1) p.x = r.x;
  if (axisBits & 2) p.y = r.y;
  if (axisBits & 4) p.z = r.z;
}

std::string DXF_Entity::DxfName() const {
  std::string name = ClassName();
  if (!name.empty()) name.pop_back();
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

std::optional<Matrix4x4> DXF_Entity::Combined(const Matrix4x4* outer) const {
  return CombineMatrices(OCS(), outer);
}

void DXF_Entity::SelectPenColor(canvas::Canvas& canvas) const {
  if (canvas.GetPen().color != color_) canvas.SetPenColor(color_);
}

void DXF_Entity::DrawMark(const DrawContext& dc, const Point3D& p, const Matrix4x4* matrix) const {
  const canvas::TPoint s = dc.Map(p, matrix);
  dc.canvas.MoveTo(s.x - 2, s.y - 2);
  dc.canvas.LineTo(s.x + 3, s.y + 3);
  dc.canvas.MoveTo(s.x - 2, s.y + 2);
  dc.canvas.LineTo(s.x + 3, s.y - 3);
}

std::string DXF_Entity::OcsLine() const { return ocs_ ? "OCS Axis " + PointToText(extrusion_) : "WCS"; }

void DXF_Entity::WritePair(std::ostream& out, int code, std::string_view value) {
  out << code << "\r\n" << value << "\r\n";
}

void DXF_Entity::WriteInt(std::ostream& out, int code, long long value) {
  WritePair(out, code, std::to_string(value));
}

void DXF_Entity::WriteFloat(std::ostream& out, int code, double value) {
  WritePair(out, code, DxfRealText(value));  // every digit needed to read back the same double
}

void DXF_Entity::WriteAngle(std::ostream& out, int code, double radians, double (*toRadians)(double degrees)) {
  WritePair(out, code, DxfAngleText(radians, toRadians));
}

void DXF_Entity::WritePoint(std::ostream& out, int code, const Point3D& p) const {
  WriteFloat(out, code, p.x);
  WriteFloat(out, code + 10, p.y);
  WriteFloat(out, code + 20, p.z);
}

void DXF_Entity::WriteRecordStart(std::ostream& out, std::string_view layerName) const {
  WritePair(out, 0, DxfName());
  WritePair(out, 8, layerName);
  WriteInt(out, 62, colorIndex_);
  if (ocs_) WritePoint(out, 210, extrusion_);
}

void DXF_Entity::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  WriteRecordStart(out, layerName);
}

}  // namespace pv::viewer

#pragma once
// Point, vector and matrix arithmetic, extents, constant points, the colour table of DXF colour
// indexes and the small text formatters of the entities' details texts. Everything in the DXF
// model rests on these; they call nothing else of the viewer.
//
// Points are row vectors: a point is transformed as (x, y, z, 1) times the matrix, so a
// matrix's translation lies in row 3 and, with A·B, A applies first and B second.

#include <array>
#include <optional>
#include <string>

#include "canvas/CanvasTypes.h"

namespace pv::viewer {

using canvas::TColor;

struct Point3D {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

// m[row][column]; the fourth column is (0, 0, 0, 1) in every matrix the model builds.
struct Matrix4x4 {
  double m[4][4] = {};
};

inline constexpr Point3D WCS_Origin{0.0, 0.0, 0.0};
inline constexpr Point3D WCS_X_Axis{1.0, 0.0, 0.0};
inline constexpr Point3D WCS_Y_Axis{0.0, 1.0, 0.0};
inline constexpr Point3D WCS_Z_Axis{0.0, 0.0, 1.0};
extern const Matrix4x4 Identity_Matrix;

// The colours of DXF colour indexes 0 to 12 (an index is reduced mod 13 to look one up).
inline constexpr std::array<TColor, 13> DXF_Colors = {
    0x000000, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0x800080,
    0x000000, 0x008080, 0xFF00FF, 0x808000, 0x808080, 0x808080,
};

namespace DXF_Utils {

Point3D MakePoint(double x, double y, double z);
bool SamePoint(const Point3D& a, const Point3D& b);  // exact, no tolerance
Point3D SubPoints(const Point3D& a, const Point3D& b);
Point3D AddPoints(const Point3D& a, const Point3D& b);
// v divided by its length; a zero vector comes back unchanged.
Point3D Normalize(const Point3D& v);
Point3D CrossProduct(const Point3D& a, const Point3D& b);
double Distance2D(const Point3D& a, const Point3D& b);     // z ignored
double SqrDistance2D(const Point3D& a, const Point3D& b);  // z ignored
// Each coordinate c becomes round(c·k)/k, rounding halves to even.
Point3D RoundPoint(const Point3D& p, double k);
double RoundHalfEven(double v);
double MinOf(double a, double b);

// Widen extents in place, coordinate by coordinate.
void MaxPoint(Point3D& extents, const Point3D& p);
void MinPoint(Point3D& extents, const Point3D& p);

Matrix4x4 RotationZ(double c, double s);  // c, s: cosine and sine of the angle
Matrix4x4 ScaleMatrix(const Point3D& s);
Matrix4x4 TranslationMatrix(const Point3D& t);
Matrix4x4 MatrixFromAxes(const Point3D& ax, const Point3D& ay, const Point3D& az);
Matrix4x4 MatrixMultiply(const Matrix4x4& a, const Matrix4x4& b);
// b when a is none, a when b is none, otherwise a·b; none when both are none.
std::optional<Matrix4x4> CombineMatrices(const Matrix4x4* a, const Matrix4x4* b);
Point3D TransformPoint(const Matrix4x4& m, const Point3D& p);
// The point that TransformPoint(m, ·) takes to p; none when the matrix flattens space.
std::optional<Point3D> InverseTransformPoint(const Matrix4x4& m, const Point3D& p);
// The determinant of the x-y part of a matrix: its area scale, negative for a mirror.
double PlanarDeterminant(const Matrix4x4& m);

// x rounded to 7 significant digits in fixed-point notation with exactly 3 decimals
// (123456.789 gives "123456.800"); more than 7 integer digits give scientific notation
// ("1.234568E+09"). The decimal separator is the locale's.
std::string FloatToText(double x);
// "(x, y, z)", each with 2 decimals at 7 significant digits, locale decimal separator.
std::string PointToText(const Point3D& p);
std::string BoolToText(bool b);  // "TRUE" or "FALSE"

// FloatToText with a given decimal separator and number of decimals.
std::string FormatFixed(double x, int decimals, char separator);
char LocaleDecimalSeparator();

}  // namespace DXF_Utils
}  // namespace pv::viewer

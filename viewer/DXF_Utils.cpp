#include "DXF_Utils.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace pv::viewer {

const Matrix4x4 Identity_Matrix = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

namespace DXF_Utils {

namespace {

constexpr int kSignificantDigits = 7;

}  // namespace

Point3D MakePoint(double x, double y, double z) { return {x, y, z}; }

bool SamePoint(const Point3D& a, const Point3D& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

Point3D SubPoints(const Point3D& a, const Point3D& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Point3D AddPoints(const Point3D& a, const Point3D& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

Point3D Normalize(const Point3D& v) {
  const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  if (length == 0.0) return v;
  return {v.x / length, v.y / length, v.z / length};
}

Point3D CrossProduct(const Point3D& a, const Point3D& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Distance2D(const Point3D& a, const Point3D& b) { return std::sqrt(SqrDistance2D(a, b)); }

double SqrDistance2D(const Point3D& a, const Point3D& b) {
  const double dx = a.x - b.x;
  const double dy = a.y - b.y;
  return dx * dx + dy * dy;
}

double RoundHalfEven(double v) {
  if (!std::isfinite(v)) return v;
  const double below = std::floor(v);
  const double fraction = v - below;
  if (fraction < 0.5) return below;
  if (fraction > 0.5) return below + 1.0;
  return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

Point3D RoundPoint(const Point3D& p, double k) {
  return {RoundHalfEven(p.x * k) / k, RoundHalfEven(p.y * k) / k, RoundHalfEven(p.z * k) / k};
}

double MinOf(double a, double b) { return b < a ? b : a; }

void MaxPoint(Point3D& extents, const Point3D& p) {
  if (p.x > extents.x) extents.x = p.x;
  if (p.y > extents.y) extents.y = p.y;
  if (p.z > extents.z) extents.z = p.z;
}

void MinPoint(Point3D& extents, const Point3D& p) {
  if (p.x < extents.x) extents.x = p.x;
  if (p.y < extents.y) extents.y = p.y;
  if (p.z < extents.z) extents.z = p.z;
}

Matrix4x4 RotationZ(double c, double s) {
  Matrix4x4 r = Identity_Matrix;
  r.m[0][0] = c;
  r.m[0][1] = -s;
  r.m[1][0] = s;
  r.m[1][1] = c;
  return r;
}

Matrix4x4 ScaleMatrix(const Point3D& s) {
  Matrix4x4 r = Identity_Matrix;
  r.m[0][0] = s.x;
  r.m[1][1] = s.y;
  r.m[2][2] = s.z;
  return r;
}

Matrix4x4 TranslationMatrix(const Point3D& t) {
  Matrix4x4 r = Identity_Matrix;
  r.m[3][0] = t.x;
  r.m[3][1] = t.y;
  r.m[3][2] = t.z;
  return r;
}

Matrix4x4 MatrixFromAxes(const Point3D& ax, const Point3D& ay, const Point3D& az) {
  Matrix4x4 r = Identity_Matrix;
  const Point3D* axes[3] = {&ax, &ay, &az};
  for (int row = 0; row < 3; ++row) {
    r.m[row][0] = axes[row]->x;
    r.m[row][1] = axes[row]->y;
    r.m[row][2] = axes[row]->z;
    r.m[row][3] = 0.0;
  }
  return r;
}

Matrix4x4 MatrixMultiply(const Matrix4x4& a, const Matrix4x4& b) {
  Matrix4x4 r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
      r.m[i][j] = sum;
    }
  }
  return r;
}

std::optional<Matrix4x4> CombineMatrices(const Matrix4x4* a, const Matrix4x4* b) {
  if (a == nullptr && b == nullptr) return std::nullopt;
  if (a == nullptr) return *b;
  if (b == nullptr) return *a;
  return MatrixMultiply(*a, *b);
}

Point3D TransformPoint(const Matrix4x4& m, const Point3D& p) {
  return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
          p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
          p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

// Solves v·A = p - t for the 3x3 part A by Cramer's rule (columns of A against the rows of
// the equation, since points are row vectors).
std::optional<Point3D> InverseTransformPoint(const Matrix4x4& m, const Point3D& p) {
  const auto& a = m.m;
  const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                     a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                     a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
  if (det == 0.0 || !std::isfinite(det)) return std::nullopt;
  const double r[3] = {p.x - a[3][0], p.y - a[3][1], p.z - a[3][2]};
  // v = r · A^-1, with A^-1 = adj(A) / det.
  double v[3];
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3, k = (i + 2) % 3;
    // Column i of A^-1 is the cross product of rows j and k of A, over det.
    const double cx = a[j][1] * a[k][2] - a[j][2] * a[k][1];
    const double cy = a[j][2] * a[k][0] - a[j][0] * a[k][2];
    const double cz = a[j][0] * a[k][1] - a[j][1] * a[k][0];
    v[i] = (r[0] * cx + r[1] * cy + r[2] * cz) / det;
  }
  return Point3D{v[0], v[1], v[2]};
}

double PlanarDeterminant(const Matrix4x4& m) { return m.m[0][0] * m.m[1][1] - m.m[0][1] * m.m[1][0]; }

char LocaleDecimalSeparator() {
  const std::lconv* conv = std::localeconv();
  return (conv && conv->decimal_point && conv->decimal_point[0]) ? conv->decimal_point[0] : '.';
}

// The value is first rounded to 7 significant digits; those digits are then rounded (half
// away from zero) to the wanted number of decimals.
std::string FormatFixed(double x, int decimals, char separator) {
  if (std::isnan(x)) return "NAN";
  if (std::isinf(x)) return x > 0 ? "INF" : "-INF";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", kSignificantDigits - 1, x);
  // buf: [-]d.dddddde[+-]xx
  const bool negative = buf[0] == '-';
  const char* p = buf + (negative ? 1 : 0);
  std::string digits;
  for (; *p && *p != 'e'; ++p) {
    if (*p != '.') digits += *p;
  }
  const int exponent = std::atoi(p + 1);
  const int integerDigits = exponent + 1;
  if (x != 0.0 && integerDigits > kSignificantDigits) {
    std::string out = negative ? "-" : "";
    out += digits[0];
    out += separator;
    out += digits.substr(1);
    char e[16];
    std::snprintf(e, sizeof e, "E%+03d", exponent);
    return out + e;
  }
  // Digits laid out with at least one integer digit and decimals + 1 fraction digits.
  std::vector<int> d;
  int point = integerDigits;  // digits before the decimal point
  for (int i = point; i < 1; ++i) d.push_back(0);
  if (point < 1) point = 1;
  for (char c : digits) d.push_back(c - '0');
  while (static_cast<int>(d.size()) < point + decimals + 1) d.push_back(0);
  const bool roundUp = d[point + decimals] >= 5;
  d.resize(point + decimals);
  if (roundUp) {
    int i = static_cast<int>(d.size()) - 1;
    while (i >= 0 && d[i] == 9) d[i--] = 0;
    if (i >= 0) {
      ++d[i];
    } else {
      d.insert(d.begin(), 1);
      ++point;
    }
  }
  while (point > 1 && d.front() == 0) {
    d.erase(d.begin());
    --point;
  }
  const bool allZero = std::all_of(d.begin(), d.end(), [](int v) { return v == 0; });
  std::string out = (negative && !allZero) ? "-" : "";
  for (int i = 0; i < point; ++i) out += static_cast<char>('0' + d[i]);
  if (decimals > 0) {
    out += separator;
    for (int i = point; i < point + decimals; ++i) out += static_cast<char>('0' + d[i]);
  }
  return out;
}

std::string FloatToText(double x) { return FormatFixed(x, 3, LocaleDecimalSeparator()); }

std::string PointToText(const Point3D& p) {
  const char sep = LocaleDecimalSeparator();
  return "(" + FormatFixed(p.x, 2, sep) + ", " + FormatFixed(p.y, 2, sep) + ", " + FormatFixed(p.z, 2, sep) + ")";
}

std::string BoolToText(bool b) { return b ? "TRUE" : "FALSE"; }

}  // namespace DXF_Utils
}  // namespace pv::viewer

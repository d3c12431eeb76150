#include "DXF_Utils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "DXF_entity.h"

namespace pv::viewer {
namespace {

using namespace DXF_Utils;

void ExpectPoint(const Point3D& actual, const Point3D& expected, double tolerance = 1e-12) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(DXF_Utils, SamePointIsExact) {
  EXPECT_TRUE(SamePoint({0, 0, 0}, {0, 0, -0.0}));
  EXPECT_FALSE(SamePoint({1, 2, 3}, {1, 2, std::nextafter(3.0, 4.0)}));
  EXPECT_TRUE(SamePoint({1, 2, 3}, MakePoint(1, 2, 3)));
}

TEST(DXF_Utils, RoundPointRoundsHalvesToEven) {
  struct Case {
    Point3D in;
    double k;
    Point3D out;
  };
  const Case cases[] = {
      {{1.23456, -2.0004, 7}, 1000, {1.235, -2.0, 7.0}},
      {{0.5, 1.5, 2.5}, 1, {0, 2, 2}},          // ties go to the even neighbour
      {{-0.5, -1.5, -2.5}, 1, {-0.0, -2, -2}},
      {{0.25, 0.75, 1.25}, 2, {0, 1, 1}},       // 0.5, 1.5, 2.5 after scaling
      {{2.4999, 2.5001, 3.5}, 1, {2, 3, 4}},
  };
  for (const Case& c : cases) {
    ExpectPoint(RoundPoint(c.in, c.k), c.out);
  }
  EXPECT_EQ(RoundHalfEven(1e300), 1e300);  // no integer cast on the way
  EXPECT_TRUE(std::isnan(RoundHalfEven(std::numeric_limits<double>::quiet_NaN())));
}

TEST(DXF_Utils, ExtentsChangeOnlyForLargerOrSmallerValues) {
  Point3D max{1, 1, 1}, min{0, 0, 0};
  MaxPoint(max, {1, 1, 1});
  MinPoint(min, {0, 0, 0});
  ExpectPoint(max, {1, 1, 1});
  ExpectPoint(min, {0, 0, 0});
  MaxPoint(max, {2, -5, 1});
  MinPoint(min, {2, -5, 1});
  ExpectPoint(max, {2, 1, 1});
  ExpectPoint(min, {0, -5, 0});
}

TEST(DXF_Utils, VectorsAndDistances) {
  ExpectPoint(CrossProduct(WCS_X_Axis, WCS_Y_Axis), WCS_Z_Axis);
  ExpectPoint(Normalize({3, 0, 4}), {0.6, 0, 0.8});
  ExpectPoint(Normalize(WCS_Origin), WCS_Origin);  // no division by zero
  EXPECT_DOUBLE_EQ(SqrDistance2D({0, 0, 5}, {3, 4, -5}), 25.0);
  EXPECT_DOUBLE_EQ(Distance2D({0, 0, 5}, {3, 4, -5}), 5.0);
  EXPECT_EQ(MinOf(2, 1), 1);
}

TEST(DXF_Utils, MatricesApplyLeftFirst) {
  const Matrix4x4 rotate = RotationZ(std::cos(-M_PI / 2), std::sin(-M_PI / 2));  // a quarter turn anticlockwise
  const Matrix4x4 move = TranslationMatrix({10, 0, 0});
  ExpectPoint(TransformPoint(rotate, {1, 0, 0}), {0, 1, 0});
  ExpectPoint(TransformPoint(MatrixMultiply(rotate, move), {1, 0, 0}), {10, 1, 0});
  ExpectPoint(TransformPoint(MatrixMultiply(move, rotate), {1, 0, 0}), {0, 11, 0});
  ExpectPoint(TransformPoint(ScaleMatrix({2, 3, 4}), {1, 1, 1}), {2, 3, 4});
  ExpectPoint(TransformPoint(MatrixFromAxes({0, 1, 0}, {-1, 0, 0}, {0, 0, 1}), {1, 2, 3}), {-2, 1, 3});
  EXPECT_DOUBLE_EQ(PlanarDeterminant(ScaleMatrix({-2, 3, 1})), -6.0);
}

TEST(DXF_Utils, CombineMatricesReturnsValues) {
  EXPECT_FALSE(CombineMatrices(nullptr, nullptr).has_value());
  const Matrix4x4 a = TranslationMatrix({1, 2, 3});
  const Matrix4x4 b = ScaleMatrix({2, 2, 2});
  ExpectPoint(TransformPoint(*CombineMatrices(&a, nullptr), WCS_Origin), {1, 2, 3});
  ExpectPoint(TransformPoint(*CombineMatrices(nullptr, &b), {1, 1, 1}), {2, 2, 2});
  // Two products in a row stay independent (no shared result buffer).
  const auto ab = CombineMatrices(&a, &b);
  const auto ba = CombineMatrices(&b, &a);
  ExpectPoint(TransformPoint(*ab, WCS_Origin), {2, 4, 6});
  ExpectPoint(TransformPoint(*ba, WCS_Origin), {1, 2, 3});
}

TEST(DXF_Utils, ArbitraryAxisRule) {
  struct Case {
    Point3D n, ax, ay;
  };
  const Case cases[] = {
      {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},  // a mirror in x
      {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
      {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
  };
  for (const Case& c : cases) {
    Point3D ax, ay;
    ArbitraryAxes(c.n, ax, ay);
    ExpectPoint(ax, c.ax);
    ExpectPoint(ay, c.ay);
  }
}

TEST(DXF_Utils, FloatToText) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {123456.789, "123456.800"},  // 7 significant digits first, then 3 decimals
      {1.0, "1.000"},
      {-3.0, "-3.000"},
      {0.0005, "0.001"},           // halves of the last decimal go up
      {-0.0004, "0.000"},          // no sign on zero
      {1234567.4, "1234567.000"},
      {9999999.6, "1.000000E+07"},
      {123456789.0, "1.234568E+08"},
      {-0.1, "-0.100"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, 3, '.'), c.text) << c.value;
  }
  EXPECT_EQ(FormatFixed(2.5, 3, ','), "2,500");
  EXPECT_EQ(FloatToText(1.5), "1.500");  // tests run in the C locale
  EXPECT_EQ(FormatFixed(std::numeric_limits<double>::infinity(), 3, '.'), "INF");
}

TEST(DXF_Utils, PointAndBoolText) {
  EXPECT_EQ(PointToText({1, 2.5, -3}), "(1.00, 2.50, -3.00)");
  EXPECT_EQ(PointToText({0.005, 1e9, 0}), "(0.01, 1.000000E+09, 0.00)");
  EXPECT_EQ(BoolToText(true), "TRUE");
  EXPECT_EQ(BoolToText(false), "FALSE");
}

TEST(DXF_Utils, DefaultRealText) {
  EXPECT_EQ(DefaultRealText(2.0), " 2.00000000000000E+0000");
  EXPECT_EQ(DefaultRealText(-0.015), "-1.50000000000000E-0002");
  EXPECT_EQ(DefaultRealText(2.0).size(), 23u);
}

}  // namespace
}  // namespace pv::viewer

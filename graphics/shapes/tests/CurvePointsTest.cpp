// The binary forms of a curve's points: the layout checked by an independent reader, and
// values that are not what they claim to be refused without touching the curve.

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <string>

#include "document/testing/TestVexaPanel.h"
#include "shapes/CurvePoints.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaCurve.h"

namespace pv::graphics {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> v) {
  std::vector<uint8_t> out;
  for (int b : v) out.push_back(static_cast<uint8_t>(b));
  return out;
}

void PutInt32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Runs python's struct over the bytes and returns what it printed.
std::string PythonDecode(const std::vector<uint8_t>& data) {
  const std::string bin = testing::TempDir() + "pathpoints.bin";
  const std::string script = testing::TempDir() + "pathpoints.py";
  {
    std::ofstream f(bin, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  }
  {
    std::ofstream f(script);
    f << "import struct, sys\n"
         "d = open(sys.argv[1], 'rb').read()\n"
         "(n,) = struct.unpack_from('<i', d, 0)\n"
         "assert len(d) == 4 + 9 * n, 'length'\n"
         "pts = struct.unpack_from('<%di' % (2 * n), d, 4)\n"
         "types = struct.unpack_from('<%dB' % n, d, 4 + 8 * n)\n"
         "print(n, ' '.join('%d,%d' % (pts[2*i], pts[2*i+1]) for i in range(n)), ' '.join(map(str, types)))\n";
  }
  const std::string cmd = "/usr/bin/python3 " + script + " " + bin;
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    while (fgets(buf, sizeof buf, p)) out += buf;
    if (pclose(p) != 0) out += "<python failed>";
  }
  return out;
}

TEST(CurvePoints, PathPointsLayoutReadsBackWithPythonStruct) {
  const TPointArray points{{0, 0}, {-1, 2147483647}, {-1000000000, 70000}, {12, 34}};
  const TTypeArray types{ptNode, ptControl, ptControl, ptEndNodeClose};
  const std::vector<uint8_t> data = EncodePathPoints(points, types);
  ASSERT_EQ(data.size(), 4u + 9u * 4u);
  EXPECT_EQ(PythonDecode(data), "4 0,0 -1,2147483647 -1000000000,70000 12,34 0 3 3 2\n");
  TPointArray backPoints;
  TTypeArray backTypes;
  ASSERT_TRUE(DecodePathPoints(data, backPoints, backTypes));
  EXPECT_EQ(backPoints, points);
  EXPECT_EQ(backTypes, types);
}

TEST(CurvePoints, InvalidValuesAreRefusedAndLeaveTheArrays) {
  std::vector<uint8_t> wrapping;  // 9 N + 4 wraps to 5 in 32 bits for N = 0x1C71C71D
  PutInt32(wrapping, 0x1C71C71Du);
  wrapping.push_back(0);
  std::vector<uint8_t> negative;
  PutInt32(negative, 0xFFFFFFFFu);
  std::vector<uint8_t> badType = EncodePathPoints(TPointArray{{0, 0}, {1, 1}}, TTypeArray{0, 1});
  badType.back() = 4;
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
  };
  const Case cases[] = {
      {"empty", {}},
      {"shorter than the count", Bytes({1, 0, 0})},
      {"a count whose 9 N + 4 wraps in 32 bits", wrapping},
      {"a negative count", negative},
      {"one byte too many", [] {
         auto d = EncodePathPoints(TPointArray{{0, 0}, {1, 1}}, TTypeArray{0, 1});
         d.push_back(0);
         return d;
       }()},
      {"a type above 3", badType},
      {"a last point that ends no figure", EncodePathPoints(TPointArray{{0, 0}, {1, 1}}, TTypeArray{0, 0})},
      {"a control point where a node must be", EncodePathPoints(TPointArray{{0, 0}, {1, 1}}, TTypeArray{3, 1})},
      {"a lone control point", EncodePathPoints(TPointArray{{0, 0}, {1, 1}, {2, 2}}, TTypeArray{0, 3, 1})},
      {"an extent beyond int32", EncodePathPoints(TPointArray{{INT32_MIN, 0}, {INT32_MAX, 0}}, TTypeArray{0, 1})},
  };
  for (const Case& c : cases) {
    TPointArray points{{7, 7}};
    TTypeArray types{ptEndNode};
    EXPECT_FALSE(DecodePathPoints(c.data, points, types)) << c.what;
    EXPECT_EQ(points, (TPointArray{{7, 7}})) << c.what;
    EXPECT_EQ(types, (TTypeArray{ptEndNode})) << c.what;
  }
  TPointArray points;
  TTypeArray types;
  EXPECT_TRUE(DecodePathPoints(Bytes({0, 0, 0, 0}), points, types));  // N = 0 is a valid empty path
  EXPECT_TRUE(points.empty());
}

TEST(CurvePoints, OlderPointsFormMakesUpTheTypes) {
  std::vector<uint8_t> data;
  for (uint32_t v : {0u, 0u, 10u, 0u, 10u, 10u}) PutInt32(data, v);
  TPointArray points;
  TTypeArray types;
  ASSERT_TRUE(DecodeOldPoints(data, true, points, types));
  EXPECT_EQ(points, (TPointArray{{0, 0}, {10, 0}, {10, 10}}));
  EXPECT_EQ(types, (TTypeArray{ptNode, ptNode, ptEndNodeClose}));
  ASSERT_TRUE(DecodeOldPoints(data, false, points, types));
  EXPECT_EQ(types.back(), ptEndNode);
  data.pop_back();
  EXPECT_FALSE(DecodeOldPoints(data, false, points, types));
  EXPECT_EQ(points.size(), 3u);
}

TEST(CurvePoints, ACurveIgnoresABadValueOfEitherProperty) {
  RegisterShapeClasses();
  test::TTestVexaPanel panel;
  panel.NewDocument();
  auto* c = TVexaControl::New<TVexaCurve>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  c->SetPointsEx({{0, 0}, {500, 700}}, {ptNode, ptEndNode});
  const std::string before = panel.SaveText();
  std::vector<uint8_t> wrapping;
  PutInt32(wrapping, 0x1C71C71Du);
  wrapping.push_back(0);
  for (const auto& bad : {wrapping, Bytes({1, 2, 3}), Bytes({}), Bytes({0, 0, 0, 0})}) {
    c->Props().PropByName("PathPoints")->SetPropValue("", PropValue::Bytes(bad));
    c->Props().PropByName("Points")->SetPropValue("", PropValue::Bytes(bad));
  }
  c->Props().PropByName("PathPoints")->SetPropValue("", PropValue::String("{00}"));
  EXPECT_EQ(panel.SaveText(), before);
  // A good value of either form is taken, and the rectangle follows it.
  c->Props().PropByName("PathPoints")->SetPropValue(
      "", PropValue::Bytes(EncodePathPoints(TPointArray{{-10, 0}, {90, 40}, {0, 30}}, TTypeArray{0, 0, 2})));
  EXPECT_EQ(c->GetPointsCount(), 3);
  EXPECT_EQ(c->GetWidth(), 100);
  EXPECT_TRUE(c->GetIsSolid());
  std::vector<uint8_t> old;
  for (uint32_t v : {0u, 0u, 2000u, 1000u}) PutInt32(old, v);
  c->Props().PropByName("Points")->SetPropValue("", PropValue::Bytes(old));
  EXPECT_EQ(c->GetPointsCount(), 2);
  EXPECT_EQ(c->GetPointType(1), ptEndNodeClose);  // IsSolid was on
  EXPECT_EQ(c->GetWidth(), 2000);
}

}  // namespace
}  // namespace pv::graphics

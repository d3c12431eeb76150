// Units, fields, keywords, hexadecimal bytes and rectangles.

#include <gtest/gtest.h>

#include "base/ClassRef.h"
#include "base/Geometry.h"
#include "base/ModelText.h"
#include "base/TextHelpers.h"
#include "base/Units.h"

namespace pv::graphics {
namespace {

TEST(Units, ScaleAndUnscaleRoundAsMulDiv) {
  EXPECT_EQ(ScaleValue(10000, 100), 10);
  EXPECT_EQ(ScaleValue(1500, 100), 2);    // 1.5 px: half away from zero
  EXPECT_EQ(ScaleValue(-1500, 100), -2);
  EXPECT_EQ(ScaleValue(10000, 250), 25);
  EXPECT_EQ(UnScaleValue(25, 250), 10000);
  EXPECT_EQ(UnScaleValue(1, 0), -1);      // MulDiv's answer to a zero divisor
  EXPECT_EQ(UnitsToPixels(-1999), -1);    // truncated toward zero
  EXPECT_EQ(PixelsToUnits(3), 3000);
}

TEST(TextHelpers, ExtractWordN) {
  const struct {
    const char* text;
    int n;
    const char* expected;
  } cases[] = {
      {"a:b:c", 1, "a"}, {"a:b:c", 2, "b"}, {"a:b:c", 3, "c"}, {"a:b:c", 4, ""},
      {"a:b:c", 0, ""},  {"", 1, ""},       {"a::c", 2, ""},   {"one", 1, "one"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExtractWordN(c.text, c.n, ':'), c.expected) << c.text << " " << c.n;
}

TEST(TextHelpers, KeywordsAreCaseSensitivePrefixes) {
  EXPECT_TRUE(IsBlockEnd("end"));
  EXPECT_TRUE(IsBlockEnd("endx"));
  EXPECT_TRUE(IsBlockEnd("en"));
  EXPECT_TRUE(IsBlockEnd(""));
  EXPECT_FALSE(IsBlockEnd("EndAngle = 90000"));
  EXPECT_FALSE(IsBlockEnd("End"));
  EXPECT_FALSE(IsBlockEnd("Enabled = True"));
  EXPECT_TRUE(StartsWithKeyword("object Box1: TVexaBox", "object"));
  EXPECT_FALSE(StartsWithKeyword("Object", "object"));
}

TEST(TextHelpers, HexBytesAndNames) {
  char hex[2];
  for (int b = 0; b < 256; ++b) {
    ByteToHex(static_cast<uint8_t>(b), hex);
    EXPECT_EQ(HexToByte(hex[0], hex[1]), b);
  }
  ByteToHex(0xAB, hex);
  EXPECT_EQ(std::string(hex, 2), "AB");
  EXPECT_EQ(HexToByte('a', 'b'), 0xAB);
  EXPECT_EQ(HexToByte('G', '0'), -1);
  EXPECT_EQ(HexToByte(':', '0'), -1);
  EXPECT_TRUE(SameName("Left", "LEFT"));
  EXPECT_LT(CompareNames("Hint", "ID"), 0);
  EXPECT_LT(CompareNames("ID", "Id2"), 0);
  EXPECT_EQ(TrimBlanks(" \t x y \r"), "x y");
}

TEST(ModelText, SingleByteCodePage1251) {
  const std::string model = ToModelText("Схема №1");
  EXPECT_EQ(model, "\xd1\xf5\xe5\xec\xe0 \xb9\x31");
  EXPECT_EQ(FromModelText(model), "Схема №1");
  EXPECT_EQ(ToModelText("€ и 中"), "\x88 \xe8 ?");
}

TEST(Geometry, NormalizeRectSwapsEdges) {
  const TRect r = NormalizeRect({10, 20, -5, 3});
  EXPECT_EQ(r.left, -5);
  EXPECT_EQ(r.right, 10);
  EXPECT_EQ(r.top, 3);
  EXPECT_EQ(r.bottom, 20);
  EXPECT_EQ(RectWidth(r), 15);
  EXPECT_EQ(RectHeight(r), 17);
}

TEST(ClassRef, WalksTheClassChain) {
  static const TClassRef base{"TBase", nullptr};
  static const TClassRef derived{"TDerived", &base};
  static const TClassRef other{"TOther", nullptr};
  EXPECT_TRUE(IsClassOrDescendant(&derived, &base));
  EXPECT_TRUE(IsClassOrDescendant(&base, &base));
  EXPECT_FALSE(IsClassOrDescendant(&base, &derived));
  EXPECT_FALSE(IsClassOrDescendant(&other, &base));
}

}  // namespace
}  // namespace pv::graphics

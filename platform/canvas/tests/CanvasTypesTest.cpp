#include "canvas/CanvasTypes.h"
#include "canvas/Bitmap.h"

#include <gtest/gtest.h>

namespace pv::canvas {
namespace {

TEST(CanvasTypes, RasterOperationsOnPixelBits) {
  const uint32_t d = 0x00F0F0F0 & 0x00FFCC00;  // some destination bits
  const uint32_t p = 0x000F0FF0;
  struct Case {
    PenMode mode;
    uint32_t expected;
  };
  const Case cases[] = {
      {PenMode::Black, 0},
      {PenMode::NotMerge, ~(p | d)},
      {PenMode::MaskNotPen, d & ~p},
      {PenMode::NotCopy, ~p},
      {PenMode::MaskPenNot, p & ~d},
      {PenMode::Not, ~d},
      {PenMode::Xor, p ^ d},
      {PenMode::NotMask, ~(p & d)},
      {PenMode::Mask, p & d},
      {PenMode::NotXor, ~(p ^ d)},
      {PenMode::Nop, d},
      {PenMode::MergeNotPen, d | ~p},
      {PenMode::Copy, p},
      {PenMode::MergePenNot, p | ~d},
      {PenMode::Merge, p | d},
      {PenMode::White, 0xFFFFFF},
  };
  int code = 1;
  for (const Case& c : cases) {
    EXPECT_EQ(static_cast<int>(c.mode), code++);
    EXPECT_EQ(ApplyRop2(c.mode, d, p), c.expected & 0xFFFFFF) << static_cast<int>(c.mode);
  }
  // Drawing twice with xor or not-xor restores the destination.
  EXPECT_EQ(ApplyRop2(PenMode::Xor, ApplyRop2(PenMode::Xor, d, p), p), d);
  EXPECT_EQ(ApplyRop2(PenMode::NotXor, ApplyRop2(PenMode::NotXor, d, p), p), d);
}

TEST(CanvasTypes, ColorToRGB) {
  EXPECT_EQ(ColorToRGB(0x00123456), 0x123456u);
  EXPECT_EQ(ColorToRGB(0x01123456), 0x123456u);  // palette flags do not change the colour
  EXPECT_EQ(ColorToRGB(clBtnFace), 0xF0F0F0u);
  EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
  EXPECT_EQ(ColorToRGB(clWindowText), 0u);
  EXPECT_EQ(ColorToRGB(static_cast<TColor>(0x800000FFu)), 0u);  // unknown system colour
  EXPECT_EQ(ColorToRGB(clNone), 0u);
  EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
  EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
}

TEST(CanvasTypes, RectangleHelpers) {
  EXPECT_EQ(IntersectRect({0, 0, 10, 10}, {5, 5, 20, 20}), (TRect{5, 5, 10, 10}));
  EXPECT_EQ(IntersectRect({0, 0, 10, 10}, {10, 0, 20, 10}), TRect{});  // touching edges share no pixel
  EXPECT_EQ(UnionRect({}, {1, 2, 3, 4}), (TRect{1, 2, 3, 4}));
  EXPECT_EQ(UnionRect({0, 0, 1, 1}, {5, 5, 6, 6}), (TRect{0, 0, 6, 6}));
}

TEST(Bitmap, DroppingAlphaKeepsThePixelsInTheirOwnMemory) {
  Bitmap b = Bitmap::Argb(3, 2, 0xFF123456u);
  b.Row(1)[2] = 0x80ABCDEFu;
  const uint32_t* memory = b.Row(0);
  b.DropAlpha();
  EXPECT_FALSE(b.HasAlpha());
  EXPECT_EQ(b.Row(0), memory);
  EXPECT_EQ(b.Row(0)[0], 0x00123456u);
  EXPECT_EQ(b.Row(1)[2], 0x00ABCDEFu);
  EXPECT_EQ(b.GetPixel(2, 1), 0x00EFCDABu);
  // A plain bitmap stays as it is.
  Bitmap plain(2, 2, 0x00102030);
  const Bitmap before = plain;
  plain.DropAlpha();
  EXPECT_EQ(plain, before);
}

}  // namespace
}  // namespace pv::canvas

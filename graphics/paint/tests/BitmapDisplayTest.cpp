#include "paint/BitmapDisplay.h"

#include <gtest/gtest.h>

#include "paint/tests/TestCanvas.h"

namespace pv::graphics {
namespace {

using testing::WhiteImage;

// 3 x 2 pixels of distinct colours; the bottom-left one is white (the transparent colour).
Bitmap Tile() {
  Bitmap b(3, 2);
  const TColor colours[] = {clRed, clLime, clBlue, clWhite, clNavy, clMaroon};
  for (int i = 0; i < 6; ++i) b.SetPixel(i % 3, i / 3, colours[i]);
  return b;
}

TEST(PaintBitmapDisplay, TilesFromTheRectsTopLeftOnlyInsideTheClip) {
  const Bitmap tile = Tile();
  WhiteImage img(40, 30);
  const TRect rect{5, 5, 35, 25};
  const TRect clip{10, 7, 30, 20};
  TTileCache cache;
  PaintBitmapDisplay(*img.canvas, rect, clip, false, 100, &cache, TBitmapDisplay::bdTile, &tile);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      const uint32_t expected = clip.Contains(x, y) ? tile.GetPixel((x - 5) % 3, (y - 5) % 2) : 0xFFFFFFu;
      ASSERT_EQ(img.At(x, y), expected) << x << "," << y;
    }
  }
  EXPECT_GE(cache.width, clip.Width());
  EXPECT_GE(cache.height, clip.Height());
}

TEST(PaintBitmapDisplay, TheCacheIsReusedForASmallerRectAndRebuiltForALargerOne) {
  const Bitmap tile = Tile();
  WhiteImage img(100, 100);
  TTileCache cache;
  PaintBitmapDisplay(*img.canvas, {0, 0, 30, 30}, {0, 0, 100, 100}, false, 100, &cache, TBitmapDisplay::bdTile, &tile);
  const Bitmap* first = cache.surface.get();
  ASSERT_NE(first, nullptr);
  PaintBitmapDisplay(*img.canvas, {0, 0, 20, 20}, {0, 0, 100, 100}, false, 100, &cache, TBitmapDisplay::bdTile, &tile);
  EXPECT_EQ(cache.surface.get(), first);
  PaintBitmapDisplay(*img.canvas, {0, 0, 80, 60}, {0, 0, 100, 100}, false, 100, &cache, TBitmapDisplay::bdTile, &tile);
  EXPECT_GE(cache.width, 80);
  EXPECT_GE(cache.height, 60);
  EXPECT_EQ(img.At(79, 59), tile.GetPixel(79 % 3, 59 % 2));
}

TEST(PaintBitmapDisplay, TransparentTilesLeaveTheirTransparentColourOutMaskedOrNot) {
  Bitmap tile = Tile();
  tile.transparent = true;
  for (bool masked : {false, true}) {
    WhiteImage img(20, 20);
    img.canvas->SetBrush(Brush{BrushStyle::Solid, clGray, nullptr});
    img.canvas->FillRect({0, 0, 20, 20});
    PaintBitmapDisplay(*img.canvas, {0, 0, 12, 12}, {1, 0, 20, 20}, masked, 100, nullptr, TBitmapDisplay::bdTile, &tile);
    EXPECT_EQ(img.At(1, 0), static_cast<uint32_t>(clLime)) << masked;
    EXPECT_EQ(img.At(3, 1), static_cast<uint32_t>(clGray)) << masked;  // the white tile pixel
    EXPECT_EQ(img.At(4, 1), static_cast<uint32_t>(clNavy)) << masked;
    EXPECT_EQ(img.At(0, 0), static_cast<uint32_t>(clGray)) << masked;  // outside the clip
    EXPECT_EQ(img.At(12, 0), static_cast<uint32_t>(clGray)) << masked;
    EXPECT_EQ(img.canvas->GetClipRgn(), std::nullopt);
  }
}

TEST(PaintBitmapDisplay, CentredAtAScaleAndStretched) {
  Bitmap b(2, 2, clRed);
  b.SetPixel(0, 1, clWhite);
  b.transparent = true;
  WhiteImage img(20, 20);
  img.canvas->SetBrush(Brush{BrushStyle::Solid, clGray, nullptr});
  img.canvas->FillRect({0, 0, 20, 20});
  PaintBitmapDisplay(*img.canvas, {0, 0, 20, 20}, {0, 0, 20, 20}, true, 200, nullptr, TBitmapDisplay::bdCenter, &b);
  EXPECT_EQ(img.At(8, 8), static_cast<uint32_t>(clRed));    // 4 x 4 at (8, 8)
  EXPECT_EQ(img.At(8, 10), static_cast<uint32_t>(clGray));  // the transparent quarter
  EXPECT_EQ(img.At(11, 11), static_cast<uint32_t>(clRed));
  EXPECT_EQ(img.At(12, 12), static_cast<uint32_t>(clGray));
  PaintBitmapDisplay(*img.canvas, {0, 0, 20, 20}, {0, 0, 20, 20}, false, 100, nullptr, TBitmapDisplay::bdStretch, &b);
  EXPECT_EQ(img.At(19, 0), static_cast<uint32_t>(clRed));
  EXPECT_EQ(img.At(0, 19), static_cast<uint32_t>(clGray));
  // Nothing for a missing or empty bitmap or a clip outside the rect.
  Bitmap empty;
  PaintBitmapDisplay(*img.canvas, {0, 0, 20, 20}, {0, 0, 20, 20}, false, 100, nullptr, TBitmapDisplay::bdTile, &empty);
  PaintBitmapDisplay(*img.canvas, {0, 0, 20, 20}, {0, 0, 20, 20}, false, 100, nullptr, TBitmapDisplay::bdTile, nullptr);
  PaintBitmapDisplay(*img.canvas, {0, 0, 5, 5}, {6, 6, 20, 20}, false, 100, nullptr, TBitmapDisplay::bdTile, &b);
}

}  // namespace
}  // namespace pv::graphics

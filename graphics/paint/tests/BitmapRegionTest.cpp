#include "paint/BitmapRegion.h"

#include <gtest/gtest.h>

#include <random>

namespace pv::graphics {
namespace {

Bitmap NoisyMask(int w, int h, unsigned seed) {
  Bitmap b(w, h, clWhite);
  std::mt19937 random(seed);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (random() % 2) b.SetPixel(x, y, clRed);
    }
  }
  return b;
}

TEST(CreateRegionFromBitmap, HoldsAPixelExactlyWhereTheMaskSaysAtScaleOneAndTwo) {
  const Bitmap mask = NoisyMask(13, 7, 3);
  for (int scale : {1, 2}) {
    const TRect target{5, 3, 5 + 13 * scale, 3 + 7 * scale};
    const auto region = CreateRegionFromBitmap(mask, clWhite, target);
    ASSERT_TRUE(region.has_value());
    for (int y = -1; y < 7 * scale + 1; ++y) {
      for (int x = -1; x < 13 * scale + 1; ++x) {
        const bool inside = x >= 0 && y >= 0 && x < 13 * scale && y < 7 * scale;
        const bool opaque = inside && mask.GetPixel(x / scale, y / scale) != 0xFFFFFFu;
        ASSERT_EQ(region->Contains(target.left + x, target.top + y), opaque) << scale << ": " << x << "," << y;
      }
    }
  }
}

TEST(CreateRegionFromBitmap, PartsEmptyBitmapsAndMaskRegions) {
  EXPECT_FALSE(CreateRegionFromBitmap(Bitmap(), 0, {0, 0, 5, 5}).has_value());
  Bitmap b(4, 4, clWhite);
  b.SetPixel(3, 3, clBlack);
  // Only the part from (2, 2) on, placed at (10, 10).
  const auto part = CreateRegionFromBitmap(b, {2, 2, 4, 4}, clWhite, {10, 10, 12, 12});
  ASSERT_TRUE(part.has_value());
  EXPECT_EQ(*part, Region::FromRect({11, 11, 12, 12}));
  EXPECT_TRUE(CreateRegionFromBitmap(b, clBlack, {0, 0, 4, 4})->Contains(0, 0));

  // The transparent colour defaults to the bottom-left pixel: white here.
  Region region = Region::FromRect({0, 0, 100, 100});
  AddBitmapMaskRegion(b, {0, 0, 8, 8}, region);
  EXPECT_EQ(region, Region::FromRect({6, 6, 8, 8}));
}

}  // namespace
}  // namespace pv::graphics

#include "paint/BitmapRegion.h"

#include <vector>

#include "winmath/WinMath.h"

namespace pv::graphics {

namespace {

// 0x00BBGGRR as the bitmap holds it in memory (0x00RRGGBB).
uint32_t MemoryOrder(uint32_t rgb) { return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF); }

int32_t Scale(int32_t v, int32_t to, int32_t from) {
  return winmath::RoundHalfEven(static_cast<double>(v) * to / from);
}

}  // namespace

std::optional<Region> CreateRegionFromBitmap(const Bitmap& bitmap, const TRect& source, uint32_t maskRgb,
                                             const TRect& target) {
  const TRect src = IntersectRect(source, {0, 0, bitmap.Width(), bitmap.Height()});
  if (src.IsEmpty()) return std::nullopt;
  const uint32_t key = MemoryOrder(maskRgb & 0x00FFFFFFu);
  const int32_t w = src.Width();
  const int32_t h = src.Height();
  const int32_t tw = target.Width();
  const int32_t th = target.Height();
  const bool scaled = tw != w || th != h;
  std::vector<TRect> runs;
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* row = bitmap.Row(src.top + y) + src.left;
    int32_t x = 0;
    while (x < w) {
      while (x < w && (row[x] & 0x00FFFFFFu) == key) ++x;
      if (x == w) break;
      const int32_t from = x;
      while (x < w && (row[x] & 0x00FFFFFFu) != key) ++x;
      if (scaled) {
        runs.push_back({Scale(from, tw, w), Scale(y, th, h), Scale(x, tw, w), Scale(y + 1, th, h)});
      } else {
        runs.push_back({from, y, x, y + 1});
      }
    }
  }
  Region region = Region::FromRects(runs);
  region.Offset(target.left, target.top);
  return region;
}

std::optional<Region> CreateRegionFromBitmap(const Bitmap& bitmap, uint32_t maskRgb, const TRect& target) {
  return CreateRegionFromBitmap(bitmap, {0, 0, bitmap.Width(), bitmap.Height()}, maskRgb, target);
}

void AddBitmapMaskRegion(const Bitmap& bitmap, const TRect& rect, Region& region) {
  const auto mask = CreateRegionFromBitmap(bitmap, bitmap.TransparentRGB(), rect);
  if (mask) region = Region::Combine(region, *mask, RegionMode::And);
}

}  // namespace pv::graphics

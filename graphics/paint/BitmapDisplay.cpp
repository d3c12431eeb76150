#include "paint/BitmapDisplay.h"

#include <algorithm>
#include <cstring>

#include "paint/BitmapRegion.h"
#include "paint/ClipHelpers.h"

namespace pv::graphics {

namespace {

// Copies a w x h block within one bitmap; the blocks do not overlap.
void CopyBlock(Bitmap& bitmap, int32_t fromX, int32_t fromY, int32_t toX, int32_t toY, int32_t w, int32_t h) {
  const size_t bytes = static_cast<size_t>(w) * 4;
  for (int32_t y = 0; y < h; ++y) std::memcpy(bitmap.Row(toY + y) + toX, bitmap.Row(fromY + y) + fromX, bytes);
}

// The bitmap as it is drawn opaque: the same pixels without the transparency switch.
void DrawStretchedThroughMask(Canvas& canvas, const TRect& target, const Bitmap& bitmap) {
  const auto mask = CreateRegionFromBitmap(bitmap, bitmap.TransparentRGB(), target);
  if (!mask) return;
  const auto saved = IntersectClipRgn(canvas, *mask);
  canvas.StretchBlt(target, bitmap, {0, 0, bitmap.Width(), bitmap.Height()}, Rop3::SrcCopy);
  RestoreClip(canvas, saved);
}

void PaintScaled(Canvas& canvas, const TRect& target, bool masked, const Bitmap& bitmap) {
  if (target.IsEmpty()) return;
  if (masked && bitmap.transparent) {
    DrawStretchedThroughMask(canvas, target, bitmap);
    return;
  }
  canvas.StretchDraw(target, bitmap);
}

void PaintTiled(Canvas& canvas, const TRect& rect, const TRect& visible, bool masked, TTileCache* cache,
                const Bitmap& bitmap) {
  const int32_t ox = (visible.left - rect.left) % bitmap.Width();
  const int32_t oy = (visible.top - rect.top) % bitmap.Height();
  const int32_t needW = ox + visible.Width();
  const int32_t needH = oy + visible.Height();
  std::unique_ptr<Bitmap> local;
  Bitmap* surface = nullptr;
  if (cache && cache->surface && cache->width >= needW && cache->height >= needH) {
    surface = cache->surface.get();
  } else {
    local = std::make_unique<Bitmap>(needW, needH);
    FillWithTiles(*local, bitmap, needW, needH);
    surface = local.get();
    if (cache) {
      cache->surface = std::move(local);
      cache->width = needW;
      cache->height = needH;
    }
  }
  const TRect source{ox, oy, needW, needH};
  if (!bitmap.transparent) {
    canvas.StretchBlt(visible, *surface, source, Rop3::SrcCopy);
    return;
  }
  const uint32_t key = bitmap.TransparentRGB();
  if (masked) {
    const auto mask = CreateRegionFromBitmap(*surface, source, key, visible);
    if (!mask) return;
    const auto saved = IntersectClipRgn(canvas, *mask);
    canvas.StretchBlt(visible, *surface, source, Rop3::SrcCopy);
    RestoreClip(canvas, saved);
    return;
  }
  // The canvas leaves the transparent colour out when it draws a transparent bitmap; the
  // surface is drawn from its origin, clipped to the visible part.
  const bool wasTransparent = surface->transparent;
  const TColor wasColor = surface->transparentColor;
  surface->transparent = true;
  surface->transparentColor = static_cast<TColor>(key);
  const auto saved = IntersectClipRgn(canvas, Region::FromRect(visible));
  canvas.Draw(visible.left - ox, visible.top - oy, *surface);
  RestoreClip(canvas, saved);
  surface->transparent = wasTransparent;
  surface->transparentColor = wasColor;
}

}  // namespace

void FillWithTiles(Bitmap& surface, const Bitmap& tile, int32_t width, int32_t height) {
  const int32_t tw = std::min(tile.Width(), width);
  const int32_t th = std::min(tile.Height(), height);
  for (int32_t y = 0; y < th; ++y) std::memcpy(surface.Row(y), tile.Row(y), static_cast<size_t>(tw) * 4);
  for (int32_t done = th; done < height; done *= 2) CopyBlock(surface, 0, 0, 0, done, tw, std::min(done, height - done));
  for (int32_t done = tw; done < width; done *= 2) CopyBlock(surface, 0, 0, done, 0, std::min(done, width - done), height);
}

void PaintBitmapDisplay(Canvas& canvas, const TRect& rect, const TRect& clipRect, bool masked, int32_t scalePercent,
                        TTileCache* cache, TBitmapDisplay display, const Bitmap* bitmap) {
  if (!bitmap || bitmap->Empty()) return;
  const TRect visible = IntersectRect(rect, clipRect);
  if (visible.IsEmpty()) return;
  switch (display) {
    case TBitmapDisplay::bdCenter: {
      const int32_t w = static_cast<int32_t>(static_cast<int64_t>(bitmap->Width()) * scalePercent / 100);
      const int32_t h = static_cast<int32_t>(static_cast<int64_t>(bitmap->Height()) * scalePercent / 100);
      const int32_t left = rect.left + (rect.Width() - w) / 2;
      const int32_t top = rect.top + (rect.Height() - h) / 2;
      PaintScaled(canvas, {left, top, left + w, top + h}, masked, *bitmap);
      break;
    }
    case TBitmapDisplay::bdStretch: PaintScaled(canvas, rect, masked, *bitmap); break;
    case TBitmapDisplay::bdTile: PaintTiled(canvas, rect, visible, masked, cache, *bitmap); break;
  }
}

}  // namespace pv::graphics

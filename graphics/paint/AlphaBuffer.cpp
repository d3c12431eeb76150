#include "paint/AlphaBuffer.h"

#include <algorithm>
#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "canvas/BitmapCanvas.h"
#include "canvas/OffsetCanvas.h"
#include "canvas/Region.h"
#include "paint/ClipHelpers.h"

namespace pv::graphics {

namespace {

uint32_t Mix(uint32_t d, uint32_t s, uint32_t factor) {
  const int32_t delta = static_cast<int32_t>(s) - static_cast<int32_t>(d);
  return static_cast<uint32_t>(static_cast<int32_t>(d) + ((delta * static_cast<int32_t>(factor) + 0x8000) >> 16));
}

uint32_t MixChannels(uint32_t d, uint32_t s, uint32_t factor) {
  const uint32_t r = Mix((d >> 16) & 0xFF, (s >> 16) & 0xFF, factor);
  const uint32_t g = Mix((d >> 8) & 0xFF, (s >> 8) & 0xFF, factor);
  const uint32_t b = Mix(d & 0xFF, s & 0xFF, factor);
  return (r << 16) | (g << 8) | b;
}

// The weight out of 256 of coverage c (out of 255).
constexpr uint32_t Weight(uint32_t c) { return (c * 256 + 127) / 255; }

// The mix over an opaque destination, two channels at a time: each 16-bit lane holds
// d (256 - a) + s a with a = Weight(c), within one level of d + (s - d) c / 255.
inline uint32_t MixOpaque(uint32_t d, uint32_t s, uint32_t a) {
  const uint32_t rb = (((d & 0xFF00FFu) * (256 - a) + (s & 0xFF00FFu) * a + 0x800080u) >> 8) & 0xFF00FFu;
  const uint32_t g = (((d & 0x00FF00u) * (256 - a) + (s & 0x00FF00u) * a + 0x008000u) >> 8) & 0x00FF00u;
  return 0xFF000000u | rb | g;
}

}  // namespace

uint32_t BlendPixel(uint32_t destination, uint32_t source, uint32_t coverage) {
  const uint32_t c = std::min<uint32_t>(coverage, 255);
  if (c == 0) return destination;
  if (c == 255) return 0xFF000000u | (source & 0x00FFFFFFu);
  const uint32_t m = 255 - (destination >> 24);  // how much of the destination is still open
  if (m == 0) return MixOpaque(destination, source, Weight(c));
  const uint32_t s = m * (255 - c) + 128;
  const uint32_t u = 255 - (((s >> 8) + s) >> 8);  // the result's coverage, 255 - m (255 - c) / 255; at least c
  const uint32_t factor = ((c << 16) + u / 2) / u;
  return (u << 24) | MixChannels(destination, source, factor);
}

TAlphaBuffer::TAlphaBuffer(TAlphaBuffer* parent) : parent_(parent) {}

TAlphaBuffer::~TAlphaBuffer() = default;

bool TAlphaBuffer::BeginDraw(Canvas* target, const TRect& rect) {
  if (drawing_ || !target || rect.IsEmpty()) return false;
  allocatedWidth_ = std::max(allocatedWidth_, rect.Width());
  allocatedHeight_ = std::max(allocatedHeight_, rect.Height());
  pixels_.Reset(rect.Width(), rect.Height(), PixelFormat::Argb32, 0);
  holdsContent_ = false;
  auto canvas = CreateBitmapCanvas(pixels_);
  if (!canvas) {
    Release();
    return false;
  }
  canvas_ = std::make_unique<OffsetCanvas>(std::move(canvas), TPoint{rect.left, rect.top});
  target_ = target;
  rect_ = rect;
  drawing_ = true;
  return true;
}

// The coverage of each alpha value at one transparency, and its weight out of 256.
struct TAlphaBuffer::BlendTables {
  explicit BlendTables(int32_t transparency) {
    for (uint32_t a = 0; a < 256; ++a) {
      scaled[a] = static_cast<uint8_t>(a * static_cast<uint32_t>(100 - transparency) / 100);
      weight[a] = Weight(a);
    }
    for (uint32_t a = 0; a < 256; ++a) alphaWeight[a] = static_cast<int16_t>(weight[scaled[a]]);
  }
  std::array<uint8_t, 256> scaled{};
  std::array<uint32_t, 256> weight{};
  std::array<int16_t, 256> alphaWeight{};  // the weight of a source alpha, straight
};

void TAlphaBuffer::BlendRun(const BlendTables& tables, const uint32_t* from, uint32_t* to, int32_t count) {
  int32_t x = 0;
#if defined(__SSE2__)
  // Four pixels at a time over an opaque destination: the same MixOpaque, one 16-bit lane a
  // channel (d (256 - a) + s a stays below 65,536). Weight 0 keeps the destination and 256
  // takes the source, as the scalar cases below do.
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaMask = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
  const __m128i full = _mm_set1_epi16(256);
  const __m128i half = _mm_set1_epi16(0x80);
  for (; x + 4 <= count; x += 4) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(to + x));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(d, alphaMask), alphaMask)) != 0xFFFF) break;
    const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
    const int16_t a0 = tables.alphaWeight[from[x] >> 24], a1 = tables.alphaWeight[from[x + 1] >> 24];
    const int16_t a2 = tables.alphaWeight[from[x + 2] >> 24], a3 = tables.alphaWeight[from[x + 3] >> 24];
    const __m128i wLow = _mm_set_epi16(a1, a1, a1, a1, a0, a0, a0, a0);
    const __m128i wHigh = _mm_set_epi16(a3, a3, a3, a3, a2, a2, a2, a2);
    const __m128i low = _mm_srli_epi16(
        _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(full, wLow)),
                                    _mm_mullo_epi16(_mm_unpacklo_epi8(src, zero), wLow)),
                      half),
        8);
    const __m128i high = _mm_srli_epi16(
        _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(full, wHigh)),
                                    _mm_mullo_epi16(_mm_unpackhi_epi8(src, zero), wHigh)),
                      half),
        8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x), _mm_or_si128(_mm_packus_epi16(low, high), alphaMask));
  }
#endif
  for (; x < count; ++x) {
    const uint32_t c = tables.scaled[from[x] >> 24];
    if (c == 255) {
      to[x] = 0xFF000000u | from[x];
    } else if (c != 0) {
      // An opaque destination, the usual case, inline; the rest through the full formula.
      to[x] = (to[x] >> 24) == 255 ? MixOpaque(to[x], from[x], tables.weight[c]) : BlendPixel(to[x], from[x], c);
    }
  }
}

void TAlphaBuffer::BlendInto(Bitmap& destination, int32_t transparency) const {
  const BlendTables tables(transparency);
  const int32_t w = std::min(destination.Width(), pixels_.Width());
  const int32_t h = std::min(destination.Height(), pixels_.Height());
  for (int32_t y = 0; y < h; ++y) BlendRun(tables, pixels_.Row(y), destination.Row(y), w);
}

void TAlphaBuffer::EndDraw(int32_t transparency) {
  if (!drawing_) return;
  canvas_.reset();
  drawing_ = false;
  if (transparency < 0 || transparency >= 100) return;
  if (parent_ && parent_->drawing_ && parent_->canvas_.get() == target_ && parent_->rect_ == rect_) {
    BlendInto(parent_->pixels_, transparency);
    return;
  }
  // In place where the target lets its pixels be edited, else through a copy.
  const BlendTables tables(transparency);
  const bool edited = target_->EditPixels(rect_, [&](uint32_t* run, int32_t x, int32_t y, int32_t count) {
    if (y < pixels_.Height() && x < pixels_.Width())
      BlendRun(tables, pixels_.Row(y) + x, run, std::min(count, pixels_.Width() - x));
  });
  if (edited) return;
  if (target_->GetPixels(rect_, scratch_)) {
    BlendInto(scratch_, transparency);
    target_->SetPixels(rect_.left, rect_.top, scratch_);
    return;
  }
  // A target that keeps no pixels (a recording) gets the painted pixels without blending.
  std::vector<TRect> painted;
  for (int32_t y = 0; y < pixels_.Height(); ++y) {
    const uint32_t* row = pixels_.Row(y);
    for (int32_t x = 0; x < pixels_.Width();) {
      if ((row[x] >> 24) == 0) {
        ++x;
        continue;
      }
      const int32_t from = x;
      while (x < pixels_.Width() && (row[x] >> 24) != 0) ++x;
      painted.push_back({rect_.left + from, rect_.top + y, rect_.left + x, rect_.top + y + 1});
    }
  }
  const auto saved = IntersectClipRgn(*target_, Region::FromRects(painted));
  target_->SetPixels(rect_.left, rect_.top, pixels_);
  RestoreClip(*target_, saved);
}

bool TAlphaBuffer::CreateFromGraphic(const picture::Graphic* graphic, const DrawRoutine& draw) {
  if (drawing_) return false;
  if (!graphic || graphic->Empty()) {
    Release();
    return true;
  }
  const int32_t w = graphic->Width();
  const int32_t h = graphic->Height();
  pixels_.Reset(w, h, PixelFormat::Argb32, 0);
  allocatedWidth_ = w;
  allocatedHeight_ = h;
  holdsContent_ = true;
  auto canvas = CreateBitmapCanvas(pixels_);
  if (!canvas) return true;
  if (draw) {
    draw(*canvas, *graphic);
  } else {
    graphic->Draw(*canvas, {0, 0, w, h});
  }
  return true;
}

void TAlphaBuffer::PaintTo(TAlphaBuffer& destination, const TRect& destRect, const TRect& sourceRect) const {
  if (!holdsContent_ || destRect.IsEmpty() || sourceRect.IsEmpty()) return;
  if (sourceRect.left < 0 || sourceRect.top < 0 || sourceRect.right > pixels_.Width() ||
      sourceRect.bottom > pixels_.Height()) {
    return;
  }
  // The destination's pixels stand for its target rect while it paints, else for themselves.
  const TPoint origin = destination.drawing_ ? TPoint{destination.rect_.left, destination.rect_.top} : TPoint{};
  Bitmap& to = destination.pixels_;
  const TRect area = IntersectRect(destRect, {origin.x, origin.y, origin.x + to.Width(), origin.y + to.Height()});
  if (area.IsEmpty()) return;
  const int64_t sw = sourceRect.Width();
  const int64_t sh = sourceRect.Height();
  for (int32_t y = area.top; y < area.bottom; ++y) {
    const int64_t sy = std::clamp<int64_t>((y - destRect.top) * sh / destRect.Height() + sourceRect.top, 0,
                                           pixels_.Height() - 1);
    const uint32_t* from = pixels_.Row(static_cast<int32_t>(sy));
    uint32_t* row = to.Row(y - origin.y);
    for (int32_t x = area.left; x < area.right; ++x) {
      const int64_t sx = std::clamp<int64_t>((x - destRect.left) * sw / destRect.Width() + sourceRect.left, 0,
                                             pixels_.Width() - 1);
      const uint32_t pixel = from[sx];
      if ((pixel >> 24) != 0) row[x - origin.x] = pixel;
    }
  }
}

void TAlphaBuffer::Release() {
  canvas_.reset();
  pixels_ = Bitmap();
  allocatedWidth_ = allocatedHeight_ = 0;
  holdsContent_ = false;
}

}  // namespace pv::graphics

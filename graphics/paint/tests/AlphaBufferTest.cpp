#include "paint/AlphaBuffer.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "canvas/BitmapCanvas.h"
#include "canvas/RecordingCanvas.h"
#include "paint/ClipHelpers.h"
#include "paint/tests/TestCanvas.h"

namespace pv::graphics {
namespace {

using testing::WhiteImage;

TEST(BlendPixel, ResultCoverageMatchesTheRealValuedOverFormulaForEveryPair) {
  for (uint32_t open = 0; open < 256; ++open) {  // 255 - destination coverage
    for (uint32_t c = 1; c < 255; ++c) {
      const uint32_t d = ((255 - open) << 24) | 0x000000;
      const uint32_t u = BlendPixel(d, 0xFFFFFF, c) >> 24;
      const double reference = 255.0 - open * (255.0 - c) / 255.0;
      ASSERT_LE(std::abs(u - reference), 1.0) << open << "," << c;
      ASSERT_GE(u, c);  // never 0: the colour factor divides by it
    }
  }
}

TEST(BlendPixel, OnAnOpaqueDestinationEveryChannelIsWithinOneLevelOfTheLinearMix) {
  for (uint32_t c = 0; c < 256; ++c) {
    for (uint32_t s = 0; s < 256; ++s) {
      for (uint32_t d = 0; d < 256; ++d) {
        const uint32_t out = BlendPixel(0xFF000000u | d, s, c) & 0xFF;
        const double reference = d + (static_cast<double>(s) - d) * c / 255.0;
        ASSERT_LE(std::abs(out - reference), 1.0) << c << "," << s << "," << d;
      }
    }
  }
  EXPECT_EQ(BlendPixel(0xFF123456u, 0xABCDEF, 0), 0xFF123456u);
  EXPECT_EQ(BlendPixel(0xFF123456u, 0xABCDEF, 255), 0xFFABCDEFu);
  EXPECT_EQ(BlendPixel(0x00123456u, 0xABCDEF, 128) >> 24, 128u);  // onto nothing: its own coverage
  EXPECT_EQ(BlendPixel(0x00123456u, 0xABCDEF, 128) & 0xFFFFFF, 0xABCDEFu);
}

// Fills rect in red through a buffer over a white image and returns the image.
WhiteImage PaintRed(int transparency, const TRect& fill) {
  WhiteImage img(20, 10);
  TAlphaBuffer buffer;
  EXPECT_TRUE(buffer.BeginDraw(img.canvas.get(), {2, 1, 18, 9}));
  buffer.GetCanvas()->SetBrush(Brush{BrushStyle::Solid, clRed, nullptr});
  buffer.GetCanvas()->FillRect(fill);
  buffer.EndDraw(transparency);
  return img;
}

TEST(TAlphaBuffer, PaintedPixelsBlendAtTheTransparencyUntouchedOnesStay) {
  for (int t : {0, 50, 99, 100}) {
    const WhiteImage img = PaintRed(t, {4, 2, 10, 6});
    const uint32_t c = 255u * static_cast<uint32_t>(100 - t) / 100;
    const double green = 255 + (0 - 255.0) * c / 255;  // red over white: green and blue fall
    const uint32_t pixel = img.At(5, 3);
    EXPECT_EQ(GetRValue(pixel), 255) << t;
    EXPECT_LE(std::abs(GetGValue(pixel) - green), 1.0) << t;
    EXPECT_LE(std::abs(GetBValue(pixel) - green), 1.0) << t;
    EXPECT_EQ(img.At(3, 3), 0xFFFFFFu) << t;   // in the buffer, not painted
    EXPECT_EQ(img.At(10, 3), 0xFFFFFFu) << t;  // right of the fill
  }
  const WhiteImage outside = PaintRed(0, {0, 0, 20, 10});
  EXPECT_EQ(outside.At(1, 1), 0xFFFFFFu);  // the buffer's rect bounds the paint
  EXPECT_EQ(outside.At(2, 1), static_cast<uint32_t>(clRed));
  EXPECT_EQ(outside.At(18, 1), 0xFFFFFFu);
}

// The blend straight into the target's pixels, four at a time where the target is opaque,
// gives each pixel what BlendPixel gives it, only where the clip lets through: over opaque and
// translucent pixels mixed, runs of every length modulo four, and every kind of source alpha.
TEST(TAlphaBuffer, BlendingInPlaceMatchesThePixelFormulaInsideTheClip) {
  testing::StartQt();
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
    for (int transparency : {0, 37, 50}) {
      QImage image(41, 23, format);
      for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
          const uint32_t v = next();
          // Mostly opaque, with translucent pixels here and there on the alpha image.
          row[x] = format == QImage::Format_RGB32 || (v >> 28) != 0 ? (v | 0xFF000000u) : (v & 0x7FFFFFFFu);
        }
      }
      const QImage before = image.copy();
      pv::qtcanvas::QtCanvas target(image);
      const TRect rect{3, 2, 38, 21};
      Bitmap source;
      source.Reset(rect.Width(), rect.Height(), PixelFormat::Argb32, 0);
      for (int y = 0; y < source.Height(); ++y)
        for (int x = 0; x < source.Width(); ++x) {
          const uint32_t v = next();
          const uint32_t alpha = std::array<uint32_t, 4>{0u, 255u, v >> 24, (v >> 24) | 1u}[v & 3];
          source.Row(y)[x] = (alpha << 24) | (v & 0xFFFFFF);
        }
      const std::vector<TRect> clip{{0, 0, 20, 12}, {9, 12, 41, 23}};
      const auto saved = IntersectClipRgn(target, Region::FromRects(clip));
      TAlphaBuffer buffer;
      ASSERT_TRUE(buffer.BeginDraw(&target, rect));
      buffer.GetCanvas()->SetPixels(rect.left, rect.top, source);
      buffer.EndDraw(transparency);
      RestoreClip(target, saved);
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
          const uint32_t old = reinterpret_cast<const uint32_t*>(before.constScanLine(y))[x];
          const uint32_t got = reinterpret_cast<const uint32_t*>(image.constScanLine(y))[x];
          const bool clipped = (x < 20 && y < 12) || (x >= 9 && y >= 12);
          uint32_t want = old;
          if (clipped && x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom) {
            const uint32_t s = source.Row(y - rect.top)[x - rect.left];
            const uint32_t c = (s >> 24) * static_cast<uint32_t>(100 - transparency) / 100;
            if (c != 0) want = BlendPixel(old, s, c);
          }
          ASSERT_EQ(got, want) << format << " t=" << transparency << " at " << x << "," << y;
        }
    }
  }
}

// Blue over columns 0..11, then lime over columns 6..19, each through a buffer of its own.
void PaintTwo(TAlphaBuffer& buffer, Canvas& target, TColor colour, const TRect& fill) {
  ASSERT_TRUE(buffer.BeginDraw(&target, {0, 0, 20, 10}));
  buffer.GetCanvas()->SetBrush(Brush{BrushStyle::Solid, colour, nullptr});
  buffer.GetCanvas()->FillRect(fill);
}

TEST(TAlphaBuffer, NestedBuffersBlendLikeTheirPaintsInSequence) {
  // Nested: the inner paint blends straight into the outer buffer's pixels (over its blue, and
  // over pixels it left untouched), then the outer buffer blends into the image.
  for (int outerT : {0, 20}) {
    WhiteImage nested(20, 10);
    TAlphaBuffer outer;
    PaintTwo(outer, *nested.canvas, clBlue, {0, 0, 12, 10});
    TAlphaBuffer inner(&outer);
    PaintTwo(inner, *outer.GetCanvas(), clLime, {6, 0, 20, 10});
    inner.EndDraw(50);
    outer.EndDraw(outerT);

    // In sequence: blue at the outer's transparency, then lime at both together.
    WhiteImage sequential(20, 10);
    TAlphaBuffer one;
    PaintTwo(one, *sequential.canvas, clBlue, {0, 0, 12, 10});
    one.EndDraw(outerT);
    PaintTwo(one, *sequential.canvas, clLime, {6, 0, 20, 10});
    one.EndDraw(100 - 50 * (100 - outerT) / 100);

    for (int x = 0; x < 20; ++x) {
      // Where both paint, a group with a transparency of its own is not a sequence of paints.
      if (outerT != 0 && x >= 6 && x < 12) continue;
      const uint32_t a = nested.At(x, 5);
      const uint32_t b = sequential.At(x, 5);
      for (int shift : {0, 8, 16}) {
        EXPECT_LE(std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)), 2)
            << "outer " << outerT << " x " << x << " nested " << std::hex << a << " sequential " << b;
      }
    }
  }
}

TEST(TAlphaBuffer, RefusesASecondPaintAMissingTargetAndAnEmptyRect) {
  WhiteImage img(10, 10);
  TAlphaBuffer buffer;
  EXPECT_FALSE(buffer.BeginDraw(nullptr, {0, 0, 5, 5}));
  EXPECT_FALSE(buffer.BeginDraw(img.canvas.get(), {3, 3, 3, 8}));
  ASSERT_TRUE(buffer.BeginDraw(img.canvas.get(), {0, 0, 8, 6}));
  EXPECT_FALSE(buffer.BeginDraw(img.canvas.get(), {0, 0, 5, 5}));
  EXPECT_FALSE(buffer.CreateFromGraphic(nullptr));
  buffer.EndDraw(0);
  EXPECT_FALSE(buffer.Drawing());
  // The memory grows and is kept.
  ASSERT_TRUE(buffer.BeginDraw(img.canvas.get(), {0, 0, 3, 9}));
  EXPECT_EQ(buffer.AllocatedSize(), (TSize{8, 9}));
  buffer.EndDraw(-1);  // draws nothing, ends the paint
  EXPECT_FALSE(buffer.Drawing());
  // Without an off-screen canvas factory there is no paint.
  BitmapCanvasFactory* factory = SetBitmapCanvasFactory(nullptr);
  EXPECT_FALSE(buffer.BeginDraw(img.canvas.get(), {0, 0, 3, 3}));
  SetBitmapCanvasFactory(factory);
}

TEST(TAlphaBuffer, ATargetWithoutPixelsGetsThePaintedPixelsThroughTheirRegion) {
  testing::StartQt();
  RecordingCanvas target;
  TAlphaBuffer buffer;
  ASSERT_TRUE(buffer.BeginDraw(&target, {10, 10, 20, 20}));
  buffer.GetCanvas()->SetBrush(Brush{BrushStyle::Solid, clRed, nullptr});
  buffer.GetCanvas()->FillRect({12, 12, 14, 15});
  buffer.EndDraw(50);
  const auto lines = target.Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "SetPixels 10,10,10,10");
  ASSERT_TRUE(target.Commands()[0].region.has_value());
  EXPECT_EQ(*target.Commands()[0].region, Region::FromRect({12, 12, 14, 15}));
  EXPECT_FALSE(target.GetClipRgn().has_value());
}

// A graphic of two columns, red and green, with a clear row below.
class TwoColumns : public picture::Graphic {
 public:
  const char* ClassName() const override { return "TTwoColumns"; }
  std::unique_ptr<Graphic> Clone() const override { return std::make_unique<TwoColumns>(); }
  bool Empty() const override { return false; }
  int32_t Width() const override { return 2; }
  int32_t Height() const override { return 2; }
  void Draw(Canvas& canvas, const TRect& rect) const override {
    canvas.SetPixel(rect.left, rect.top, clRed);
    canvas.SetPixel(rect.left + 1, rect.top, clLime);
  }
  void LoadFromBytes(std::span<const uint8_t>) override {}
  std::vector<uint8_t> SaveToBytes() const override { return {}; }
};

TEST(TAlphaBuffer, PaintToSamplesNearestPixelsNeverPastTheLastColumnAndSkipsUntouched) {
  WhiteImage img(10, 4);
  TAlphaBuffer picture;
  TwoColumns graphic;
  ASSERT_TRUE(picture.CreateFromGraphic(&graphic));
  EXPECT_TRUE(picture.HoldsContent());
  TAlphaBuffer target;
  ASSERT_TRUE(target.BeginDraw(img.canvas.get(), {1, 0, 9, 4}));
  target.GetCanvas()->SetBrush(Brush{BrushStyle::Solid, clBlue, nullptr});
  target.GetCanvas()->FillRect({1, 0, 9, 4});
  // Five pixels wide from a source of two: 0, 0, 0, 1, 1; rows from a source of two rows.
  picture.PaintTo(target, {2, 0, 7, 4}, {0, 0, 2, 2});
  picture.PaintTo(target, {2, 0, 7, 4}, {1, 1, 3, 2});  // outside the content: nothing
  target.EndDraw(0);
  EXPECT_EQ(img.At(2, 0), static_cast<uint32_t>(clRed));
  EXPECT_EQ(img.At(4, 1), static_cast<uint32_t>(clRed));
  EXPECT_EQ(img.At(5, 0), static_cast<uint32_t>(clLime));
  EXPECT_EQ(img.At(6, 1), static_cast<uint32_t>(clLime));
  EXPECT_EQ(img.At(7, 0), static_cast<uint32_t>(clBlue));
  EXPECT_EQ(img.At(3, 2), static_cast<uint32_t>(clBlue));  // the clear row left the blue
  // With no graphic the content is freed.
  EXPECT_TRUE(picture.CreateFromGraphic(nullptr));
  EXPECT_FALSE(picture.HoldsContent());
  EXPECT_TRUE(picture.Pixels().Empty());
}

}  // namespace
}  // namespace pv::graphics

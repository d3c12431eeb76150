// Pixel blocks through the clip, off-screen canvases on bitmaps (with and without alpha), and
// the font's em square and pitch on the Qt canvas.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include "canvas/BitmapCanvas.h"
#include "qtcanvas/QtCanvas.h"
#include "qtcanvas/tests/TestApp.h"

using namespace pv::canvas;
using pv::qtcanvas::QtCanvas;

namespace {

using pv::qtcanvas::test::App;

TEST(QtPixels, ReadsOpaqueAndWritesOnlyThroughTheClip) {
  App();
  QImage image(20, 10, QImage::Format_RGB32);
  image.fill(QColor(0, 0, 255));
  QtCanvas canvas(image);
  Bitmap read;
  ASSERT_TRUE(canvas.GetPixels({18, 8, 22, 10}, read));
  EXPECT_TRUE(read.HasAlpha());
  EXPECT_EQ(read.Width(), 4);
  EXPECT_EQ(read.Row(0)[0], 0xFF0000FFu);  // inside, opaque
  EXPECT_EQ(read.Row(1)[3], 0u);           // outside the device

  canvas.IntersectClipRect({2, 2, 5, 5});
  Bitmap red = Bitmap::Argb(10, 10, 0x00FF0000u);  // alpha 0 is dropped on an opaque device
  canvas.SetPixels(0, 0, red);
  EXPECT_EQ(canvas.GetPixel(2, 2), 0x0000FFu);
  EXPECT_EQ(canvas.GetPixel(4, 4), 0x0000FFu);
  EXPECT_EQ(canvas.GetPixel(5, 4), 0xFF0000u);
  EXPECT_EQ(canvas.GetPixel(1, 2), 0xFF0000u);
  EXPECT_EQ(qAlpha(image.pixel(3, 3)), 255);
  canvas.SetPixels(-30, -30, red);  // wholly outside: nothing, no fault
}

// An unscaled copy of an opaque block goes straight into the image: only its source part,
// only through the clip and the device, opaque on a device with alpha too.
TEST(QtPixels, UnscaledBlockCopiesKeepToTheSourcePartAndTheClip) {
  App();
  Bitmap block(16, 12);
  for (int32_t y = 0; y < 12; ++y)
    for (int32_t x = 0; x < 16; ++x) block.Row(y)[x] = static_cast<uint32_t>((x * 16) << 16 | (y * 20) << 8 | 7);
  for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
    QImage image(30, 20, format);
    image.fill(QColor(0, 0, 255));
    QtCanvas canvas(image);
    canvas.IntersectClipRect({2, 2, 25, 15});
    const TRect dest{-3, 1, 9, 12};
    const TRect from{4, 1, 16, 12};
    canvas.StretchBlt(dest, block, from, Rop3::SrcCopy);
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 30; ++x) {
        const bool copied = x >= 2 && x < 9 && y >= 2 && y < 12;
        const uint32_t want =
            copied ? 0xFF000000u | block.Row(y - dest.top + from.top)[x - dest.left + from.left] : 0xFF0000FFu;
        ASSERT_EQ(image.pixel(x, y), want) << format << " at " << x << "," << y;
      }
  }
}

TEST(QtOffscreen, RegisteredFactoryPaintsIntoTheBitmapsMemory) {
  App();
  pv::qtcanvas::RegisterBitmapCanvasFactory();
  Bitmap bitmap(8, 8, clWhite);
  {
    auto canvas = CreateBitmapCanvas(bitmap);
    ASSERT_NE(canvas, nullptr);
    canvas->SetBrush(Brush{BrushStyle::Solid, clRed, nullptr});
    canvas->FillRect({2, 2, 4, 4});
  }
  EXPECT_EQ(bitmap.GetPixel(2, 2), 0x0000FFu);
  EXPECT_EQ(bitmap.GetPixel(4, 4), 0xFFFFFFu);
}

TEST(QtOffscreen, AlphaBitmapsGetOpaquePaintAndCopyInsteadOfRasterOperations) {
  App();
  pv::qtcanvas::RegisterBitmapCanvasFactory();
  Bitmap bitmap = Bitmap::Argb(10, 10, 0);
  {
    auto canvas = CreateBitmapCanvas(bitmap);
    ASSERT_NE(canvas, nullptr);
    canvas->SetPen(Pen{PenStyle::Solid, 1, clLime, PenMode::Xor});
    canvas->SetBrush(Brush{BrushStyle::Solid, clBlue, nullptr});
    canvas->Rectangle({1, 1, 6, 6});
  }
  EXPECT_EQ(bitmap.Row(0)[0], 0u);           // untouched stays clear
  EXPECT_EQ(bitmap.Row(1)[1], 0xFF00FF00u);  // the xor outline painted as a copy, opaque
  EXPECT_EQ(bitmap.Row(3)[3], 0xFF0000FFu);  // the fill, opaque blue
  EXPECT_EQ(bitmap.Row(6)[6], 0u);
}

TEST(QtFonts, EmSquareAndPitch) {
  App();
  QImage image(10, 10, QImage::Format_RGB32);
  QtCanvas canvas(image);
  EXPECT_EQ(canvas.GetFontEmSquare(), 2048);  // Liberation Sans, as Arial
  Font fixed = canvas.GetFont();
  fixed.name = "NoSuchFace";
  fixed.pitch = FontPitch::Fixed;
  fixed.height = -20;
  canvas.SetFont(fixed);
  EXPECT_EQ(canvas.TextWidth("iiii"), canvas.TextWidth("WWWW"));
}

}  // namespace

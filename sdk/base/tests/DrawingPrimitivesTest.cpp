#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TestImages.h"
#include "render/PixelCanvas.h"
#include "render/QualityColour.h"

using namespace vela::render;
using vela::test::StridedImage;

namespace {

constexpr Colour black{0, 0, 0};
constexpr Colour white{255, 255, 255};

StridedImage BlankImage(int32_t width, int32_t height, int32_t stride) {
  StridedImage image(width, height, 24, stride);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t i = 0; i < width * 3; ++i) image.GetData()[size_t(y * stride + i)] = 0;
  return image;
}

}  // namespace

TEST(QualityColour, CurveAndHuesAtTheirCorners) {
  struct Case {
    float t, curve;
  } curve[] = {{-1, 0}, {0.2f, 0.13684211f}, {0.5f, 0.5f}, {0.8f, 0.86315789f}, {1, 1}, {7, 1}};
  for (const Case& c : curve) EXPECT_NEAR(QualityCurve(c.t), c.curve, 1e-6) << c.t;
  EXPECT_FLOAT_EQ(QualityCurve(0.5f) * 120, 60) << "a quality of 50 is yellow";

  struct Hue {
    float hue;
    Colour colour;
  } hues[] = {{0, {0, 0, 255}},     {60, {0, 255, 255}},  {120, {0, 255, 0}},  {240, {255, 0, 0}},
              {300, {255, 0, 255}}, {-60, {255, 0, 255}}, {420, {0, 255, 255}}};
  for (const Hue& h : hues) {
    const Rgb rgb = HueToRgb(h.hue, 0.5f, 1.0f);
    const Colour bytes{uint8_t(rgb.blue * 255), uint8_t(rgb.green * 255), uint8_t(rgb.red * 255)};
    EXPECT_EQ(bytes, h.colour) << h.hue;
  }
  const Rgb dark = HueToRgb(0, 0.25f, 1.0f);
  EXPECT_FLOAT_EQ(dark.red, 0.5f);
  EXPECT_FLOAT_EQ(dark.green, 0);
  EXPECT_EQ(QualityColour(1), (Colour{0, 255, 0}));
  EXPECT_EQ(QualityColour(0), (Colour{0, 0, 255}));
  EXPECT_EQ(QualityColour(std::numeric_limits<float>::quiet_NaN()), (Colour{0, 0, 255}));
}

TEST(PixelCanvas, PixelsOutsideAreLeftAloneAndReadsClamp) {
  StridedImage image = BlankImage(4, 3, 16);  // 12 bytes of pixels, 4 of padding a row
  PixelCanvas canvas(image);
  canvas.SetPixelRgb(4, 0, white);
  canvas.SetPixelRgb(0, 3, white);
  canvas.SetPixelRgb(-1, 0, white);
  for (int i = 0; i < 48; ++i) EXPECT_EQ(image.GetData()[i], i % 16 < 12 ? 0 : 0xEE) << i;

  canvas.SetPixelRgb(3, 2, {1, 2, 3});
  EXPECT_EQ(image.GetData()[2 * 16 + 9], 1) << "rows are addressed by the image's row size";
  EXPECT_EQ(canvas.GetPixelRgb(10, 10), (Colour{1, 2, 3}));
  EXPECT_EQ(canvas.GetPixelRgb(-5, -5), black);
}

TEST(PixelCanvas, BlendTruncatesEachShareBeforeTheSum) {
  StridedImage image = BlankImage(1, 1, 3);
  PixelCanvas canvas(image);
  canvas.SetPixelRgb(0, 0, {100, 255, 0});
  canvas.SetOpacity(0.5f);
  canvas.BlendPixel(0, 0, {255, 255, 255});
  EXPECT_EQ(canvas.GetPixelRgb(0, 0), (Colour{177, 254, 127}));  // 127 + 50, 127 + 127, 127 + 0
}

TEST(PixelCanvas, LinesDrawBothEndsAndFarOffLinesStayCheap) {
  StridedImage image = BlankImage(8, 8, 24);
  PixelCanvas canvas(image);
  canvas.DrawLine(0, 0, 6, 2, white);  // one pixel a column, nearest the true line
  const int rowOf[7] = {0, 0, 1, 1, 1, 2, 2};
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < 8; ++y)
      EXPECT_EQ(canvas.GetPixelRgb(x, y), x < 7 && rowOf[x] == y ? white : black) << x << "," << y;
  canvas.DrawLine(0, 0, 6, 2, black);

  // A line of some 2e9 pixels crossing the image draws the part inside only.
  canvas.DrawLine(-1e9, 6, 1e9, 6, white);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(canvas.GetPixelRgb(x, 6), white) << x;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  canvas.DrawLine(nan, 0, 3, 0, white);
  canvas.DrawLine(1e300, -1e300, 2e300, 1e300, white);
  EXPECT_EQ(canvas.GetPixelRgb(3, 0), black);
}

TEST(PixelCanvas, OnlyTwentyFourBitImagesWithWholeRows) {
  StridedImage grey(4, 4, 8, 4);
  EXPECT_THROW(PixelCanvas{grey}, vela::base::exceptions::invalid_argument);
  StridedImage shortRows(4, 4, 24, 11);
  EXPECT_THROW(PixelCanvas{shortRows}, vela::base::exceptions::invalid_argument);
}

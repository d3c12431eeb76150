// Entities drawn on the Qt canvas, probed pixel by pixel.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <numbers>

#include "DXF_structs.h"
#include "qtcanvas/QtCanvas.h"

namespace pv::viewer {
namespace {

constexpr int kSize = 256;
constexpr int kCentre = kSize / 2;

QGuiApplication& App() {
  static int argc = 1;
  static char name[] = "viewer_canvas_tests";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  return app;
}

// The world's origin at the image centre, y upwards, `scale` pixels per unit.
canvas::TPoint ScaledMap(void* scale, const Point3D& p, const Matrix4x4* m) {
  const double s = *static_cast<const double*>(scale);
  const Point3D q = m ? DXF_Utils::TransformPoint(*m, p) : p;
  return {static_cast<int32_t>(std::lround(kCentre + q.x * s)), static_cast<int32_t>(std::lround(kCentre - q.y * s))};
}

class ArcPixels : public ::testing::Test {
 protected:
  void SetUp() override { App(); }

  // Draws the arc on a white picture and keeps the picture.
  void Draw(double startDegrees, double endDegrees, double radius, double scale) {
    image_ = QImage(kSize, kSize, QImage::Format_RGB32);
    image_.fill(Qt::white);
    qtcanvas::QtCanvas canvas(image_);
    canvas::Brush clear;
    clear.style = canvas::BrushStyle::Clear;
    canvas.SetBrush(clear);
    Arc_(WCS_Z_Axis, 5, startDegrees, endDegrees, radius, WCS_Origin).Draw(canvas, nullptr, ScaledMap, &scale);
  }
  bool Inked(int x, int y) const {
    return x >= 0 && y >= 0 && x < kSize && y < kSize && image_.pixel(x, y) != qRgb(255, 255, 255);
  }
  int Ink() const {
    int n = 0;
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) n += Inked(x, y) ? 1 : 0;
    }
    return n;
  }
  // Ink within two pixels of the point of the circle at the angle (the canvas keeps an
  // ellipse inside its box, so the outline may sit a pixel in).
  bool InkAt(double degrees, double pixels) const {
    const double a = degrees * std::numbers::pi / 180.0;
    const int x = static_cast<int>(std::lround(kCentre + pixels * std::cos(a)));
    const int y = static_cast<int>(std::lround(kCentre - pixels * std::sin(a)));
    for (int dy = -2; dy <= 2; ++dy) {
      for (int dx = -2; dx <= 2; ++dx) {
        if (Inked(x + dx, y + dy)) return true;
      }
    }
    return false;
  }

  QImage image_;
};

// Ends that meet (or pass each other) on screen must not turn a sliver into a whole circle,
// and an arc that is almost a whole turn is drawn all round.
TEST_F(ArcPixels, ShortAndAlmostWholeArcsAtSeveralZooms) {
  for (double scale : {0.5, 1.0, 2.0, 5.0}) {
    for (double start : {0.0, 10.0, 45.0, 100.0, 200.0, 300.0}) {
      const double pixels = 20 * scale;
      Draw(start, start + 0.05, 20, scale);
      EXPECT_LE(Ink(), 3) << "0.05 degrees from " << start << " at scale " << scale;
      EXPECT_TRUE(InkAt(start, pixels)) << "0.05 degrees from " << start << " at scale " << scale;
      EXPECT_FALSE(InkAt(start + 180, pixels)) << "0.05 degrees from " << start << " at scale " << scale;

      Draw(start, start + 359.95, 20, scale);
      EXPECT_GE(Ink(), static_cast<int>(4 * pixels)) << "359.95 degrees from " << start << " at scale " << scale;
      for (double at : {90.0, 180.0, 270.0}) {
        EXPECT_TRUE(InkAt(start + at, pixels)) << "359.95 degrees from " << start << " at scale " << scale << " at " << at;
      }
    }
  }
  // A quarter stays a quarter.
  Draw(0, 90, 20, 2.0);
  EXPECT_TRUE(InkAt(45, 40));
  EXPECT_FALSE(InkAt(225, 40));
}

}  // namespace
}  // namespace pv::viewer

// Caps drawn on the Qt canvas at several rotations: every painted pixel lies within the cap's
// extent turned into the line's direction, grown by the pen width.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <numbers>
#include <string>

#include "qtcanvas/QtCanvas.h"
#include "shapes/LineCaps.h"

using namespace pv::canvas;
using namespace pv::graphics;
using pv::qtcanvas::QtCanvas;

namespace {

void App() {
  static int argc = 1;
  static char name[] = "graphics_shapes_qt_tests";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
}

TEST(LineCapsQt, PaintedPixelsStayWithinTheRotatedExtent) {
  App();
  const TPoint e{100, 100};
  for (int32_t style = -18; style <= -1; ++style) {
    for (int32_t size : {7, 20}) {
      for (int32_t penWidth : {1, 3}) {
        for (int degrees : {0, 90, 180, 270, 35, 150, 225, 330}) {
          const double t = degrees * std::numbers::pi / 180;
          const TPoint from{e.x - static_cast<int32_t>(std::lround(60 * std::cos(t))),
                            e.y - static_cast<int32_t>(std::lround(60 * std::sin(t)))};
          QImage image(200, 200, QImage::Format_RGB32);
          image.fill(Qt::white);
          {
            QtCanvas canvas(image);
            const TPoint points[] = {from, e};
            const uint8_t types[] = {cptNode, cptEnd};
            DrawLineCaps(canvas, penWidth, {}, {style, clBlack, clRed, size}, points, types);
          }
          TLineCapInfo info;
          ASSERT_TRUE(GetLineCapInfo(style, size, info));
          const double len = std::hypot(e.x - from.x, e.y - from.y);
          const double ux = (e.x - from.x) / len, uy = (e.y - from.y) / len;
          const double tolerance = penWidth + 1.0;
          const std::string where = "style " + std::to_string(style) + " size " + std::to_string(size) + " pen " +
                                    std::to_string(penWidth) + " angle " + std::to_string(degrees);
          int painted = 0, outside = 0;
          for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
              if (image.pixel(x, y) == qRgb(255, 255, 255)) continue;
              ++painted;
              const double dx = x - e.x, dy = y - e.y;
              const double along = dx * ux + dy * uy, across = dx * uy - dy * ux;
              if (along < info.left - tolerance || along > info.right + tolerance || across < info.top - tolerance ||
                  across > info.bottom + tolerance) {
                ++outside;
              }
            }
          }
          EXPECT_GT(painted, 0) << where;
          EXPECT_EQ(outside, 0) << where;
        }
      }
    }
  }
}

}  // namespace

// Precise layout over a real outline font (the Qt canvas): widths come from the font's design
// units whatever the zoom, and code page 1251 bytes are measured as the characters they stand for.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "qtcanvas/QtCanvas.h"
#include "text/TextFormator.h"

using namespace pv::canvas;
using namespace pv::graphics;
using pv::qtcanvas::QtCanvas;

namespace {

void App() {
  static int argc = 1;
  static char name[] = "graphics_text_qt_tests";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
}

const std::string kText =
    "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor incididunt ut labore "
    "et dolore magna aliqua.\r\nUt enim ad minim veniam, quis nostrud exercitation ullamco laboris-nisi ut "
    "aliquip ex ea commodo consequat. \xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!";

std::vector<std::string> Breaks(const TTextFormator& f, const std::string& text, int64_t limit) {
  std::vector<std::string> lines;
  TLineBreaker breaker(text, f.Widths(), limit, true);
  for (TTextLine line; breaker.NextLine(line);) lines.push_back(text.substr(line.start, line.end - line.start));
  return lines;
}

TEST(TextFormatorQt, SameBreaksAndDesignWidthsAtScales50To400) {
  App();
  std::vector<std::vector<std::string>> breaks;
  std::vector<TSize> sizes;
  for (int32_t scale : {50000, 100000, 400000}) {
    QImage image(400, 400, QImage::Format_RGB32);
    QtCanvas canvas(image);
    Font font;
    font.height = -13 * scale / 100000;
    canvas.SetFont(font);
    TTextFormator f;
    ASSERT_TRUE(f.Setup(canvas, true, true, PreciseEmPixels(scale, -13)));
    EXPECT_GT(f.EmSize(), 0);
    const int32_t limit = PreciseWrapWidth(200, f.EmSize(), -13);  // a 200 px box at 100 %
    breaks.push_back(Breaks(f, kText, limit));
    TSize size;
    int32_t lines = 0;
    f.MeasureText(kText, limit, true, size, lines);
    sizes.push_back(size);
    EXPECT_EQ(lines, static_cast<int32_t>(breaks.back().size()));
    for (const std::string& line : breaks.back()) {
      if (MeasureLine(line, f.Widths()).width > limit) {
        EXPECT_EQ(line.find(' '), std::string::npos) << "a wide line must be one word: " << line;
      }
    }
  }
  EXPECT_GT(breaks[0].size(), 4u);
  EXPECT_EQ(breaks[0], breaks[1]);
  EXPECT_EQ(breaks[1], breaks[2]);
  EXPECT_EQ(sizes[0].cx, sizes[1].cx);
  EXPECT_EQ(sizes[1].cx, sizes[2].cx);
}

TEST(TextFormatorQt, CyrillicBytesAreMeasuredAsCyrillicLetters) {
  App();
  QImage image(100, 100, QImage::Format_RGB32);
  QtCanvas canvas(image);
  TTextFormator f;
  ASSERT_TRUE(f.Setup(canvas, true, true, 13));
  Font design = canvas.GetFont();
  design.height = -f.EmSize();
  canvas.SetFont(design);
  const auto sha = canvas.GetCharABCWidths(0x0428, 0x0428);  // the letter byte 0xD8 stands for
  const auto oSlash = canvas.GetCharABCWidths(0x00D8, 0x00D8);
  ASSERT_EQ(sha.size(), 1u);
  const int32_t shaWidth = sha[0].a + static_cast<int32_t>(sha[0].b) + sha[0].c;
  EXPECT_EQ(f.Widths().width[0xD8], shaWidth);
  EXPECT_NE(shaWidth, oSlash[0].a + static_cast<int32_t>(oSlash[0].b) + oSlash[0].c);
}

TEST(TextFormatorQt, DrawnTextStaysInItsBox) {
  App();
  QImage image(300, 300, QImage::Format_RGB32);
  image.fill(Qt::white);
  QtCanvas canvas(image);
  Font font;
  font.height = -13;
  canvas.SetFont(font);
  TTextFormator f;
  ASSERT_TRUE(f.Setup(canvas, true, true, 13));
  const int32_t limit = PreciseWrapWidth(150, f.EmSize(), -13);
  f.DrawLines({20, 20, 170, 280}, kText, limit, true, TTextAlignment::LeftJustify, true);
  int inked = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == qRgb(255, 255, 255)) continue;
      ++inked;
      EXPECT_GE(x, 18);
      EXPECT_LT(x, 173);  // the box plus a glyph's overhang
    }
  }
  EXPECT_GT(inked, 500);
}

}  // namespace

// The canvas draws the common shapes through QPainter's direct calls where those give the
// same pixels as stroking and filling paths. Each case here is drawn both ways, over a
// background of varied colours so that every raster operation shows, and the two pictures
// must be identical to the pixel.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>

#include "qtcanvas/QtCanvas.h"
#include "qtcanvas/tests/TestApp.h"

using namespace pv::canvas;
using pv::qtcanvas::QtCanvas;

namespace {

using pv::qtcanvas::test::App;

constexpr int kSize = 96;

QImage Background() {
  QImage image(kSize, kSize, QImage::Format_RGB32);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) image.setPixel(x, y, qRgb((x * 37) & 0xFF, (y * 53) & 0xFF, ((x ^ y) * 29) & 0xFF));
  }
  return image;
}

using Drawing = std::function<void(Canvas&)>;

QImage Render(const Drawing& draw, bool direct) {
  QImage image = Background();
  {
    QtCanvas canvas(image);
    canvas.SetDirectCalls(direct);
    draw(canvas);
  }
  return image;
}

// The first differing pixel, or an empty text when the pictures agree.
std::string FirstDifference(const QImage& a, const QImage& b) {
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) {
        return "(" + std::to_string(x) + ", " + std::to_string(y) + "): direct " + std::to_string(a.pixel(x, y) & 0xFFFFFF) +
               ", path " + std::to_string(b.pixel(x, y) & 0xFFFFFF);
      }
    }
  }
  return {};
}

void ExpectSamePixels(const std::string& what, const Drawing& draw) {
  const QImage direct = Render(draw, true);
  EXPECT_EQ(FirstDifference(direct, Render(draw, false)), "") << what;
  // Only for cases that paint: a drawing that left the background as it was proves nothing.
  if (what.find("mode 11") == std::string::npos) {
    EXPECT_NE(FirstDifference(direct, Background()), "") << what;
  }
}

struct PenCase {
  int32_t width;
  PenStyle style;
  PenMode mode;
};

std::vector<PenCase> PenCases() {
  std::vector<PenCase> cases;
  for (int32_t width : {0, 1, 3}) {
    for (PenStyle style : {PenStyle::Solid, PenStyle::Dash, PenStyle::InsideFrame}) {
      for (int mode = static_cast<int>(PenMode::Black); mode <= static_cast<int>(PenMode::White); ++mode) {
        cases.push_back({width, style, static_cast<PenMode>(mode)});
      }
    }
  }
  return cases;
}

std::string Describe(const PenCase& pen) {
  return "width " + std::to_string(pen.width) + ", style " + std::to_string(static_cast<int>(pen.style)) + ", mode " +
         std::to_string(static_cast<int>(pen.mode));
}

void UsePen(Canvas& canvas, const PenCase& c, TColor color = 0x3050C0) {
  Pen pen;
  pen.width = c.width;
  pen.style = c.style;
  pen.mode = c.mode;
  pen.color = color;
  canvas.SetPen(pen);
}

void UseBrush(Canvas& canvas, BrushStyle style) {
  Brush brush;
  brush.style = style;
  brush.color = 0x20A040;
  canvas.SetBrush(brush);
}

class QtCanvasDirectTest : public ::testing::Test {
 protected:
  void SetUp() override { App(); }
};

TEST_F(QtCanvasDirectTest, LinesInEveryOctantAndOfZeroLength) {
  for (const PenCase& pen : PenCases()) {
    ExpectSamePixels("lines, " + Describe(pen), [&](Canvas& c) {
      UsePen(c, pen);
      const TPoint centre{48, 48};
      for (int i = 0; i < 16; ++i) {
        const double a = i * 3.14159265358979 / 8 + 0.1;
        c.MoveTo(centre.x, centre.y);
        c.LineTo(centre.x + static_cast<int>(40 * std::cos(a)), centre.y + static_cast<int>(40 * std::sin(a)));
      }
      for (const auto& [x0, y0, x1, y1] : std::vector<std::array<int, 4>>{
               {5, 5, 5, 5}, {10, 3, 30, 3}, {30, 6, 10, 6}, {3, 10, 3, 30}, {6, 30, 6, 10}, {80, 80, 81, 81},
               {90, 2, 91, 2}, {-20, 50, 120, 51}, {50, -30, 52, 130}}) {
        c.MoveTo(x0, y0);
        c.LineTo(x1, y1);
      }
    });
  }
}

TEST_F(QtCanvasDirectTest, JoinedLinesAndPolylines) {
  for (const PenCase& pen : PenCases()) {
    ExpectSamePixels("polyline, " + Describe(pen), [&](Canvas& c) {
      UsePen(c, pen);
      const std::vector<TPoint> zigzag{{4, 4}, {40, 10}, {8, 30}, {60, 44}, {60, 44}, {20, 90}, {90, 60}};
      c.Polyline(zigzag);
      c.MoveTo(70, 5);
      for (const TPoint& p : std::vector<TPoint>{{90, 5}, {90, 25}, {70, 25}, {70, 5}}) c.LineTo(p.x, p.y);
    });
  }
}

TEST_F(QtCanvasDirectTest, EllipsesOfEverySmallSize) {
  for (const PenCase& pen : PenCases()) {
    for (BrushStyle brush : {BrushStyle::Clear, BrushStyle::Solid, BrushStyle::Cross}) {
      ExpectSamePixels("ellipses, " + Describe(pen) + ", brush " + std::to_string(static_cast<int>(brush)),
                       [&](Canvas& c) {
                         UsePen(c, pen);
                         UseBrush(c, brush);
                         int x = 1;
                         int y = 1;
                         for (int size = 1; size <= 50; ++size) {
                           const int h = size / 2 + 1;
                           if (x + size >= kSize) {
                             x = 1;
                             y += 24;
                           }
                           c.Ellipse({x, y % kSize, x + size, y % kSize + h});
                           x += size + 1;
                         }
                         c.Ellipse({60, 60, 30, 30});  // given the wrong way round
                       });
    }
  }
}

TEST_F(QtCanvasDirectTest, RectanglesArcsAndPies) {
  for (const PenCase& pen : PenCases()) {
    for (BrushStyle brush : {BrushStyle::Clear, BrushStyle::Solid}) {
      ExpectSamePixels("rectangles and arcs, " + Describe(pen), [&](Canvas& c) {
        UsePen(c, pen);
        UseBrush(c, brush);
        c.Rectangle({2, 2, 30, 20});
        c.Rectangle({40, 2, 41, 3});
        c.Rectangle({50, 2, 52, 40});
        c.Arc({10, 40, 50, 80}, {50, 60}, {30, 40});
        c.Arc({55, 40, 95, 70}, {95, 50}, {95, 50});  // equal radials: the whole ellipse
        c.Arc({5, 82, 25, 94}, {25, 88}, {24, 89});
        c.Pie({60, 72, 90, 94}, {90, 80}, {60, 80});
      });
    }
  }
}

TEST_F(QtCanvasDirectTest, TextAtEveryAlignmentLevelAndTurned) {
  for (uint32_t horizontal : {TA_LEFT, TA_CENTER, TA_RIGHT}) {
    for (uint32_t vertical : {TA_TOP, TA_BASELINE, TA_BOTTOM}) {
      for (int32_t escapement : {0, 300}) {
        for (BkMode mode : {BkMode::Transparent, BkMode::Opaque}) {
          ExpectSamePixels("text, align " + std::to_string(horizontal | vertical) + ", escapement " +
                               std::to_string(escapement),
                           [&](Canvas& c) {
                             Font font = c.GetFont();
                             font.name = "Arial";
                             font.height = -14;
                             font.escapement = escapement;
                             font.color = 0x102030;
                             c.SetFont(font);
                             c.SetBkMode(mode);
                             c.SetTextAlign(horizontal | vertical);
                             c.TextOut(48, 30, "Wg 12");
                             c.TextOut(20, 60, "second");
                             const std::vector<int32_t> advances{9, 9, 9};
                             c.ExtTextOut(60, 70, ETO_CLIPPED, nullptr, "abc", advances);
                             TRect box{5, 75, 90, 95};
                             c.DrawText("drawn text", box, DT_CENTER);
                             // Kerned pairs, a trailing space and a line break measure and
                             // place as the plain route does; so do underline and strike-out.
                             c.TextOut(50, 10, "AVAT To ");
                             c.TextOut(50, 45, "a\nb\u2028c");
                             font.underline = true;
                             font.strikeOut = true;
                             font.weight = 700;
                             c.SetFont(font);
                             c.TextOut(30, 88, "Wave");
                           });
        }
      }
    }
  }
}

// Texts written again (in another place, colour or background, after other fonts) are
// written from the shaping kept from their first time, and paint as a fresh shaping does.
TEST_F(QtCanvasDirectTest, TextWrittenAgainFromItsKeptShaping) {
  for (BkMode mode : {BkMode::Transparent, BkMode::Opaque}) {
    ExpectSamePixels("texts written again, background " + std::to_string(static_cast<int>(mode)), [&](Canvas& c) {
      c.SetBkMode(mode);
      c.SetBkColor(0xE0F0D0);
      Font font = c.GetFont();
      font.name = "Arial";
      for (int round = 0; round < 3; ++round) {
        for (int32_t height : {-9, -14, 12}) {
          font.height = height;
          font.color = 0x102030 * (round + 1);
          c.SetFont(font);
          c.SetTextAlign(round == 1 ? (TA_CENTER | TA_BASELINE) : (TA_LEFT | TA_TOP));
          const int y = 4 + round * 30 + (height == 12 ? 14 : height == -14 ? 7 : 0);
          c.TextOut(3 + round * 5, y, "T1204");
          c.TextOut(48 + round, y + 3, "AVAT");
          c.TextOut(70, y, "a\u2028b");
        }
      }
    });
  }
}

// Many distinct labels, as a drawing writes them at a zoom: the first lines teach their font the
// pairs the later ones are laid out from. The same labels at two heights, one label written by
// many entities in other places and colours, turned labels between level ones, and lines of
// other characters paint as a fresh shaping of each does.
TEST_F(QtCanvasDirectTest, ManyLabelsLaidOutFromLearnedPairs) {
  for (int32_t height : {3, 4, 9, 12, -14}) {
    for (uint32_t horizontal : {TA_LEFT, TA_CENTER, TA_RIGHT}) {
      for (BkMode mode : {BkMode::Transparent, BkMode::Opaque}) {
        ExpectSamePixels("labels, height " + std::to_string(height) + ", align " + std::to_string(horizontal) +
                             ", background " + std::to_string(static_cast<int>(mode)),
                         [&](Canvas& c) {
                           Font font = c.GetFont();
                           font.name = "Arial";
                           c.SetBkMode(mode);
                           c.SetBkColor(0xE0F0D0);
                           c.SetTextAlign(horizontal | TA_BASELINE);
                           const int row = std::max(4, std::abs(height));
                           for (int i = 0; i < 40; ++i) {
                             // Every fourth label a pixel higher: the same text at two heights.
                             font.height = height + (height > 0 && i % 4 == 3 ? 1 : 0);
                             font.color = 0x101010 * (1 + i % 7);
                             font.escapement = i % 9 == 8 ? 900 : 0;
                             c.SetFont(font);
                             const int x = 24 + (i % 3) * 30;
                             const int y = row + (i / 3) * row % (kSize - row);
                             c.TextOut(x, y, "T" + std::to_string(i * 37 % 101));
                             if (i % 5 == 0) c.TextOut(x - 10, y + 2, "AVAT To ");
                             if (i % 8 == 0) c.TextOut(x, y, "r\xC3\xA9sum\xC3\xA9");
                           }
                         });
      }
    }
  }
}

// Shapes and labels a few pixels inside, across and past each edge of the picture: those left
// out for lying outside it must be exactly those that paint nothing there, whatever the pen.
TEST_F(QtCanvasDirectTest, ShapesAndLabelsAtThePicturesEdges) {
  std::vector<PenCase> pens;
  for (const PenCase& pen : PenCases()) {
    if (pen.mode == PenMode::Copy || pen.mode == PenMode::Xor) pens.push_back(pen);
  }
  pens.push_back({9, PenStyle::Solid, PenMode::Copy});
  pens.push_back({9, PenStyle::InsideFrame, PenMode::Copy});
  for (const PenCase& pen : pens) {
    for (int32_t height : {-14, 3}) {
      ExpectSamePixels("edges, " + Describe(pen) + ", height " + std::to_string(height), [&](Canvas& c) {
        UsePen(c, pen);
        UseBrush(c, BrushStyle::Solid);
        Font font = c.GetFont();
        font.name = "Arial";
        font.height = height;
        font.color = 0x2040A0;
        c.SetFont(font);
        c.SetBkMode(BkMode::Transparent);
        for (int d : {-9, -5, -3, -2, -1, 0, 1, 2, 4}) {
          const int a = 30 + 3 * d;  // along the edge, so that the cases do not overlap
          c.Ellipse({d - 20, a, d, a + 9});
          c.Ellipse({kSize - d, a, kSize + 20 - d, a + 9});
          c.Arc({a, d - 16, a + 12, d}, {a + 12, d - 8}, {a, d - 8});
          c.Arc({a, kSize - d, a + 12, kSize + 16 - d}, {a, kSize + 8 - d}, {a + 12, kSize + 8 - d});
          c.SetTextAlign(TA_RIGHT | TA_BASELINE);
          c.TextOut(d, a, "fj1");
          c.SetTextAlign(TA_LEFT | TA_BASELINE);
          c.TextOut(kSize - d, a, "Wf");
          c.SetTextAlign(TA_CENTER | TA_BOTTOM);
          c.TextOut(a, d, "gjy");
          c.SetTextAlign(TA_CENTER | TA_TOP);
          c.TextOut(a, kSize - d, "T[");
        }
      });
    }
  }
}

TEST(ShapedTextCacheTest, KeepsLinesFromTheirSecondWritingInTwoGenerations) {
  App();
  QImage image(8, 8, QImage::Format_RGB32);
  pv::qtcanvas::ShapedTextCache cache(2);
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(12);
  // Asked for twice, a text is kept from then on.
  auto keep = [&](int fontId, const char* text) {
    cache.Get(fontId, font, text, &image);
    return cache.Get(fontId, font, text, &image);
  };
  EXPECT_EQ(cache.Get(0, font, "one", &image), nullptr);
  const auto* one = cache.Get(0, font, "one", &image);
  ASSERT_NE(one, nullptr);
  ASSERT_NE(one->layout, nullptr);
  EXPECT_GT(one->width, 0);
  EXPECT_EQ(cache.Get(0, font, "one", &image), one);
  for (const char* text : {"two", "three", "four", "five"}) keep(0, text);
  // "one" and "two" left with the first full generation.
  EXPECT_EQ(cache.Size(), 3u);
  // A line found in the older generation moves to the newer, keeping its shaping.
  const QTextLayout* four = cache.Get(0, font, "four", &image)->layout.get();
  keep(0, "six");
  EXPECT_EQ(cache.Get(0, font, "four", &image)->layout.get(), four);
  // The same text in another font is another line; a broken text is kept as no line.
  EXPECT_EQ(cache.Get(1, font, "four", &image), nullptr);
  const auto* broken = keep(0, "a\u2028b");
  ASSERT_NE(broken, nullptr);
  EXPECT_EQ(broken->layout, nullptr);
}

// A repaint at a new text height writes each text of a drawing once: the cache keeps next to
// none of them, since shaping a line to keep costs more than writing it.
TEST(ShapedTextCacheTest, KeepsAlmostNoneOfManyTextsWrittenOnce) {
  App();
  QImage image(8, 8, QImage::Format_RGB32);
  pv::qtcanvas::ShapedTextCache cache;
  QFont font(QStringLiteral("Liberation Serif"));
  font.setPixelSize(3);
  constexpr int kTexts = 16000;
  int kept = 0;
  for (int i = 0; i < kTexts; ++i) kept += cache.Get(7, font, "T" + std::to_string(i), &image) != nullptr;
  EXPECT_LE(kept, kTexts / 100);
  EXPECT_EQ(cache.Size(), static_cast<size_t>(kept));
  // Written again, every one is kept.
  for (int i = 0; i < 300; ++i) EXPECT_NE(cache.Get(7, font, "T" + std::to_string(i), &image), nullptr) << i;
}

// The table of a generation grows as lines come: every line kept before is found again, with
// its own shaping, after many more were added.
TEST(ShapedTextCacheTest, FindsEveryKeptLineAfterItsTableGrew) {
  App();
  QImage image(8, 8, QImage::Format_RGB32);
  pv::qtcanvas::ShapedTextCache cache(1000);
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(12);
  std::vector<std::string> texts;
  std::vector<const QTextLayout*> layouts;
  for (int i = 0; i < 300; ++i) {
    texts.push_back("w" + std::to_string(i * 7919));
    cache.Get(i % 3, font, texts.back(), &image);
    const auto* line = cache.Get(i % 3, font, texts.back(), &image);
    ASSERT_NE(line, nullptr);
    layouts.push_back(line->layout.get());
  }
  EXPECT_EQ(cache.Size(), 300u);
  for (int i = 0; i < 300; ++i) {
    const auto* line = cache.Get(i % 3, font, texts[static_cast<size_t>(i)], &image);
    ASSERT_NE(line, nullptr) << texts[static_cast<size_t>(i)];
    EXPECT_EQ(line->layout.get(), layouts[static_cast<size_t>(i)]) << texts[static_cast<size_t>(i)];
    EXPECT_EQ(line->layout->text().toStdString(), texts[static_cast<size_t>(i)]);
  }
}

}  // namespace

// A clip decides which pixels may change, never which pixels a shape has: inside the clip the
// picture is the unclipped one, whichever route draws it.
TEST_F(QtCanvasDirectTest, AClipKeepsTheShapesOwnPixelsInsideIt) {
  const TRect clip{20, 12, 70, 60};
  for (bool direct : {true, false}) {
    for (const PenCase& pen : PenCases()) {
      const Drawing draw = [&](Canvas& c) {
        UsePen(c, pen);
        UseBrush(c, BrushStyle::Solid);
        c.Rectangle({2, 2, 30, 20});  // its bottom-right corner lies inside the clip
        c.Rectangle({60, 50, 90, 80});  // its top-left corner lies inside the clip
        c.MoveTo(5, 5);
        c.LineTo(40, 30);
        c.Ellipse({10, 40, 30, 70});
      };
      const QImage whole = Render(draw, direct);
      const QImage clipped = Render(
          [&](Canvas& c) {
            c.IntersectClipRect(clip);
            draw(c);
          },
          direct);
      for (int y = clip.top; y < clip.bottom; ++y) {
        for (int x = clip.left; x < clip.right; ++x) {
          if (whole.pixel(x, y) != clipped.pixel(x, y)) {
            ADD_FAILURE() << (direct ? "direct, " : "path, ") << Describe(pen) << ": (" << x << ", " << y << ")";
            y = clip.bottom;
            break;
          }
        }
      }
    }
  }
}

// A shape that reaches past the picture's top-left edge keeps the pixels it has inside it:
// drawn shifted, every pixel still in the picture is the unshifted picture's. (Dashed pens
// are left out: their pattern starts afresh where the picture cuts the line.)
TEST_F(QtCanvasDirectTest, ShapesCutByThePicturesEdgeKeepTheirPixels) {
  const int dx = 40, dy = 30;
  for (bool direct : {true, false}) {
    for (const PenCase& pen : PenCases()) {
      if (pen.style == PenStyle::Dash) continue;
      const auto draw = [&](Canvas& c, int ox, int oy) {
        UsePen(c, pen);
        UseBrush(c, BrushStyle::Solid);
        c.Rectangle({10 - ox, 10 - oy, 70 - ox, 50 - oy});
        c.Ellipse({20 - ox, 15 - oy, 80 - ox, 60 - oy});
        c.MoveTo(12 - ox, 55 - oy);
        c.LineTo(85 - ox, 35 - oy);
      };
      QImage whole(kSize, kSize, QImage::Format_RGB32);
      whole.fill(Qt::white);
      QImage shifted = whole;
      {
        QtCanvas canvas(whole);
        canvas.SetDirectCalls(direct);
        draw(canvas, 0, 0);
      }
      {
        QtCanvas canvas(shifted);
        canvas.SetDirectCalls(direct);
        draw(canvas, dx, dy);
      }
      bool same = true;
      for (int y = dy; y < kSize && same; ++y) {
        for (int x = dx; x < kSize; ++x) {
          if (whole.pixel(x, y) != shifted.pixel(x - dx, y - dy)) {
            ADD_FAILURE() << (direct ? "direct, " : "path, ") << Describe(pen) << ": (" << x << ", " << y << ")";
            same = false;
            break;
          }
        }
      }
    }
  }
}

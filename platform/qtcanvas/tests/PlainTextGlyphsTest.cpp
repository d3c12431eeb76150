// Plain text laid out from learned characters and pairs puts Qt's own glyphs at Qt's own
// places: each case learns from a few lines and is checked against Qt's shaping of lines it
// never saw.
#include <gtest/gtest.h>

#include <QImage>
#include <QTextLayout>
#include <QTextLine>
#include <random>
#include <string>
#include <vector>

#include "qtcanvas/PlainTextGlyphs.h"
#include "qtcanvas/ShapedTextCache.h"
#include "qtcanvas/tests/TestApp.h"

namespace {

using pv::qtcanvas::PlainTextGlyphs;
using pv::qtcanvas::ShapedTextCache;
using pv::qtcanvas::test::App;
using Layout = PlainTextGlyphs::Layout;

struct FontCase {
  const char* face;
  int pixels;
  bool bold;
  bool italic;
  int stretch;  // 100 for none
};

QFont MakeFont(const FontCase& c) {
  QFont font(QString::fromLatin1(c.face));
  font.setStyleStrategy(QFont::NoAntialias);
  font.setPixelSize(c.pixels);
  font.setWeight(c.bold ? QFont::Bold : QFont::Normal);
  font.setItalic(c.italic);
  if (c.stretch != 100) font.setStretch(c.stretch);
  return font;
}

std::string Describe(const FontCase& c) {
  return std::string(c.face) + " " + std::to_string(c.pixels) + (c.bold ? " bold" : "") + (c.italic ? " italic" : "") +
         " stretch " + std::to_string(c.stretch);
}

// Lays the line out, shaping it and learning its pairs when they are new, as the canvas does.
Layout LayOrLearn(PlainTextGlyphs& glyphs, const QFont& font, const std::string& text, QImage& device) {
  const Layout first = glyphs.Lay(text, &device);
  if (first != Layout::Unlearned) return first;
  const ShapedTextCache::Line line = ShapedTextCache::Shape(font, text, &device);
  if (line.layout) glyphs.Learn(text, *line.layout, &device);
  return glyphs.Lay(text, &device);
}

// Qt's shaping of the line against the laid one: an empty text when they agree.
std::string Compare(const PlainTextGlyphs& glyphs, const QFont& font, const std::string& text, QImage& device) {
  const ShapedTextCache::Line line = ShapedTextCache::Shape(font, text, &device);
  if (!line.layout) return "Qt broke the line";
  const QList<QGlyphRun> runs = line.layout->glyphRuns();
  if (runs.size() != 1) return "Qt wrote " + std::to_string(runs.size()) + " runs";
  const QGlyphRun& laid = glyphs.Run();
  if (laid.glyphIndexes() != runs[0].glyphIndexes()) return "other glyphs";
  const QList<QPointF> want = runs[0].positions();
  const QList<QPointF> got = laid.positions();
  if (want.size() != got.size()) return "other glyph count";
  for (qsizetype i = 0; i < want.size(); ++i) {
    // Qt places the glyphs on the line's baseline, the laid line on y = 0.
    if (got[i] != QPointF(want[i].x(), want[i].y() - want[0].y())) {
      return "glyph " + std::to_string(i) + " at " + std::to_string(got[i].x()) + " instead of " +
             std::to_string(want[i].x());
    }
  }
  if (glyphs.Width() != line.width) return "width " + std::to_string(glyphs.Width()) + " for " + std::to_string(line.width);
  return {};
}

// Lines of printable characters, the same for every run.
std::vector<std::string> Lines(unsigned seed, int count) {
  std::mt19937 rng(seed);
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) {
    std::string line;
    const int length = 1 + static_cast<int>(rng() % 9);
    for (int j = 0; j < length; ++j) line += static_cast<char>(0x20 + rng() % 95);
    lines.push_back(line);
  }
  return lines;
}

class PlainTextGlyphsTest : public ::testing::Test {
 protected:
  // The image is made with the application: before it, an image takes another resolution.
  void SetUp() override {
    App();
    device_ = QImage(8, 8, QImage::Format_RGB32);
  }
  QImage device_;
};

// Learned from one set of lines, the pairs lay out another set as Qt shapes it: kerned pairs,
// spaces (a trailing one too), and the tiny heights of a whole drawing's texts.
TEST_F(PlainTextGlyphsTest, LaysOutUnseenLinesAsQtShapesThem) {
  const std::vector<FontCase> cases{
      {"Liberation Sans", 2, false, false, 100},  {"Liberation Sans", 3, false, false, 100},
      {"Liberation Sans", 7, false, false, 100},  {"Liberation Sans", 13, false, false, 100},
      {"Liberation Sans", 24, true, false, 100},  {"Liberation Serif", 11, false, true, 100},
      {"Liberation Serif", 30, true, true, 100},  {"Liberation Mono", 9, false, false, 100},
      {"Liberation Sans", 14, false, false, 140}, {"Liberation Serif", 17, false, false, 70},
  };
  const std::vector<std::string> teach = Lines(11, 400);
  std::vector<std::string> check = Lines(12, 150);
  for (const char* line : {"AVAT To ", "Wave", "T1204", "LT", "P.", "Ty,", "11"}) check.push_back(line);
  bool kerned = false;
  for (const FontCase& c : cases) {
    const QFont font = MakeFont(c);
    PlainTextGlyphs glyphs(font);
    for (const std::string& line : teach) LayOrLearn(glyphs, font, line, device_);
    for (const std::string& line : check) {
      // A line may still hold a pair the teaching lines lacked: it is learned first.
      ASSERT_EQ(LayOrLearn(glyphs, font, line, device_), Layout::Laid) << Describe(c) << " '" << line << "'";
      EXPECT_EQ(Compare(glyphs, font, line, device_), "") << Describe(c) << " '" << line << "'";
    }
    // The cases must hold kerning, or they would pass with the characters' own advances.
    if (glyphs.Lay("AV", &device_) == Layout::Laid) {
      const qreal pair = glyphs.Run().positions()[1].x();
      glyphs.Lay("A", &device_);
      kerned = kerned || pair != glyphs.Width();
    }
  }
  EXPECT_TRUE(kerned);
}

// Thousands of distinct numbers, as a drawing's labels: after the first few lines every one is
// laid out without shaping, and each is Qt's shaping.
TEST_F(PlainTextGlyphsTest, LearnsTheFewPairsOfManyDistinctLines) {
  const QFont font = MakeFont({"Liberation Sans", 4, false, false, 100});
  PlainTextGlyphs glyphs(font);
  int unlearned = 0;
  for (int i = 0; i < 3000; ++i) {
    const std::string line = "T" + std::to_string(i * 7);
    if (glyphs.Lay(line, &device_) == Layout::Unlearned) {
      ++unlearned;
      ASSERT_EQ(LayOrLearn(glyphs, font, line, device_), Layout::Laid) << line;
    }
    if (i % 50 == 0) EXPECT_EQ(Compare(glyphs, font, line, device_), "") << line;
  }
  // "T" and the digits make 110 pairs; each line teaches at least one new one.
  EXPECT_GT(unlearned, 0);
  EXPECT_LE(unlearned, 110);
}

// Characters outside printable ASCII, an empty line, and a pair that shaping wrote otherwise
// than as its two characters' glyphs stay with Qt's shaping.
TEST_F(PlainTextGlyphsTest, LeavesOtherLinesToShaping) {
  const QFont font = MakeFont({"Liberation Sans", 12, false, false, 100});
  PlainTextGlyphs glyphs(font);
  for (const char* line : {"", "caf\xC3\xA9", "a\tb", "a\nb", "\x7F"}) {
    EXPECT_EQ(glyphs.Lay(line, &device_), Layout::NotPlain) << line;
  }
  EXPECT_EQ(glyphs.Lay("ok", &device_), Layout::Unlearned);
  // Taught "ok" from the shaping of another line, the pair is not plain from then on.
  const ShapedTextCache::Line other = ShapedTextCache::Shape(font, "oo", &device_);
  ASSERT_NE(other.layout, nullptr);
  glyphs.Learn("ok", *other.layout, &device_);
  EXPECT_EQ(glyphs.Lay("ok", &device_), Layout::NotPlain);
  EXPECT_EQ(glyphs.Lay("look", &device_), Layout::NotPlain);
  EXPECT_EQ(glyphs.Lay("lo", &device_), Layout::Unlearned);
  // A pair taught two different advances depends on more than the pair: here the second
  // shaping spaced the words wider, which moves the glyph after the space.
  const ShapedTextCache::Line spaced = ShapedTextCache::Shape(font, "i l", &device_);
  QFont wider = font;
  wider.setWordSpacing(5);
  const ShapedTextCache::Line widened = ShapedTextCache::Shape(wider, "i l", &device_);
  ASSERT_NE(spaced.layout, nullptr);
  ASSERT_NE(widened.layout, nullptr);
  glyphs.Learn("i l", *spaced.layout, &device_);
  ASSERT_EQ(glyphs.Lay("i l", &device_), Layout::Laid);
  glyphs.Learn("i l", *widened.layout, &device_);
  EXPECT_EQ(glyphs.Lay("i l", &device_), Layout::NotPlain);
  EXPECT_EQ(glyphs.Lay("i ", &device_), Layout::Laid);
}

// Canvases on images of one resolution share what a font learned; another font, or an image
// of another resolution (for which a font may resolve otherwise), has glyphs of its own.
TEST_F(PlainTextGlyphsTest, SharedByFontAndResolution) {
  const QFont font = MakeFont({"Liberation Sans", 5, false, false, 100});
  QImage other(8, 8, QImage::Format_RGB32);
  const auto glyphs = PlainTextGlyphs::Shared(font, &device_);
  ASSERT_NE(glyphs, nullptr);
  EXPECT_EQ(PlainTextGlyphs::Shared(font, &other), glyphs);
  EXPECT_NE(PlainTextGlyphs::Shared(MakeFont({"Liberation Sans", 6, false, false, 100}), &device_), glyphs);
  QImage finer(8, 8, QImage::Format_RGB32);
  finer.setDotsPerMeterX(2 * device_.dotsPerMeterX());
  finer.setDotsPerMeterY(2 * device_.dotsPerMeterY());
  EXPECT_NE(PlainTextGlyphs::Shared(font, &finer), glyphs);
  // A pair learned through one canvas' device lays lines out for the next.
  ASSERT_EQ(LayOrLearn(*glyphs, font, "T7", device_), Layout::Laid);
  EXPECT_EQ(PlainTextGlyphs::Shared(font, &other)->Lay("T77", &other), Layout::Unlearned);
  EXPECT_EQ(PlainTextGlyphs::Shared(font, &other)->Lay("7T7", &other), Layout::Unlearned);
  ASSERT_EQ(LayOrLearn(*glyphs, font, "77T", other), Layout::Laid);
  EXPECT_EQ(PlainTextGlyphs::Shared(font, &other)->Lay("T777T7", &other), Layout::Laid);
  EXPECT_EQ(Compare(*glyphs, font, "T777T7", other), "");
}

}  // namespace

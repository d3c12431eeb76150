// Precise layout on the recording canvas, whose fixed metrics make every position predictable:
// an em square of 2048 design units, every character 1024 units wide, a cell of 2304 units.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "canvas/RecordingCanvas.h"
#include "text/TextFormator.h"

using namespace pv::canvas;
using namespace pv::graphics;

namespace {

constexpr int32_t kChar = 1024;  // design units per character on the recording canvas

struct DrawnRun {
  int32_t x = 0;
  int32_t y = 0;
  std::string text;
  std::vector<int32_t> advances;
  int32_t Right() const {
    int32_t r = x;
    for (int32_t a : advances) r += a;
    return r;
  }
};

std::vector<DrawnRun> Runs(const RecordingCanvas& canvas) {
  std::vector<DrawnRun> runs;
  for (const auto& c : canvas.Commands()) {
    if (c.op == CanvasOp::ExtTextOut) runs.push_back({c.args[0], c.args[1], c.text, c.counts});
  }
  return runs;
}

// Sets the canvas font for a panel scale (100000 = 100 %) and the formator up for it.
bool SetupAt(TTextFormator& f, RecordingCanvas& canvas, int32_t scale, int32_t fontHeight = -13) {
  Font font;
  font.height = -std::abs(fontHeight) * scale / 100000;
  canvas.SetFont(font);
  return f.Setup(canvas, true, true, PreciseEmPixels(scale, fontHeight));
}

TEST(TextFormator, ReadsDesignMetricsAndRoundsHeightsUpToWholePixels) {
  RecordingCanvas canvas;
  TTextFormator f;
  ASSERT_TRUE(SetupAt(f, canvas, 100000));
  EXPECT_TRUE(f.HasFont());
  EXPECT_EQ(f.EmSize(), 2048);
  EXPECT_DOUBLE_EQ(f.Scale(), 13.0 / 2048);
  EXPECT_EQ(f.Widths().width['A'], kChar);
  EXPECT_EQ(f.Widths().width[0xCF], kChar);
  // 2304 units are 14.625 px: up to 15 whole pixels, back in design units.
  EXPECT_EQ(f.CellHeight(), static_cast<int32_t>(std::nearbyint(15 / (13.0 / 2048))));
  EXPECT_EQ(f.LineHeight(), f.CellHeight());
  // The canvas' own font and state are left as they were.
  EXPECT_EQ(canvas.GetFont().height, -13);
}

TEST(TextFormator, LineBreaksAreTheSameAtEveryScale) {
  const std::string text = "The quick brown fox jumps over the lazy dog; a well-known pangram\r\nwith a second line";
  std::vector<std::vector<std::string>> linesAt;
  std::vector<int32_t> tops;
  for (int32_t scale : {50000, 100000, 400000}) {
    RecordingCanvas canvas;
    TTextFormator f;
    ASSERT_TRUE(SetupAt(f, canvas, scale));
    canvas.Clear();
    f.DrawLines({0, 0, 1000, 1000}, text, 16 * kChar, false, TTextAlignment::LeftJustify, true);
    std::vector<std::string> lines;
    for (const auto& run : Runs(canvas)) lines.push_back(run.text);
    linesAt.push_back(lines);
    tops.push_back(Runs(canvas).back().y);
    for (const auto& line : lines) EXPECT_LE(line.size(), 16u) << line;
  }
  EXPECT_EQ(linesAt[0], linesAt[1]);
  EXPECT_EQ(linesAt[1], linesAt[2]);
  EXPECT_GT(linesAt[0].size(), 3u);
  EXPECT_LT(tops[0], tops[1]);
  EXPECT_LT(tops[1], tops[2]);
}

TEST(TextFormator, AdvancesRoundCumulativePositions) {
  RecordingCanvas canvas;
  TTextFormator f;
  ASSERT_TRUE(SetupAt(f, canvas, 100000));  // 6.5 px per character
  canvas.Clear();
  f.DrawLines({10, 20, 500, 500}, "abcdefghij", 100 * kChar, false, TTextAlignment::LeftJustify, false);
  const auto runs = Runs(canvas);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].x, 10);
  EXPECT_EQ(runs[0].y, 20);
  ASSERT_EQ(runs[0].advances.size(), 10u);
  double exact = 0;
  int32_t drawn = 0;
  for (int32_t a : runs[0].advances) {
    exact += 6.5;
    drawn += a;
    EXPECT_LE(std::fabs(drawn - exact), 0.5);  // never more than half a pixel off
  }
  EXPECT_EQ(drawn, 65);
}

TEST(TextFormator, AlignsAndJustifiesWithinTheWidth) {
  RecordingCanvas canvas;
  TTextFormator f;
  ASSERT_TRUE(SetupAt(f, canvas, 200000));  // 13 px per character
  const int32_t width = 20 * kChar;         // 260 px
  struct Case {
    TTextAlignment alignment;
    bool justify;
    int32_t firstX;
    int32_t lastRight;
  } cases[] = {
      {TTextAlignment::LeftJustify, false, 5, 5 + 7 * 13},
      {TTextAlignment::RightJustify, false, 5 + 260 - 91, 5 + 260},
      {TTextAlignment::Center, false, 5 + (260 - 91) / 2, 5 + (260 - 91) / 2 + 91},
      {TTextAlignment::LeftJustify, true, 5, 5 + 260},
      {TTextAlignment::Center, true, 5, 5 + 260},
  };
  for (const auto& c : cases) {
    canvas.Clear();
    f.DrawLines({5, 0, 400, 400}, "ab cd e", width, c.justify, c.alignment, true);
    const auto runs = Runs(canvas);
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.front().x, c.firstX) << static_cast<int>(c.alignment) << " " << c.justify;
    EXPECT_EQ(runs.back().Right(), c.lastRight) << static_cast<int>(c.alignment) << " " << c.justify;
    EXPECT_EQ(runs.size(), c.justify ? 3u : 1u);
  }
  // A line of one word is not spread.
  canvas.Clear();
  f.DrawLines({5, 0, 400, 400}, "abc", width, true, TTextAlignment::LeftJustify, true);
  ASSERT_EQ(Runs(canvas).size(), 1u);
  EXPECT_EQ(Runs(canvas)[0].Right(), 5 + 39);
}

TEST(TextFormator, MeasuresWidestLineAndLineHeights) {
  RecordingCanvas canvas;
  TTextFormator f;
  ASSERT_TRUE(SetupAt(f, canvas, 100000));
  TSize size;
  int32_t lines = 0;
  f.MeasureText("abc\r\nabcdef\r\nab", 100 * kChar, false, size, lines);
  EXPECT_EQ(lines, 3);
  EXPECT_EQ(size.cx, 6 * kChar);
  EXPECT_EQ(size.cy, 3 * f.LineHeight());
  EXPECT_EQ(f.LastLine().width, 2 * kChar);
  f.MeasureText("abc\r\nabcdef\r\nab", 100 * kChar, false, size, lines, false);
  EXPECT_EQ(size.cx, 39);  // 6 characters of 6.5 px
  EXPECT_EQ(size.cy, 45);  // three lines of 15 px
  // An empty text still measures one line high.
  f.MeasureText("", 100 * kChar, true, size, lines);
  EXPECT_EQ(lines, 0);
  EXPECT_EQ(size.cx, 0);
  EXPECT_EQ(size.cy, f.LineHeight());
}

TEST(TextFormator, WritesCodePage1251AsUnicode) {
  RecordingCanvas canvas;
  TTextFormator f;
  ASSERT_TRUE(SetupAt(f, canvas, 100000));
  canvas.Clear();
  f.DrawLines({0, 0, 100, 100}, "\xCF\xF0\xE8\xE2\xE5\xF2 \xB9", 100 * kChar, false, TTextAlignment::LeftJustify,
              false);
  const auto runs = Runs(canvas);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].text, "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x84\x96");  // "Привет №"
  EXPECT_EQ(runs[0].advances.size(), 8u);  // one advance per character, not per byte
  // Control characters (tabs, DEL, the unassigned 0x98) have no glyph and are not written.
  canvas.Clear();
  f.DrawLines({0, 0, 100, 100}, "a\t\x7F\x98z", 100 * kChar, false, TTextAlignment::LeftJustify, false);
  ASSERT_EQ(Runs(canvas).size(), 1u);
  EXPECT_EQ(Runs(canvas)[0].text, "az");
  EXPECT_EQ(Runs(canvas)[0].advances, (std::vector<int32_t>{6, 7}));
}

// Font heights: a height of 0 used to divide by zero and a positive one gave a negative em.
TEST(TextFormator, FontHeightCountsByItsMagnitudeAndZeroLaysOutNothing) {
  EXPECT_DOUBLE_EQ(PreciseEmPixels(100000, -13), 13.0);
  EXPECT_DOUBLE_EQ(PreciseEmPixels(100000, 13), 13.0);
  EXPECT_DOUBLE_EQ(PreciseEmPixels(100000, 0), 0.0);
  EXPECT_EQ(PreciseWrapWidth(130, 2048, -13), 20480);
  EXPECT_EQ(PreciseWrapWidth(130, 2048, 13), 20480);
  EXPECT_EQ(PreciseWrapWidth(130, 2048, 0), 0);
  EXPECT_EQ(PreciseWrapWidth(int64_t{1} << 40, 2048, -1), INT32_MAX);

  RecordingCanvas negative, positive;
  TTextFormator a, b;
  ASSERT_TRUE(SetupAt(a, negative, 100000, -13));
  ASSERT_TRUE(SetupAt(b, positive, 100000, 13));
  negative.Clear();
  positive.Clear();
  a.DrawLines({0, 0, 100, 100}, "ab cd", 3 * kChar, false, TTextAlignment::LeftJustify, true);
  b.DrawLines({0, 0, 100, 100}, "ab cd", 3 * kChar, false, TTextAlignment::LeftJustify, true);
  EXPECT_EQ(negative.Lines(), positive.Lines());
  EXPECT_EQ(negative.Count(CanvasOp::ExtTextOut), 2u);

  RecordingCanvas zero;
  TTextFormator z;
  EXPECT_FALSE(SetupAt(z, zero, 100000, 0));
  zero.Clear();
  z.DrawLines({0, 0, 100, 100}, "ab cd", 3 * kChar, false, TTextAlignment::LeftJustify, true);
  EXPECT_EQ(zero.Count(CanvasOp::ExtTextOut), 0u);
  TSize size{1, 1};
  int32_t lines = 7;
  z.MeasureText("ab cd", 3 * kChar, true, size, lines);
  EXPECT_EQ(size, (TSize{0, 0}));
  EXPECT_EQ(lines, 0);
}

// A first word wider than the box used to stop the layout from advancing.
TEST(TextFormator, WordWiderThanTheBoxGetsItsOwnLine) {
  RecordingCanvas canvas;
  TTextFormator f;
  ASSERT_TRUE(SetupAt(f, canvas, 100000));
  canvas.Clear();
  f.DrawLines({0, 0, 100, 100}, "extraordinary words here", 4 * kChar, false, TTextAlignment::LeftJustify, true);
  std::vector<std::string> lines;
  for (const auto& run : Runs(canvas)) lines.push_back(run.text);
  EXPECT_EQ(lines, (std::vector<std::string>{"extraordinary", "words", "here"}));
}

TEST(TextFormator, FollowsAChangedFontAndKeepsAnUnchangedOne) {
  RecordingCanvas canvas;
  TTextFormator f;
  ASSERT_TRUE(SetupAt(f, canvas, 100000));
  Font bold = canvas.GetFont();
  bold.weight = FW_BOLD;
  canvas.SetFont(bold);
  canvas.Clear();
  ASSERT_TRUE(f.Setup(canvas, true, true, 13));
  EXPECT_EQ(f.Widths().width['a'], kChar + 1);  // read again: bold characters are wider here
  EXPECT_GT(canvas.Count(CanvasOp::SetFont), 0u);
  canvas.Clear();
  bold.color = clRed;
  canvas.SetFont(bold);
  ASSERT_TRUE(f.Setup(canvas, true, true, 26));  // only the colour and size changed
  EXPECT_EQ(canvas.Count(CanvasOp::SetFont), 1u);  // the one above, no second reading
  EXPECT_DOUBLE_EQ(f.Scale(), 26.0 / 2048);
}

}  // namespace

// The text control on the recording canvas, whose fixed metrics make every position
// predictable: a font of em height e has a cell of e + e / 8 pixels and characters e / 2 wide
// (the default font, -11000 document units, is 5 px a character and 12 px a line at 100 %);
// in design units the em is 2048 and every character 1024.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "canvas/RecordingCanvas.h"
#include "document/testing/TestVexaPanel.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaText.h"

namespace pv::graphics {
namespace {

using canvas::CanvasOp;
using canvas::RecordingCanvas;
using test::TTestVexaPanel;

constexpr uint32_t kAlways = canvas::DT_EXPANDTABS | canvas::DT_NOPREFIX;

// Keeps the format of every DrawText, measuring included (the record keeps only drawing).
class FormatCanvas : public RecordingCanvas {
 public:
  int32_t DrawText(std::string_view text, TRect& rect, uint32_t format) override {
    formats.push_back(format);
    return RecordingCanvas::DrawText(text, rect, format);
  }
  std::vector<uint32_t> formats;
};

struct TextFixture : ::testing::Test {
  TextFixture() {
    RegisterShapeClasses();
    previous = canvas::SetBitmapCanvasFactory(&factory);
    panel.NewDocument();
    text = New(panel);
    text->SetName("text");
    text->SetDocRect({0, 0, 200000, 100000});
  }
  ~TextFixture() override { canvas::SetBitmapCanvasFactory(previous); }

  static TVexaText* New(TTestVexaPanel& p) {
    return TVexaControl::New<TVexaText>(&p, p.GetActiveScheme(), p.GetActiveLayer());
  }
  // Paints the text at the panel's scale; the canvas keeps what was drawn.
  void Paint(RecordingCanvas& canvas) {
    canvas.Clear();
    text->Paint(canvas, panel.DocToPixelRect(text->GetDocRect()));
  }
  static std::vector<const canvas::CanvasCommand*> Ops(const RecordingCanvas& canvas, CanvasOp op) {
    std::vector<const canvas::CanvasCommand*> out;
    for (const auto& c : canvas.Commands()) {
      if (c.op == op) out.push_back(&c);
    }
    return out;
  }
  static TRect RectOf(const canvas::CanvasCommand& c) { return {c.args[0], c.args[1], c.args[2], c.args[3]}; }

  canvas::RecordingBitmapCanvasFactory factory;
  canvas::BitmapCanvasFactory* previous = nullptr;
  TTestVexaPanel panel;
  TVexaText* text = nullptr;
};

TEST_F(TextFixture, CreatesAClearBoxWithItsNameAsText) {
  panel.autoNames = true;
  TVexaText* named = New(panel);
  EXPECT_EQ(named->Text().GetText(), named->GetName());
  EXPECT_FALSE(named->GetName().empty());
  EXPECT_EQ(named->Brush().GetColor(), canvas::clNone);
  EXPECT_EQ(named->Pen().GetStyle(), canvas::PenStyle::Clear);
  EXPECT_EQ(named->FrameWidth(), 0);
  EXPECT_EQ(named->GetCreateCursor(), 10);
  EXPECT_EQ(named->CreateCurveControl(), nullptr);
  for (const char* name : {"Brush", "Pen", "Roundness", "AutoSize", "Text", "Font", "WordWrap", "Grayed", "Angle",
                           "Alignment", "Layout", "Precise", "PreciseJustify"}) {
    EXPECT_NE(named->Props().PropByName(name), nullptr) << name;
  }
}

TEST_F(TextFixture, PlainTextHasExactDrawTextFlags) {
  text->Text().SetText("Hello");
  struct Case {
    bool wordWrap;
    int alignment;
    uint32_t flags;
  } cases[] = {
      {false, 0, kAlways},
      {true, 0, kAlways | canvas::DT_WORDBREAK},
      {false, 1, kAlways | canvas::DT_RIGHT},
      {true, 2, kAlways | canvas::DT_WORDBREAK | canvas::DT_CENTER},
  };
  for (const Case& c : cases) {
    text->SetWordWrap(c.wordWrap);
    text->SetAlignment(c.alignment);
    FormatCanvas canvas;
    Paint(canvas);
    const auto drawn = Ops(canvas, CanvasOp::DrawText);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(static_cast<uint32_t>(drawn[0]->args[4]), c.flags) << c.wordWrap << " " << c.alignment;
    // No pen and no corners: the text keeps off the box's right and bottom pixel.
    EXPECT_EQ(RectOf(*drawn[0]), (TRect{0, 0, 199, 99}));
    EXPECT_EQ(drawn[0]->text, "Hello");
    // Measuring asks for the same layout, with the rectangle computed instead of drawn.
    canvas.formats.clear();
    TRect rect{0, 0, 200, 0};
    text->TextRect(canvas, rect, false, true);
    EXPECT_EQ(canvas.formats, (std::vector<uint32_t>{c.flags | canvas::DT_CALCRECT}));
    EXPECT_EQ(rect, (TRect{0, 0, 25000, 12000}));  // 5 characters of 5 px, one 12 px line, in document units
  }
}

TEST_F(TextFixture, LayoutMovesShortTextDownAndCodePage1251IsDrawnAsUnicode) {
  text->Text().SetText("\xCF\xF0\xE8\r\nab");  // two lines of 12 px in an inner height of 99
  struct Case {
    int layout;
    TRect drawn;
  } cases[] = {{0, {0, 0, 199, 99}}, {1, {0, 37, 199, 61}}, {2, {0, 75, 199, 99}}};
  for (const Case& c : cases) {
    text->SetLayout(c.layout);
    RecordingCanvas canvas;
    Paint(canvas);
    const auto drawn = Ops(canvas, CanvasOp::DrawText);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(RectOf(*drawn[0]), c.drawn) << c.layout;
    EXPECT_EQ(drawn[0]->text, "\xD0\x9F\xD1\x80\xD0\xB8\r\nab");  // "При"
  }
}

TEST_F(TextFixture, GrayedTextIsALightCopyUnderTheShadowColour) {
  text->Text().SetText("Hi");
  text->SetGrayed(true);
  RecordingCanvas canvas;
  Paint(canvas);
  std::vector<std::pair<TRect, canvas::TColor>> drawn;
  canvas::TColor colour = 0;
  for (const auto& c : canvas.Commands()) {
    if (c.op == CanvasOp::SetFont) colour = c.font.color;
    if (c.op == CanvasOp::DrawText) drawn.push_back({RectOf(c), colour});
  }
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0], std::make_pair(TRect{1, 1, 200, 100}, canvas::clBtnHighlight));
  EXPECT_EQ(drawn[1], std::make_pair(TRect{0, 0, 199, 99}, canvas::clBtnShadow));
  // Measuring counts the extra pixel.
  TRect rect{0, 0, 200, 0};
  text->TextRect(canvas, rect, false, true);
  EXPECT_EQ(rect, (TRect{0, 0, 11000, 13000}));
}

TEST_F(TextFixture, TurnedTextStartsAtTheCornerOfItsQuadrant) {
  text->Text().SetText("ab\r\ncd");
  struct Case {
    int32_t angle;
    TPoint start;
  } cases[] = {{30, {0, 50}}, {90, {0, 100}}, {120, {100, 100}}, {210, {200, 50}}, {300, {100, 0}}};
  for (const Case& c : cases) {
    text->SetAngle(c.angle);
    RecordingCanvas canvas;
    TRect rect{0, 0, 200, 100};
    text->TextRect(canvas, rect, true, false);
    const auto out = Ops(canvas, CanvasOp::TextOut);
    ASSERT_EQ(out.size(), 1u) << c.angle;
    EXPECT_EQ((TPoint{out[0]->args[0], out[0]->args[1]}), c.start) << c.angle;
    EXPECT_EQ(out[0]->text, "ab cd");  // one line
    const auto fonts = Ops(canvas, CanvasOp::SetFont);
    ASSERT_FALSE(fonts.empty());
    EXPECT_EQ(fonts.back()->font.escapement, c.angle * 10);
    EXPECT_EQ(canvas.GetFont().escapement, 0);  // the canvas's font is put back afterwards
    // Measured, a turned text has no extent.
    TRect measured{0, 0, 200, 0};
    text->TextRect(canvas, measured, false, true);
    EXPECT_EQ(measured, (TRect{0, 0, 0, 0}));
  }
}

TEST_F(TextFixture, RotatingByMinus90GivesAngle270AndEndsAutoSize) {
  text->SetAutoSize(true);
  text->Rotate({100000, 50000, -90, false});
  EXPECT_EQ(text->GetAngle(), 270);
  EXPECT_FALSE(text->GetAutoSize());
  text->Rotate({100000, 50000, 90, false});
  EXPECT_EQ(text->GetAngle(), 0);
  text->Rotate({100000, 50000, 725, false});
  EXPECT_EQ(text->GetAngle(), 5);
}

TEST_F(TextFixture, AutoSizeFollowsTheTextAndWordWrapKeepsWidthWritable) {
  text->Text().SetText("abc\r\nabcdef");
  text->SetAutoSize(true);
  EXPECT_EQ(text->GetWidth(), 30000);
  EXPECT_EQ(text->GetHeight(), 24000);
  text->SetWidth(90000);
  text->SetHeight(90000);
  EXPECT_EQ(text->GetWidth(), 30000);  // read-only while the box follows its text
  EXPECT_EQ(text->GetHeight(), 24000);
  text->Text().SetText("a");
  EXPECT_EQ(text->GetWidth(), 5000);
  EXPECT_EQ(text->GetHeight(), 12000);
  // A frame adds its width on every side.
  text->Pen().SetStyle(canvas::PenStyle::Solid);
  text->Pen().SetWidth(2000);
  EXPECT_EQ(text->GetWidth(), 9000);
  EXPECT_EQ(text->GetHeight(), 16000);
  text->Pen().SetStyle(canvas::PenStyle::Clear);

  text->Text().SetText("aa bb cc dd");
  text->SetWordWrap(true);
  text->SetWidth(30000);  // 6 characters: "aa bb" / "cc dd"
  EXPECT_EQ(text->GetWidth(), 30000);
  EXPECT_EQ(text->GetHeight(), 24000);
  text->SetWidth(15000);  // 3 characters: a word a line
  EXPECT_EQ(text->GetWidth(), 15000);
  EXPECT_EQ(text->GetHeight(), 48000);
  text->SetAutoSize(false);
  text->SetHeight(5000);
  EXPECT_EQ(text->GetHeight(), 5000);
}

TEST_F(TextFixture, RefreshRectCoversAnAutoSizedTextThatOverhangsItsBox) {
  text->Text().SetText("abcdefgh");  // one word of 40 px that can't wrap
  text->SetWordWrap(true);
  text->SetAutoSize(true);
  text->SetWidth(20000);
  EXPECT_EQ(text->GetHeight(), 12000);
  struct Case {
    int alignment;
    TRect refresh;
  } cases[] = {{0, {5000, 7000, 45000, 19000}}, {1, {-15000, 7000, 45000, 19000}}, {2, {-5000, 7000, 55000, 19000}}};
  for (const Case& c : cases) {
    text->SetAlignment(c.alignment);
    EXPECT_EQ(text->GetRefreshRect(5000, 7000), c.refresh) << c.alignment;
  }
  // Without AutoSize, or in precise mode, the box is the extent.
  text->SetPrecise(true);
  EXPECT_EQ(text->GetRefreshRect(0, 0), (TRect{0, 0, 20000, text->GetHeight()}));
}

std::vector<std::string> RunTexts(const RecordingCanvas& canvas) {
  std::vector<std::string> runs;
  for (const auto& c : canvas.Commands()) {
    if (c.op == CanvasOp::ExtTextOut) runs.push_back(c.text);
  }
  return runs;
}

TEST_F(TextFixture, PreciseLineBreaksAreTheSameAtScales50To400) {
  const std::string words =
      "The quick brown fox jumps over the lazy dog; a well-known pangram with "
      "an incomprehensibilities-riddled supercalifragilistic word\r\nand a second paragraph";
  text->Text().SetText(words);
  text->SetPrecise(true);
  text->SetWordWrap(true);
  text->SetWidth(150000);
  text->SetHeight(400000);
  const int32_t limit = PreciseWrapWidth(150000, RecordingCanvas::kEmSquare, -11000);  // 27 characters
  std::vector<std::vector<std::string>> linesAt;
  for (int32_t scale : {50, 100, 400}) {
    panel.scale = scale;
    RecordingCanvas canvas;
    Paint(canvas);
    linesAt.push_back(RunTexts(canvas));
    const TRect box = panel.DocToPixelRect(text->GetDocRect());
    for (const auto& c : canvas.Commands()) {
      if (c.op != CanvasOp::ExtTextOut) continue;
      const bool oneWord = c.text.find(' ') == std::string::npos;
      // Design widths: 1024 a character.
      if (!oneWord) {
        EXPECT_LE(static_cast<int32_t>(c.text.size()) * 1024, limit) << c.text;
      }
      // The text takes the same share of the box at every zoom.
      int32_t right = c.args[0];
      for (int32_t a : c.counts) right += a;
      if (!oneWord) {
        EXPECT_LE(right, box.right) << scale << " " << c.text;
      }
    }
  }
  ASSERT_GT(linesAt[0].size(), 5u);
  EXPECT_EQ(linesAt[0], linesAt[1]);
  EXPECT_EQ(linesAt[1], linesAt[2]);
  // The long word is on a line of its own, wider than the box, and the layout went on after it.
  EXPECT_NE(std::find(linesAt[1].begin(), linesAt[1].end(), "incomprehensibilities-"), linesAt[1].end());
  EXPECT_EQ(linesAt[1].back(), "and a second paragraph");
}

TEST_F(TextFixture, PreciseFontHeightCountsByItsMagnitudeAndZeroDrawsNothing) {
  text->Text().SetText("one two three four five six");
  text->SetPrecise(true);
  text->SetWordWrap(true);
  text->SetWidth(60000);
  RecordingCanvas negative;
  Paint(negative);
  text->Font().SetHeight(11000);
  RecordingCanvas positive;
  Paint(positive);
  EXPECT_EQ(RunTexts(negative), RunTexts(positive));
  EXPECT_GT(RunTexts(positive).size(), 2u);
  TRect measured{0, 0, 0, 0};
  text->TextRect(positive, measured, false, true);
  EXPECT_GT(measured.right, 0);
  EXPECT_GT(measured.bottom, 0);

  text->Font().SetHeight(0);
  RecordingCanvas zero;
  Paint(zero);
  EXPECT_TRUE(RunTexts(zero).empty());
  TRect none{0, 0, 0, 0};
  text->TextRect(zero, none, false, true);
  EXPECT_EQ(none, (TRect{0, 0, 0, 0}));
}

TEST_F(TextFixture, EmptyTextDrawsNothingAndMeasuresOneLineInPreciseMode) {
  text->Text().SetText("");
  for (bool precise : {false, true}) {
    text->SetPrecise(precise);
    RecordingCanvas canvas;
    Paint(canvas);
    EXPECT_EQ(canvas.Count(CanvasOp::DrawText) + canvas.Count(CanvasOp::ExtTextOut), 0u);
  }
  RecordingCanvas canvas;
  TRect rect{0, 0, 0, 0};
  text->TextRect(canvas, rect, false, true);
  // One line of 13 whole pixels (a 12.4 px cell rounded up), in document units.
  EXPECT_EQ(rect.right, 0);
  EXPECT_NEAR(rect.bottom, 13000, 5);
}

TEST_F(TextFixture, PreciseLayoutAlignsAndMovesDown) {
  text->Text().SetText("ab");
  text->SetPrecise(true);
  text->SetAlignment(1);
  text->SetLayout(2);
  RecordingCanvas canvas;
  Paint(canvas);
  const auto runs = Ops(canvas, CanvasOp::ExtTextOut);
  ASSERT_EQ(runs.size(), 1u);
  int32_t right = runs[0]->args[0];
  for (int32_t a : runs[0]->counts) right += a;
  EXPECT_NEAR(right, 199, 1);                // flush right in the inner box
  EXPECT_EQ(runs[0]->args[1], 99 - 13);      // flush with the bottom: one 13 px line
}

// Loaded documents may hold any value: none of them may overflow or stop the text painting.
TEST_F(TextFixture, ExtremeValuesStayInRange) {
  text->Text().SetText("one two three");
  text->SetAngle(INT32_MAX);
  text->Rotate({0, 0, INT32_MAX, false});
  EXPECT_GE(text->GetAngle(), 0);
  EXPECT_LT(text->GetAngle(), 360);
  text->SetAngle(INT32_MIN);
  RecordingCanvas turned;
  Paint(turned);
  ASSERT_EQ(Ops(turned, CanvasOp::TextOut).size(), 1u);
  EXPECT_EQ(Ops(turned, CanvasOp::SetFont).back()->font.escapement, INT32_MIN % 360 * 10);
  text->SetAngle(0);

  for (bool precise : {false, true}) {
    text->SetPrecise(precise);
    text->SetWordWrap(true);
    text->Pen().SetStyle(canvas::PenStyle::Solid);
    text->Pen().SetWidth(INT32_MAX);
    text->SetWidth(INT32_MAX);
    text->Font().SetHeight(INT32_MIN);
    text->SetAutoSize(true);
    EXPECT_GT(text->GetHeight(), 0);
    EXPECT_GE(text->InnerWidth(), INT32_MIN);
    RecordingCanvas canvas;
    Paint(canvas);
    (void)text->GetRefreshRect(0, 0);
    text->SetAutoSize(false);
    text->Pen().SetStyle(canvas::PenStyle::Clear);
    text->Font().SetHeight(-11000);
  }
}

// --- the box a text is

// A text is hit all over its box, though its brush is clear, but not in the corners its
// rounding cuts off, and like every box a little beyond a visible frame.
TEST_F(TextFixture, IsHitAllOverItsBoxButNotInRoundedCorners) {
  panel.scale = 100;  // 200 x 100 pixels
  const struct {
    TPoint p;
    bool square, rounded;
  } cases[] = {
      {{100, 50}, true, true},   // the middle, though the brush is clear
      {{1, 1}, true, false},     // a corner the rounding cuts off
      {{198, 98}, true, false},  // the opposite one
      {{100, 0}, true, true},    // the straight part of the top side
      {{0, 50}, true, true},     // the straight part of the left side
      {{20, 20}, true, true},    // inside the corner's arc
      {{100, 101}, false, false},
  };
  for (const auto& c : cases) {
    text->SetRoundness(0);
    EXPECT_EQ(text->IsPointInside(c.p.x, c.p.y), c.square) << c.p.x << "," << c.p.y;
    text->SetRoundness(40000);
    EXPECT_EQ(text->IsPointInside(c.p.x, c.p.y), c.rounded) << c.p.x << "," << c.p.y << " rounded";
  }
  // A frame two pixels wide makes the box hit two pixels beyond its rectangle.
  text->SetRoundness(0);
  text->Pen().SetStyle(canvas::PenStyle::Solid);
  text->Pen().SetWidth(2000);
  EXPECT_TRUE(text->IsPointInside(100, 101));
  EXPECT_FALSE(text->IsPointInside(100, 103));
}

// Connectors link to a text at the points of its box, square or rounded, and its anchor sits
// at the start of the top side's straight part.
TEST_F(TextFixture, LinksAtTheBoxPointsAndAnchorsAfterTheRoundedCorner) {
  panel.scale = 100;
  text->SetDocRect({10000, 20000, 210000, 120000});
  const std::vector<TPoint> square{{0, 0},           {100000, 0},      {200000, 0},
                                   {200000, 50000},  {200000, 100000}, {100000, 100000},
                                   {0, 100000},      {0, 50000},       {100000, 50000}};
  ASSERT_EQ(text->GetLinkPointCount(), 9);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(text->GetLinkPoint(i), square[static_cast<size_t>(i)]) << i;
  EXPECT_EQ(text->GetAnchorPoint(), (TPoint{10, 20}));

  text->SetRoundness(40000);
  const std::vector<TPoint> rounded{{20000, 0},       {100000, 0},      {180000, 0},     {200000, 20000},
                                    {200000, 50000},  {200000, 80000},  {180000, 100000}, {100000, 100000},
                                    {20000, 100000},  {0, 80000},       {0, 50000},      {0, 20000},
                                    {100000, 50000}};
  ASSERT_EQ(text->GetLinkPointCount(), 13);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(text->GetLinkPoint(i), rounded[static_cast<size_t>(i)]) << i;
  EXPECT_EQ(text->GetAnchorPoint(), (TPoint{30, 20}));
}

// --- the stored form

TEST_F(TextFixture, SavesAndLoadsEveryPropertyByteForByte) {
  text->Text().SetText("\xCF\xF0\xE8\xE2\xE5\xF2\r\nsecond line");
  text->SetWordWrap(true);
  text->SetGrayed(true);
  text->SetAngle(45);
  text->SetAlignment(2);
  text->SetLayout(1);
  text->SetPrecise(true);
  text->SetPreciseJustify(true);
  text->SetRoundness(5000);
  text->Font().SetHeight(-20000);
  TVexaText* framed = New(panel);
  framed->SetName("framed");
  framed->Pen().SetStyle(canvas::PenStyle::Solid);
  framed->Text().SetText("aa bb cc dd");
  framed->SetWordWrap(true);
  framed->SetWidth(15000);
  framed->SetAutoSize(true);
  const std::string saved = panel.SaveText();
  EXPECT_NE(saved.find("Alignment = Center"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Layout = Center"), std::string::npos);
  EXPECT_NE(saved.find("PreciseJustify = True"), std::string::npos);
  // A text's pen is clear unless said otherwise: only a visible pen stores its style.
  EXPECT_EQ(saved.find("Style = psClear"), std::string::npos);
  EXPECT_NE(saved.find("Style = psSolid"), std::string::npos);

  TTestVexaPanel loaded;
  loaded.LoadText(saved);
  EXPECT_EQ(loaded.SaveText(), saved);
  auto* scheme = static_cast<TVexaControl*>(loaded.Schemes().GetChild(0));
  auto* copy = dynamic_cast<TVexaText*>(scheme->FindChildByName("text"));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Text().GetText(), text->Text().GetText());
  EXPECT_EQ(copy->Pen().GetStyle(), canvas::PenStyle::Clear);
  auto* framedCopy = dynamic_cast<TVexaText*>(scheme->FindChildByName("framed"));
  ASSERT_NE(framedCopy, nullptr);
  EXPECT_TRUE(framedCopy->GetAutoSize());
  EXPECT_EQ(framedCopy->GetHeight(), framed->GetHeight());
  EXPECT_EQ(framedCopy->GetWidth(), 15000);
}

}  // namespace
}  // namespace pv::graphics

#include "text/TextFormator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "canvas/BitmapCanvas.h"
#include "ini/CodePage1251.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

using namespace pv::canvas;

namespace {

// The Unicode character and UTF-8 form of every code page 1251 byte.
struct Cp1251Chars {
  std::array<uint32_t, 256> codePoint{};
  std::array<std::string, 256> utf8;
  Cp1251Chars() {
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      utf8[b] = pv::ini::Cp1251ToUtf8(std::string_view(&byte, 1));
      const auto* u = reinterpret_cast<const unsigned char*>(utf8[b].data());
      switch (utf8[b].size()) {
        case 1: codePoint[b] = u[0]; break;
        case 2: codePoint[b] = ((u[0] & 0x1Fu) << 6) | (u[1] & 0x3Fu); break;
        case 3: codePoint[b] = ((u[0] & 0x0Fu) << 12) | ((u[1] & 0x3Fu) << 6) | (u[2] & 0x3Fu); break;
        default: codePoint[b] = '?'; break;
      }
    }
  }
};

// Control characters have no glyph: they are neither measured nor written.
bool IsControl(uint32_t codePoint) { return codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0); }

const Cp1251Chars& Chars() {
  static const Cp1251Chars chars;
  return chars;
}

// Halves to even, as the layout rounds everywhere; an absurd scale clamps instead of failing.
int32_t RoundPixels(double x) { return winmath::RoundHalfEvenClamped(x); }
int32_t Clamp32(int64_t v) { return winmath::ClampToInt32(v); }

// A height in design units rounded up to whole pixels at the scale.
int32_t WholePixels(int32_t height, double scale) {
  return RoundPixels(std::trunc(height * scale + 1) / scale);
}

bool SameFont(Font a, Font b) {
  a.color = b.color;  // the colour does not change a single width
  return a == b;
}

}  // namespace

bool ReadCharWidths(const Canvas& canvas, TCharWidths& widths) {
  const auto& chars = Chars();
  for (int b = 0; b < 256; ++b) {
    const uint32_t u = chars.codePoint[b];
    if (IsControl(u)) {
      // Asking a font for a control character only sends it searching the system for a fallback.
      widths.abc[b] = {};
      widths.width[b] = 0;
      continue;
    }
    const std::vector<ABC> abc = canvas.GetCharABCWidths(u, u);
    if (abc.size() != 1) return false;
    widths.abc[b] = abc[0];
    widths.width[b] = Clamp32(int64_t{abc[0].a} + abc[0].b + abc[0].c);
  }
  return true;
}

double PreciseEmPixels(int32_t scale, int32_t fontHeight) {
  return static_cast<double>(scale) * std::fabs(static_cast<double>(fontHeight)) / 100000.0;
}

int32_t PreciseWrapWidth(int64_t innerWidth, int32_t emSquare, int32_t fontHeight) {
  if (fontHeight == 0) return 0;
  const int64_t magnitude = fontHeight < 0 ? -static_cast<int64_t>(fontHeight) : fontHeight;
  return Clamp32(innerWidth * emSquare / magnitude);
}

bool TTextFormator::Setup(Canvas& canvas, bool precise, bool scaleToEm, double size) {
  const Font& current = canvas.GetFont();
  if (!font_ || !SameFont(*font_, current) || (precise && !metrics_)) {
    font_.reset();
    metrics_ = false;
    if (precise && !ReadOutlineMetrics(canvas, current)) return false;
    font_ = current;
    metrics_ = precise;
  }
  canvas_ = &canvas;
  scale_ = 0;
  if (!(size > 0) || !std::isfinite(size)) return false;
  scale_ = scaleToEm && em_ > 0 ? size / em_ : size;
  cellHeight_ = designCell_;
  lineHeight_ = designLine_;
  if (scaleToEm) {
    cellHeight_ = WholePixels(designCell_, scale_);
    lineHeight_ = WholePixels(designLine_, scale_);
  }
  return true;
}

bool TTextFormator::ReadOutlineMetrics(Canvas& canvas, const Font& font) {
  Bitmap scratch(1, 1);
  std::unique_ptr<Canvas> compatible = CreateBitmapCanvas(scratch);
  Canvas& dc = compatible ? *compatible : canvas;
  if (!compatible) dc.SaveState();
  const int32_t em = dc.GetFontEmSquare();
  Font design = font;
  design.height = -em;
  design.width = 0;
  design.escapement = 0;
  dc.SetFont(design);
  const bool ok = em > 0 && ReadCharWidths(dc, widths_);
  const TextMetric tm = dc.GetTextMetrics();
  if (!compatible) dc.RestoreState();
  if (!ok || tm.height <= 0) return false;
  em_ = em;
  designCell_ = tm.height;
  designLine_ = tm.height + std::max(0, tm.externalLeading);
  return true;
}

void TTextFormator::Remember(std::string_view line) {
  const TLineMeasure m = MeasureLine(line, widths_);
  last_ = {m.width, lineHeight_, m.firstA, m.lastC};
}

void TTextFormator::MeasureText(std::string_view text, int32_t width, bool wordWrap, TSize& size, int32_t& lines,
                                bool designUnits) {
  size = {};
  lines = 0;
  if (!Ready()) return;
  TLineBreaker breaker(text, widths_, width, wordWrap);
  int64_t widest = 0;
  int64_t count = 0;
  for (TTextLine line; breaker.NextLine(line); ++count) {
    Remember(text.substr(line.start, line.end - line.start));
    widest = std::max(widest, last_.width);
  }
  const int64_t height = std::max<int64_t>(count, 1) * lineHeight_;
  lines = Clamp32(count);
  if (designUnits) {
    size = {Clamp32(widest), Clamp32(height)};
  } else {
    size = {RoundPixels(widest * scale_), RoundPixels(height * scale_)};
  }
}

void TTextFormator::DrawLines(const TRect& rect, std::string_view text, int32_t width, bool justify,
                              TTextAlignment alignment, bool wordWrap) {
  if (!Ready()) return;
  const uint32_t oldAlign = canvas_->GetTextAlign();
  canvas_->SetTextAlign(TA_LEFT | TA_TOP | TA_NOUPDATECP);
  const int32_t box = RoundPixels(width * scale_);
  TLineBreaker breaker(text, widths_, width, wordWrap);
  int64_t n = 0;
  for (TTextLine line; breaker.NextLine(line); ++n) {
    const std::string_view s = text.substr(line.start, line.end - line.start);
    const int32_t top = rect.top + RoundPixels(static_cast<double>(n) * lineHeight_ * scale_);
    Remember(s);
    if (justify && last_.width <= width) {
      DrawJustified(rect.left, top, s, width);
      continue;
    }
    const int32_t lineWidth = RoundPixels(last_.width * scale_);
    int32_t left = rect.left;
    if (alignment == TTextAlignment::RightJustify) left = rect.left + box - lineWidth;
    if (alignment == TTextAlignment::Center) left = rect.left + (box - lineWidth) / 2;
    DrawRun(left, top, s, 0);
  }
  canvas_->SetTextAlign(oldAlign);
}

// Writes the characters above 31 of a run whose start lies origin design units right of left;
// each advance is the difference of two rounded cumulative positions.
void TTextFormator::DrawRun(int32_t left, int32_t top, std::string_view run, double origin) {
  const auto& chars = Chars();
  std::string out;
  std::vector<int32_t> advances;
  advances.reserve(run.size());
  double at = origin;
  int32_t pixel = RoundPixels(origin * scale_);
  const int32_t x = left + pixel;
  for (char ch : run) {
    const auto c = static_cast<uint8_t>(ch);
    if (IsControl(chars.codePoint[c])) continue;
    out += chars.utf8[c];
    at += widths_.width[c];
    const int32_t next = RoundPixels(at * scale_);
    advances.push_back(next - pixel);
    pixel = next;
  }
  if (!out.empty()) canvas_->ExtTextOut(x, top, 0, nullptr, out, advances);
}

// Spreads the words of a line so that the first starts at the left edge and the last ends at
// width; a line of one word is written as it is.
void TTextFormator::DrawJustified(int32_t left, int32_t top, std::string_view line, int32_t width) {
  struct Word {
    std::string_view text;
    int64_t width = 0;
  };
  std::vector<Word> words;
  int64_t sum = 0;
  for (size_t i = 0; i < line.size();) {
    while (i < line.size() && static_cast<uint8_t>(line[i]) <= 32) ++i;
    const size_t start = i;
    int64_t w = 0;
    for (; i < line.size() && static_cast<uint8_t>(line[i]) > 32; ++i) w += widths_.width[static_cast<uint8_t>(line[i])];
    if (i > start) {
      words.push_back({line.substr(start, i - start), w});
      sum += w;
    }
  }
  if (words.size() < 2) {
    DrawRun(left, top, line, 0);
    return;
  }
  const double gap = static_cast<double>(width - sum) / static_cast<double>(words.size() - 1);
  double at = 0;
  for (size_t k = 0; k + 1 < words.size(); ++k) {
    DrawRun(left, top, words[k].text, at);
    at += static_cast<double>(words[k].width) + gap;
  }
  DrawRun(left, top, words.back().text, static_cast<double>(width - words.back().width));
}

}  // namespace pv::graphics

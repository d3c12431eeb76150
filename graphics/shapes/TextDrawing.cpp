// How a text control draws and measures its text: turned by its Angle, plain with the canvas's
// own text drawing, or precisely with the font's design-unit widths.

#include <cmath>
#include <numbers>

#include "base/ModelText.h"
#include "base/Units.h"
#include "controls/VexaPanel.h"
#include "paint/ClipHelpers.h"
#include "shapes/VexaText.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

namespace {

uint32_t AlignmentFlags(TTextAlignment alignment) {
  switch (alignment) {
    case TTextAlignment::RightJustify: return canvas::DT_RIGHT;
    case TTextAlignment::Center: return canvas::DT_CENTER;
    default: return canvas::DT_LEFT;
  }
}

// A turned text is written in one line.
std::string OneLine(const std::string& utf8) {
  std::string line;
  line.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c != '\r' && c != '\n') {
      line += c;
      continue;
    }
    line += ' ';
    if (i + 1 < utf8.size() && (utf8[i + 1] == '\r' || utf8[i + 1] == '\n') && utf8[i + 1] != c) ++i;
  }
  return line;
}

void MoveDown(TRect& rect, int32_t freeHeight, TTextLayout layout) {
  if (layout == TTextLayout::Bottom) rect.top += freeHeight;
  if (layout == TTextLayout::Center) rect.top += freeHeight / 2;
}

}  // namespace

void TVexaText::DrawTextEx(canvas::Canvas& canvas, TRect& rect, const TLayoutArgs& args, const std::string& text) {
  if (text.empty() && !args.measure) return;
  canvas.SaveState();
  font_->Setup(canvas, args.scaled ? PaintScale() : 100);
  canvas.SetBkMode(canvas::BkMode::Transparent);
  // Every font here is an outline font, so any angle can be drawn.
  if (GetAngle() != 0) {
    DrawRotated(canvas, rect, args, text);
  } else {
    canvas.SetBrushStyle(canvas::BrushStyle::Clear);
    if (args.precise) {
      DrawPrecise(canvas, rect, args, text);
    } else {
      DrawPlain(canvas, rect, args, text);
    }
  }
  canvas.RestoreState();
}

void TVexaText::DrawRotated(canvas::Canvas& canvas, TRect& rect, const TLayoutArgs& args, const std::string& text) {
  std::optional<canvas::Region> clip;
  if (!args.measure && !ClipText(canvas, rect, clip)) return;
  canvas::Font font = canvas.GetFont();
  font.escapement = GetAngle() % 360 * 10;  // a loaded angle may lie outside one turn
  canvas.SetFont(font);
  const int32_t angle = GetAngle();
  const double t = angle * std::numbers::pi / 180.0;
  const double w = RectWidth(rect);
  const double h = RectHeight(rect);
  const auto round = [](double v) { return static_cast<int32_t>(std::lround(v)); };
  TPoint start{rect.left, rect.top};
  if (angle > 0 && angle <= 90) {
    start = {rect.left, rect.top + round(std::sin(t) * h)};
  } else if (angle > 90 && angle <= 180) {
    start = {rect.left + round(std::fabs(std::cos(t)) * w), rect.bottom};
  } else if (angle > 180 && angle <= 270) {
    start = {rect.right, rect.bottom + round(std::sin(t) * h)};
  } else if (angle > 270 && angle < 360) {
    start = {rect.right - round(std::fabs(std::cos(t)) * w), rect.top};
  }
  if (args.measure) {
    rect = {rect.left, rect.top, rect.left, rect.top};
    return;
  }
  canvas.SetTextAlign(canvas::TA_LEFT | canvas::TA_TOP);
  canvas.TextOut(start.x, start.y, OneLine(FromModelText(text)));
}

void TVexaText::DrawPlain(canvas::Canvas& canvas, TRect& rect, const TLayoutArgs& args, const std::string& text) {
  uint32_t flags = canvas::DT_EXPANDTABS | canvas::DT_NOPREFIX | AlignmentFlags(args.alignment);
  if (args.wordWrap) flags |= canvas::DT_WORDBREAK;
  const std::string utf8 = FromModelText(text);
  if (args.measure) {
    if (font_->GetHeight() == 0) {
      rect = {rect.left, rect.top, rect.left, rect.top};
    } else {
      canvas.DrawText(utf8, rect, flags | canvas::DT_CALCRECT);
      if (GetGrayed()) {
        rect.right += 1;
        rect.bottom += 1;
      }
    }
    rect.right = winmath::ClampToInt32(int64_t{rect.right} * 1000);
    rect.bottom = winmath::ClampToInt32(int64_t{rect.bottom} * 1000);
    return;
  }
  std::optional<canvas::Region> clip;
  if (!ClipText(canvas, rect, clip)) return;
  if (args.layout != TTextLayout::Top) {
    TRect measured = rect;
    canvas.DrawText(utf8, measured, flags | canvas::DT_CALCRECT);
    MoveDown(rect, RectHeight(rect) - RectHeight(measured), args.layout);
    rect.bottom = rect.top + RectHeight(measured);
  }
  if (GetGrayed()) {
    // Engraved: a light copy one pixel down and right, the shadow colour in place over it.
    TRect shifted{rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1};
    canvas.SetFontColor(canvas::clBtnHighlight);
    canvas.DrawText(utf8, shifted, flags);
    canvas.SetFontColor(canvas::clBtnShadow);
  }
  canvas.DrawText(utf8, rect, flags);
}

void TVexaText::DrawPrecise(canvas::Canvas& canvas, TRect& rect, const TLayoutArgs& args, const std::string& text) {
  const int32_t fontHeight = font_->GetHeight();
  if (!formator_) formator_ = std::make_unique<TTextFormator>();
  TTextFormator& f = *formator_;
  // A font height of 0 lays nothing out (and measures as nothing).
  if (!f.Setup(canvas, true, true, PreciseEmPixels(args.scaled ? PaintScale() : 100, fontHeight))) {
    if (args.measure) rect = {rect.left, rect.top, rect.left, rect.top};
    return;
  }
  const int64_t height = std::abs(int64_t{fontHeight});
  const int32_t em = f.EmSize();
  const int32_t width =
      args.width != 0 ? args.width : PreciseWrapWidth(InnerWidth(), em, fontHeight);
  TSize size;
  int32_t lines = 0;
  if (args.measure || args.layout != TTextLayout::Top) f.MeasureText(text, width, args.wordWrap, size, lines);
  if (args.measure) {
    const auto toDoc = [&](int32_t v) { return static_cast<int32_t>(int64_t{v} * height / em); };
    rect.right = rect.left + toDoc(size.cx);
    rect.bottom = rect.top + toDoc(size.cy);
    return;
  }
  std::optional<canvas::Region> clip;
  if (!ClipText(canvas, rect, clip)) return;
  if (args.layout != TTextLayout::Top) {
    const auto textHeight = static_cast<int32_t>(std::lround(size.cy * f.Scale()));
    MoveDown(rect, RectHeight(rect) - textHeight, args.layout);
  }
  f.DrawLines(rect, text, width, args.preciseJustify, args.alignment, args.wordWrap);
}

// The text stays inside the box: within its rounded corners, off its frame. An auto-sized text
// whose extent is known may overhang its box (its refresh rectangle covers that).
bool TVexaText::ClipText(canvas::Canvas& canvas, const TRect& rect, std::optional<canvas::Region>& saved) const {
  if (GetAutoSize() && refreshScale_ == PaintScale()) return true;
  if (rect.right <= rect.left || rect.bottom <= rect.top) return false;
  const int32_t scale = PaintScale();
  const int32_t pen = ScaleValue(FrameWidth(), scale);
  const double corner = ScaleValue(GetRoundness(), scale) - 1.5 * pen;
  canvas::Region region = canvas::Region::FromRect(rect);
  if (corner >= 0) {
    TRect r = rect;
    if (pen > 0) {
      r.right += 1;
      r.bottom += 1;
    }
    const auto c = static_cast<int32_t>(corner);
    region = c > 0 ? canvas::Region::FromRoundRect(r, c, c) : canvas::Region::FromRect(r);
  }
  saved = IntersectClipRgn(canvas, region);
  return true;
}

}  // namespace pv::graphics

#include "paint/Gradient.h"

#include <algorithm>
#include <cstdlib>

#include "paint/ClipHelpers.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

using winmath::MulDiv;
using winmath::RoundHalfEven;

namespace {

bool IsCorner(TGradientStyle style) { return style >= TGradientStyle::gsTopLeft; }

struct Rgb {
  int32_t r, g, b;
};

Rgb Channels(TColor color) {
  const uint32_t v = ColorToRGB(color);
  return {GetRValue(v), GetGValue(v), GetBValue(v)};
}

// The colour of step i of n, each channel begin + i * d / (n - 1) in integer division.
TColor StepColor(const Rgb& begin, const Rgb& end, int32_t i, int32_t n) {
  if (n <= 1) return static_cast<TColor>(RGB(begin.r, begin.g, begin.b));
  auto channel = [&](int32_t from, int32_t to) { return static_cast<uint8_t>(from + i * (to - from) / (n - 1)); };
  return static_cast<TColor>(RGB(channel(begin.r, end.r), channel(begin.g, end.g), channel(begin.b, end.b)));
}

}  // namespace

int32_t GradientSteps(TGradientStyle style, int32_t width, int32_t height, TColor beginColor, TColor endColor) {
  const Rgb b = Channels(beginColor);
  const Rgb e = Channels(endColor);
  int32_t n = std::max({std::abs(e.r - b.r), std::abs(e.g - b.g), std::abs(e.b - b.b), 1});
  const int32_t m = std::min(width, height);
  switch (style) {
    case TGradientStyle::gsHorizontal: n = std::min(n, width); break;
    case TGradientStyle::gsVertical: n = std::min(n, height); break;
    case TGradientStyle::gsSquare:
    case TGradientStyle::gsElliptic: n = std::min(n, m / 2); break;
    default: n = std::min(n, m); break;
  }
  // A rect narrower than two pixels would leave no step (and divide by zero below).
  return std::max(n, 1);
}

void PaintGradient(Canvas& canvas, const TRect& rect, TGradientStyle style, PenMode penMode, TColor beginColor,
                   TColor endColor) {
  if (rect.IsEmpty()) return;
  const int32_t w = rect.Width();
  const int32_t h = rect.Height();
  if (IsCorner(style)) std::swap(beginColor, endColor);
  const Rgb begin = Channels(beginColor);
  const Rgb end = Channels(endColor);
  const int32_t n = GradientSteps(style, w, h, beginColor, endColor);
  const int32_t cx = w / 2;
  const int32_t cy = h / 2;

  const Pen savedPen = canvas.GetPen();
  const Brush savedBrush = canvas.GetBrush();
  // The shapes of the outer steps reach a pixel past the rect; the clip keeps them inside.
  const auto savedClip = IntersectClipRgn(canvas, Region::FromRect(rect));
  canvas.SetPen(Pen{PenStyle::Clear, 1, clBlack, penMode});
  const int32_t x0 = rect.left;
  const int32_t y0 = rect.top;
  for (int32_t i = 0; i < n; ++i) {
    canvas.SetBrush(Brush{BrushStyle::Solid, StepColor(begin, end, i, n), nullptr});
    const int32_t dx = MulDiv(n - i, w, n);
    const int32_t dy = MulDiv(n - i, h, n);
    switch (style) {
      case TGradientStyle::gsHorizontal:
        canvas.Rectangle({x0 + MulDiv(i, w, n), y0, x0 + MulDiv(i + 1, w, n) + 1, y0 + h + 1});
        break;
      case TGradientStyle::gsVertical:
        canvas.Rectangle({x0, y0 + MulDiv(i, h, n), x0 + w + 1, y0 + MulDiv(i + 1, h, n) + 1});
        break;
      case TGradientStyle::gsSquare: {
        const int32_t hx = dx / 2;
        const int32_t hy = dy / 2;
        canvas.Rectangle({x0 + cx - hx, y0 + cy - hy, x0 + cx + hx + 2, y0 + cy + hy + 2});
        break;
      }
      case TGradientStyle::gsElliptic: {
        const int32_t hx = RoundHalfEven(dx / 1.4);
        const int32_t hy = RoundHalfEven(dy / 1.4);
        canvas.Ellipse({x0 + cx - hx, y0 + cy - hy, x0 + cx + hx, y0 + cy + hy});
        break;
      }
      case TGradientStyle::gsTopLeft: canvas.Rectangle({x0, y0, x0 + dx + 1, y0 + dy + 1}); break;
      case TGradientStyle::gsTopRight: canvas.Rectangle({x0 + w - dx - 1, y0, x0 + w, y0 + dy + 1}); break;
      case TGradientStyle::gsBottomLeft: canvas.Rectangle({x0, y0 + h - dy - 1, x0 + dx + 1, y0 + h}); break;
      case TGradientStyle::gsBottomRight: canvas.Rectangle({x0 + w - dx - 1, y0 + h - dy - 1, x0 + w, y0 + h}); break;
    }
  }
  RestoreClip(canvas, savedClip);
  canvas.SetBrush(savedBrush);
  canvas.SetPen(savedPen);
}

}  // namespace pv::graphics

#include "canvas/Canvas.h"

namespace pv::canvas {

void Canvas::SetPenColor(TColor color) {
  Pen pen = GetPen();
  pen.color = color;
  SetPen(pen);
}

void Canvas::SetPenStyle(PenStyle style) {
  Pen pen = GetPen();
  pen.style = style;
  SetPen(pen);
}

void Canvas::SetPenWidth(int32_t width) {
  Pen pen = GetPen();
  pen.width = width;
  SetPen(pen);
}

void Canvas::SetPenMode(PenMode mode) {
  Pen pen = GetPen();
  pen.mode = mode;
  SetPen(pen);
}

void Canvas::SetBrushColor(TColor color) {
  Brush brush = GetBrush();
  brush.color = color;
  SetBrush(brush);
}

void Canvas::SetBrushStyle(BrushStyle style) {
  Brush brush = GetBrush();
  brush.style = style;
  SetBrush(brush);
}

void Canvas::SetFontColor(TColor color) {
  Font font = GetFont();
  font.color = color;
  SetFont(font);
}

void Canvas::SetFontHeight(int32_t height) {
  Font font = GetFont();
  font.height = height;
  SetFont(font);
}

void Canvas::SetFontName(std::string_view name) {
  Font font = GetFont();
  font.name = std::string(name);
  SetFont(font);
}

}  // namespace pv::canvas

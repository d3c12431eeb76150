#include "document/Grid.h"

#include <algorithm>
#include <cmath>

#include "canvas/Canvas.h"
#include "controls/VexaPanel.h"

namespace pv::graphics {

const TVexaControlClass TVexaGrid::ClassInfo{{"TVexaGrid", &TVexaServiceControl::ClassInfo.ref},
                                             &TVexaControl::Creator<TVexaGrid>};

double GridStep(int32_t scale, int32_t size) {
  if (scale <= 0 || size <= 0) return 0;
  double step = static_cast<double>(scale) * size / 100000.0;
  while (step < 4) step *= 2;
  return step;
}

namespace {

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

void FillColumns(canvas::Canvas& canvas, const TRect& rect, double step, int32_t limit) {
  for (double x = rect.left; Round(x) < limit; x += step) canvas.FillRect({Round(x), rect.top, Round(x) + 1, rect.bottom});
}

void FillRows(canvas::Canvas& canvas, const TRect& rect, double step, int32_t limit) {
  for (double y = rect.top; Round(y) < limit; y += step) canvas.FillRect({rect.left, Round(y), rect.right, Round(y) + 1});
}

}  // namespace

void TVexaGrid::CreateProperties() {
  TVexaControl::CreateProperties();
  HideProps({left_, top_, width_, height_, layerProp_, reference_});
  FollowDocumentSize();
}

void TVexaGrid::ControlCreate() {
  SetNoClippingTest(true);
  TVexaControl::ControlCreate();
  SetName("Grid");
}

template <class T>
void TVexaGrid::Change(T& field, T value, bool repaint) {
  if (field == value) return;
  field = value;
  if (repaint && GetVisible()) Invalidate();
}

void TVexaGrid::SetShowPixGrid(bool on) { Change(showPixGrid_, on, true); }
void TVexaGrid::SetGridStyle(TVexaGridStyle style) { Change(style_, style, true); }
void TVexaGrid::SetGridColor(canvas::TColor color) { Change(color_, color, true); }
void TVexaGrid::SetGridPixColor(canvas::TColor color) { Change(pixColor_, color, showPixGrid_); }
void TVexaGrid::SetHorizSize(int32_t size) { Change(horizSize_, size, true); }
void TVexaGrid::SetVertSize(int32_t size) { Change(vertSize_, size, true); }

void TVexaGrid::Paint(canvas::Canvas& canvas, const TRect& rect) {
  IVexaPanel* panel = Owner();
  if (!panel) return;
  const int32_t scale = panel->Scale();
  const int32_t frame = panel->ShowsDocumentFrame() ? 1 : 0;
  if (showPixGrid_ && scale >= 400) {
    canvas.SetBrush({canvas::BrushStyle::Solid, pixColor_, nullptr});
    const double step = scale / 100.0;
    FillColumns(canvas, rect, step, rect.right - frame);
    FillRows(canvas, rect, step, rect.bottom - frame);
  }
  if (horizSize_ < 2 || vertSize_ < 2 || color_ == kNoColor) return;
  const double hStep = GridStep(scale, horizSize_);
  const double vStep = GridStep(scale, vertSize_);
  if (hStep <= 0 || vStep <= 0) return;
  canvas.SetBrush({canvas::BrushStyle::Solid, color_, nullptr});
  if (style_ == TVexaGridStyle::gsLines) {
    FillColumns(canvas, rect, hStep, rect.right - frame);
    FillRows(canvas, rect, vStep, rect.bottom - frame);
    return;
  }
  if (PaintDotsAsBlock(canvas, rect, hStep, vStep)) return;
  for (double y = rect.top; Round(y) <= rect.bottom; y += vStep) {
    for (double x = rect.left; Round(x) <= rect.right; x += hStep) {
      canvas.FillRect({Round(x), Round(y), Round(x) + 1, Round(y) + 1});
    }
  }
}

// Thousands of dots are set in one block of pixels read from and written back to the
// canvas, instead of one fill each; false when the canvas keeps no pixels.
bool TVexaGrid::PaintDotsAsBlock(canvas::Canvas& canvas, const TRect& rect, double hStep, double vStep) const {
  if ((color_ & ~0xFFFFFF) != 0) return false;  // a system colour: the canvas resolves it
  const TRect clip = canvas.GetClipBox();
  const TRect block{std::max(rect.left, clip.left), std::max(rect.top, clip.top), std::min(rect.right + 1, clip.right),
                    std::min(rect.bottom + 1, clip.bottom)};
  if (block.left >= block.right || block.top >= block.bottom) return true;
  canvas::Bitmap pixels;
  if (!canvas.GetPixels(block, pixels)) return false;
  const uint32_t argb = 0xFF000000u | ((color_ & 0xFF) << 16) | (color_ & 0xFF00) | ((color_ >> 16) & 0xFF);
  for (double y = rect.top; Round(y) <= rect.bottom; y += vStep) {
    const int32_t py = Round(y) - block.top;
    if (py < 0) continue;
    if (py >= pixels.Height()) break;
    uint32_t* row = pixels.Row(py);
    for (double x = rect.left; Round(x) <= rect.right; x += hStep) {
      const int32_t px = Round(x) - block.left;
      if (px < 0) continue;
      if (px >= pixels.Width()) break;
      row[px] = argb;
    }
  }
  canvas.SetPixels(block.left, block.top, pixels);
  return true;
}

}  // namespace pv::graphics

#include "shapes/ShapePaint.h"

#include "base/Units.h"
#include "controls/VexaPanel.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"

namespace pv::graphics {

bool BrushPaintsItself(const TBrushProp& brush) {
  return brush.GetMethod() != TBrushMethod::bmHatch && !brush.IsClear();
}

void SetupPenAndBrush(canvas::Canvas& canvas, TPenProp& pen, TBrushProp& brush, int32_t scale) {
  pen.Setup(canvas, scale);
  brush.Setup(canvas, scale);
}

void FillWithBrushPainting(canvas::Canvas& canvas, const canvas::Region& region, const canvas::TRect& rect,
                           IVexaPanel& panel, TPenProp& pen, TBrushProp& brush) {
  canvas.SaveState();
  canvas.ExtSelectClipRgn(region, canvas::RegionMode::And);
  brush.PaintFill(canvas, rect, panel.PaintRect(), false, panel.Scale());
  canvas.RestoreState();
  SetupPenAndBrush(canvas, pen, brush, panel.Scale());
}

int32_t PenPixels(const TPenProp& pen, int32_t scale) { return ScaleValue(pen.GetActualWidth(), scale); }

canvas::TRect CanvasShapeRect(const TPenProp& pen, canvas::TRect rect) {
  if (pen.GetActualWidth() == 0) {
    ++rect.right;
    ++rect.bottom;
  }
  return rect;
}

}  // namespace pv::graphics

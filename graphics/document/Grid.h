#pragma once
// The document grid: dots or lines at a step in document units, and the pixel grid at high
// zoom. The panel publishes its settings and snaps to it.

#include <cstdint>

#include "canvas/CanvasTypes.h"
#include "document/ServiceControls.h"

namespace pv::graphics {

enum class TVexaGridStyle : uint8_t { gsLines, gsDots };
enum class TVexaSnap : uint8_t { snLeft = 1, snTop = 2, snRight = 4, snBottom = 8, snCenter = 16, snAll = 32 };

// The pixel step of a grid of size document units at scale (percent), doubled until it is at
// least 4 pixels; 0 when there is no step to draw. Real-valued: an integer step is 0 at small
// scales and would double for ever.
double GridStep(int32_t scale, int32_t size);

class TVexaGrid : public TVexaServiceControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  static constexpr canvas::TColor kNoColor = 0x1FFFFFFF;

  bool Snap() const { return snap_; }
  void SetSnap(bool on) { snap_ = on; }
  uint8_t SnapStyle() const { return snapStyle_; }
  void SetSnapStyle(uint8_t style) { snapStyle_ = style; }
  bool ShowPixGrid() const { return showPixGrid_; }
  void SetShowPixGrid(bool on);
  TVexaGridStyle GridStyle() const { return style_; }
  void SetGridStyle(TVexaGridStyle style);
  canvas::TColor GridColor() const { return color_; }
  void SetGridColor(canvas::TColor color);
  canvas::TColor GridPixColor() const { return pixColor_; }
  void SetGridPixColor(canvas::TColor color);
  int32_t HorizSize() const { return horizSize_; }
  void SetHorizSize(int32_t size);
  int32_t VertSize() const { return vertSize_; }
  void SetVertSize(int32_t size);

  void Paint(canvas::Canvas& canvas, const TRect& rect) override;

 protected:
  void CreateProperties() override;
  void ControlCreate() override;

 private:
  template <class T>
  void Change(T& field, T value, bool repaint);
  bool PaintDotsAsBlock(canvas::Canvas& canvas, const TRect& rect, double hStep, double vStep) const;

  bool snap_ = false;
  uint8_t snapStyle_ = static_cast<uint8_t>(TVexaSnap::snLeft) | static_cast<uint8_t>(TVexaSnap::snTop);
  bool showPixGrid_ = false;
  TVexaGridStyle style_ = TVexaGridStyle::gsDots;
  canvas::TColor color_ = 0x808080;
  canvas::TColor pixColor_ = 0xC0C0C0;
  int32_t horizSize_ = 0;
  int32_t vertSize_ = 0;
};

}  // namespace pv::graphics

// The scale and scroll model of the panel: scroll ranges, the scroll origin, the visible
// document rectangle and the conversions between document units and window pixels. Sizes
// from a file may be negative or huge, so every sum is taken in 64 bits and clamped.

#include <algorithm>
#include <limits>

#include "document/Schemes.h"
#include "panel/VexaPanel.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

using panelwindow::TScrollBarKind;
using winmath::ClampToInt32;
using winmath::MulDiv;

namespace {

// Scroll ranges stay well inside 32 bits so that position + client size never overflows.
constexpr int64_t kMaxScrollRange = std::numeric_limits<int32_t>::max() / 4;

int32_t ScrollRangeOf(int64_t scaledDoc, int32_t extraSpace) {
  const int64_t range = scaledDoc + 2 * static_cast<int64_t>(extraSpace);
  return static_cast<int32_t>(std::clamp<int64_t>(range, 0, kMaxScrollRange));
}

int64_t Scaled64(int32_t value, int32_t scale) { return static_cast<int64_t>(value) * scale / 100000; }

}  // namespace

int32_t TVexaPanel::ScaleValue(int32_t docLength) const { return MulDiv(docLength, scale_, 100000); }

int32_t TVexaPanel::UnscaleValue(int32_t pixels) const { return MulDiv(pixels, 100000, scale_); }

// The origin of a huge document lies near the 32-bit limits: the difference is taken in 64
// bits and held at the edge.
int32_t TVexaPanel::DocToPixelX(int32_t x) const {
  return ClampToInt32(static_cast<int64_t>(ScaleValue(x)) - origin_.x);
}

int32_t TVexaPanel::DocToPixelY(int32_t y) const {
  return ClampToInt32(static_cast<int64_t>(ScaleValue(y)) - origin_.y);
}

TRect TVexaPanel::DocToPixelRect(const TRect& r) const {
  return {DocToPixelX(r.left), DocToPixelY(r.top), DocToPixelX(r.right), DocToPixelY(r.bottom)};
}

TPoint TVexaPanel::DocToPixelPoint(TPoint p) const { return {DocToPixelX(p.x), DocToPixelY(p.y)}; }

TPoint TVexaPanel::PixelToDocPoint(TPoint p) const {
  return {UnscaleValue(ClampToInt32(static_cast<int64_t>(p.x) + origin_.x)),
          UnscaleValue(ClampToInt32(static_cast<int64_t>(p.y) + origin_.y))};
}

void TVexaPanel::UpdateScrollRange() {
  if (Painting()) return;
  window_.SetScrollRange(TScrollBarKind::Horizontal, ScrollRangeOf(Scaled64(docWidth_, scale_), horzExtraSpace_),
                         kScrollLine);
  window_.SetScrollRange(TScrollBarKind::Vertical, ScrollRangeOf(Scaled64(docHeight_, scale_), vertExtraSpace_),
                         kScrollLine);
  UpdateOrigin();
}

void TVexaPanel::UpdateOrigin() {
  if (Painting() || !window_.HasParent()) return;
  const TRect client = window_.ClientRect();
  const auto axis = [&](TScrollBarKind bar, int32_t docSize, int32_t extra, int32_t clientSize) -> int32_t {
    if (window_.ScrollBarVisible(bar)) return ClampToInt32(static_cast<int64_t>(window_.ScrollPos(bar)) - extra);
    // A document smaller than the window is centred in it.
    return ClampToInt32((Scaled64(docSize, scale_) - clientSize) / 2);
  };
  origin_ = {axis(TScrollBarKind::Horizontal, docWidth_, horzExtraSpace_, RectWidth(client)),
             axis(TScrollBarKind::Vertical, docHeight_, vertExtraSpace_, RectHeight(client))};
  if (pointEdited_) pointEdited_->Invalidate();
  const TPoint leftTop{UnscaleValue(origin_.x), UnscaleValue(origin_.y)};
  const TRect visible{leftTop.x, leftTop.y, ClampToInt32(static_cast<int64_t>(leftTop.x) + UnscaleValue(RectWidth(client))),
                      ClampToInt32(static_cast<int64_t>(leftTop.y) + UnscaleValue(RectHeight(client)))};
  if (visible == visibleDocRect_) return;
  visibleDocRect_ = visible;
  DocNotify(nullptr, TVexaNotify::fnPan);
}

void TVexaPanel::SetScale(int32_t scale) {
  if (Painting()) return;
  if (autoZoom_) {
    // The fit of each axis in 64 bits: a document under one pixel wide (or of no width at
    // all) gives no fit on that axis instead of a division by zero.
    const TRect client = window_.ClientRect();
    int64_t fit = -1;
    if (docWidth_ > 0) fit = static_cast<int64_t>(RectWidth(client)) * 100000 / docWidth_;
    if (docHeight_ > 0) {
      const int64_t v = static_cast<int64_t>(RectHeight(client)) * 100000 / docHeight_;
      fit = fit < 0 ? v : std::min(fit, v);
    }
    if (fit >= 0) scale = static_cast<int32_t>(std::min<int64_t>(fit, kMaxScale));
  }
  scale = std::clamp(scale, kMinScale, kMaxScale);
  if (scale == scale_) return;
  scale_ = scale;
  UpdateScrollRange();
  UpdateSelectionFrames();
  Repaint();
  DocNotify(nullptr, TVexaNotify::fnScale);
}

void TVexaPanel::SetAutoZoom(bool on) {
  if (on == autoZoom_) return;
  autoZoom_ = on;
  // Any value different from the current one; the fit replaces it.
  if (on) SetScale(scale_ - 1);
}

void TVexaPanel::SetDocWidth(int32_t width) {
  if (Painting()) return;
  docWidth_ = width;
  UpdateScrollRange();
  if (schemes_->GetWidth() != width) schemes_->SetWidth(width);
  Repaint();
}

void TVexaPanel::SetDocHeight(int32_t height) {
  if (Painting()) return;
  docHeight_ = height;
  UpdateScrollRange();
  if (schemes_->GetHeight() != height) schemes_->SetHeight(height);
  Repaint();
}

void TVexaPanel::SetHorzExtraSpace(int32_t pixels) {
  if (pixels == horzExtraSpace_) return;
  horzExtraSpace_ = pixels;
  UpdateScrollRange();
}

void TVexaPanel::SetVertExtraSpace(int32_t pixels) {
  if (pixels == vertExtraSpace_) return;
  vertExtraSpace_ = pixels;
  UpdateScrollRange();
}

void TVexaPanel::WindowResized() {
  if (autoZoom_) SetScale(0);
  UpdateOrigin();
  Repaint();
}

void TVexaPanel::WindowScrolled(TScrollBarKind) {
  UpdateOrigin();
  Repaint();
}

}  // namespace pv::graphics

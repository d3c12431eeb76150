#include "canvas/OffsetCanvas.h"

namespace pv::canvas {

OffsetCanvas::OffsetCanvas(std::unique_ptr<Canvas> inner, TPoint origin) : inner_(std::move(inner)), origin_(origin) {}

Region OffsetCanvas::In(const Region& region) const {
  Region out = region;
  out.Offset(-origin_.x, -origin_.y);
  return out;
}

Region OffsetCanvas::Out(const Region& region) const {
  Region out = region;
  out.Offset(origin_.x, origin_.y);
  return out;
}

std::vector<TPoint> OffsetCanvas::In(std::span<const TPoint> points) const {
  std::vector<TPoint> out;
  out.reserve(points.size());
  for (TPoint p : points) out.push_back(In(p));
  return out;
}

void OffsetCanvas::SelectClipRgn(const std::optional<Region>& region) {
  if (!region) {
    inner_->SelectClipRgn(std::nullopt);
    return;
  }
  inner_->SelectClipRgn(In(*region));
}

std::optional<Region> OffsetCanvas::GetClipRgn() const {
  std::optional<Region> clip = inner_->GetClipRgn();
  if (clip) clip = Out(*clip);
  return clip;
}

void OffsetCanvas::ExtTextOut(int32_t x, int32_t y, uint32_t options, const TRect* rect, std::string_view text,
                              std::span<const int32_t> advances) {
  TRect shifted;
  if (rect) shifted = In(*rect);
  inner_->ExtTextOut(x - origin_.x, y - origin_.y, options, rect ? &shifted : nullptr, text, advances);
}

int32_t OffsetCanvas::DrawText(std::string_view text, TRect& rect, uint32_t format) {
  TRect shifted = In(rect);
  const int32_t height = inner_->DrawText(text, shifted, format);
  rect = Out(shifted);
  return height;
}

}  // namespace pv::canvas

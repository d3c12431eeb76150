// Where a control lies and how it paints: document and pixel rectangles, invalidation, the
// transformation bracket, painting with culling and transparency, and hit testing.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>

#include "controls/VexaControl.h"
#include "controls/VexaPanel.h"
#include "paint/AlphaBuffer.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

// --- geometry

// The sums are taken in 64 bits and held within int32: a control that a damaged document or
// a long drag put at the edge of the range ends there instead of wrapping to the other side.
TVexaControl::TDocOffset TVexaControl::ParentDocOffset() const {
  TDocOffset offset;
  for (const TVexaControl* p = parent_; p; p = p->parent_) {
    offset.x += p->GetLeft();
    offset.y += p->GetTop();
  }
  return offset;
}

TRect TVexaControl::GetDocRect() const {
  const TDocOffset offset = ParentDocOffset();
  const int64_t left = offset.x + GetLeft();
  const int64_t top = offset.y + GetTop();
  using winmath::ClampToInt32;
  return {ClampToInt32(left), ClampToInt32(top), ClampToInt32(left + GetWidth()), ClampToInt32(top + GetHeight())};
}

void TVexaControl::SetDocRect(const TRect& rect) {
  const TDocOffset offset = ParentDocOffset();
  using winmath::ClampToInt32;
  BeginUpdate();
  SetLeft(ClampToInt32(rect.left - offset.x));
  SetTop(ClampToInt32(rect.top - offset.y));
  SetWidth(ClampToInt32(int64_t{rect.right} - rect.left));
  SetHeight(ClampToInt32(int64_t{rect.bottom} - rect.top));
  EndUpdate();
}

TRect TVexaControl::GetPixelRect() const { return owner_ ? owner_->DocToPixelRect(GetDocRect()) : TRect{}; }

// A control placed at the edge of the coordinate range repaints up to that edge.
TRect TVexaControl::GetRefreshRect(int32_t x, int32_t y) const {
  return {x, y, winmath::ClampToInt32(int64_t{x} + GetWidth()), winmath::ClampToInt32(int64_t{y} + GetHeight())};
}

void TVexaControl::Invalidate() {
  if (!owner_ || !owner_->HasWindow() || owner_->HoldsInvalidation() || updateCount_ > 0) return;
  const TVexaControl* scheme = GetScheme();
  if (scheme && scheme != owner_->GetActiveScheme() && parent_ != owner_->GetSchemesRoot()) return;
  if (!noSelfPaint_) {
    const TRect doc = GetDocRect();
    owner_->InvalidatePixelRect(owner_->DocToPixelRect(GetRefreshRect(doc.left, doc.top)));
  }
  for (TVexaControl* child : children_) child->Invalidate();
}

void TVexaControl::GetPointsEx(std::vector<TPoint>& points, std::vector<uint8_t>& types) const {
  points.clear();
  types.clear();
}

void TVexaControl::RestorePoints(const TRect& rect, const std::vector<TPoint>& points,
                                 const std::vector<uint8_t>& types) {
  BeginUpdate();
  SetDocRect(rect);
  SetPointsEx(points, types);
  EndUpdate();
}

void TVexaControl::GetPointsForUndo(TRect& rect, std::vector<TPoint>& points, std::vector<uint8_t>& types) const {
  const TRect& saved = SavedRect();
  const TPoint origin = SavedOrigin();
  rect = InTransformation() ? TRect{saved.left + origin.x, saved.top + origin.y, saved.right + origin.x,
                                    saved.bottom + origin.y}
                            : GetDocRect();
  GetPointsEx(points, types);
}

void TVexaControl::BeginTransformation(TPoint origin) {
  if (InTransformation()) return;
  state_ |= csTransforming;
  const TRect r = GetDocRect();
  TExtras& extras = Extras();
  // Relative to an origin anywhere in the coordinate range: differences held in that range. A
  // control farther from the origin than that (a selection reaching from one end of the range
  // to the other) keeps its rectangle from its own corner instead, as clamped differences
  // would lose where it stood and how large it was.
  const auto fits = [](int64_t from, int32_t to) {
    const int64_t d = from - to;
    return d >= std::numeric_limits<int32_t>::min() && d <= std::numeric_limits<int32_t>::max();
  };
  if (!fits(r.left, origin.x) || !fits(r.right, origin.x) || !fits(r.top, origin.y) || !fits(r.bottom, origin.y)) {
    extras.savedOrigin = {r.left, r.top};
  } else {
    extras.savedOrigin = origin;
  }
  const TPoint start = extras.savedOrigin;
  const auto from = [&](TPoint p) {
    return TPoint{winmath::ClampToInt32(static_cast<int64_t>(p.x) - start.x),
                  winmath::ClampToInt32(static_cast<int64_t>(p.y) - start.y)};
  };
  const TPoint leftTop = from({r.left, r.top});
  const TPoint rightBottom = from({r.right, r.bottom});
  extras.savedRect = {leftTop.x, leftTop.y, rightBottom.x, rightBottom.y};
  extras.savedLinkPoints.clear();
  for (const TPoint* p : extras.linkPoints) extras.savedLinkPoints.push_back(from(*p));
  for (TVexaControl* child : children_) child->BeginTransformation(origin);
}

void TVexaControl::EndTransformation() {
  if (!InTransformation()) return;
  if (extras_) extras_->savedLinkPoints.clear();
  for (TVexaControl* child : children_) child->EndTransformation();
  state_ &= static_cast<uint8_t>(~csTransforming);
}

// --- painting and hit testing

void TVexaControl::Paint(canvas::Canvas&, const TRect&) {}

int32_t TVexaControl::EffectiveTransparency() const {
  int32_t t = GetTransparency();
  if (layer_ && layer_ != this && layer_->GetTransparency() > 0) {
    const int32_t layer = layer_->GetTransparency();
    t = t * (100 - layer) / 100 + layer;
  }
  return t;
}

TRect TVexaControl::PaintExtent(int32_t x, int32_t y) const {
  TRect r = GetRefreshRect(x, y);
  for (const TVexaControl* child : children_) {
    const TRect c = child->PaintExtent(winmath::ClampToInt32(int64_t{x} + child->GetLeft()),
                                       winmath::ClampToInt32(int64_t{y} + child->GetTop()));
    r = {std::min(r.left, c.left), std::min(r.top, c.top), std::max(r.right, c.right), std::max(r.bottom, c.bottom)};
  }
  return r;
}

void TVexaControl::PaintAll(canvas::Canvas& canvas, int32_t originX, int32_t originY) {
  if (!owner_ || !GetVisible()) return;
  if (layer_ && layer_ != this && !layer_->GetVisible()) return;
  if (!noClippingTest_) {
    const TRect r = owner_->DocToPixelRect(GetRefreshRect(originX, originY));
    const TRect clip = owner_->PaintRect();
    if (r.left > clip.right || r.top > clip.bottom || r.right < clip.left || r.bottom < clip.top) return;
  }
  const int32_t transparency = EffectiveTransparency();
  const bool compose = transparencyMode_ == 1 ||
                       (transparencyMode_ == 0 && transparency > 0 && !owner_->SuppressesTransparency());
  std::unique_ptr<TAlphaBuffer> nested;
  canvas::Canvas* target = &canvas;
  if (compose) {
    // Inside a control that composes already, this one composes into that one's buffer.
    TAlphaBuffer* enclosing = &owner_->AlphaBuffer();
    for (const TVexaControl* p = parent_; p; p = p->parent_) {
      if (p->alphaInUse_) {
        enclosing = p->alphaInUse_;
        break;
      }
    }
    TAlphaBuffer* buffer = enclosing;
    if (enclosing->Drawing()) {
      nested = std::make_unique<TAlphaBuffer>(enclosing);
      buffer = nested.get();
    }
    // The buffer covers only what this control and its children can paint: a small
    // transparent control does not blend the whole paint rectangle.
    const TRect extent = owner_->DocToPixelRect(PaintExtent(originX, originY));
    const TRect paint = owner_->PaintRect();
    const TRect area{std::max(extent.left, paint.left), std::max(extent.top, paint.top),
                     std::min(extent.right + 1, paint.right), std::min(extent.bottom + 1, paint.bottom)};
    if (area.left < area.right && area.top < area.bottom && buffer->BeginDraw(&canvas, area)) {
      alphaInUse_ = buffer;
      target = buffer->GetCanvas();
    }
  }
  if (!noSelfPaint_) {
    Paint(*target, owner_->DocToPixelRect({originX, originY, originX + GetWidth(), originY + GetHeight()}));
  }
  for (TVexaControl* child : children_) {
    child->PaintAll(*target, originX + child->GetLeft(), originY + child->GetTop());
  }
  if (alphaInUse_) {
    alphaInUse_->EndDraw(transparency);
    alphaInUse_ = nullptr;
  }
}

bool TVexaControl::IsPointInside(int32_t x, int32_t y) const {
  const TRect r = GetPixelRect();
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

TVexaControl* TVexaControl::FindControlAt(int32_t x, int32_t y) {
  for (size_t i = children_.size(); i-- > 0;) {
    TVexaControl* child = children_[i];
    if (child->GetVisible() && child->IsSelectable() && child->IsPointInside(x, y)) return child;
  }
  return nullptr;
}

}  // namespace pv::graphics

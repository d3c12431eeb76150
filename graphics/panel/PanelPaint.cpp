// How the panel draws its document: the paint list that lets painting nest, the document
// with its background, shadow, frame, clip and space fill, the scheme's controls, and the
// editor overlays on top (link-point mark, selection handles, rubber band).

#include "panel/PanelPaint.h"

#include <algorithm>

#include "document/Schemes.h"
#include "panel/VexaPanel.h"

namespace pv::graphics {

namespace {

TRect Offset(const TRect& r, TPoint by) { return {r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y}; }
TRect Inflate(const TRect& r, int32_t d) { return {r.left - d, r.top - d, r.right + d, r.bottom + d}; }
bool IsEmptyRect(const TRect& r) { return r.right <= r.left || r.bottom <= r.top; }
TRect Normalized(const TRect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

}  // namespace

// ---- TVexaPaintList

TVexaPaintRecord& TVexaPaintList::BeginPaint(canvas::Canvas* canvas) {
  if (records_.empty()) records_.push_back(std::make_unique<TVexaPaintRecord>());
  TVexaPaintRecord* record = nullptr;
  if (!firstInUse_) {
    firstInUse_ = true;
    record = records_.front().get();
  } else {
    records_.push_back(std::make_unique<TVexaPaintRecord>());
    record = records_.back().get();
  }
  record->outermost = Depth() == 1;
  record->canvas = canvas;
  record->originX = panel_.origin_.x;
  record->originY = panel_.origin_.y;
  record->scale = panel_.scale_;
  record->paintRect = panel_.paintRect_;
  record->width = RectWidth(panel_.paintRect_);
  record->height = RectHeight(panel_.paintRect_);
  record->output = panel_.paintOutput_;
  record->transparency = panel_.paintTransparency_;
  record->pathFlag = panel_.paintPathFlag_;
  return *record;
}

void TVexaPaintList::EndPaint(TVexaPaintRecord& record) {
  panel_.origin_ = {record.originX, record.originY};
  panel_.scale_ = record.scale;
  panel_.paintRect_ = record.paintRect;
  panel_.paintOutput_ = record.output;
  panel_.paintTransparency_ = record.transparency;
  panel_.paintPathFlag_ = record.pathFlag;
  if (!records_.empty() && &record == records_.front().get()) {
    firstInUse_ = false;
    return;
  }
  const auto found = std::find_if(records_.begin() + 1, records_.end(),
                                  [&](const std::unique_ptr<TVexaPaintRecord>& r) { return r.get() == &record; });
  if (found != records_.end()) records_.erase(found);
}

// ---- Invalidation

void TVexaPanel::InvalidateDocRect(const TRect& docRect) {
  if (!window_.HasParent() || IsEmptyRect(Normalized(docRect))) return;
  window_.Invalidate(DocToPixelRect(Normalized(docRect)));
}

TRect TVexaPanel::SelectionDocRect() const {
  TRect out{0, 0, 0, 0};
  bool any = false;
  for (const TVexaControl* c : selection_) {
    const TRect r = c->GetDocRect();
    if (!any) {
      out = r;
      any = true;
      continue;
    }
    out = {std::min(out.left, r.left), std::min(out.top, r.top), std::max(out.right, r.right),
           std::max(out.bottom, r.bottom)};
  }
  return out;
}

void TVexaPanel::InvalidateSelection() {
  const TRect sel = SelectionDocRect();
  if (IsEmptyRect(sel) || !window_.HasParent()) return;
  window_.Invalidate(Inflate(DocToPixelRect(sel), 8));
}

void TVexaPanel::SetRubberBand(const TRect& docRect) {
  if (docRect == rubberBand_) return;
  // The focus rectangle's dots lie on the band's edges: one pixel more covers them.
  const auto invalidateBand = [&] {
    if (window_.HasParent() && !IsEmptyRect(Normalized(rubberBand_))) {
      window_.Invalidate(Inflate(DocToPixelRect(Normalized(rubberBand_)), 1));
    }
  };
  invalidateBand();
  rubberBand_ = docRect;
  invalidateBand();
}

void TVexaPanel::SetHighlightedLinkPoint(int index, TPoint docPoint) {
  const auto invalidateMark = [&] {
    if (linkPointIndex_ < 0 || !window_.HasParent()) return;
    const TPoint p = DocToPixelPoint(linkPoint_);
    window_.Invalidate({p.x - 4, p.y - 4, p.x + 5, p.y + 5});
  };
  invalidateMark();
  linkPointIndex_ = index;
  linkPoint_ = docPoint;
  invalidateMark();
}

// ---- Painting

void TVexaPanel::WindowPaint(canvas::Canvas& canvas, const TRect& updateRect) {
  BeginPaint();
  const TPoint origin = origin_;
  PaintDocument(canvas, {0, 0, RectWidth(updateRect), RectHeight(updateRect)}, false, false, false, false, false,
                false, nullptr, scale_, {origin.x + updateRect.left, origin.y + updateRect.top});
  EndPaint();
}

void TVexaPanel::PaintDocument(canvas::Canvas& canvas, const TRect& paintRect, bool transparency, bool pathFlag,
                               bool output, bool childrenOnly, bool selectedOnly, bool clipToRect,
                               TVexaControl* control, int32_t scale, TPoint origin) {
  if (destroying_) return;
  TVexaPaintRecord& record = paintList_->BeginPaint(&canvas);
  // The window's paint handler counts as painting inside the view; a paint from anywhere
  // else (a host drawing the document into its own canvas) always shows the frame.
  const bool inPaintHandler = Painting() && record.outermost;
  // Whether the document fills the view depends on the view's own origin, not on where in
  // the window this paint's rectangle lies.
  const TPoint viewOrigin = inPaintHandler ? origin_ : origin;
  canvas.SaveState();
  paintCanvas_ = &canvas;
  paintOutput_ = output;
  if (record.outermost) {
    viewOrigin_ = origin_;
    viewScale_ = scale_;
  }
  paintRect_ = paintRect;
  paintPathFlag_ = pathFlag;
  paintTransparency_ = transparency;
  ++customPainting_;
  origin_ = {origin.x - paintRect.left, origin.y - paintRect.top};
  scale_ = std::clamp(scale, kMinScale, kMaxScale);
  canvas.SetBrushOrigin({-origin_.x, -origin_.y});

  const int32_t w = ScaleValue(docWidth_);
  const int32_t h = ScaleValue(docHeight_);
  const TPoint shift{-origin_.x, -origin_.y};
  const TRect doc = Offset({0, 0, w, h}, shift);
  const bool framed = showDocFrame_ && !schemeBkStretch_ &&
                      (horzExtraSpace_ > 0 || vertExtraSpace_ > 0 || viewOrigin.x < 0 || viewOrigin.y < 0 || !inPaintHandler);

  if (docClipping_) {
    canvas.IntersectClipRect(doc);
    if (clipToRect) canvas.IntersectClipRect(paintRect);
  } else if (clipToRect) {
    canvas.IntersectClipRect(paintRect);
  }

  if (!output) {
    canvas.SetPen({canvas::PenStyle::Clear, 1, canvas::clBlack, canvas::PenMode::Copy});
    canvas.SetBrush({canvas::BrushStyle::Solid, Color, nullptr});
    canvas.FillRect(paintRect);
    if (framed) {
      if (docShadowColor_ != canvas::clNone) {
        canvas.SetBrush({canvas::BrushStyle::Solid, docShadowColor_, nullptr});
        canvas.FillRect(Offset({5, h + 1, w + 6, h + 6}, shift));
        canvas.FillRect(Offset({w + 1, 5, w + 6, h + 6}, shift));
      }
      if (docFrameColor_ != canvas::clNone) {
        canvas.SetPen({canvas::PenStyle::Solid, 1, docFrameColor_, canvas::PenMode::Copy});
        canvas.SetBrush({canvas::BrushStyle::Clear, canvas::clWhite, nullptr});
        canvas.Rectangle(Offset({-1, -1, w + 1, h + 1}, shift));
      }
    }
  }

  PaintScheme(canvas, control, childrenOnly, selectedOnly);

  if (!output && docSpaceFill_) {
    canvas.SetPen({canvas::PenStyle::Clear, 1, canvas::clBlack, canvas::PenMode::Copy});
    canvas.SetBrush(docSpaceBrush_);
    const TRect& p = paintRect;
    for (const TRect& band : {TRect{p.left, p.top, p.right, doc.top}, TRect{p.left, doc.bottom, p.right, p.bottom},
                              TRect{p.left, doc.top, doc.left, doc.bottom}, TRect{doc.right, doc.top, p.right, doc.bottom}}) {
      if (!IsEmptyRect(band)) canvas.FillRect(band);
    }
  }

  canvas.RestoreState();
  const bool outermost = record.outermost;
  paintList_->EndPaint(record);
  if (outermost) {
    origin_ = viewOrigin_;
    scale_ = viewScale_;
    paintRect_ = {0, 0, 0, 0};
    paintOutput_ = paintTransparency_ = paintPathFlag_ = false;
    paintCanvas_ = nullptr;
  }
  --customPainting_;
}

void TVexaPanel::PaintScheme(canvas::Canvas& canvas, TVexaControl* control, bool childrenOnly, bool selectedOnly) {
  TVexaControl* target = nullptr;
  if (selectedOnly) {
    TVexaControl* scheme = nullptr;
    if (control && control->IsCustomScheme()) {
      scheme = control;
    } else if (control && control->GetScheme()) {
      scheme = control->GetScheme();
    } else {
      scheme = activeScheme_;
    }
    if (scheme) {
      PaintSchemeEvent(canvas, *scheme);
      const TSchemePaintOrder order(*scheme, *layers_);
      for (int l = 0; l < order.LayerCount(); ++l) {
        for (TVexaControl* c : order.LayerControls(l)) {
          if (!IsSelected(c)) continue;
          const TRect r = c->GetDocRect();
          c->PaintAll(canvas, r.left, r.top);
        }
      }
    }
    target = scheme;
  } else {
    target = control && control->Owner() == this ? control : activeScheme_;
    if (!target && schemes_->GetCount() > 0) target = schemes_->GetChild(0);
    if (target && !childrenOnly) {
      const TRect r = target->GetDocRect();
      target->PaintAll(canvas, r.left, r.top);
    } else if (target) {
      const TRect r = target->GetDocRect();
      if (target->IsCustomScheme()) {
        const TSchemePaintOrder order(*target, *layers_);
        for (int l = 0; l < order.LayerCount(); ++l) {
          for (TVexaControl* c : order.LayerControls(l)) c->PaintAll(canvas, r.left + c->GetLeft(), r.top + c->GetTop());
        }
      } else {
        for (int i = 0; i < target->GetCount(); ++i) {
          TVexaControl* c = target->GetChild(i);
          c->PaintAll(canvas, r.left + c->GetLeft(), r.top + c->GetTop());
        }
      }
    }
  }
  if (!paintOutput_) {
    if (editing_) {
      PaintOverlayLines(canvas);
      PaintHandles(canvas);
    }
    PaintRubberBand(canvas);
  }
  if (OnPaintOver) OnPaintOver(*this, canvas, target, childrenOnly, selectedOnly);
}

// ---- Overlays (client pixels)

void TVexaPanel::PaintOverlayLines(canvas::Canvas& canvas) {
  if (linkPointIndex_ < 0) return;
  const TPoint p = DocToPixelPoint(linkPoint_);
  canvas.SaveState();
  canvas.SetPen({canvas::PenStyle::Solid, 1, canvas::clBlue, canvas::PenMode::NotXor});
  canvas.SetBrush({canvas::BrushStyle::Clear, canvas::clWhite, nullptr});
  canvas.Rectangle({p.x - 3, p.y - 3, p.x + 4, p.y + 4});
  canvas.RestoreState();
}

canvas::Region TVexaPanel::GetHandlesRegion() const {
  const TRect sel = SelectionDocRect();
  if (IsEmptyRect(sel)) return {};
  if (HideSelection && !window_.Focused()) return {};
  const TRect r = Inflate(DocToPixelRect(sel), 8);
  const int32_t hw = (RectWidth(r) - 6) / 2;
  const int32_t hh = (RectHeight(r) - 6) / 2;
  const auto square = [](int32_t x, int32_t y) { return TRect{x, y, x + 6, y + 6}; };
  const TRect squares[] = {square(r.left, r.top),          square(r.left + hw, r.top),
                           square(r.right - 6, r.top),     square(r.left, r.top + hh),
                           square(r.right - 6, r.top + hh), square(r.right - 6, r.bottom - 6),
                           square(r.left + hw, r.bottom - 6), square(r.left, r.bottom - 6)};
  return canvas::Region::FromRects(squares);
}

void TVexaPanel::PaintHandles(canvas::Canvas& canvas) {
  // The union's rectangles do not overlap: inverting each once inverts every handle pixel once.
  for (const TRect& r : GetHandlesRegion().Rects()) canvas.InvertRect(r);
}

void TVexaPanel::PaintRubberBand(canvas::Canvas& canvas) {
  const TRect band = Normalized(rubberBand_);
  if (RectWidth(band) < 2 || RectHeight(band) < 2) return;
  canvas.SaveState();
  canvas.SetBkColor(canvas::clWhite);
  canvas.DrawFocusRect(DocToPixelRect(band));
  canvas.RestoreState();
}

}  // namespace pv::graphics

// How the panel draws its document: the paint list that lets painting nest, the document
// with its background, shadow, frame, clip and space fill, the scheme's controls, and the
// editor overlays on top (link-point mark, selection handles, rubber band).

#include "panel/PanelPaint.h"

#include <algorithm>

#include "document/Schemes.h"
#include "panel/PointPaths.h"
#include "panel/VexaPanel.h"
#include "paths/PathQueries.h"
#include "paths/PathTypes.h"

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

// ---- TVexaPaintIndex

namespace {
// About this many controls per cell; a control over more cells than kLargeCells is kept apart.
constexpr int kPerCell = 4;
constexpr int kMaxCellsPerAxis = 1024;
constexpr int64_t kLargeCells = 64;
}  // namespace

TVexaPaintIndex::TVexaPaintIndex(const TVexaControl& scheme, const TVexaControl& layers, int32_t x, int32_t y)
    : x_(x), y_(y) {
  const TSchemePaintOrder order(scheme, layers);
  for (int l = 0; l < order.LayerCount(); ++l) {
    for (TVexaControl* c : order.LayerControls(l)) {
      const int32_t cx = x + c->GetLeft();
      const int32_t cy = y + c->GetTop();
      entries_.push_back({c, cx, cy, Normalized(c->PaintExtent(cx, cy))});
    }
  }
  if (entries_.empty()) return;
  bounds_ = entries_.front().extent;
  for (const Entry& e : entries_) {
    bounds_ = {std::min(bounds_.left, e.extent.left), std::min(bounds_.top, e.extent.top),
               std::max(bounds_.right, e.extent.right), std::max(bounds_.bottom, e.extent.bottom)};
  }
  int side = 1;
  while (side < kMaxCellsPerAxis && static_cast<size_t>(side) * side * kPerCell < entries_.size()) side *= 2;
  columns_ = rows_ = side;
  cellWidth_ = std::max<int64_t>(1, (static_cast<int64_t>(bounds_.right) - bounds_.left) / side + 1);
  cellHeight_ = std::max<int64_t>(1, (static_cast<int64_t>(bounds_.bottom) - bounds_.top) / side + 1);
  cells_.resize(static_cast<size_t>(columns_) * rows_);
  for (size_t i = 0; i < entries_.size(); ++i) {
    const TRect& r = entries_[i].extent;
    const int c0 = CellColumn(r.left), c1 = CellColumn(r.right);
    const int r0 = CellRow(r.top), r1 = CellRow(r.bottom);
    if (static_cast<int64_t>(c1 - c0 + 1) * (r1 - r0 + 1) > kLargeCells) {
      large_.push_back(static_cast<int32_t>(i));
      continue;
    }
    for (int row = r0; row <= r1; ++row) {
      for (int col = c0; col <= c1; ++col) cells_[static_cast<size_t>(row) * columns_ + col].push_back(static_cast<int32_t>(i));
    }
  }
  seen_.assign(entries_.size(), 0);
}

int TVexaPaintIndex::CellColumn(int64_t x) const {
  return static_cast<int>(std::clamp<int64_t>((x - bounds_.left) / cellWidth_, 0, columns_ - 1));
}

int TVexaPaintIndex::CellRow(int64_t y) const {
  return static_cast<int>(std::clamp<int64_t>((y - bounds_.top) / cellHeight_, 0, rows_ - 1));
}

void TVexaPaintIndex::Query(const TRect& docRect, std::vector<TVexaControl*>& out) const {
  out.clear();
  const TRect q = Normalized(docRect);
  if (entries_.empty() || q.right < bounds_.left || q.left > bounds_.right || q.bottom < bounds_.top ||
      q.top > bounds_.bottom) {
    return;
  }
  const auto meets = [&](const TRect& r) {
    return r.left <= q.right && q.left <= r.right && r.top <= q.bottom && q.top <= r.bottom;
  };
  const int c0 = CellColumn(q.left), c1 = CellColumn(q.right);
  const int r0 = CellRow(q.top), r1 = CellRow(q.bottom);
  // Most of the grid: the list in order is cheaper than collecting and sorting.
  if (static_cast<int64_t>(c1 - c0 + 1) * (r1 - r0 + 1) * 2 > static_cast<int64_t>(columns_) * rows_) {
    for (const Entry& e : entries_) {
      if (meets(e.extent)) out.push_back(e.control);
    }
    return;
  }
  if (++stamp_ == 0) {
    std::fill(seen_.begin(), seen_.end(), 0);
    stamp_ = 1;
  }
  std::vector<int32_t> found;
  const auto take = [&](int32_t i) {
    if (seen_[static_cast<size_t>(i)] == stamp_) return;
    seen_[static_cast<size_t>(i)] = stamp_;
    if (meets(entries_[static_cast<size_t>(i)].extent)) found.push_back(i);
  };
  for (int row = r0; row <= r1; ++row) {
    for (int col = c0; col <= c1; ++col) {
      for (int32_t i : cells_[static_cast<size_t>(row) * columns_ + col]) take(i);
    }
  }
  for (int32_t i : large_) take(i);
  std::sort(found.begin(), found.end());
  for (int32_t i : found) out.push_back(entries_[static_cast<size_t>(i)].control);
}

const TVexaPaintIndex& TVexaPanel::PaintIndexOf(const TVexaControl& scheme, int32_t x, int32_t y) {
  if (indexGeneration_ != docGeneration_) {
    paintIndexes_.clear();
    indexGeneration_ = docGeneration_;
  }
  std::unique_ptr<TVexaPaintIndex>& index = paintIndexes_[&scheme];
  if (!index || index->X() != x || index->Y() != y) index = std::make_unique<TVexaPaintIndex>(scheme, *layers_, x, y);
  return *index;
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

void TVexaPanel::PaintSchemeControls(canvas::Canvas& canvas, TVexaCustomScheme& scheme) {
  const TRect r = scheme.GetDocRect();
  if (!scheme.PaintPage(canvas, r.left, r.top)) return;
  // The document rectangle under the paint rectangle, a pixel wider on each side for the
  // rounding of the conversion; each control still culls itself exactly.
  const TPoint a = PixelToDocPoint({paintRect_.left - 2, paintRect_.top - 2});
  const TPoint b = PixelToDocPoint({paintRect_.right + 2, paintRect_.bottom + 2});
  const TVexaPaintIndex& index = PaintIndexOf(scheme, r.left, r.top);
  std::vector<TVexaControl*> controls;
  index.Query({a.x, a.y, b.x, b.y}, controls);
  for (TVexaControl* c : controls) c->PaintAll(canvas, r.left + c->GetLeft(), r.top + c->GetTop());
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
    if (target && !childrenOnly && target->IsCustomScheme()) {
      PaintSchemeControls(canvas, static_cast<TVexaCustomScheme&>(*target));
    } else if (target && !childrenOnly) {
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
      PaintEditPoints(canvas);
      PaintOverlayLines(canvas);
      PaintHandles(canvas);
    }
    PaintRubberBand(canvas);
  }
  if (OnPaintOver) OnPaintOver(*this, canvas, target, childrenOnly, selectedOnly);
}

// ---- Overlays (client pixels)

void TVexaPanel::PaintEditPoints(canvas::Canvas& canvas) {
  const canvas::Pen black{canvas::PenStyle::Solid, 1, canvas::clBlack, canvas::PenMode::Copy};
  const canvas::Pen dotted{canvas::PenStyle::Dot, 1, canvas::clBlue, canvas::PenMode::Copy};
  const canvas::Pen blue{canvas::PenStyle::Solid, 1, canvas::clBlue, canvas::PenMode::Copy};
  using pointedit::MarkRect;
  const TRect clip = Inflate(paintRect_, 3);
  const auto visible = [&](TPoint p) {
    return p.x >= clip.left && p.x < clip.right && p.y >= clip.top && p.y < clip.bottom;
  };
  canvas.SaveState();
  canvas.SetBkMode(canvas::BkMode::Transparent);
  canvas.SetBrush({canvas::BrushStyle::Clear, canvas::clWhite, nullptr});
  canvas.SetPen(black);
  if (!IsPointEditing()) {
    for (const TVexaControl* c : selection_) canvas.Rectangle(MarkRect(c->GetAnchorPoint()));
    canvas.RestoreState();
    return;
  }
  const TRect doc = pointEdited_->GetDocRect();
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  pointedit::EditedPoints(*pointEdited_, points, types);
  std::vector<TPoint> pixels(points.size());
  for (size_t i = 0; i < points.size(); ++i) pixels[i] = DocToPixelPoint({doc.left + points[i].x, doc.top + points[i].y});
  const auto isControl = [&](size_t i) { return types[i] == ptControl; };
  // One selected node shows the handles of the curve segments on either side of it.
  std::vector<size_t> handles;
  if (selectedPoints_ == 1) {
    const size_t node = static_cast<size_t>(std::find(pointSelection_.begin(), pointSelection_.end(), 1) -
                                            pointSelection_.begin());
    if (node < points.size() && !isControl(node)) {
      if (node > 0 && isControl(node - 1)) handles.push_back(node - 1);
      if (node + 1 < points.size() && isControl(node + 1)) handles.push_back(node + 1);
      canvas.SetPen(dotted);
      for (const size_t h : handles) {
        canvas.MoveTo(pixels[node].x, pixels[node].y);
        canvas.LineTo(pixels[h].x, pixels[h].y);
      }
      canvas.SetPen(black);
    }
  }
  const auto paintMarker = [&](size_t i, const TPoint* previous, bool previousSelected) {
    const bool selected = i < pointSelection_.size() && pointSelection_[i];
    TRect r = MarkRect(pixels[i]);
    if (previous && *previous == pixels[i]) {
      // A point on the pixel of the one before shows only when it is selected and that one
      // is not, and then smaller.
      if (!selected || previousSelected) return;
      r = {r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    }
    if (selected) {
      canvas.InvertRect(r);
    } else {
      canvas.Rectangle(r);
    }
  };
  const TPoint* previous = nullptr;
  bool previousSelected = false;
  for (size_t i = 0; i < points.size(); ++i) {
    if (isControl(i) && std::find(handles.begin(), handles.end(), i) == handles.end()) continue;
    if (visible(pixels[i])) paintMarker(i, previous, previousSelected);
    previous = &pixels[i];
    previousSelected = i < pointSelection_.size() && pointSelection_[i];
  }
  if (showEditPointGuide_ && editGuide_.count > 0) {
    std::vector<TPoint> guide(editGuide_.points.size());
    for (size_t i = 0; i < guide.size(); ++i) {
      guide[i] = DocToPixelPoint({doc.left + editGuide_.points[i].x, doc.top + editGuide_.points[i].y});
    }
    canvas.SetPen(dotted);
    const TPathFigureInfos infos = BuildFigureInfos(guide, editGuide_.types);
    if (CreatePlatformPath(canvas, guide, editGuide_.types, &infos, true, false, true)) canvas.StrokePath();
    canvas.SetPen(blue);
    for (size_t i = 0; i < guide.size(); ++i) {
      if (i < editGuide_.selection.size() && editGuide_.selection[i]) canvas.Rectangle(MarkRect(guide[i]));
    }
  }
  canvas.RestoreState();
}

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

#include "document/Clone.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>

#include "canvas/BitmapCanvas.h"
#include "canvas/Canvas.h"
#include "canvas/OffsetCanvas.h"
#include "controls/VexaPanel.h"
#include "document/FlagScope.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

const TVexaControlClass TVexaClone::ClassInfo{{"TVexaClone", &TVexaControl::ClassInfo.ref},
                                              &TVexaControl::Creator<TVexaClone>};

namespace {

// The colour that stands for "not painted" in the bitmap a stretched source is drawn into.
constexpr canvas::TColor kUntouched = 0x00FE01FE;

// The sources measured within one outermost clone's refresh rectangle, each measured once:
// clones of groups of clones reach one source by as many ways as there are copies of it, twice
// as many a level, and the rectangle is asked for while such a document is still being read,
// before it can be refused.
thread_local std::unordered_map<const TVexaControl*, TRect>* measuredSources = nullptr;

class TMeasuredSources {
 public:
  TMeasuredSources() : outermost_(measuredSources == nullptr) {
    if (outermost_) measuredSources = &sources_;
  }
  ~TMeasuredSources() {
    if (outermost_) measuredSources = nullptr;
  }
  TMeasuredSources(const TMeasuredSources&) = delete;
  TMeasuredSources& operator=(const TMeasuredSources&) = delete;

 private:
  bool outermost_;
  std::unordered_map<const TVexaControl*, TRect> sources_;
};

}  // namespace

void TVexaClone::CreateProperties() {
  TVexaControl::CreateProperties();
  source_ = Props().Create<TLinkProp>("Source");
  source_->SetFlags(pfNew | pfReference);
  source_->OnLinkNotify = [this](TLinkProp&, const TNotifyLinkInfo& info) { SourceMessage(info); };
  autoSize_ = Props().Create<TBoolProp>("AutoSize");
}

void TVexaClone::ControlCreate() {
  SetWidth(1);
  SetHeight(1);
  SetAutoSize(true);
  TVexaControl::ControlCreate();
  SetVisible(true);
}

bool TVexaClone::IsRefusedSource(const TVexaControl* source) const {
  if (!source) return false;
  return source == this || source->InheritsFrom(ClassInfo) || source->IsAncestorOf(this);
}

void TVexaClone::SetSizeLocked(bool locked) {
  locked = locked && GetAutoSize();
  if (locked == sizeLocked_) return;
  sizeLocked_ = locked;
  for (TIntProp* p : {width_, height_}) {
    p->SetFlags(static_cast<uint8_t>(locked ? p->Flags() | pfReadOnly : p->Flags() & ~pfReadOnly));
  }
}

void TVexaClone::UpdateSize() {
  TVexaControl* source = GetSource();
  if (!source) return;
  SetSizeLocked(false);
  {
    TFlagScope updating(updatingSize_);
    BeginUpdate();
    SetWidth(source->GetWidth());
    SetHeight(source->GetHeight());
    EndUpdate();
  }
  SetSizeLocked(true);
}

void TVexaClone::RestoreDocRect(const TRect& rect) {
  const bool locked = sizeLocked_;
  SetSizeLocked(false);
  {
    TFlagScope updating(updatingSize_);
    TVexaControl::RestoreDocRect(rect);
  }
  SetSizeLocked(locked);
}

void TVexaClone::PropReadOnly(TCustomProp& prop, bool& readOnly) {
  TVexaControl::PropReadOnly(prop, readOnly);
  if (updatingSize_ && (&prop == width_ || &prop == height_)) readOnly = false;
}

void TVexaClone::DropSourceHoldingThis() {
  TVexaControl* source = GetSource();
  if (!source || !source->IsAncestorOf(this) || HistoryReplays()) return;
  if (Owner() && Owner()->IsLoading()) return;
  source_->SetLinkedControl(nullptr);
}

void TVexaClone::Notify(TVexaNotify code) {
  TVexaControl::Notify(code);
  if (code == TVexaNotify::fnParent) DropSourceHoldingThis();
}

void TVexaClone::SourceMessage(const TNotifyLinkInfo& info) {
  // Whatever the source says once it holds the clone (it took the clone in, it grew around
  // it), the clone lets it go before following it.
  if (GetSource() && GetSource()->IsAncestorOf(this) && !HistoryReplays()) {
    DropSourceHoldingThis();
    return;
  }
  if (info.Code != TNotifyCode::PropChanged || !GetSource()) return;
  auto* prop = dynamic_cast<TCustomProp*>(info.Subject);
  if (!prop || prop->OwnerList() != &GetSource()->Props()) return;
  const std::string_view name = prop->Name();
  if ((name == "Width" || name == "Height") && GetAutoSize()) {
    UpdateSize();
  } else if (!prop->HasFlag(pfNoRepaint)) {
    Invalidate();
  }
}

void TVexaClone::PropChanged(TCustomProp& prop) {
  if (&prop == source_) {
    TVexaControl* source = GetSource();
    if (!source) {
      SetSizeLocked(false);
    } else if (IsRefusedSource(source) && !HistoryReplays()) {
      // Undo may give the source back while it still holds the clone: the same step moves the
      // clone out of it next.
      source_->SetLinkedControl(nullptr);  // re-enters with no source
      return;
    } else if (GetAutoSize() && HistoryReplays()) {
      SetSizeLocked(true);  // the size comes back with the step's own rectangle
    } else if (GetAutoSize()) {
      UpdateSize();
    }
  }
  if (&prop == autoSize_) {
    if (GetAutoSize()) {
      UpdateSize();
    } else {
      SetSizeLocked(false);
    }
  }
  TVexaControl::PropChanged(prop);
}

void TVexaClone::PropStored(TCustomProp& prop, std::string_view subName, bool& stored) {
  TVexaControl::PropStored(prop, subName, stored);
  if (!subName.empty()) return;
  if (&prop == source_) stored = GetSource() != nullptr;
  if (&prop == autoSize_) stored = !GetAutoSize();
}

TRect TVexaClone::GetRefreshRect(int32_t x, int32_t y) const {
  TRect r = TVexaControl::GetRefreshRect(x, y);
  const TVexaControl* source = GetSource();
  if (!source || busy_) return r;
  const TMeasuredSources scope;
  TRect s;
  if (const auto known = measuredSources->find(source); known != measuredSources->end()) {
    s = known->second;
  } else {
    TFlagScope busy(busy_);
    s = source->GetRefreshRect(0, 0);
    measuredSources->emplace(source, s);
  }
  const int32_t sw = source->GetWidth();
  const int32_t sh = source->GetHeight();
  // In doubles: a source reaching the ends of the 32-bit range overhangs by more than it holds.
  double left = -static_cast<double>(s.left);
  double top = -static_cast<double>(s.top);
  double right = static_cast<double>(s.right) - sw;
  double bottom = static_cast<double>(s.bottom) - sh;
  if (!GetAutoSize()) {
    const double kx = sw ? static_cast<double>(GetWidth()) / sw : 0.0;
    const double ky = sh ? static_cast<double>(GetHeight()) / sh : 0.0;
    left *= kx;
    right *= kx;
    top *= ky;
    bottom *= ky;
  }
  // The source's overhang, scaled, held at the edges of the coordinate range.
  const auto widened = [](int32_t edge, double by) {
    return winmath::ClampToInt32(int64_t{edge} + std::llround(std::clamp(by, -4294967296.0, 4294967296.0)));
  };
  return {widened(r.left, -left), widened(r.top, -top), widened(r.right, right), widened(r.bottom, bottom)};
}

void TVexaClone::Paint(canvas::Canvas& canvas, const TRect& rect) {
  IVexaPanel* panel = Owner();
  TVexaControl* source = GetSource();
  if (!panel || busy_) return;
  if (!source) {
    if (!panel->PaintsOnScreen() || !panel->ShowsEditingAids()) return;
    canvas.SetPen({canvas::PenStyle::Dash, 1, canvas::clBlack, canvas::PenMode::Copy});
    canvas.SetBrush({canvas::BrushStyle::Clear, canvas::clWhite, nullptr});
    canvas.Rectangle(rect);
    return;
  }
  TFlagScope busy(busy_);
  const TRect sourcePixels = source->GetPixelRect();
  if (!GetAutoSize() && (RectWidth(rect) != RectWidth(sourcePixels) || RectHeight(rect) != RectHeight(sourcePixels))) {
    PaintStretched(canvas, rect, *source);
    return;
  }
  const TRect doc = GetDocRect();
  source->PaintAll(canvas, doc.left, doc.top);
}

// Without a world transform on the canvas, the source is painted alone into a bitmap of its
// own pixel size and the bitmap is stretched into the clone's rectangle.
void TVexaClone::PaintStretched(canvas::Canvas& canvas, const TRect& rect, TVexaControl& source) {
  IVexaPanel& panel = *Owner();
  const TRect pixels = source.GetPixelRect();
  if (RectWidth(pixels) <= 0 || RectHeight(pixels) <= 0 || RectWidth(rect) <= 0 || RectHeight(rect) <= 0) return;
  canvas::Bitmap bitmap(RectWidth(pixels), RectHeight(pixels), kUntouched);
  std::unique_ptr<canvas::Canvas> inner = canvas::CreateBitmapCanvas(bitmap);
  if (!inner) return;
  {
    canvas::OffsetCanvas shifted(std::move(inner), {pixels.left, pixels.top});
    const TRect paintRect = panel.PaintRect();
    panel.SetPaintRect(pixels);
    const TRect doc = source.GetDocRect();
    try {
      source.PaintAll(shifted, doc.left, doc.top);
    } catch (...) {
      panel.SetPaintRect(paintRect);
      throw;
    }
    panel.SetPaintRect(paintRect);
  }
  bitmap.transparent = true;
  bitmap.transparentColor = kUntouched;
  canvas.StretchDraw(rect, bitmap);
}

namespace {

// Everything a control paints, itself included, and how many clones deep that goes, remembered
// per control: a source shown by many clones is counted once and its totals reused. Totals are
// held at kHuge, far past any limit.
class TClonePaintCount {
 public:
  static constexpr int64_t kHuge = int64_t{1} << 60;

  struct Walk {
    int64_t painted = 1;
    int depth = 0;  // clones of clones, the deepest way down
  };

  // What painting c walks, its own subtree included; plain grows by the size of that subtree.
  Walk Painted(const TVexaControl& c, int64_t& plain) {
    const auto found = walks_.find(&c);
    if (found != walks_.end()) {
      plain += Size(c);
      // A control still being counted is a clone's way back into its own source, where
      // painting stops.
      return found->second.painted < 0 ? Walk{} : found->second;
    }
    ++plain;
    walks_[&c] = Walk{-1, 0};
    Walk own;
    const auto* clone = dynamic_cast<const TVexaClone*>(&c);
    if (clone && clone->GetSource()) {
      // Deeper than the limit need not be walked to be refused (nor exhaust the stack).
      if (hops_ >= kMaxCloneDepth) {
        own.depth = kMaxCloneDepth + 1;
      } else {
        ++hops_;
        int64_t inSource = 0;  // the source's own controls are counted where they stand
        const Walk source = Painted(*clone->GetSource(), inSource);
        --hops_;
        own.painted = Sum(own.painted, source.painted);
        own.depth = source.depth + 1;
      }
    }
    for (int i = 0; i < c.GetCount(); ++i) {
      const Walk child = Painted(*c.GetChild(i), plain);
      own.painted = Sum(own.painted, child.painted);
      own.depth = std::max(own.depth, child.depth);
    }
    walks_[&c] = own;
    deepest_ = std::max(deepest_, own.depth);
    return own;
  }

  int Deepest() const { return deepest_; }
  static int64_t Sum(int64_t a, int64_t b) { return std::min(kHuge, a + b); }

 private:
  static int64_t Size(const TVexaControl& c) {
    int64_t n = 1;
    for (int i = 0; i < c.GetCount(); ++i) n += Size(*c.GetChild(i));
    return n;
  }

  std::unordered_map<const TVexaControl*, Walk> walks_;
  int hops_ = 0;
  int deepest_ = 0;
};

}  // namespace

int64_t CountClonePaintedControls(std::span<TVexaControl* const> roots) {
  TClonePaintCount count;
  int64_t painted = 0;
  int64_t plain = 0;
  for (const TVexaControl* root : roots) {
    if (root) painted = TClonePaintCount::Sum(painted, count.Painted(*root, plain).painted);
  }
  if (count.Deepest() > kMaxCloneDepth) return kMaxClonePaintedControls + 1;
  return std::clamp<int64_t>(painted - plain, 0, kMaxClonePaintedControls + 1);
}

void RequireBoundedClones(std::span<TVexaControl* const> roots) {
  if (CountClonePaintedControls(roots) <= kMaxClonePaintedControls) return;
  throw ECloneLimitError("Clones of clones would paint more than " + std::to_string(kMaxClonePaintedControls) +
                         " controls (or nest more than " + std::to_string(kMaxCloneDepth) + " deep)");
}

}  // namespace pv::graphics

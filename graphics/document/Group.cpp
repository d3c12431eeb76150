#include "document/Group.h"

#include <algorithm>
#include <cmath>

#include "controls/VexaPanel.h"
#include "document/FlagScope.h"
#include "history/History.h"

namespace pv::graphics {

const TVexaControlClass TVexaGroup::ClassInfo{{"TVexaGroup", &TVexaControl::ClassInfo.ref},
                                              &TVexaControl::Creator<TVexaGroup>};

namespace {

int32_t RoundScaled(double scale, int32_t v) { return static_cast<int32_t>(std::lround(scale * v)); }

}  // namespace

void TVexaGroup::ControlCreate() {
  SetNoSelfPaint(true);
  TVexaControl::ControlCreate();
  SetVisible(true);
}

bool TVexaGroup::AnyChildIsHistorySource() const {
  if (!Owner()) return false;
  const TVexaObject* source = Owner()->History().GetCurrentSource();
  for (int i = 0; i < GetCount(); ++i) {
    if (GetChild(i)->Owns(source)) return true;
  }
  return false;
}

TRect TVexaGroup::ChildrenUnion() const {
  TRect u{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int i = 0; i < GetCount(); ++i) {
    const TVexaControl* c = GetChild(i);
    u = {std::min(u.left, c->GetLeft()), std::min(u.top, c->GetTop()), std::max(u.right, c->GetLeft() + c->GetWidth()),
         std::max(u.bottom, c->GetTop() + c->GetHeight())};
  }
  return u;
}

void TVexaGroup::ShiftChildren(int32_t dx, int32_t dy) {
  for (int i = 0; i < GetCount(); ++i) {
    TVexaControl* c = GetChild(i);
    c->BeginUpdate();
    c->SetLeft(c->GetLeft() + dx);
    c->SetTop(c->GetTop() + dy);
    c->EndUpdate();
  }
}

void TVexaGroup::RefitToChildren() {
  if (refitting_ || moving_ || IsHistorySource()) return;
  TFlagScope refitting(refitting_);
  if (AnyChildIsHistorySource()) return;
  const TRect doc = GetDocRect();
  if (GetCount() == 0) {
    SetDocRect({doc.left, doc.top, doc.left + 1, doc.top + 1});
    return;
  }
  const TRect u = ChildrenUnion();
  if (u.left != 0 || u.top != 0) ShiftChildren(-u.left, -u.top);
  const int32_t left = doc.left + u.left;
  const int32_t top = doc.top + u.top;
  SetDocRect({left, top, left + (u.right - u.left), top + (u.bottom - u.top)});
}

void TVexaGroup::PropBeforeChanged(TCustomProp& prop) {
  if ((&prop == left_ || &prop == top_) && !moving_) moveRect_ = GetDocRect();
  if ((&prop == width_ || &prop == height_) && !InTransformation() && !refitting_ && !IsHistorySource()) {
    resizing_ = true;
    const TRect doc = GetDocRect();
    BeginTransformation({doc.left, doc.top});
  }
  TVexaControl::PropBeforeChanged(prop);
}

void TVexaGroup::PropChanged(TCustomProp& prop) {
  if ((&prop == left_ || &prop == top_) && !moving_) {
    // The descendants moved along: their link points follow.
    TFlagScope moving(moving_);
    const TRect now = GetDocRect();
    const int32_t dx = now.left - moveRect_.left;
    const int32_t dy = now.top - moveRect_.top;
    TPassControlRec pass;
    pass.PassFirst(this);
    for (TVexaControl* c = pass.PassNext(); c; c = pass.PassNext()) c->FollowAncestorMove(dx, dy);
  }
  if ((&prop == width_ || &prop == height_) && resizing_) {
    const TRect saved = SavedRect();
    const int32_t savedWidth = saved.right - saved.left;
    const int32_t savedHeight = saved.bottom - saved.top;
    if (GetCount() > 0 && savedWidth > 0 && savedHeight > 0) {
      const double sx = static_cast<double>(GetWidth()) / savedWidth;
      const double sy = static_cast<double>(GetHeight()) / savedHeight;
      const TPoint origin = SavedOrigin();
      TPassControlRec pass;
      pass.PassFirst(this);
      for (TVexaControl* c = pass.PassNext(); c; c = pass.PassNext()) {
        const TRect r = c->SavedRect();
        c->SetDocRect({RoundScaled(sx, r.left) + origin.x, RoundScaled(sy, r.top) + origin.y,
                       RoundScaled(sx, r.right) + origin.x, RoundScaled(sy, r.bottom) + origin.y});
      }
    }
    resizing_ = false;
    EndTransformation();
  }
  TVexaControl::PropChanged(prop);
}

void TVexaGroup::Rotate(const TRotateRec& rec) {
  if (GetCount() > 0) {
    const TRect u = ChildrenUnion();
    {
      TFlagScope refitting(refitting_);
      ShiftChildren(-u.left, -u.top);
    }
    const TRect doc = GetDocRect();
    BeginRotation();
    {
      TFlagScope refitting(refitting_);
      SetDocRect({doc.left + u.left, doc.top + u.top, doc.left + u.right, doc.top + u.bottom});
    }
    EndRotation();
  }
  RotatePoints(rec);
}

void TVexaGroup::RotateAll(const TRotateRec& rec) {
  if (rec.mirror && Props().IsReadOnly(*width_)) return;
  if (rec.angle == 180 && Props().IsReadOnly(*height_)) return;
  BeginUpdate();
  const TRect before = UpdateRect();
  TVexaControl::RotateAll(rec);
  const bool pending = TakePendingRect();
  EndUpdate();
  if (!pending) return;
  BeginUpdate();
  MarkPendingRect(before);
  EndUpdate();
}

TRect TVexaGroup::GetRefreshRect(int32_t x, int32_t y) const {
  TRect r = TVexaControl::GetRefreshRect(x, y);
  for (int i = 0; i < GetCount(); ++i) {
    const TVexaControl* c = GetChild(i);
    const TRect cr = c->GetRefreshRect(x + c->GetLeft(), y + c->GetTop());
    r = {std::min(r.left, cr.left), std::min(r.top, cr.top), std::max(r.right, cr.right), std::max(r.bottom, cr.bottom)};
  }
  return r;
}

bool TVexaGroup::IsPointInside(int32_t x, int32_t y) const {
  for (int i = GetCount() - 1; i >= 0; --i) {
    if (GetChild(i)->IsPointInside(x, y)) return true;
  }
  return false;
}

}  // namespace pv::graphics

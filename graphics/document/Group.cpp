#include "document/Group.h"

#include <algorithm>
#include <cmath>

#include "base/Geometry.h"
#include "controls/VexaPanel.h"
#include "document/FlagScope.h"
#include "history/History.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

const TVexaControlClass TVexaGroup::ClassInfo{{"TVexaGroup", &TVexaControl::ClassInfo.ref},
                                              &TVexaControl::Creator<TVexaGroup>};

namespace {

using winmath::ClampToInt32;

TRect Clamped(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  return {ClampToInt32(left), ClampToInt32(top), ClampToInt32(right), ClampToInt32(bottom)};
}

}  // namespace

void TVexaGroup::ControlCreate() {
  SetNoSelfPaint(true);
  TVexaControl::ControlCreate();
  SetVisible(true);
}

// Undo and redo give back the fit the step recorded (the group's rectangle and its children's
// places); fitting again on top of them would move the children twice.
bool TVexaGroup::AnyChildIsHistorySource() const {
  if (!Owner()) return false;
  const TVexaObject* source = Owner()->History().GetCurrentSource();
  for (int i = 0; i < GetCount(); ++i) {
    if (GetChild(i)->Owns(source)) return true;
  }
  return false;
}

TRect TVexaGroup::ChildrenUnion() const {
  int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
  for (int i = 0; i < GetCount(); ++i) {
    const TVexaControl* c = GetChild(i);
    left = std::min<int64_t>(left, c->GetLeft());
    top = std::min<int64_t>(top, c->GetTop());
    right = std::max(right, int64_t{c->GetLeft()} + c->GetWidth());
    bottom = std::max(bottom, int64_t{c->GetTop()} + c->GetHeight());
  }
  return Clamped(left, top, right, bottom);
}

void TVexaGroup::ShiftChildren(int64_t dx, int64_t dy) {
  for (int i = 0; i < GetCount(); ++i) {
    TVexaControl* c = GetChild(i);
    c->BeginUpdate();
    c->SetLeft(ClampToInt32(c->GetLeft() + dx));
    c->SetTop(ClampToInt32(c->GetTop() + dy));
    c->EndUpdate();
  }
}

void TVexaGroup::RefitToChildren() {
  if (refitting_ || moving_ || IsHistorySource() || HistoryReplays()) return;
  TFlagScope refitting(refitting_);
  if (AnyChildIsHistorySource()) return;
  const TRect doc = GetDocRect();
  if (GetCount() == 0) {
    SetDocRect({doc.left, doc.top, doc.left + 1, doc.top + 1});
    return;
  }
  const TRect u = ChildrenUnion();
  if (u.left != 0 || u.top != 0) ShiftChildren(-int64_t{u.left}, -int64_t{u.top});
  const int64_t left = int64_t{doc.left} + u.left;
  const int64_t top = int64_t{doc.top} + u.top;
  SetDocRect(Clamped(left, top, left + (int64_t{u.right} - u.left), top + (int64_t{u.bottom} - u.top)));
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
    const int32_t dx = ClampToInt32(int64_t{now.left} - moveRect_.left);
    const int32_t dy = ClampToInt32(int64_t{now.top} - moveRect_.top);
    TPassControlRec pass;
    pass.PassFirst(this);
    for (TVexaControl* c = pass.PassNext(); c; c = pass.PassNext()) c->FollowAncestorMove(dx, dy);
  }
  if ((&prop == width_ || &prop == height_) && resizing_) {
    const TRect saved = SavedRect();
    const int64_t savedWidth = int64_t{saved.right} - saved.left;
    const int64_t savedHeight = int64_t{saved.bottom} - saved.top;
    if (GetCount() > 0 && savedWidth > 0 && savedHeight > 0) {
      const double sx = static_cast<double>(GetWidth()) / savedWidth;
      const double sy = static_cast<double>(GetHeight()) / savedHeight;
      const TPoint origin = SavedOrigin();
      TPassControlRec pass;
      pass.PassFirst(this);
      for (TVexaControl* c = pass.PassNext(); c; c = pass.PassNext()) {
        const TRect r = c->SavedRect();
        c->SetDocRect(Clamped(int64_t{RoundScaled(sx, r.left)} + origin.x, int64_t{RoundScaled(sy, r.top)} + origin.y,
                              int64_t{RoundScaled(sx, r.right)} + origin.x, int64_t{RoundScaled(sy, r.bottom)} + origin.y));
      }
    }
    resizing_ = false;
    EndTransformation();
  }
  TVexaControl::PropChanged(prop);
}

// Fitting to the children is no move of the group's own: a layer that holds the group still
// does not refuse it. Otherwise a load would fit the group or not depending on whether its
// layer was known yet, and the same document would read back different.
void TVexaGroup::PropReadOnly(TCustomProp& prop, bool& readOnly) {
  TVexaControl::PropReadOnly(prop, readOnly);
  if (refitting_ && (&prop == left_ || &prop == top_ || &prop == width_ || &prop == height_)) readOnly = false;
}

void TVexaGroup::Rotate(const TRotateRec& rec) {
  if (GetCount() > 0) {
    const TRect u = ChildrenUnion();
    {
      TFlagScope refitting(refitting_);
      ShiftChildren(-int64_t{u.left}, -int64_t{u.top});
    }
    const TRect doc = GetDocRect();
    BeginRotation();
    {
      TFlagScope refitting(refitting_);
      SetDocRect(Clamped(int64_t{doc.left} + u.left, int64_t{doc.top} + u.top, int64_t{doc.left} + u.right,
                         int64_t{doc.top} + u.bottom));
    }
    EndRotation();
  }
  RotatePoints(rec);
}

void TVexaGroup::RotateAll(const TRotateRec& rec) {
  if (rec.mirror && Props().IsReadOnly(*width_)) return;
  if (rec.angle == 180 && Props().IsReadOnly(*height_)) return;
  // One bracket, so that the children's places it records are those from before they
  // turned. It ends in one rectangle notification against the rectangle from before, also
  // when the rectangle stays (a half turn or a mirror turns the children inside it).
  BeginUpdate();
  const TRect before = UpdateRect();
  TVexaControl::RotateAll(rec);
  TakePendingRect();
  MarkPendingRect(before);
  // The group's own link points turned with it: the notification must not scale them again.
  BeginRotation();
  EndUpdate();
  EndRotation();
  // An empty bracket places the link points against the turned rectangle.
  BeginUpdate();
  EndUpdate();
}

void TVexaGroup::EndTransformation() {
  if (!InTransformation()) return;
  TVexaControl::EndTransformation();
  if (!(Owner() && Owner()->IsLoading())) RefitToChildren();
}

TRect TVexaGroup::GetRefreshRect(int32_t x, int32_t y) const {
  TRect r = TVexaControl::GetRefreshRect(x, y);
  for (int i = 0; i < GetCount(); ++i) {
    const TVexaControl* c = GetChild(i);
    const TRect cr = c->GetRefreshRect(ClampToInt32(int64_t{x} + c->GetLeft()), ClampToInt32(int64_t{y} + c->GetTop()));
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

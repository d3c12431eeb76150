#include "base/NotifyLink.h"

#include <stdexcept>

#include "base/ApplicationError.h"

namespace pv::graphics {

TNotifyLink::TNotifyLink(void* owner) : owner_(owner) {
  if (!owner) throw std::invalid_argument("Owner must exist");
}

TNotifyLink::~TNotifyLink() {
  DestroyNotify();
  for (NotifyFrame* frame = frames_; frame; frame = frame->outer) frame->freed = true;
}

int TNotifyLink::Find(const TNotifyLink* link) const {
  for (size_t i = 0; i < partners_.size(); ++i) {
    if (partners_[i].link == link) return static_cast<int>(i);
  }
  return -1;
}

void TNotifyLink::Drop(const TNotifyLink* link) {
  const int i = Find(link);
  if (i >= 0) partners_.erase(partners_.begin() + i);
}

int TNotifyLink::IndexOf(const TNotifyLink* link) const {
  const int i = Find(link);
  return i < 0 ? -1 : 2 * i;
}

int TNotifyLink::ListenerCount(const TNotifyLink* link) const {
  const int i = Find(link);
  return i < 0 ? 0 : partners_[static_cast<size_t>(i)].count;
}

int TNotifyLink::AddListener(TNotifyLink* link) {
  if (!link || destroying_) return -1;
  const int i = Find(link);
  if (i < 0) {
    partners_.push_back({1, link});
    link->partners_.push_back({0, this});
    return 1;
  }
  return ++partners_[static_cast<size_t>(i)].count;
}

int TNotifyLink::RemoveListener(TNotifyLink* link) {
  if (!link || destroying_) return -1;
  const int i = Find(link);
  if (i < 0) return -1;
  Partner& pair = partners_[static_cast<size_t>(i)];
  const int count = pair.count - 1;
  if (count < 0) return count;
  pair.count = count;
  if (count == 0 && link->ListenerCount(this) == 0) {
    partners_.erase(partners_.begin() + i);
    link->Drop(this);
  }
  return count;
}

int TNotifyLink::Notify(const TNotifyLinkInfo& info) {
  if (destroying_) return 0;
  // Handlers add and remove listeners and free links: walk a snapshot and check each
  // partner against the live list before calling it.
  std::vector<TNotifyLink*> snapshot;
  snapshot.reserve(partners_.size());
  for (const Partner& p : partners_) {
    if (p.count > 0) snapshot.push_back(p.link);
  }
  NotifyFrame frame{false, frames_};
  frames_ = &frame;
  int called = 0;
  for (TNotifyLink* partner : snapshot) {
    if (ListenerCount(partner) <= 0) continue;
    if (!partner->OnNotify || partner->destroying_) continue;
    ++called;
    try {
      partner->OnNotify(*partner, this, info);
    } catch (...) {
      HandleApplicationException();
    }
    if (frame.freed) return called;
  }
  frames_ = frame.outer;
  return called;
}

int TNotifyLink::ControlNotify(TVexaObject* control, TVexaNotify notify) {
  TNotifyLinkInfo info;
  info.Code = TNotifyCode::Control;
  info.Subject = control;
  info.Notify = notify;
  return Notify(info);
}

int TNotifyLink::PropNotify(TVexaObject* prop, bool before) {
  TNotifyLinkInfo info;
  info.Code = before ? TNotifyCode::PropBeforeChange : TNotifyCode::PropChanged;
  info.Subject = prop;
  return Notify(info);
}

void TNotifyLink::DestroyNotify() {
  TNotifyLinkInfo info;
  info.Code = TNotifyCode::Free;
  if (!destroying_) {
    destroying_ = true;
    if (OnNotify) {
      try {
        OnNotify(*this, nullptr, info);
      } catch (...) {
        HandleApplicationException();
      }
    }
  }
  while (!partners_.empty()) {
    TNotifyLink* partner = partners_.back().link;
    if (partner->Find(this) >= 0 && partner->OnNotify) {
      try {
        partner->OnNotify(*partner, this, info);
      } catch (...) {
        HandleApplicationException();
      }
    }
    // A partner freed by its handler has already taken its pair away.
    if (Find(partner) < 0) continue;
    partner->Drop(this);
    Drop(partner);
  }
}

}  // namespace pv::graphics

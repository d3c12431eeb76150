#pragma once
// The two-way notification link between controls, properties and property lists. A link
// sends to the partners that listen to it; every partner knows the link, so that whichever
// side goes first can tell the other.

#include <cstdint>
#include <functional>
#include <vector>

namespace pv::graphics {

class TVexaObject;

// The control notifications, in their stored order.
enum class TVexaNotify : uint8_t {
  fnName, fnID, fnRect, fnAnchorPoints, fnEditPoints, fnLinkPoints, fnOrder, fnParent, fnLoaded,
  fnLayers, fnSchemes, fnCreated, fnDestroyed, fnSelect, fnSelectPoint, fnScale, fnPan
};

enum class TNotifyCode : uint8_t { None = 0, Free = 1, PropBeforeChange = 2, PropChanged = 3, Control = 4 };

struct TNotifyLinkInfo {
  TNotifyCode Code = TNotifyCode::None;
  // The control (Control) or the property (PropBeforeChange, PropChanged); none for Free.
  TVexaObject* Subject = nullptr;
  TVexaNotify Notify = TVexaNotify::fnName;
};

class TNotifyLink;
using TNotifyEvent = std::function<void(TNotifyLink& sender, TNotifyLink* source, const TNotifyLinkInfo& info)>;

class TNotifyLink {
 public:
  // Raises std::invalid_argument("Owner must exist") without an owner.
  explicit TNotifyLink(void* owner);
  ~TNotifyLink();
  TNotifyLink(const TNotifyLink&) = delete;
  TNotifyLink& operator=(const TNotifyLink&) = delete;

  void* Owner() const { return owner_; }
  bool Destroying() const { return destroying_; }

  int AddListener(TNotifyLink* link);
  int RemoveListener(TNotifyLink* link);
  // The number of partners called; 0 while destroying.
  int Notify(const TNotifyLinkInfo& info);
  int ControlNotify(TVexaObject* control, TVexaNotify notify);
  int PropNotify(TVexaObject* prop, bool before);
  // Announces the end of this link to itself and to every partner and drops every pair.
  void DestroyNotify();
  // The index of link's pair (an even number, as if the pairs were laid out flat); -1 when absent.
  int IndexOf(const TNotifyLink* link) const;
  // How many notifications this link sends to link (0 when link only knows this one).
  int ListenerCount(const TNotifyLink* link) const;
  size_t PartnerCount() const { return partners_.size(); }

  TNotifyEvent OnNotify;

 private:
  struct Partner {
    int count;
    TNotifyLink* link;
  };
  // One per running Notify, so that a link freed by a handler stops every loop walking it.
  struct NotifyFrame {
    bool freed = false;
    NotifyFrame* outer = nullptr;
  };

  int Find(const TNotifyLink* link) const;
  void Drop(const TNotifyLink* link);

  void* owner_;
  std::vector<Partner> partners_;
  NotifyFrame* frames_ = nullptr;
  bool destroying_ = false;
};

}  // namespace pv::graphics

#pragma once
// Links from a property to another control, or to one property of another control, by the
// reference text "\ID:Name" or "\ID:Name\Property". The link listens to its target: a change
// of the target's ID or name rebuilds the text, the target going clears the link.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/NotifyLink.h"
#include "base/Geometry.h"
#include "props/Prop.h"

namespace pv::graphics {

class IVexaPanel;
class TPropRefList;
class TVexaControl;

// The reference text of a control, or of one of its properties; empty for none. Characters
// below 32 and backslashes are left out of the name.
std::string MakeLinkReference(const TVexaControl* control, const TCustomProp* prop);

// Resolves a reference text: true for an empty text (no link, control none). Otherwise the
// text must start with "\" and a panel must be given; the ID (translated by refs when they
// know it, as a paste does) is looked up in the panel, then in startControl's whole tree.
// A property part must name a property of that control.
bool ParseLinkReference(std::string_view text, IVexaPanel* panel, TVexaControl* startControl,
                        const TPropRefList* refs, TVexaControl*& control, TCustomProp*& prop);

class TLinkProp : public TCustomProp {
 public:
  TLinkProp();
  ~TLinkProp() override;
  const char* ClassName() const override { return "TLinkProp"; }

  TVexaControl* LinkedControl() const { return control_; }
  TCustomProp* LinkedProp() const { return prop_; }
  TNotifyLink& Link() { return link_; }

  std::string GetDisplayValue() const override;
  // A text without the leading backslash gets one.
  void SetDisplayValue(const std::string& text) override;
  PropValue GetPropValue(std::string_view name) const override;
  void SetPropValue(std::string_view name, const PropValue& value) override;
  // Parses the text against the owning control's panel; a text that does not resolve changes
  // nothing.
  void SetLinkText(const std::string& text);
  void SetLinkedControl(TVexaControl* control);

  // Every message of the linked object; and the linked object's end.
  std::function<void(TLinkProp& prop, const TNotifyLinkInfo& info)> OnLinkNotify;
  std::function<void(TLinkProp& prop)> OnLinkDestroy;

 protected:
  // Moves the listening from the old target to the new one; false refuses the link.
  virtual bool SetLink(TVexaControl* control, TCustomProp* prop);
  // A message of the linked object other than its end: to OnLinkNotify.
  virtual void LinkMessage(const TNotifyLinkInfo& info);
  // The linked object is going; still linked while this runs.
  virtual void LinkEnding() {}
  TVexaControl* OwningControl() const;

 private:
  TNotifyLink* TargetLink(TVexaControl* control, TCustomProp* prop) const;
  void HandleMessage(TNotifyLink* source, const TNotifyLinkInfo& info);

  mutable std::string text_;
  mutable bool rebuild_ = false;
  TVexaControl* control_ = nullptr;
  TCustomProp* prop_ = nullptr;
  TNotifyLink link_{this};
};

// A link to a control plus a point that the control carries as one of its link points, so that
// the point follows the control (a connector's end). Only a control's property list can hold
// one: elsewhere it raises "Can't create link prop" when it is first linked or added.
class TLinkPointProp : public TLinkProp {
 public:
  ~TLinkPointProp() override;
  const char* ClassName() const override { return "TLinkPointProp"; }

  // Creates one in a control's property list; std::runtime_error otherwise.
  static TLinkPointProp* CreateIn(TPropList& list, std::string_view name);

  TPoint GetLinkPoint() const { return point_; }
  void SetLinkPoint(TPoint point);
  const TRect& LinkedRect() const { return linkedRect_; }
  // Set while the property changes its own point (the owner's handler tells it from a move
  // of the linked control).
  bool Busy() const { return busy_; }
  // The owner read the point from its text: the link that the same text resolves next takes
  // the point as already reported, instead of passing on the control's first report of it.
  void SetPointStored(bool stored) { pointStored_ = stored; }

 protected:
  // Refuses the owning control and the control already linked.
  bool SetLink(TVexaControl* control, TCustomProp* prop) override;
  // The linked control's link points moved: passed on only when this point moved.
  void LinkMessage(const TNotifyLinkInfo& info) override;
  // Takes the point back from the control that goes.
  void LinkEnding() override;

 private:
  TPoint point_{};
  // None until the linked control first reports this point: a new link is always passed on,
  // wherever its point lies.
  std::optional<TPoint> lastReported_;
  TRect linkedRect_{};
  bool busy_ = false;
  bool pointStored_ = false;
};

}  // namespace pv::graphics

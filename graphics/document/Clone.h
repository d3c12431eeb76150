#pragma once
// A clone draws another control, its source, at its own place: at the source's size, or
// stretched to its own when AutoSize is off.

#include <cstdint>
#include <span>
#include <stdexcept>

#include "controls/LinkProps.h"
#include "controls/VexaControl.h"

namespace pv::graphics {

class TVexaClone : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  TVexaControl* GetSource() const { return source_->LinkedControl(); }
  void SetSource(TVexaControl* source) { source_->SetLinkedControl(source); }
  bool GetAutoSize() const { return autoSize_->GetValue(); }
  void SetAutoSize(bool on) { autoSize_->SetValue(on); }
  // Width and Height read-only while the size follows the source (only with AutoSize).
  void SetSizeLocked(bool locked);
  bool SizeLocked() const { return sizeLocked_; }
  void UpdateSize();
  // A source a clone can't show: a clone, the clone itself, or a control that holds it (the
  // picture would hold itself without end).
  bool IsRefusedSource(const TVexaControl* source) const;

  // The history puts back a size the clone had, whether or not it follows a source now.
  void RestoreDocRect(const TRect& rect) override;

  void Notify(TVexaNotify code) override;

  void Paint(canvas::Canvas& canvas, const TRect& rect) override;
  TRect GetRefreshRect(int32_t x, int32_t y) const override;

 protected:
  void CreateProperties() override;
  void ControlCreate() override;
  void PropChanged(TCustomProp& prop) override;
  void PropStored(TCustomProp& prop, std::string_view subName, bool& stored) override;
  // The size that follows the source is no edit: a layer that is not moveable (or read-only)
  // does not stop it.
  void PropReadOnly(TCustomProp& prop, bool& readOnly) override;

 private:
  void SourceMessage(const TNotifyLinkInfo& info);
  // A source that came to hold the clone (the clone or a group around it moved into it) is
  // dropped, as a load of the document would refuse it.
  void DropSourceHoldingThis();
  void PaintStretched(canvas::Canvas& canvas, const TRect& rect, TVexaControl& source);

  TLinkProp* source_ = nullptr;
  TBoolProp* autoSize_ = nullptr;
  bool sizeLocked_ = false;
  bool updatingSize_ = false;
  // Set while the clone paints or measures its source: a source that leads back to the clone
  // by a way the refusal could not see (a clone moved into its source later) stops there.
  mutable bool busy_ = false;
};

// Clones of groups that hold clones multiply what a paint or a refresh rectangle walks: two
// clones a level make a million controls from 18 levels of text. A document or a paste is
// refused (ECloneLimitError) when painting it would walk more than kMaxClonePaintedControls
// controls through clones, or follow clones of clones deeper than kMaxCloneDepth.
inline constexpr int64_t kMaxClonePaintedControls = 100'000;
inline constexpr int kMaxCloneDepth = 64;

class ECloneLimitError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The controls that painting the roots (with their children) walks because of clones, beyond
// the controls themselves: for each clone met, its source with everything it paints, again for
// every clone that leads to it. A clone met again inside its own source counts once (painting
// stops there). Held at kMaxClonePaintedControls + 1, which is the count too when clones of
// clones nest deeper than kMaxCloneDepth.
int64_t CountClonePaintedControls(std::span<TVexaControl* const> roots);
// Raises ECloneLimitError when the count passes kMaxClonePaintedControls.
void RequireBoundedClones(std::span<TVexaControl* const> roots);

}  // namespace pv::graphics

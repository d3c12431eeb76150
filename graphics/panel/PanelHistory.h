#pragma once
// The undo history of one panel: it finds the source of an action again by control ID (so
// actions survive a control's destruction and re-creation), leaves out changes not worth a
// step, merges repeated changes of one property, keeps the selection steady while undoing,
// and gives every action a readable caption.

#include <string>

#include "history/History.h"

namespace pv::graphics {

class TCustomProp;
class TVexaControl;
class TVexaPanel;

class TVexaPanelHistory : public THistory {
 public:
  explicit TVexaPanelHistory(TVexaPanel& panel);

  TVexaPanel& Panel() const { return panel_; }

  // A panel-level group around one command; none while recording is disabled.
  THistoryAction* BeginPanelGroup(const THistoryActionClass& groupClass);
  // Ends the current action when it is of that class.
  bool EndPanelGroup(const THistoryActionClass* groupClass);
  // Records the creation of every selected control (in paint order) as one step; false with
  // an empty selection.
  bool RecordSelectionCreation();

  // The control an object belongs to: a property's control, a control itself, else none.
  static TVexaControl* ControlOf(TVexaObject* object);
  // A control's name, or "<" + class name + ">" when it has none.
  static std::string ControlCaption(const TVexaControl& control);

  bool Undo() override;
  bool Redo() override;
  void DoChange() override;
  TVexaObject* GetActionSource(THistoryAction& action, bool& found) override;
  void SetActionSource(THistoryAction& action, TVexaObject* source) override;
  void GetActionCaption(THistoryAction& action, TVexaObject* source, std::string& caption) override;
  bool IsRecordable(const THistoryActionClass*& cls, TVexaObject*& source, int tag) override;
  bool IsSame(THistoryAction& action, const THistoryActionClass& cls, TVexaObject* source) override;
  // The class, the control's ID and the property's name: exactly what IsSame compares.
  // Classes that are never the same as another action give an empty identity.
  bool SourceIdentity(const THistoryActionClass& cls, TVexaObject* source, std::string& key) const override;

 private:
  TVexaPanel& panel_;
};

}  // namespace pv::graphics

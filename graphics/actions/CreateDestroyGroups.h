#pragma once
// Undo of creating and destroying a control: the whole control kept as an object block, with
// its parent and its index among the parent's children.

#include <memory>

#include "history/HistoryGroup.h"
#include "textformat/DocModel.h"

namespace pv::graphics {

class TCreateDestroyHistoryGroup : public THistoryGroup {
 public:
  static const THistoryActionClass ClassInfo;
  using THistoryGroup::THistoryGroup;

  void BeginRecord(TVexaObject* source) override;

 protected:
  void SaveInfo(IDocControl& control);
  void SaveControl(IDocControl& control);
  // The control read back from the saved block under its saved parent and index; none
  // without a saved block.
  IDocControl* RestoreControl();
  void FreeControl(TVexaObject* source);
  // Runs an undo or redo of its own in place of the children's.
  template <class F>
  void Replay(THistoryState state, F&& f);

 private:
  IDocPanel* panel_ = nullptr;
  int32_t parentId_ = 0;
  int index_ = -1;
  std::unique_ptr<TMemoryStream> stream_;
};

class TControlCreateHistoryGroup : public TCreateDestroyHistoryGroup {
 public:
  static const THistoryActionClass ClassInfo;
  using TCreateDestroyHistoryGroup::TCreateDestroyHistoryGroup;
  const THistoryActionClass& ClassType() const override { return ClassInfo; }
  void RecordAction(TVexaObject* source) override;
  void UndoAction(TVexaObject* source) override;
  void RedoAction(TVexaObject* source) override;
  // Keeps the control as it stands before an undo that frees other controls of the same step
  // first: its links to them are kept with it. The next undo uses this block.
  void SaveAhead(IDocControl& control);
  void ForgetSavedAhead() { savedAhead_ = false; }

 private:
  bool savedAhead_ = false;
};

class TControlDestroyHistoryGroup : public TCreateDestroyHistoryGroup {
 public:
  static const THistoryActionClass ClassInfo;
  using TCreateDestroyHistoryGroup::TCreateDestroyHistoryGroup;
  const THistoryActionClass& ClassType() const override { return ClassInfo; }
  void RecordAction(TVexaObject* source) override;
  void UndoAction(TVexaObject* source) override;
  void RedoAction(TVexaObject* source) override;
};

}  // namespace pv::graphics

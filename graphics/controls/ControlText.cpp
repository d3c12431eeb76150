// A control in the text format, and the depth-first walk over a control's subtree.

#include <memory>
#include <string>

#include "base/TextHelpers.h"
#include "controls/VexaControl.h"
#include "controls/VexaPanel.h"
#include "props/PropRefList.h"
#include "textformat/ObjectText.h"

namespace pv::graphics {

// --- the text format

void TVexaControl::SaveToFiler(TVexaFiler& filer, const std::string& indent) { SaveObject(filer, *this, indent); }

void TVexaControl::LoadFromFiler(TVexaFiler& filer) {
  std::unique_ptr<TLoadingScope> loading;
  if (owner_) loading = std::make_unique<TLoadingScope>(*owner_);
  state_ |= csLoading;
  TPropRefList* previous = props_.RefList();
  if (owner_) props_.SetRefList(&owner_->RefList());
  std::string line;
  try {
    while (filer.ReadLine(line)) {
      if (IsBlockEnd(line)) break;
      if (StartsWithKeyword(line, "object")) {
        if (owner_) {
          LoadControl(filer, *owner_, this, false, line);
        } else {
          filer.SkipBlock();
        }
        continue;
      }
      if (!StartsWithKeyword(line, "property") && filer.CheckSkipBlock(line)) continue;
      props_.LoadProp(filer, line);
    }
  } catch (...) {
    props_.SetRefList(previous);
    state_ &= static_cast<uint8_t>(~csLoading);
    throw;
  }
  props_.SetRefList(previous);
  state_ &= static_cast<uint8_t>(~csLoading);
  if (loading) loading->Finish();
  Notify(TVexaNotify::fnLoaded);
}

// --- depth-first walk

TVexaControl* TPassControlRec::PassFirst(TVexaControl* control) {
  current_ = control;
  stack_.clear();
  if (control) stack_.push_back(0);
  return control;
}

TVexaControl* TPassControlRec::PassNext() {
  if (!current_) return nullptr;
  if (!current_->children_.empty()) {
    current_ = current_->children_.front();
    stack_.push_back(0);
    return current_;
  }
  while (stack_.size() > 1) {
    TVexaControl* parent = current_->parent_;
    const int32_t next = stack_.back() + 1;
    if (parent && next < parent->GetCount()) {
      stack_.back() = next;
      current_ = parent->GetChild(next);
      return current_;
    }
    stack_.pop_back();
    current_ = parent;
  }
  PassEnd();
  return nullptr;
}

void TPassControlRec::PassEnd() {
  current_ = nullptr;
  stack_.clear();
}

}  // namespace pv::graphics

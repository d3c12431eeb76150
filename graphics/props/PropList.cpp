#include "props/PropList.h"

#include <algorithm>

#include "base/TextHelpers.h"
#include "history/History.h"
#include "props/PropHistory.h"
#include "props/PropRefList.h"

namespace pv::graphics {

void TPropListEvents::PropChanged(TPropList&, TCustomProp&) {}
void TPropListEvents::PropBeforeChanged(TPropList&, TCustomProp&) {}
void TPropListEvents::PropStored(TPropList&, TCustomProp&, std::string_view, bool&) {}
void TPropListEvents::PropReadOnly(TPropList&, TCustomProp&, bool&) {}

namespace {

constexpr std::string_view kKeywords[] = {"document", "clipboard", "library", "object", "property", "end"};

}  // namespace

bool IsReservedPropName(std::string_view name) {
  return std::find(std::begin(kKeywords), std::end(kKeywords), name) != std::end(kKeywords);
}

// A name that would not read back as a property line: blanks, "=", or a start that the
// readers take for a keyword (so "EndAngle" is fine and "endpoint" is not).
static bool IsWritableName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) <= 32 || c == '=' || c == '\'') return false;
  }
  for (std::string_view keyword : kKeywords) {
    if (name.substr(0, keyword.size()) == keyword) return false;
  }
  return true;
}

TPropList::~TPropList() {
  if (link_) link_->DestroyNotify();
  Clear();
  if (deferredIn_) deferredIn_->Forget(this);
}

TNotifyLink& TPropList::GetNotifyLink() {
  if (!link_) link_ = std::make_unique<TNotifyLink>(this);
  return *link_;
}

size_t TPropList::LowerBound(std::string_view name) const {
  const auto it = std::lower_bound(entries_.begin(), entries_.end(), name,
                                   [](const std::unique_ptr<TCustomProp>& e, std::string_view n) {
                                     return CompareNames(e->NameText(), n) < 0;
                                   });
  return static_cast<size_t>(it - entries_.begin());
}

TCustomProp* TPropList::PropByName(std::string_view name) const {
  const size_t i = LowerBound(name);
  if (i < entries_.size() && SameName(entries_[i]->NameText(), name)) return entries_[i].get();
  return nullptr;
}

int TPropList::IndexOfProp(const TCustomProp* prop) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].get() == prop) return static_cast<int>(i);
  }
  return -1;
}

std::string_view TPropList::NameOf(const TCustomProp* prop) const {
  return prop && prop->OwnerList() == this ? prop->Name() : std::string_view();
}

int TPropList::AddProp(std::unique_ptr<TCustomProp>& prop, std::string_view name) {
  if (!prop || prop->OwnerList() || IsReservedPropName(name) || !IsWritableName(name)) return -1;
  const size_t i = LowerBound(name);
  if (i < entries_.size() && SameName(entries_[i]->NameText(), name)) return -1;
  prop->Enlist(this, name);
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(i), std::move(prop));
  return static_cast<int>(i);
}

void TPropList::DeleteProp(int index) {
  if (index < 0 || index >= Count()) return;
  std::unique_ptr<TCustomProp> prop = std::move(entries_[static_cast<size_t>(index)]);
  entries_.erase(entries_.begin() + index);
  if (deferredIn_) deferredIn_->Forget(prop.get());
}

void TPropList::Clear() {
  while (!entries_.empty()) DeleteProp(Count() - 1);
}

bool TPropList::IsReadOnly(const TCustomProp& prop) {
  if (historyState_ == THistoryState::Undoing || historyState_ == THistoryState::Redoing) return false;
  bool readOnly = prop.HasFlag(pfReadOnly);
  if (!readOnly && events_) events_->PropReadOnly(*this, const_cast<TCustomProp&>(prop), readOnly);
  return readOnly;
}

bool TPropList::IsPropStored(TCustomProp& prop, std::string_view subName) {
  // Without a control, a sub-property follows its own stored rule.
  bool stored = subName.empty() || prop.IsPublishedStored(subName);
  if (events_) events_->PropStored(*this, prop, subName, stored);
  return stored;
}

bool TPropList::AddIdMapping(int32_t storedId, int32_t assignedId) {
  return refList_ && refList_->AddIdMapping(storedId, assignedId);
}

void TPropList::PropBeforeChange(TCustomProp& prop) {
  if (history_ && !prop.NotRecorded()) history_->RecordStep(TPropHistoryAction::ClassInfo, &prop);
  if (events_) events_->PropBeforeChanged(*this, prop);
  if (link_) link_->PropNotify(&prop, true);
}

void TPropList::PropChanged(TCustomProp& prop) {
  if (events_) events_->PropChanged(*this, prop);
  if (link_) link_->PropNotify(&prop, false);
}

}  // namespace pv::graphics

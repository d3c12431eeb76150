#include "props/PropList.h"

#include <algorithm>
#include <limits>
#include <set>

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

TPropList::~TPropList() { Dispose(); }

void TPropList::Dispose() {
  if (link_) link_->DestroyNotify();
  Clear();
  if (deferredIn_) deferredIn_->Forget(this);
  deferredIn_ = nullptr;
  link_.reset();
}

TNotifyLink& TPropList::GetNotifyLink() {
  if (!link_) link_ = std::make_unique<TNotifyLink>(this);
  return *link_;
}

size_t TPropList::LowerBound(std::string_view name) const {
  size_t low = 0;
  size_t high = Size();
  while (low < high) {
    const size_t middle = low + (high - low) / 2;
    if (CompareNames(At(middle)->NameText(), name) < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

TCustomProp* TPropList::PropByName(std::string_view name) const {
  const size_t i = LowerBound(name);
  if (i < Size() && SameName(At(i)->NameText(), name)) return At(i);
  return nullptr;
}

int TPropList::IndexOfProp(const TCustomProp* prop) const {
  const size_t count = Size();
  for (size_t i = 0; i < count; ++i) {
    if (At(i) == prop) return static_cast<int>(i);
  }
  return -1;
}

std::string_view TPropList::NameOf(const TCustomProp* prop) const {
  return prop && prop->OwnerList() == this ? prop->Name() : std::string_view();
}

int TPropList::AddProp(std::unique_ptr<TCustomProp>& prop, std::string_view name) {
  if (!prop || prop->OwnerList() || IsReservedPropName(name) || !IsWritableName(name)) return -1;
  const size_t i = LowerBound(name);
  if (i < Size() && SameName(At(i)->NameText(), name)) return -1;
  OwnEntries();
  prop->Enlist(this, name);
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(i), std::move(prop));
  return static_cast<int>(i);
}

void TPropList::DeleteProp(int index) {
  if (index < 0 || index >= Count()) return;
  std::unique_ptr<TCustomProp> prop;
  if (layout_ && static_cast<size_t>(index) + 1 == sharedCount_) {
    // The last one goes (as when the list is cleared): the shared order still holds the rest.
    prop.reset(At(static_cast<size_t>(index)));
    --sharedCount_;
  } else {
    OwnEntries();
    prop = std::move(entries_[static_cast<size_t>(index)]);
    entries_.erase(entries_.begin() + index);
  }
  if (deferredIn_) deferredIn_->Forget(prop.get());
}

void TPropList::Clear() {
  while (Count() > 0) DeleteProp(Count() - 1);
}

void TPropList::OwnEntries() {
  if (!layout_) return;
  std::vector<std::unique_ptr<TCustomProp>> entries;
  entries.reserve(sharedCount_);
  for (size_t i = 0; i < sharedCount_; ++i) entries.emplace_back(At(i));
  entries_ = std::move(entries);
  layout_ = nullptr;
  sharedCount_ = 0;
}

void TPropList::ShareLayout() {
  const std::byte* base = block_.get();
  if (layout_ || !base || entries_.empty() || entries_.size() > std::numeric_limits<uint16_t>::max()) return;
  // The layouts of every class, for the lifetime of the process (the library runs on one
  // thread): few, and never changed while a list points at one.
  static std::set<std::vector<uint16_t>> layouts;
  static std::vector<uint16_t> places;
  places.clear();
  for (const std::unique_ptr<TCustomProp>& entry : entries_) {
    const auto* at = reinterpret_cast<const std::byte*>(entry.get());
    if (entry->ownerAt_ != TCustomProp::kOwnerAtBlock || at != base + entry->arenaOffset_) return;
    places.push_back(entry->arenaOffset_);
  }
  auto found = layouts.find(places);
  if (found == layouts.end()) found = layouts.insert(places).first;
  layout_ = &*found;
  sharedCount_ = static_cast<uint16_t>(entries_.size());
  for (std::unique_ptr<TCustomProp>& entry : entries_) static_cast<void>(entry.release());
  entries_.clear();
  entries_.shrink_to_fit();
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

#include "props/PropRefList.h"

#include <algorithm>

#include "props/PropList.h"

namespace pv::graphics {

TPropRefList::~TPropRefList() { Clear(); }

void TPropRefList::AddDeferred(TCustomProp& prop, std::string_view name, PropValue value) {
  if (name.size() > 255) name = name.substr(0, 255);
  deferred_.push_back({&prop, std::string(name), std::move(value)});
  if (TPropList* list = prop.OwnerList()) list->deferredIn_ = this;
}

bool TPropRefList::AddIdMapping(int32_t storedId, int32_t assignedId) {
  if (storedId == 0 || assignedId == 0) return false;
  if (storedId == assignedId) {
    unchanged_.Use(storedId);
    return true;
  }
  return pairs_.emplace(storedId, assignedId).second;
}

int32_t TPropRefList::TranslateId(int32_t storedId) const {
  if (unchanged_.Used(storedId)) return storedId;
  const auto it = pairs_.find(storedId);
  return it == pairs_.end() ? 0 : it->second;
}

void TPropRefList::Apply() {
  struct Resolving {
    TPropList* list;
    TPropRefList* previous;
    Resolving(TPropList* l, TPropRefList* self) : list(l), previous(l ? l->refList_ : nullptr) {
      if (!list) return;
      list->refList_ = self;
      ++list->resolving_;
    }
    ~Resolving() {
      if (list && --list->resolving_ == 0) list->refList_ = previous;
    }
  };
  if (held_ > 0) return;
  Release();
  try {
    while (!deferred_.empty()) {
      Deferred entry = std::move(deferred_.back());
      deferred_.pop_back();
      Resolving scope(entry.prop->OwnerList(), this);
      entry.prop->SetPropValue(entry.name, entry.value);
    }
  } catch (...) {
    Clear();
    throw;
  }
  Clear();
}

void TPropRefList::EndHold(bool apply) {
  if (held_ == 0 || --held_ > 0) return;
  if (apply) {
    Apply();
  } else {
    Clear();
  }
}

void TPropRefList::Release() {
  for (const Deferred& d : deferred_) {
    if (TPropList* list = d.prop->OwnerList(); list && list->deferredIn_ == this) list->deferredIn_ = nullptr;
  }
}

void TPropRefList::Clear() {
  Release();
  deferred_.clear();
  unchanged_.Clear();
  pairs_.clear();
}

void TPropRefList::Forget(const TPropList* list) {
  std::erase_if(deferred_, [list](const Deferred& d) { return d.prop->OwnerList() == list; });
}

void TPropRefList::Forget(const TCustomProp* prop) {
  std::erase_if(deferred_, [prop](const Deferred& d) { return d.prop == prop; });
}

}  // namespace pv::graphics

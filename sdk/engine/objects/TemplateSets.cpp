#include "engine/objects/TemplateSets.h"

namespace vela::math {

using base::smart_ptr;
namespace ex = base::exceptions;

SetEntry::~SetEntry() = default;
TemplateSet::~TemplateSet() = default;
RecordSet::~RecordSet() = default;

SetEntryImpl::SetEntryImpl(const StoredEntry& entry) : entry(entry) {}
SetEntryImpl::~SetEntryImpl() = default;

bool SetEntries::Insert(const StoredEntry& entry) {
  return tree.insert({entry.id, Value{entry.stored, entry.value}}).second;
}

bool SetEntries::Erase(int32_t id) { return tree.erase(id); }

std::optional<StoredEntry> SetEntries::FindById(int32_t id) const {
  const Position found = tree.find(id);
  if (found == tree.end()) return std::nullopt;
  return At(found);
}

std::optional<StoredEntry> SetEntries::FindByIndex(int32_t index) const {
  if (index < 0 || index >= Size()) return std::nullopt;
  return At(tree.find_by_order(size_t(index)));
}

StoredEntry SetEntries::At(Position position) {
  return {position->second.stored, position->first, position->second.value};
}

std::vector<StoredEntry> SetEntries::All() const {
  std::vector<StoredEntry> all;
  all.reserve(tree.size());
  for (Position p = tree.begin(); p != tree.end(); ++p) all.push_back(At(p));
  return all;
}

// ---- TemplateSet

TemplateSetImpl::TemplateSetImpl() : position(entries.End()) {}
TemplateSetImpl::~TemplateSetImpl() = default;

void TemplateSetImpl::Add(smart_ptr<BiometricTemplate> stored, int32_t id) {
  Add(std::move(stored), id, id);
}

void TemplateSetImpl::Add(smart_ptr<BiometricTemplate> stored, int32_t id, int32_t value) {
  std::lock_guard<std::mutex> hold(lock);
  started = false;
  if (!stored) throw ex::invalid_argument();
  if (!entries.Insert({std::move(stored), id, value}))
    throw ex::invalid_argument("template with such id already exist in collection");
}

void TemplateSetImpl::Remove(int32_t id) {
  std::lock_guard<std::mutex> hold(lock);
  if (!entries.Erase(id)) throw ex::invalid_argument("no entry with such id");
  // The position may have been the erased entry: start again.
  started = false;
}

int32_t TemplateSetImpl::Count() const {
  std::lock_guard<std::mutex> hold(lock);
  return entries.Size();
}

void TemplateSetImpl::Reset() {
  std::lock_guard<std::mutex> hold(lock);
  started = false;
}

bool TemplateSetImpl::MoveNext() {
  std::lock_guard<std::mutex> hold(lock);
  if (!started) {
    position = entries.Begin();
    started = true;
  } else if (position != entries.End()) {
    ++position;
  }
  return position != entries.End();
}

smart_ptr<SetEntry> TemplateSetImpl::Current() const {
  std::lock_guard<std::mutex> hold(lock);
  if (!started || position == entries.End()) throw ex::out_of_range();
  return smart_ptr<SetEntry>(new SetEntryImpl(SetEntries::At(position)));
}

smart_ptr<BiometricTemplate> TemplateSetImpl::GetById(int32_t id) const {
  std::lock_guard<std::mutex> hold(lock);
  const std::optional<StoredEntry> found = entries.FindById(id);
  if (!found) throw ex::invalid_argument("no template with such id in collection");
  return found->stored;
}

std::vector<StoredEntry> TemplateSetImpl::Snapshot() const {
  std::lock_guard<std::mutex> hold(lock);
  return entries.All();
}

// ---- RecordSet

RecordSetImpl::RecordSetImpl() = default;
RecordSetImpl::~RecordSetImpl() = default;

void RecordSetImpl::Add(smart_ptr<BiometricTemplate> stored, int32_t id) {
  Add(std::move(stored), id, id);
}

void RecordSetImpl::Add(smart_ptr<BiometricTemplate> stored, int32_t id, int32_t value) {
  std::lock_guard<std::mutex> hold(lock);
  if (!stored) throw ex::invalid_argument();
  if (!entries.Insert({std::move(stored), id, value})) throw ex::out_of_range();
}

int32_t RecordSetImpl::Count() const {
  std::lock_guard<std::mutex> hold(lock);
  return entries.Size();
}

smart_ptr<SetEntry> RecordSetImpl::GetByIndex(int32_t index) const {
  std::lock_guard<std::mutex> hold(lock);
  const std::optional<StoredEntry> found = entries.FindByIndex(index);
  if (!found) throw ex::out_of_range();
  return smart_ptr<SetEntry>(new SetEntryImpl(*found));
}

smart_ptr<SetEntry> RecordSetImpl::GetById(int32_t id) const {
  std::lock_guard<std::mutex> hold(lock);
  const std::optional<StoredEntry> found = entries.FindById(id);
  if (!found) throw ex::invalid_argument();
  return smart_ptr<SetEntry>(new SetEntryImpl(*found));
}

void RecordSetImpl::Remove(int32_t id) {
  std::lock_guard<std::mutex> hold(lock);
  if (!entries.Erase(id)) throw ex::invalid_argument("no entry with such id");
}

std::vector<StoredEntry> RecordSetImpl::Snapshot() const {
  std::lock_guard<std::mutex> hold(lock);
  return entries.All();
}

smart_ptr<RecordSet> Create_RecordSet() { return smart_ptr<RecordSet>(new RecordSetImpl()); }

}  // namespace vela::math

vela::base::smart_ptr<vela::math::TemplateSet> Create_TemplateSet() {
  return vela::base::smart_ptr<vela::math::TemplateSet>(new vela::math::TemplateSetImpl());
}

#include "props/Prop.h"

#include <unordered_map>

#include "base/TextHelpers.h"
#include "props/PropList.h"

namespace pv::graphics {

// --- TPropArena

TPropArena*& TPropArena::Current() {
  static thread_local TPropArena* current = nullptr;
  return current;
}

TPropArena::TPropArena(std::byte* block, size_t size) : block_(block), size_(block ? size : 0), outer_(Current()) {
  Current() = this;
}

TPropArena::~TPropArena() { Current() = outer_; }

namespace {

// Every property holds pointers at most: pointer alignment serves them all.
constexpr size_t kPropAlign = alignof(void*);

}  // namespace

void* TPropArena::Take(size_t size) {
  TPropArena* arena = Current();
  if (!arena || arena->closed_) return nullptr;
  size = (size + kPropAlign - 1) / kPropAlign * kPropAlign;
  arena->asked_ += size;
  if (arena->size_ - arena->placed_ < size) return nullptr;
  void* memory = arena->block_ + arena->placed_;
  arena->placed_ += size;
  return memory;
}

bool TPropArena::Holds(const void* memory) {
  const TPropArena* arena = Current();
  if (!arena || !arena->block_) return false;
  const auto* p = static_cast<const std::byte*>(memory);
  return p >= arena->block_ && p < arena->block_ + arena->placed_;
}

// --- TCustomProp

void* TCustomProp::operator new(size_t size) {
  if (void* memory = TPropArena::Take(size)) return memory;
  return ::operator new(size);
}

void TCustomProp::operator delete(TCustomProp* prop, std::destroying_delete_t) {
  const bool inArena = prop->inArena_ != 0;
  void* memory = dynamic_cast<void*>(prop);
  prop->~TCustomProp();
  if (!inArena) ::operator delete(memory);
}

void TCustomProp::operator delete(void* memory) {
  if (!TPropArena::Holds(memory)) ::operator delete(memory);
}

namespace {

// The links of the properties that have one (a connector's end linked to a property, an
// editor watching one): a pointer in every property would cost a document of many
// controls more than this table. The library runs on one thread.
std::unordered_map<const TCustomProp*, std::unique_ptr<TNotifyLink>>& PropLinks() {
  static std::unordered_map<const TCustomProp*, std::unique_ptr<TNotifyLink>> links;
  return links;
}

}  // namespace

TCustomProp::~TCustomProp() {
  if (!hasLink_) return;
  auto& links = PropLinks();
  // The farewell goes out while the link can still be found: partners may ask for it.
  links.find(this)->second->DestroyNotify();
  links.erase(this);
}

TNotifyLink& TCustomProp::GetNotifyLink() {
  auto& links = PropLinks();
  if (hasLink_) return *links.find(this)->second;
  TNotifyLink& link = *links.emplace(this, std::make_unique<TNotifyLink>(this)).first->second;
  hasLink_ = 1;
  return link;
}

bool TCustomProp::IsReadOnly() const {
  if (owner_) return owner_->IsReadOnly(*this);
  return HasFlag(pfReadOnly);
}

std::string TCustomProp::GetDisplayValue() const { return std::string("(") + ClassName() + ")"; }

void TCustomProp::SetDisplayValue(const std::string& text) { SetPropValue({}, PropValue::String(text)); }

void TCustomProp::DoBeforeChanged() {
  if (owner_) owner_->PropBeforeChange(*this);
  if (hasLink_) GetNotifyLink().PropNotify(this, true);
}

void TCustomProp::DoChanged() {
  if (owner_) owner_->PropChanged(*this);
  if (hasLink_) GetNotifyLink().PropNotify(this, false);
}

void TCustomProp::SetPropValue(std::string_view name, const PropValue& value) {
  if (name.empty()) return;
  const int index = IndexOfPublished(name);
  if (index >= 0) SetPublished(index, value);
}

PropValue TCustomProp::GetPropValue(std::string_view name) const {
  if (name.empty()) return {};
  const int index = IndexOfPublished(name);
  return index < 0 ? PropValue() : GetPublished(index);
}

TPropKind TCustomProp::GetPropType(std::string_view name) const {
  if (name.empty()) return static_cast<TPropKind>(kind_);
  const int index = IndexOfPublished(name);
  return index < 0 ? TPropKind::Plain : PublishedInfo(index).kind;
}

void TCustomProp::Setup(canvas::Canvas&, int32_t) {}

void TCustomProp::GetEnumList(std::vector<std::string>&) const {}

bool TCustomProp::IsPublishedStored(std::string_view name) const {
  const int index = IndexOfPublished(name);
  return index >= 0 && PublishedStored(index);
}

TPublishedInfo TCustomProp::PublishedInfo(int) const { return {"", TPropKind::Plain}; }

PropValue TCustomProp::GetPublished(int) const { return {}; }

void TCustomProp::SetPublished(int, const PropValue&) {}

bool TCustomProp::PublishedStored(int) const { return true; }

TCustomProp* TCustomProp::PublishedObject(int) { return nullptr; }

int TCustomProp::IndexOfPublished(std::string_view name) const {
  const int count = PublishedCount();
  for (int i = 0; i < count; ++i) {
    if (SameName(PublishedInfo(i).name, name)) return i;
  }
  return -1;
}

}  // namespace pv::graphics

#include "props/Prop.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <limits>
#include <stdexcept>
#include <unordered_map>

#include "base/TextHelpers.h"
#include "props/PropList.h"

namespace pv::graphics {

// --- TPropArena

TPropArena*& TPropArena::Current() {
  static thread_local TPropArena* current = nullptr;
  return current;
}

TPropArena::TPropArena(std::byte* block, size_t size, TPropList* owner)
    : block_(block), size_(block ? size : 0), placed_(sizeof(TPropList*)), asked_(sizeof(TPropList*)),
      outer_(Current()) {
  if (block_ && size_ >= sizeof(TPropList*)) {
    std::memcpy(block_, &owner, sizeof owner);
  } else {
    block_ = nullptr;
    size_ = 0;
  }
  Current() = this;
}

TPropArena::~TPropArena() { Current() = outer_; }

namespace {

// Every property holds pointers at most: pointer alignment serves them all.
constexpr size_t kPropAlign = alignof(void*);
// A property finds the block's start from a 16-bit distance.
constexpr size_t kMaxBlockReach = 0xFFFF;

}  // namespace

void* TPropArena::Take(size_t size) {
  TPropArena* arena = Current();
  if (!arena || arena->closed_) return nullptr;
  size = (size + kPropAlign - 1) / kPropAlign * kPropAlign;
  arena->asked_ += size;
  if (!arena->block_ || arena->size_ - arena->placed_ < size || arena->placed_ + size > kMaxBlockReach) return nullptr;
  void* memory = arena->block_ + arena->placed_;
  arena->placed_ += size;
  return memory;
}

uint16_t TPropArena::OffsetOf(const void* memory) {
  const TPropArena* arena = Current();
  if (!arena || !arena->block_) return 0;
  const auto* p = static_cast<const std::byte*>(memory);
  if (p < arena->block_ + sizeof(TPropList*) || p >= arena->block_ + arena->placed_) return 0;
  return static_cast<uint16_t>(p - arena->block_);
}

TPropList* TPropArena::OwnerAt(const void* memory, uint16_t offset) {
  TPropList* owner = nullptr;
  std::memcpy(&owner, static_cast<const std::byte*>(memory) - offset, sizeof owner);
  return owner;
}

// --- TCustomProp

void* TCustomProp::operator new(size_t size) {
  if (void* memory = TPropArena::Take(size)) return memory;
  return ::operator new(size);
}

void TCustomProp::operator delete(TCustomProp* prop, std::destroying_delete_t) {
  const bool inArena = prop->arenaOffset_ != 0;
  void* memory = dynamic_cast<void*>(prop);
  prop->~TCustomProp();
  if (!inArena) ::operator delete(memory);
}

void TCustomProp::operator delete(void* memory) {
  if (TPropArena::OffsetOf(memory) == 0) ::operator delete(memory);
}

namespace {

// The links of the properties that have one (a connector's end linked to a property, an
// editor watching one): a pointer in every property would cost a document of many
// controls more than this table. The library runs on one thread.
std::unordered_map<const TCustomProp*, std::unique_ptr<TNotifyLink>>& PropLinks() {
  static std::unordered_map<const TCustomProp*, std::unique_ptr<TNotifyLink>> links;
  return links;
}

// The owning lists of the properties that lie outside their control's block (the first
// control of a class, properties added later, lists without a control).
std::unordered_map<const TCustomProp*, TPropList*>& PropOwners() {
  static std::unordered_map<const TCustomProp*, TPropList*> owners;
  return owners;
}

}  // namespace

uint16_t TCustomProp::NameNumber(std::string_view name) {
  // The names themselves (the table holds pointers to them) and their numbers.
  static std::deque<std::string> names;
  static std::unordered_map<std::string_view, uint16_t> numbers;
  // Properties are made by the hundred thousand with names the code spells out: a small
  // cache by the name's address spares hashing most of them. A hit is checked by content, as
  // another name may have come to the same address.
  struct TCached {
    const char* data = nullptr;
    uint16_t number = 0;
  };
  static std::array<TCached, 64> cache;
  const auto address = reinterpret_cast<uintptr_t>(name.data());
  TCached& cached = cache[((address >> 2) ^ (address >> 9)) % cache.size()];
  if (cached.data == name.data() && cached.number != 0 && *nameTable_[cached.number] == name) return cached.number;

  uint16_t number = 0;
  if (const auto found = numbers.find(name); found != numbers.end()) {
    number = found->second;
  } else {
    if (nameTable_.empty()) nameTable_.push_back(&noName_);
    if (nameTable_.size() > std::numeric_limits<uint16_t>::max()) throw std::length_error("Too many property names");
    number = static_cast<uint16_t>(nameTable_.size());
    const std::string& held = names.emplace_back(name);
    nameTable_.push_back(&held);
    numbers.emplace(held, number);
  }
  cached = {name.data(), number};
  return number;
}

TCustomProp::~TCustomProp() {
  if (ownerAt_ == kOwnerInTable) PropOwners().erase(this);
  if (!hasLink_) return;
  auto& links = PropLinks();
  // The farewell goes out while the link can still be found: partners may ask for it.
  links.find(this)->second->DestroyNotify();
  links.erase(this);
}

void TCustomProp::Enlist(TPropList* owner, std::string_view name) {
  nameIndex_ = name.empty() ? 0 : NameNumber(name);
  if (arenaOffset_ != 0 && TPropArena::OwnerAt(this, arenaOffset_) == owner) {
    ownerAt_ = kOwnerAtBlock;
    return;
  }
  PropOwners()[this] = owner;
  ownerAt_ = kOwnerInTable;
}

TPropList* TCustomProp::TableOwner() const { return PropOwners().find(this)->second; }

TNotifyLink& TCustomProp::GetNotifyLink() {
  auto& links = PropLinks();
  if (hasLink_) return *links.find(this)->second;
  TNotifyLink& link = *links.emplace(this, std::make_unique<TNotifyLink>(this)).first->second;
  hasLink_ = 1;
  return link;
}

bool TCustomProp::IsReadOnly() const {
  if (TPropList* owner = OwnerList()) return owner->IsReadOnly(*this);
  return HasFlag(pfReadOnly);
}

std::string TCustomProp::GetDisplayValue() const { return std::string("(") + ClassName() + ")"; }

void TCustomProp::SetDisplayValue(const std::string& text) { SetPropValue({}, PropValue::String(text)); }

void TCustomProp::DoBeforeChanged() {
  if (TPropList* owner = OwnerList()) owner->PropBeforeChange(*this);
  if (hasLink_) GetNotifyLink().PropNotify(this, true);
}

void TCustomProp::DoChanged() {
  if (TPropList* owner = OwnerList()) owner->PropChanged(*this);
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

#pragma once
// The base of every property of a document control: flags, its kind of value, a notify link
// made on first use, and the published sub-properties that drawing properties expose by name.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "base/NotifyLink.h"
#include "base/VexaObject.h"
#include "props/PropValue.h"

namespace pv::canvas {
class Canvas;
}

namespace pv::graphics {

class TPropList;

// Property flags.
inline constexpr uint8_t pfReadOnly = 0x01;
inline constexpr uint8_t pfNew = 0x02;        // set on every new property
inline constexpr uint8_t pfNotStored = 0x04;  // never stored unless the writer is forced
inline constexpr uint8_t pfNoRepaint = 0x08;  // a change does not repaint the control
inline constexpr uint8_t pfThousandths = 0x40;  // shown as pixels with three decimals
inline constexpr uint8_t pfReference = 0x80;  // applied only after the whole load

// The kind of a whole property or of a sub-property (GetPropType).
enum class TPropKind : uint8_t { Plain = 0, SubProperties = 1, StringList = 2, Binary = 3 };

// One published sub-property: its name and kind (SubProperties: a nested property object,
// reached through PublishedObject).
struct TPublishedInfo {
  const char* name;
  TPropKind kind;
};

// Where the properties a control makes at its creation are placed: one block for all of
// them instead of an allocation each (a document holds hundreds of thousands of controls with
// twenty properties apiece). The block opens with the list the control keeps them in, so that
// a property placed there finds its list from its own place instead of holding a pointer. A
// scope opens placement into its block and the scope before comes back when it ends; a
// property that does not fit is allocated on its own. The block must outlive every property
// placed in it.
class TPropArena {
 public:
  // block: size bytes; none to count only (what a block for the same properties must hold).
  // owner: the list the control keeps its properties in.
  TPropArena(std::byte* block, size_t size, TPropList* owner);
  ~TPropArena();
  TPropArena(const TPropArena&) = delete;
  TPropArena& operator=(const TPropArena&) = delete;

  // The bytes the block must hold for what the properties asked while the scope was open,
  // placed or not.
  size_t Asked() const { return asked_; }
  // Nothing more is placed or counted, until the scope ends (other controls made meanwhile
  // must not land in this control's block).
  void Close() { closed_ = true; }

  // Room for size bytes in the open scope's block; none when it does not fit or none is open.
  static void* Take(size_t size);
  // Where memory of the open scope's block lies from the block's start; 0 for other memory.
  static uint16_t OffsetOf(const void* memory);
  // The list at the start of the block that holds memory offset bytes further on.
  static TPropList* OwnerAt(const void* memory, uint16_t offset);

 private:
  static TPropArena*& Current();

  std::byte* block_;
  size_t size_;
  size_t placed_;
  size_t asked_;
  bool closed_ = false;
  TPropArena* outer_;
};

class TCustomProp : public TVexaObject {
 public:
  TCustomProp() : arenaOffset_(TPropArena::OffsetOf(this)), hasLink_(0), hooked_(0), ownerAt_(kNoOwner) {}
  ~TCustomProp() override;

  // Properties are placed in the open TPropArena when there is room; one in a block is only
  // destroyed, the block goes with its control.
  static void* operator new(size_t size);
  static void operator delete(TCustomProp* prop, std::destroying_delete_t);
  // A constructor that throws.
  static void operator delete(void* memory);

  virtual const char* ClassName() const { return "TCustomProp"; }

  TPropList* OwnerList() const {
    if (ownerAt_ == kOwnerAtBlock) return TPropArena::OwnerAt(this, arenaOffset_);
    return ownerAt_ == kOwnerInTable ? TableOwner() : nullptr;
  }
  uint8_t Flags() const { return flags_; }
  void SetFlags(uint8_t flags) { flags_ = flags; }
  bool HasFlag(uint8_t flag) const { return (flags_ & flag) != 0; }
  void SetFlag(uint8_t flag, bool on) { flags_ = static_cast<uint8_t>(on ? flags_ | flag : flags_ & ~flag); }
  bool HasValueList() const { return hasValueList_ != 0; }
  bool NotRecorded() const { return notRecorded_ != 0; }
  void SetNotRecorded(bool notRecorded) { notRecorded_ = notRecorded ? 1 : 0; }
  // The property's name in its list; empty outside a list.
  std::string_view Name() const { return NameText(); }

  TNotifyLink& GetNotifyLink();
  bool HasNotifyLink() const { return hasLink_ != 0; }
  // Read-only for changes: the list decides (undo and redo may change read-only properties).
  bool IsReadOnly() const;

  // Virtual operations, in their order of slots.
  virtual std::string GetDisplayValue() const;
  virtual void SetDisplayValue(const std::string& text);
  virtual void DoBeforeChanged();
  virtual void DoChanged();
  // name empty: the whole value; else the published sub-property of that name.
  virtual void SetPropValue(std::string_view name, const PropValue& value);
  virtual PropValue GetPropValue(std::string_view name) const;
  virtual TPropKind GetPropType(std::string_view name) const;
  virtual void Setup(canvas::Canvas& canvas, int32_t scale);
  virtual bool Edit() { return false; }
  virtual void GetEnumList(std::vector<std::string>& names) const;
  virtual bool IsPublishedStored(std::string_view name) const;

  // The published-property mechanism: drawing properties list their sub-properties here.
  virtual int PublishedCount() const { return 0; }
  virtual TPublishedInfo PublishedInfo(int index) const;
  virtual PropValue GetPublished(int index) const;
  virtual void SetPublished(int index, const PropValue& value);
  // The sub-property's stored rule (its predicate or a constant).
  virtual bool PublishedStored(int index) const;
  // The nested property object of a SubProperties sub-property.
  virtual TCustomProp* PublishedObject(int index);
  // Index of the published sub-property of that name (case-insensitive); -1 when none.
  int IndexOfPublished(std::string_view name) const;

 protected:
  // The change protocol of every setter: nothing for an unchanged value or a read-only
  // property; else before-change (which records undo), store, changed.
  template <class T>
  void ChangeValue(T& field, const T& value) {
    if (field == value || IsReadOnly()) return;
    DoBeforeChanged();
    field = value;
    DoChanged();
  }
  void SetKind(TPropKind kind) { kind_ = static_cast<uint8_t>(kind); }
  // A mark a class may use for state it keeps outside the property (see TIntProp).
  bool Hooked() const { return hooked_ != 0; }
  void SetHooked(bool hooked) { hooked_ = hooked ? 1 : 0; }
  void SetHasValueList(bool has) { hasValueList_ = has ? 1 : 0; }

 private:
  friend class TPropList;
  // Where the owning list is found: none, at the start of the block the property lies in,
  // or in a table kept apart (a property made outside its control's block).
  static constexpr uint8_t kNoOwner = 0;
  static constexpr uint8_t kOwnerAtBlock = 1;
  static constexpr uint8_t kOwnerInTable = 2;
  // Taken into owner's list under name.
  void Enlist(TPropList* owner, std::string_view name);
  TPropList* TableOwner() const;
  // The number of a name, given out on its first use.
  static uint16_t NameNumber(std::string_view name);
  const std::string& NameText() const { return nameIndex_ != 0 ? *nameTable_[nameIndex_] : noName_; }

  // Every property name in use, by number, for the lifetime of the process (the library runs
  // on one thread); number 0 is the empty name of a property outside a list. Read on every
  // look-up by name, so kept where an inline read reaches it.
  static inline std::vector<const std::string*> nameTable_;
  static inline const std::string noName_;

  // Every control holds twenty properties or more: no pointer is kept here beyond the
  // virtual table. The name is a number in the table of property names (see Name), the list
  // is found through the block.
  uint16_t nameIndex_ = 0;
  // Bytes from the start of the block the property was placed in; 0 outside a block.
  uint16_t arenaOffset_;
  uint8_t flags_ = pfNew;
  uint8_t kind_ : 2 = 0;
  uint8_t hasValueList_ : 1 = 0;
  uint8_t notRecorded_ : 1 = 0;
  // The notify link is kept apart (few properties ever have one), see GetNotifyLink.
  uint8_t hasLink_ : 1;
  uint8_t hooked_ : 1;
  uint8_t ownerAt_ : 2;
};

}  // namespace pv::graphics

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
// twenty properties apiece). A scope opens placement into its block and the scope before
// comes back when it ends; a property that does not fit is allocated on its own. The block
// must outlive every property placed in it.
class TPropArena {
 public:
  // block: size bytes; none to count only (what a block for the same properties must hold).
  TPropArena(std::byte* block, size_t size);
  ~TPropArena();
  TPropArena(const TPropArena&) = delete;
  TPropArena& operator=(const TPropArena&) = delete;

  // The bytes the properties asked for while the scope was open, placed or not.
  size_t Asked() const { return asked_; }
  // Nothing more is placed or counted, until the scope ends (other controls made meanwhile
  // must not land in this control's block).
  void Close() { closed_ = true; }

  // Room for size bytes in the open scope's block; none when it does not fit or none is open.
  static void* Take(size_t size);
  // True for memory of the open scope's block.
  static bool Holds(const void* memory);

 private:
  static TPropArena*& Current();

  std::byte* block_;
  size_t size_;
  size_t placed_ = 0;
  size_t asked_ = 0;
  bool closed_ = false;
  TPropArena* outer_;
};

class TCustomProp : public TVexaObject {
 public:
  TCustomProp() : hasLink_(0), inArena_(TPropArena::Holds(this) ? 1 : 0), hooked_(0) {}
  ~TCustomProp() override;

  // Properties are placed in the open TPropArena when there is room; one in a block is only
  // destroyed, the block goes with its control.
  static void* operator new(size_t size);
  static void operator delete(TCustomProp* prop, std::destroying_delete_t);
  // A constructor that throws.
  static void operator delete(void* memory);

  virtual const char* ClassName() const { return "TCustomProp"; }

  TPropList* OwnerList() const { return owner_; }
  uint8_t Flags() const { return flags_; }
  void SetFlags(uint8_t flags) { flags_ = flags; }
  bool HasFlag(uint8_t flag) const { return (flags_ & flag) != 0; }
  void SetFlag(uint8_t flag, bool on) { flags_ = static_cast<uint8_t>(on ? flags_ | flag : flags_ & ~flag); }
  bool HasValueList() const { return hasValueList_ != 0; }
  bool NotRecorded() const { return notRecorded_ != 0; }
  void SetNotRecorded(bool notRecorded) { notRecorded_ = notRecorded ? 1 : 0; }
  // The property's name in its list; empty outside a list.
  std::string_view Name() const { return name_ ? std::string_view(*name_) : std::string_view(); }

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

  TPropList* owner_ = nullptr;
  // The list's copy of the name (names are interned, see TPropList): the list holds only the
  // properties, which halves its size for a document of many controls.
  const std::string* name_ = nullptr;
  uint8_t flags_ = pfNew;
  uint8_t kind_ = 0;
  uint8_t hasValueList_ : 1 = 0;
  uint8_t notRecorded_ : 1 = 0;
  // The notify link is kept apart (few properties ever have one), see GetNotifyLink.
  uint8_t hasLink_ : 1;
  uint8_t inArena_ : 1;
  uint8_t hooked_ : 1;
};

}  // namespace pv::graphics

#pragma once
// The named properties of one control, sorted by name (case-insensitive), with the change
// handling that records undo and notifies, and the property lines of the text format.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "base/NotifyLink.h"
#include "base/VexaFiler.h"
#include "history/HistoryAction.h"
#include "props/Prop.h"

namespace pv::graphics {

class THistory;
class TPropList;
class TPropRefList;

// What a control answers for its property list (the control wires them to its slots).
class TPropListEvents {
 public:
  virtual void PropChanged(TPropList& list, TCustomProp& prop);
  virtual void PropBeforeChanged(TPropList& list, TCustomProp& prop);
  // subName empty: the whole property; else one of its published sub-properties.
  virtual void PropStored(TPropList& list, TCustomProp& prop, std::string_view subName, bool& stored);
  virtual void PropReadOnly(TPropList& list, TCustomProp& prop, bool& readOnly);

 protected:
  ~TPropListEvents() = default;
};

class TPropList : public TVexaObject {
 public:
  explicit TPropList(TVexaObject* control = nullptr) : control_(control) {}
  ~TPropList() override;
  // What the destructor does, for an owner that must see it done before its own teardown
  // ends: the partners hear the list go, the properties go, and so do deferred values of
  // them. The list is left empty.
  void Dispose();

  TVexaObject* Control() const { return control_; }
  TPropListEvents* Events() const { return events_; }
  void SetEvents(TPropListEvents* events) { events_ = events; }
  THistory* History() const { return history_; }
  void SetHistory(THistory* history) { history_ = history; }
  TPropRefList* RefList() const { return refList_; }
  void SetRefList(TPropRefList* refList) { refList_ = refList; }
  TNotifyLink& GetNotifyLink();

  int Count() const { return static_cast<int>(Size()); }
  // Room for count properties, and the room given back down to the properties held: a control
  // makes its list at the size its class needs, with no slack per control.
  void Reserve(int count) { entries_.reserve(static_cast<size_t>(count)); }
  void ShrinkToFit() { entries_.shrink_to_fit(); }
  // Takes the block that properties are placed in (see TPropArena): it goes with the list,
  // after the properties. Its start.
  std::byte* TakeBlock(std::unique_ptr<std::byte[]> block) {
    block_ = std::move(block);
    return block_.get();
  }
  // Every property lies in the list's block: the list keeps, in place of an entry per
  // property, the order of their places in the block, which every control of a class shares.
  // Nothing when a property lies elsewhere. The list takes entries of its own again when a
  // property comes, or goes from other than the end.
  void ShareLayout();
  bool SharesLayout() const { return layout_ != nullptr; }
  TCustomProp* PropByIndex(int i) const { return At(static_cast<size_t>(i)); }
  const std::string& NameByIndex(int i) const { return At(static_cast<size_t>(i))->NameText(); }
  TCustomProp* PropByName(std::string_view name) const;
  int IndexOfProp(const TCustomProp* prop) const;
  std::string_view NameOf(const TCustomProp* prop) const;

  // Takes the property into the list under name: -1 (and prop left with the caller) when the
  // name is reserved or can't be written as a property line, already present, or the
  // property is in a list already.
  int AddProp(std::unique_ptr<TCustomProp>& prop, std::string_view name);
  // A new property of class T in the list; none when the name is refused.
  template <class T, class... Args>
  T* Create(std::string_view name, Args&&... args) {
    std::unique_ptr<TCustomProp> prop = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = static_cast<T*>(prop.get());
    return AddProp(prop, name) >= 0 ? raw : nullptr;
  }
  void DeleteProp(int index);
  void Clear();

  bool IsReadOnly(const TCustomProp& prop);
  bool IsPropStored(TCustomProp& prop, std::string_view subName);
  bool IsResolving() const { return resolving_ > 0; }
  bool Reading() const { return reading_; }
  THistoryState HistoryState() const { return historyState_; }
  void SetHistoryState(THistoryState state) { historyState_ = state; }
  bool AddIdMapping(int32_t storedId, int32_t assignedId);

  // From the properties' DoBeforeChanged and DoChanged.
  void PropBeforeChange(TCustomProp& prop);
  void PropChanged(TCustomProp& prop);

  // The text format: stored properties at the given indentation, in the list's order.
  void SaveToFiler(TVexaFiler& filer, std::string_view indent, bool saveAll = false);
  // One property as a line or a block (nothing for an Empty value).
  void SaveProp(TVexaFiler& filer, TCustomProp& prop, std::string_view name, std::string_view indent, bool saveAll);
  // A property line or a "property" block that begins with line; false when the property
  // is unknown (its line dropped, its block skipped).
  bool LoadProp(TVexaFiler& filer, std::string_view line);
  bool LoadPropLine(TVexaFiler& filer, std::string_view line);
  bool LoadPropBlock(TVexaFiler& filer, std::string_view line);

 private:
  friend class TPropRefList;
  size_t Size() const { return layout_ ? sharedCount_ : entries_.size(); }
  TCustomProp* At(size_t i) const {
    if (!layout_) return entries_[i].get();
    return std::launder(reinterpret_cast<TCustomProp*>(block_.get() + (*layout_)[i]));
  }
  // Back from the shared order to an entry per property.
  void OwnEntries();
  size_t LowerBound(std::string_view name) const;
  void ApplyValue(TCustomProp& prop, std::string_view subName, const PropValue& value);
  void LoadSubProperties(TVexaFiler& filer, TCustomProp& prop);

  TVexaObject* control_;
  TPropListEvents* events_ = nullptr;
  THistory* history_ = nullptr;
  TPropRefList* refList_ = nullptr;
  // The reference list that holds deferred values of this list's properties, told when the
  // list goes so that nothing is written through freed properties.
  TPropRefList* deferredIn_ = nullptr;
  std::unique_ptr<TNotifyLink> link_;
  // Sorted by the properties' names, which are interned: a document of many controls holds
  // each name once. Empty while the list shares its class's layout.
  std::vector<std::unique_ptr<TCustomProp>> entries_;
  // The shared layout: the properties' places in block_, in the list's order; the first
  // sharedCount_ of them are held.
  const std::vector<uint16_t>* layout_ = nullptr;
  std::unique_ptr<std::byte[]> block_;
  int resolving_ = 0;
  uint16_t sharedCount_ = 0;
  THistoryState historyState_ = THistoryState::Idle;
  bool reading_ = false;
};

// True for the words that open or close blocks of the text format.
bool IsReservedPropName(std::string_view name);

}  // namespace pv::graphics

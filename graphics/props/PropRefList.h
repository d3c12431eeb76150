#pragma once
// Values of reference properties held back during a load, and the IDs the load assigned,
// so that references find objects created later in the text.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/IdPool.h"
#include "props/PropValue.h"

namespace pv::graphics {

class TCustomProp;
class TPropList;

class TPropRefList {
 public:
  TPropRefList() = default;
  ~TPropRefList();
  TPropRefList(const TPropRefList&) = delete;
  TPropRefList& operator=(const TPropRefList&) = delete;

  // name: the sub-property name used, empty for the whole value (at most 255 characters).
  void AddDeferred(TCustomProp& prop, std::string_view name, PropValue value);
  bool AddIdMapping(int32_t storedId, int32_t assignedId);
  // The ID a stored ID was given; 0 when unknown.
  int32_t TranslateId(int32_t storedId) const;
  // Applies the deferred values, last first, then forgets them and the IDs. When a value
  // fails, the rest are dropped and the error passes on. While the list is held nothing is
  // applied yet: the values and IDs wait for the end of the hold.
  void Apply();
  // Holds the values of a run of loads whose references may point into each other (the
  // controls that one undo step brings back one after the other); holds nest.
  void Hold() { ++held_; }
  // Ends one hold; the last one applies what waited, or drops it when apply is false.
  void EndHold(bool apply);
  // Forgets everything without applying.
  void Clear();
  // Drops the deferred values of a list's properties (the list is going away).
  void Forget(const TPropList* list);
  void Forget(const TCustomProp* prop);

  size_t DeferredCount() const { return deferred_.size(); }

 private:
  struct Deferred {
    TCustomProp* prop;
    std::string name;
    PropValue value;
  };
  void Release();

  std::vector<Deferred> deferred_;
  TIdPool unchanged_;
  std::unordered_map<int32_t, int32_t> pairs_;
  int held_ = 0;
};

}  // namespace pv::graphics

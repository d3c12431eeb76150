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
  // fails, the rest are dropped and the error passes on.
  void Apply();
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
};

}  // namespace pv::graphics

// Template sets and record sets: templates by caller-chosen id, each with a
// second value the caller may give, kept in ascending id order.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include <ext/pb_ds/assoc_container.hpp>
#include <ext/pb_ds/tree_policy.hpp>

#include "vela/math.h"

namespace vela::math {

struct StoredEntry {
  base::smart_ptr<BiometricTemplate> stored;
  int32_t id = 0;
  int32_t value = 0;
};

class SetEntryImpl final : public virtual SetEntry {
 public:
  explicit SetEntryImpl(const StoredEntry& entry);
  base::smart_ptr<BiometricTemplate> GetTemplate() const override { return entry.stored; }
  int32_t GetId() const override { return entry.id; }
  int32_t GetValue() const override { return entry.value; }

 private:
  ~SetEntryImpl() override;
  StoredEntry entry;
};

// Entries by id in a balanced tree that also knows each node's rank, so that
// lookups by id and by position both take logarithmic time.
class SetEntries {
 public:
  struct Value {
    base::smart_ptr<BiometricTemplate> stored;
    int32_t value = 0;
  };
  using Tree = __gnu_pbds::tree<int32_t, Value, std::less<int32_t>, __gnu_pbds::rb_tree_tag,
                                __gnu_pbds::tree_order_statistics_node_update>;
  using Position = Tree::const_iterator;

  // False, changing nothing, when the id is already there.
  bool Insert(const StoredEntry& entry);
  // False when the id is not there.
  bool Erase(int32_t id);
  std::optional<StoredEntry> FindById(int32_t id) const;
  // Empty unless 0 <= index < Size().
  std::optional<StoredEntry> FindByIndex(int32_t index) const;
  int32_t Size() const { return int32_t(tree.size()); }
  Position Begin() const { return tree.begin(); }
  Position End() const { return tree.end(); }
  static StoredEntry At(Position position);
  // Every entry in id order.
  std::vector<StoredEntry> All() const;

 private:
  Tree tree;
};

class TemplateSetImpl final : public virtual TemplateSet {
 public:
  TemplateSetImpl();

  void Add(base::smart_ptr<BiometricTemplate> stored, int32_t id) override;
  void Add(base::smart_ptr<BiometricTemplate> stored, int32_t id, int32_t value) override;
  void Remove(int32_t id) override;
  int32_t Count() const override;
  void Reset() override;
  bool MoveNext() override;
  base::smart_ptr<SetEntry> Current() const override;
  base::smart_ptr<BiometricTemplate> GetById(int32_t id) const override;

  // Every entry in id order, read apart from the enumerator, so that walks of
  // several identifications never disturb each other or a client's enumeration.
  std::vector<StoredEntry> Snapshot() const;

 private:
  ~TemplateSetImpl() override;

  mutable std::mutex lock;
  SetEntries entries;
  SetEntries::Position position;
  bool started = false;
};

class RecordSetImpl final : public virtual RecordSet {
 public:
  RecordSetImpl();

  void Add(base::smart_ptr<BiometricTemplate> stored, int32_t id) override;
  void Add(base::smart_ptr<BiometricTemplate> stored, int32_t id, int32_t value) override;
  int32_t Count() const override;
  base::smart_ptr<SetEntry> GetByIndex(int32_t index) const override;
  base::smart_ptr<SetEntry> GetById(int32_t id) const override;
  void Remove(int32_t id) override;

  // Every entry in id order, read in one step.
  std::vector<StoredEntry> Snapshot() const;

 private:
  ~RecordSetImpl() override;

  mutable std::mutex lock;
  SetEntries entries;
};

}  // namespace vela::math

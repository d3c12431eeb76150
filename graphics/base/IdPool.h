#pragma once
// The allocator of control IDs: sorted, disjoint, non-adjacent ranges [first, last] of IDs
// in use. IDs run from 1 to 2^31 - 1; 0 means "no ID" and is never in the pool.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pv::graphics {

class TIdPool {
 public:
  static constexpr int32_t MaxId = INT32_MAX;

  // The smallest free ID, now used; 0 when every ID is taken.
  int32_t Generate();
  bool Used(int32_t id) const;
  // False for 0, a negative ID or one already used.
  bool Use(int32_t id);
  // False for 0, a negative ID or one not used.
  bool Release(int32_t id);
  void Clear() { ranges_.clear(); }

  // The ranges as pairs: even index first, odd index last.
  const std::vector<int32_t>& Ranges() const { return ranges_; }

 private:
  std::vector<int32_t> ranges_;
};

// First index whose entry is >= value in a sorted array (count when none); a binary search,
// so that loading scattered IDs stays linear in the number of IDs.
size_t FindFirstNotLess(int32_t value, const int32_t* array, size_t count);

}  // namespace pv::graphics

#include "base/IdPool.h"

#include <algorithm>

namespace pv::graphics {

size_t FindFirstNotLess(int32_t value, const int32_t* array, size_t count) {
  return static_cast<size_t>(std::lower_bound(array, array + count, value) - array);
}

int32_t TIdPool::Generate() {
  if (ranges_.empty()) {
    ranges_ = {1, 1};
    return 1;
  }
  if (ranges_[0] == 1) {
    if (ranges_[1] == MaxId) return 0;
    const int32_t id = ranges_[1] + 1;
    if (ranges_.size() > 2 && ranges_[2] == id + 1) {
      ranges_.erase(ranges_.begin() + 1, ranges_.begin() + 3);
    } else {
      ranges_[1] = id;
    }
    return id;
  }
  if (ranges_[0] == 2) {
    ranges_[0] = 1;
  } else {
    ranges_.insert(ranges_.begin(), {1, 1});
  }
  return 1;
}

bool TIdPool::Used(int32_t id) const {
  if (id <= 0) return false;
  const size_t i = FindFirstNotLess(id, ranges_.data(), ranges_.size());
  if (i == ranges_.size()) return false;
  return ranges_[i] == id || i % 2 == 1;
}

bool TIdPool::Use(int32_t id) {
  if (id <= 0) return false;
  const size_t i = FindFirstNotLess(id, ranges_.data(), ranges_.size());
  const bool joinsPrevious = i > 0 && ranges_[i - 1] == id - 1;
  if (i == ranges_.size()) {
    if (joinsPrevious) {
      ranges_.back() = id;
    } else {
      ranges_.push_back(id);
      ranges_.push_back(id);
    }
    return true;
  }
  if (ranges_[i] == id || i % 2 == 1) return false;
  if (ranges_[i] == id + 1) {
    if (joinsPrevious) {
      ranges_.erase(ranges_.begin() + static_cast<std::ptrdiff_t>(i) - 1, ranges_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    } else {
      ranges_[i] = id;
    }
  } else if (joinsPrevious) {
    ranges_[i - 1] = id;
  } else {
    ranges_.insert(ranges_.begin() + static_cast<std::ptrdiff_t>(i), {id, id});
  }
  return true;
}

bool TIdPool::Release(int32_t id) {
  if (id <= 0) return false;
  const size_t i = FindFirstNotLess(id, ranges_.data(), ranges_.size());
  if (i == ranges_.size()) return false;
  const auto at = ranges_.begin() + static_cast<std::ptrdiff_t>(i);
  if (ranges_[i] == id) {
    const size_t first = i - i % 2;
    if (ranges_[first] == ranges_[first + 1]) {
      ranges_.erase(ranges_.begin() + static_cast<std::ptrdiff_t>(first), ranges_.begin() + static_cast<std::ptrdiff_t>(first) + 2);
    } else if (i % 2 == 0) {
      ranges_[i] = id + 1;
    } else {
      ranges_[i] = id - 1;
    }
    return true;
  }
  if (i % 2 == 0) return false;
  ranges_.insert(at, {id - 1, id + 1});
  return true;
}

}  // namespace pv::graphics

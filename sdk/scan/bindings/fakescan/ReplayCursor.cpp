#include "bindings/fakescan/ReplayCursor.h"

namespace vela::scan {

size_t ReplayCursor::Next(size_t count) {
  std::lock_guard lock(mutex);
  const size_t current = position < count ? position : 0;
  position = current + 1 == count ? 0 : current + 1;
  return current;
}

ReplayCursor& FakeScanReplayCursor() {
  static ReplayCursor cursor;
  return cursor;
}

}  // namespace vela::scan

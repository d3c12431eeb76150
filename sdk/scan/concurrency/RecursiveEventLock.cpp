#include "RecursiveEventLock.h"

#include <vela/concurrency.h>

namespace concurrency {

void RecursiveEventLock::lock() {
  const std::thread::id self = std::this_thread::get_id();
  if (owner.load() == self) {
    ++count;
    return;
  }
  wait_for_event(event, infinite);
  owner.store(self);
  count = 1;
}

void RecursiveEventLock::unlock() {
  if (owner.load() != std::this_thread::get_id()) throw exceptions::failed();
  if (--count > 0) return;
  owner.store(std::thread::id());
  event.Set();
}

}  // namespace concurrency

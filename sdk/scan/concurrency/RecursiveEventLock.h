#pragma once

#include <atomic>
#include <thread>

#include "Event.h"

namespace concurrency {

// A lock that its holder may take again; other threads wait without time-out.
// Unlike std::recursive_mutex, an unlock by a thread that does not hold it is
// reported instead of being undefined.
class RecursiveEventLock {
 public:
  void lock();
  // Throws exceptions::failed, changing nothing, when the calling thread does
  // not hold the lock.
  void unlock();

 private:
  Event event{ResetMode::Automatic, InitialState::Signalled};
  std::atomic<std::thread::id> owner{};
  int count = 0;
};

// Holds a RecursiveEventLock for the life of the scope.
class ScopedLock {
 public:
  explicit ScopedLock(RecursiveEventLock& lock) : held(lock) { held.lock(); }
  ~ScopedLock() { held.unlock(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  RecursiveEventLock& held;
};

}  // namespace concurrency

#pragma once
// Events with the semantics of kernel events: manual or automatic reset, and
// waits on one event or on several at once (see WaitSet). All events share one
// mutex, which makes a wait on several events atomic; the waits of a scanner
// device are short and rare, so the shared mutex costs nothing that matters.

#include <condition_variable>
#include <span>
#include <vector>

namespace concurrency {

enum class ResetMode { Manual, Automatic };
enum class InitialState { NotSignalled, Signalled };

// Results of a wait as the kernel reports them.
inline constexpr unsigned waitObject0 = 0;
inline constexpr unsigned waitTimeout = 258;
inline constexpr unsigned waitFailed = 0xFFFFFFFFu;

// Milliseconds meaning "no time-out".
inline constexpr int infinite = -1;

class Event {
 public:
  Event(ResetMode mode, InitialState state);
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Reset();

 private:
  friend unsigned waitForEvents(std::span<Event* const> events, bool waitAll, int milliseconds);

  const bool manualReset;
  bool signalled;
  std::vector<std::condition_variable*> waiters;
};

// Waits for the events (any or all); returns the index of the signalled event
// (the lowest one for an any-wait, 0 for an all-wait) or waitTimeout. An
// automatic-reset event that ends the wait is reset by it. Negative
// milliseconds wait without time-out. Throws exceptions::failed when the wait
// itself cannot be performed (no events, or the mutex fails).
unsigned waitForEvents(std::span<Event* const> events, bool waitAll, int milliseconds);

// True when the event was signalled, false on time-out.
bool wait_for_event(Event& event, int milliseconds);

}  // namespace concurrency

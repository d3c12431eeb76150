#include "Event.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <system_error>

#include <vela/concurrency.h>

namespace concurrency {
namespace {

std::mutex& eventMutex() {
  static std::mutex mutex;
  return mutex;
}

// Runs a clean-up when the scope ends, however it ends.
template <class F>
struct OnExit {
  F cleanUp;
  ~OnExit() { cleanUp(); }
};
template <class F>
OnExit(F) -> OnExit<F>;

}  // namespace

Event::Event(ResetMode mode, InitialState state)
    : manualReset(mode == ResetMode::Manual), signalled(state == InitialState::Signalled) {}

void Event::Set() {
  std::lock_guard lock(eventMutex());
  signalled = true;
  for (std::condition_variable* waiter : waiters) waiter->notify_one();
}

void Event::Reset() {
  std::lock_guard lock(eventMutex());
  signalled = false;
}

unsigned waitForEvents(std::span<Event* const> events, bool waitAll, int milliseconds) {
  if (events.empty()) throw exceptions::failed();

  // Answers the wait if it can end now; consumes automatic-reset events.
  auto tryEnd = [&]() -> unsigned {
    if (waitAll) {
      bool all = std::all_of(events.begin(), events.end(), [](Event* e) { return e->signalled; });
      if (!all) return waitTimeout;
      for (Event* event : events) {
        if (!event->manualReset) event->signalled = false;
      }
      return waitObject0;
    }
    for (size_t i = 0; i < events.size(); ++i) {
      if (!events[i]->signalled) continue;
      if (!events[i]->manualReset) events[i]->signalled = false;
      return static_cast<unsigned>(i);
    }
    return waitTimeout;
  };

  try {
    std::unique_lock lock(eventMutex());
    unsigned result = tryEnd();
    if (result != waitTimeout || milliseconds == 0) return result;

    std::condition_variable cv;
    for (Event* event : events) event->waiters.push_back(&cv);
    OnExit unregister{[&] {
      for (Event* event : events) {
        auto found = std::find(event->waiters.begin(), event->waiters.end(), &cv);
        if (found != event->waiters.end()) event->waiters.erase(found);
      }
    }};
    if (milliseconds < 0) {
      while ((result = tryEnd()) == waitTimeout) cv.wait(lock);
      return result;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while ((result = tryEnd()) == waitTimeout) {
      if (cv.wait_until(lock, deadline) == std::cv_status::timeout) return tryEnd();
    }
    return result;
  } catch (const std::system_error&) {
    throw exceptions::failed();
  }
}

bool wait_for_event(Event& event, int milliseconds) {
  Event* events[] = {&event};
  return waitForEvents(events, false, milliseconds) == waitObject0;
}

}  // namespace concurrency

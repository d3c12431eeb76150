#pragma once
// The one hidden receiver of timer messages that window-less timers share: timers are named
// by an id, started and killed on the host, and every tick comes back through one handler.

#include <cstdint>
#include <functional>
#include <map>

namespace pv::timer {

using TimerId = std::uintptr_t;

class TimerHost {
 public:
  virtual ~TimerHost() = default;
  // Starts (or restarts) the timer with this id; false when it cannot be started.
  virtual bool SetTimer(TimerId id, unsigned intervalMs) = 0;
  // False when no timer with this id runs.
  virtual bool KillTimer(TimerId id) = 0;

  void SetHandler(std::function<void(TimerId)> handler) { handler_ = std::move(handler); }

 protected:
  void Dispatch(TimerId id) {
    if (handler_) handler_(id);
  }

 private:
  std::function<void(TimerId)> handler_;
};

// A host on a clock that only moves when told to: tests run minutes of timer ticks at once.
class ManualTimerHost : public TimerHost {
 public:
  bool SetTimer(TimerId id, unsigned intervalMs) override;
  bool KillTimer(TimerId id) override;

  // Moves the clock on by `ms`, delivering every tick that falls due, in time order.
  void Advance(std::uint64_t ms);
  std::uint64_t Now() const { return now_; }
  bool IsRunning(TimerId id) const { return timers_.count(id) != 0; }
  // When set, SetTimer fails (as a host out of timers would).
  bool refuseTimers = false;

 private:
  struct Entry {
    unsigned interval;
    std::uint64_t due;
  };
  std::map<TimerId, Entry> timers_;
  std::uint64_t now_ = 0;
};

}  // namespace pv::timer

#include "TimerHost.h"

namespace pv::timer {

bool ManualTimerHost::SetTimer(TimerId id, unsigned intervalMs) {
  if (refuseTimers || intervalMs == 0) return false;
  timers_[id] = Entry{intervalMs, now_ + intervalMs};
  return true;
}

bool ManualTimerHost::KillTimer(TimerId id) { return timers_.erase(id) != 0; }

void ManualTimerHost::Advance(std::uint64_t ms) {
  const std::uint64_t end = now_ + ms;
  for (;;) {
    // Handlers may start and kill timers, so the next due one is looked up afresh each time.
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.due <= end && (next == timers_.end() || it->second.due < next->second.due)) next = it;
    }
    if (next == timers_.end()) break;
    now_ = next->second.due;
    next->second.due += next->second.interval;
    Dispatch(next->first);
  }
  now_ = end;
}

}  // namespace pv::timer

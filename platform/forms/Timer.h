#pragma once
// The timer component of the forms: Enabled, Interval and OnTimer, ticking on the message
// loop. All timers share one TimerHost (the Qt one unless a test installs a manual clock),
// so tests can run the timers of a window without waiting.

#include <functional>

#include "timer/TimerHost.h"

namespace pv::forms {

// The host every TTimer uses; created on first use (a QtTimerHost) unless one was installed.
timer::TimerHost& TimerHostForForms();
// Installs a host (not owned) for the timers started from now on; nullptr goes back to the
// Qt one. Timers that run keep ticking on the host they were started on until restarted.
void InstallTimerHost(timer::TimerHost* host);

class TTimer {
 public:
  explicit TTimer(unsigned intervalMs = 1000);
  ~TTimer();
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  bool Enabled() const { return enabled_; }
  // Enabling a timer that runs starts its interval again, as the platform's timer does.
  void SetEnabled(bool enabled);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned intervalMs);

  std::function<void()> OnTimer;

  // Delivers a tick of the shared host to the timer it names (dropped for a timer that no
  // longer exists).
  static void Dispatch(timer::TimerId id);

 private:
  void Start();
  void Stop();
  void Tick();

  bool enabled_ = false;
  unsigned interval_;
  timer::TimerHost* runningOn_ = nullptr;
};

}  // namespace pv::forms

#pragma once
// Timers that need no window of their own: all of them share one hidden timer host, which
// exists while at least one timer does.

#include <functional>
#include <memory>
#include <unordered_set>

#include "timer/TimerHost.h"

namespace safestow {

class TSimpleTimer;

class TSimpleTimerHandler {
 public:
  using HostFactory = std::function<std::unique_ptr<pv::timer::TimerHost>()>;
  // The program installs the Qt host; tests install a manual one. Without a factory the
  // host is a manual one that never ticks by itself.
  static void SetHostFactory(HostFactory factory);
  // Null while no timer exists.
  static TSimpleTimerHandler* Instance();

  pv::timer::TimerHost& Host() { return *host_; }
  int TimerCount() const { return static_cast<int>(timers_.size()); }
  int RunningCount() const { return running_; }

 private:
  friend class TSimpleTimer;
  TSimpleTimerHandler();
  static TSimpleTimerHandler& Register(TSimpleTimer* timer);
  static void Unregister(TSimpleTimer* timer);
  void Tick(pv::timer::TimerId id);

  std::unique_ptr<pv::timer::TimerHost> host_;
  std::unordered_set<TSimpleTimer*> timers_;
  int running_ = 0;
};

class TSimpleTimer {
 public:
  using TimerEvent = std::function<void(TSimpleTimer* sender)>;

  TSimpleTimer();  // 1000 ms, no handler
  TSimpleTimer(unsigned interval, TimerEvent onTimer);
  ~TSimpleTimer();
  TSimpleTimer(const TSimpleTimer&) = delete;
  TSimpleTimer& operator=(const TSimpleTimer&) = delete;

  // False for an interval of 0 or when the host refuses; a running timer starts over.
  bool Start();
  // Clears the enabled flag only when `disable` is set.
  bool Stop(bool disable);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned value);
  bool OneShot() const { return oneShot_; }
  void SetOneShot(bool value) { oneShot_ = value; }
  void SetOnTimer(TimerEvent handler);

  pv::timer::TimerId Id() const { return reinterpret_cast<pv::timer::TimerId>(this); }

 private:
  friend class TSimpleTimerHandler;
  TSimpleTimerHandler& handler_;
  bool enabled_ = false;
  unsigned interval_ = 1000;
  bool oneShot_ = false;
  TimerEvent onTimer_;
};

}  // namespace safestow

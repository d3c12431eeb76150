#include "forms/Timer.h"

#include <memory>
#include <unordered_set>

#include "timer/QtTimerHost.h"

namespace pv::forms {

namespace {

timer::TimerHost* installedHost = nullptr;
// Timers that exist; a tick for a timer destroyed meanwhile is dropped.
std::unordered_set<timer::TimerId>& LiveTimers() {
  static std::unordered_set<timer::TimerId> live;
  return live;
}

}  // namespace

timer::TimerHost& TimerHostForForms() {
  if (installedHost) return *installedHost;
  static std::unique_ptr<timer::QtTimerHost> qtHost;
  if (!qtHost) {
    qtHost = std::make_unique<timer::QtTimerHost>();
    qtHost->SetHandler(&TTimer::Dispatch);
  }
  return *qtHost;
}

void InstallTimerHost(timer::TimerHost* host) {
  installedHost = host;
  if (host) host->SetHandler(&TTimer::Dispatch);
}

TTimer::TTimer(unsigned intervalMs) : interval_(intervalMs) {
  LiveTimers().insert(reinterpret_cast<timer::TimerId>(this));
}

TTimer::~TTimer() {
  Stop();
  LiveTimers().erase(reinterpret_cast<timer::TimerId>(this));
}

void TTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (enabled) {
    Start();
  } else {
    Stop();
  }
}

void TTimer::SetInterval(unsigned intervalMs) {
  if (intervalMs == interval_) return;
  interval_ = intervalMs;
  if (enabled_) Start();
}

void TTimer::Start() {
  Stop();
  if (interval_ == 0) return;  // a zero interval never ticks
  runningOn_ = &TimerHostForForms();
  runningOn_->SetTimer(reinterpret_cast<timer::TimerId>(this), interval_);
}

void TTimer::Stop() {
  if (!runningOn_) return;
  runningOn_->KillTimer(reinterpret_cast<timer::TimerId>(this));
  runningOn_ = nullptr;
}

void TTimer::Tick() {
  if (enabled_ && OnTimer) OnTimer();
}

void TTimer::Dispatch(timer::TimerId id) {
  if (LiveTimers().count(id) == 0) return;
  reinterpret_cast<TTimer*>(id)->Tick();
}

}  // namespace pv::forms

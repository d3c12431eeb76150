#include "SimpleTimer.h"

#include "service/EventLog.h"

namespace safestow {
namespace {

TSimpleTimerHandler* gHandler = nullptr;
TSimpleTimerHandler::HostFactory& Factory() {
  static TSimpleTimerHandler::HostFactory factory;
  return factory;
}

}  // namespace

void TSimpleTimerHandler::SetHostFactory(HostFactory factory) { Factory() = std::move(factory); }

TSimpleTimerHandler* TSimpleTimerHandler::Instance() { return gHandler; }

TSimpleTimerHandler::TSimpleTimerHandler()
    : host_(Factory() ? Factory()() : std::make_unique<pv::timer::ManualTimerHost>()) {
  host_->SetHandler([this](pv::timer::TimerId id) { Tick(id); });
}

TSimpleTimerHandler& TSimpleTimerHandler::Register(TSimpleTimer* timer) {
  if (!gHandler) gHandler = new TSimpleTimerHandler();
  gHandler->timers_.insert(timer);
  return *gHandler;
}

void TSimpleTimerHandler::Unregister(TSimpleTimer* timer) {
  gHandler->timers_.erase(timer);
  if (gHandler->timers_.empty()) {
    delete gHandler;
    gHandler = nullptr;
  }
}

void TSimpleTimerHandler::Tick(pv::timer::TimerId id) {
  // The id is the timer's address; only a registered timer is trusted with it.
  auto* timer = reinterpret_cast<TSimpleTimer*>(id);
  if (timers_.count(timer) == 0) return;
  if (timer->oneShot_) timer->Stop(true);
  if (timer->onTimer_) pv::service::GuardHandler("OnTimer", [timer] { timer->onTimer_(timer); });
}

TSimpleTimer::TSimpleTimer() : handler_(TSimpleTimerHandler::Register(this)) {}

TSimpleTimer::TSimpleTimer(unsigned interval, TimerEvent onTimer)
    : handler_(TSimpleTimerHandler::Register(this)), interval_(interval), onTimer_(std::move(onTimer)) {}

TSimpleTimer::~TSimpleTimer() {
  if (enabled_) Stop(true);
  TSimpleTimerHandler::Unregister(this);
}

bool TSimpleTimer::Start() {
  if (interval_ == 0) return false;
  if (enabled_) Stop(false);
  const bool ok = handler_.host_->SetTimer(Id(), interval_);
  if (ok) {
    enabled_ = true;
    ++handler_.running_;
  }
  return ok;
}

bool TSimpleTimer::Stop(bool disable) {
  if (disable) enabled_ = false;
  const bool ok = handler_.host_->KillTimer(Id());
  if (ok && handler_.running_ > 0) --handler_.running_;
  return ok;
}

void TSimpleTimer::SetEnabled(bool value) {
  if (value) {
    Start();
  } else {
    Stop(true);
  }
}

void TSimpleTimer::SetInterval(unsigned value) {
  if (value == interval_) return;
  interval_ = value;
  if (!enabled_) return;
  if (value != 0) {
    Start();
  } else {
    Stop(false);
  }
}

void TSimpleTimer::SetOnTimer(TimerEvent handler) {
  onTimer_ = std::move(handler);
  if (!onTimer_ && enabled_) Stop(false);
}

}  // namespace safestow

#include "QtTimerHost.h"

#include <QTimerEvent>

namespace pv::timer {

class QtTimerHost::Receiver : public QObject {
 public:
  explicit Receiver(QtTimerHost* host) : host_(host) {}

 protected:
  void timerEvent(QTimerEvent* event) override {
    const auto it = host_->ids_.constFind(event->timerId());
    if (it != host_->ids_.constEnd()) host_->Dispatch(it.value());
  }

 private:
  QtTimerHost* host_;
};

QtTimerHost::QtTimerHost() : receiver_(new Receiver(this)) {}

QtTimerHost::~QtTimerHost() { delete receiver_; }

bool QtTimerHost::SetTimer(TimerId id, unsigned intervalMs) {
  KillTimer(id);
  const int qtId = receiver_->startTimer(static_cast<int>(intervalMs), Qt::PreciseTimer);
  if (qtId == 0) return false;
  qtIds_.insert(id, qtId);
  ids_.insert(qtId, id);
  return true;
}

bool QtTimerHost::KillTimer(TimerId id) {
  const auto it = qtIds_.find(id);
  if (it == qtIds_.end()) return false;
  receiver_->killTimer(it.value());
  ids_.remove(it.value());
  qtIds_.erase(it);
  return true;
}

}  // namespace pv::timer

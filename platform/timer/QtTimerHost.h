#pragma once
// The timer host for Qt programs: a hidden object whose timer events carry the ids.

#include <QObject>
#include <QHash>

#include "TimerHost.h"

namespace pv::timer {

class QtTimerHost : public TimerHost {
 public:
  QtTimerHost();
  ~QtTimerHost() override;
  bool SetTimer(TimerId id, unsigned intervalMs) override;
  bool KillTimer(TimerId id) override;

 private:
  class Receiver;
  Receiver* receiver_;
  QHash<TimerId, int> qtIds_;
  QHash<int, TimerId> ids_;
};

}  // namespace pv::timer

#pragma once

#include <vector>

#include "Event.h"

namespace concurrency {

// Events waited on together; an event's position is the index a wait returns.
class WaitSet {
 public:
  WaitSet(Event& first, Event& second);

  void add(Event& event);

  // Waits for all events or for any of them; returns the lowest signalled
  // index (any) or 0 (all). Throws exceptions::timeout when the time runs out
  // and exceptions::failed when the wait cannot be performed.
  unsigned wait(bool waitAll, int milliseconds);

 private:
  std::vector<Event*> events;
};

}  // namespace concurrency

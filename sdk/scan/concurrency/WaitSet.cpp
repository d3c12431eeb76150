#include "WaitSet.h"

#include <vela/concurrency.h>

namespace concurrency {

WaitSet::WaitSet(Event& first, Event& second) : events{&first, &second} {}

void WaitSet::add(Event& event) { events.push_back(&event); }

unsigned WaitSet::wait(bool waitAll, int milliseconds) {
  unsigned result = waitForEvents(events, waitAll, milliseconds);
  if (result == waitTimeout) throw exceptions::timeout();
  return result;
}

}  // namespace concurrency

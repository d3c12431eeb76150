#include "CallSlot.h"

#include <stdexcept>

namespace concurrency {

void CallSlot::SetError(const std::string& text) {
  if (error.empty()) error = text.empty() ? defaultCallError : text;
  answer();
}

void CallSlot::post() {
  doneEvent.Reset();
  requestEvent.Set();
  wait_for_event(doneEvent, infinite);
  if (!error.empty()) throw std::runtime_error(error);
}

void ArgumentSlot::call(int argument) {
  std::lock_guard lock(callerLock);
  value = &argument;
  post();
}

int IntResultSlot::call() {
  std::lock_guard lock(callerLock);
  post();
  return value;
}

void IntResultSlot::succeed(int result) {
  value = result;
  answer();
}

}  // namespace concurrency

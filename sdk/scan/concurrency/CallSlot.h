#pragma once
// One cross-thread operation: a caller posts a request and blocks until the
// worker has answered with a result or an error text, which is then thrown in
// the caller's own thread as std::runtime_error.
//
// A slot serves one caller at a time: the caller side holds the slot's own
// mutex for the whole call, so two callers on one slot queue up instead of
// sharing the value and losing a request.
//
// A slot keeps its first failure: once the worker has reported one, every
// later call through the slot throws that text, whatever the worker answers.

#include <mutex>
#include <string>

#include "Event.h"

namespace concurrency {

// The text stored when the worker reports a failure without one.
inline constexpr const char* defaultCallError = "mt_call";

class CallSlot {
 public:
  CallSlot() = default;
  CallSlot(const CallSlot&) = delete;
  CallSlot& operator=(const CallSlot&) = delete;

  // Worker side: the event that a caller signals to post the request.
  Event& request() { return requestEvent; }
  // Worker side: reports a failure (an empty text becomes "mt_call").
  void SetError(const std::string& text);

 protected:
  ~CallSlot() = default;

  // Caller side, with the caller's lock held: posts the request, waits for the
  // answer without time-out and throws the stored failure, if any.
  void post();
  // Worker side: the request has been answered.
  void answer() { doneEvent.Set(); }

  std::mutex callerLock;

 private:
  Event requestEvent{ResetMode::Automatic, InitialState::NotSignalled};
  Event doneEvent{ResetMode::Manual, InitialState::NotSignalled};
  std::string error;
};

// Carries an int argument from the caller to the worker.
class ArgumentSlot : public CallSlot {
 public:
  void call(int argument);

  // Worker side: the argument of the pending request, then the answer.
  int argument() const { return *value; }
  void succeed() { answer(); }

 private:
  const int* value = nullptr;
};

// Carries an int result from the worker to the caller.
class IntResultSlot : public CallSlot {
 public:
  int call();

  void succeed(int result);

 private:
  int value = 0;
};

// Carries an object from the worker to the caller. The slot keeps a reference
// to the last object until it is replaced or the slot dies; the caller gets a
// reference of its own.
template <class Pointer>
class ObjectResultSlot : public CallSlot {
 public:
  Pointer call() {
    std::lock_guard lock(callerLock);
    post();
    return value;
  }

  void succeed(Pointer result) {
    value = std::move(result);
    answer();
  }

 private:
  Pointer value{};
};

}  // namespace concurrency

#include "WorkerThread.h"

#include <chrono>

#include "Event.h"

namespace concurrency {
namespace {

// Thrown by stop() on the worker's own thread; caught only by the routine.
struct ThreadExit {};

}  // namespace

WorkerThread::~WorkerThread() { stop(0); }

bool WorkerThread::start() {
  if (thread.joinable()) return true;
  {
    std::lock_guard lock(endMutex);
    ended = false;
    code = 0;
  }
  thread = std::thread(&WorkerThread::routine, this);
  id.store(thread.get_id());
  return thread.joinable();
}

void WorkerThread::routine() {
  id.store(std::this_thread::get_id());
  int result = 0;
  try {
    result = run();
  } catch (const ThreadExit&) {
    result = 0;
  }
  std::lock_guard lock(endMutex);
  code = result;
  ended = true;
  endSignal.notify_all();
}

bool WorkerThread::stop(int milliseconds) {
  // The thread itself must not touch `thread`: start() may still be storing it.
  if (id.load() == std::this_thread::get_id()) throw ThreadExit{};
  if (!thread.joinable()) return true;
  bool endedInTime = wait(milliseconds) == waitObject0;
  thread.join();
  id.store(std::thread::id());
  return endedInTime;
}

unsigned WorkerThread::wait(int milliseconds) {
  if (!thread.joinable()) return waitFailed;
  std::unique_lock lock(endMutex);
  auto hasEnded = [this] { return ended; };
  if (milliseconds < 0) {
    endSignal.wait(lock, hasEnded);
    return waitObject0;
  }
  bool done = endSignal.wait_for(lock, std::chrono::milliseconds(milliseconds), hasEnded);
  return done ? waitObject0 : waitTimeout;
}

int WorkerThread::exitCode() const {
  std::lock_guard lock(endMutex);
  return code;
}

}  // namespace concurrency

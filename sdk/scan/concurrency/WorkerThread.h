#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace concurrency {

// The base of every object that owns one thread, which runs the object's run().
// A derived class must make its thread end and wait for it before its own
// members go away: the base can only wait, it cannot end a thread by force.
class WorkerThread {
 public:
  WorkerThread() = default;
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;
  virtual ~WorkerThread();

  // Starts the thread unless it exists; true when a thread exists afterwards.
  bool start();

  // Called on the thread itself: ends it at once with exit code 0 (the call
  // does not return; the thread's stack unwinds). Called from elsewhere: waits
  // up to the given time for the thread to end, then joins it and forgets it.
  // Returns false when the thread outlived the time given and had to be
  // waited for longer.
  bool stop(int milliseconds);

  // waitObject0 once the thread has ended, waitTimeout when it is still
  // running after the given time, waitFailed when there is no thread.
  unsigned wait(int milliseconds);

  // The value run() returned; meaningful once wait() has answered waitObject0.
  int exitCode() const;

  std::thread::id threadId() const { return id.load(); }

 protected:
  virtual int run() { return 0; }

 private:
  void routine();

  std::thread thread;
  std::atomic<std::thread::id> id{};
  mutable std::mutex endMutex;
  std::condition_variable endSignal;
  bool ended = false;
  int code = 0;
};

}  // namespace concurrency

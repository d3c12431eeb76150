#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include <vela/concurrency.h>

#include "concurrency/Event.h"
#include "concurrency/RecursiveEventLock.h"
#include "concurrency/WaitSet.h"
#include "concurrency/WorkerThread.h"

using namespace concurrency;
using namespace std::chrono_literals;

namespace {

// Long enough for a thread that could get in wrongly to do so.
constexpr auto settle = 50ms;

bool isReady(std::future<void>& f) { return f.wait_for(0ms) == std::future_status::ready; }

// A second thread that takes the lock, notes that it got in, and lets go.
class Contender {
 public:
  explicit Contender(RecursiveEventLock& lock)
      : thread([&lock, this] {
          lock.lock();
          entered.set_value();
          lock.unlock();
        }) {}
  ~Contender() { thread.join(); }

  bool hasEntered() { return isReady(entry); }
  // Waits as long as it takes: a contender that never gets in hangs the test, which the test
  // runner's time-out reports.
  std::future_status waitForEntry() {
    entry.wait();
    return std::future_status::ready;
  }

 private:
  std::promise<void> entered;
  std::future<void> entry = entered.get_future();
  std::thread thread;
};

}  // namespace

TEST(Event, ZeroWaitReportsStateAndAutomaticResetConsumesIt) {
  Event automatic(ResetMode::Automatic, InitialState::NotSignalled);
  EXPECT_FALSE(wait_for_event(automatic, 0));
  automatic.Set();
  EXPECT_TRUE(wait_for_event(automatic, 0));
  EXPECT_FALSE(wait_for_event(automatic, 0));

  Event manual(ResetMode::Manual, InitialState::Signalled);
  EXPECT_TRUE(wait_for_event(manual, 0));
  EXPECT_TRUE(wait_for_event(manual, 0));
  manual.Reset();
  EXPECT_FALSE(wait_for_event(manual, 10));
}

TEST(Event, InfiniteWaitWakesOnSetFromAnotherThread) {
  Event event(ResetMode::Automatic, InitialState::NotSignalled);
  std::thread setter([&] {
    std::this_thread::sleep_for(10ms);
    event.Set();
  });
  EXPECT_TRUE(wait_for_event(event, infinite));
  setter.join();
}

TEST(Event, SetOnAutomaticEventReleasesExactlyOneWaiter) {
  // Two waiters and two sets, the second only once the first has released someone: each set
  // is used up by the one waiter it releases, so nothing is left signalled at the end. A set
  // that released both would leave the second one standing.
  Event event(ResetMode::Automatic, InitialState::NotSignalled);
  std::atomic<int> released{0};
  const auto waiter = [&] {
    if (wait_for_event(event, infinite)) ++released;
  };
  std::thread a(waiter);
  std::thread b(waiter);
  event.Set();
  while (released.load() == 0) std::this_thread::yield();
  event.Set();
  a.join();
  b.join();
  EXPECT_EQ(released.load(), 2);
  EXPECT_FALSE(wait_for_event(event, 0)) << "one set released two waiters";
}

TEST(WaitSet, AnyWaitReturnsLowestSignalledIndexAndConsumesOnlyIt) {
  Event e0(ResetMode::Automatic, InitialState::NotSignalled);
  Event e1(ResetMode::Automatic, InitialState::NotSignalled);
  Event e2(ResetMode::Automatic, InitialState::NotSignalled);
  WaitSet set(e0, e1);
  set.add(e2);
  e2.Set();
  e1.Set();
  EXPECT_EQ(set.wait(false, 0), 1u);
  EXPECT_EQ(set.wait(false, 0), 2u);
  EXPECT_THROW(set.wait(false, 0), exceptions::timeout);
}

TEST(WaitSet, TimeOutThrowsTimeoutWithItsText) {
  Event e0(ResetMode::Manual, InitialState::NotSignalled);
  Event e1(ResetMode::Manual, InitialState::NotSignalled);
  WaitSet set(e0, e1);
  try {
    set.wait(false, 20);
    FAIL() << "no time-out";
  } catch (const exceptions::timeout& e) {
    EXPECT_STREQ(e.what(), "concurrency::timeout");
  }
}

TEST(WaitSet, AllWaitNeedsEveryEventAndResetsTheAutomaticOnes) {
  Event automatic(ResetMode::Automatic, InitialState::Signalled);
  Event manual(ResetMode::Manual, InitialState::NotSignalled);
  WaitSet set(automatic, manual);
  EXPECT_THROW(set.wait(true, 0), exceptions::timeout);
  EXPECT_TRUE(wait_for_event(automatic, 0)) << "a failed all-wait must consume nothing";
  automatic.Set();
  manual.Set();
  EXPECT_EQ(set.wait(true, 0), 0u);
  EXPECT_FALSE(wait_for_event(automatic, 0));
  EXPECT_TRUE(wait_for_event(manual, 0));
}

TEST(WaitSet, AnyWaitWakesWhenALaterEventIsSet) {
  Event stop(ResetMode::Manual, InitialState::NotSignalled);
  Event request(ResetMode::Automatic, InitialState::NotSignalled);
  WaitSet set(stop, request);
  std::thread setter([&] {
    std::this_thread::sleep_for(10ms);
    request.Set();
  });
  EXPECT_EQ(set.wait(false, infinite), 1u);
  setter.join();
}

TEST(ConcurrencyExceptions, FailedIsABadExceptionWithItsText) {
  exceptions::failed failed;
  const std::bad_exception& asBadException = failed;
  EXPECT_STREQ(asBadException.what(), "concurrency::failed");
}

TEST(RecursiveEventLock, SecondThreadGetsInOnlyAfterTheThirdUnlock) {
  RecursiveEventLock lock;
  lock.lock();
  lock.lock();
  lock.lock();

  Contender other(lock);
  std::this_thread::sleep_for(settle);
  EXPECT_FALSE(other.hasEntered());
  lock.unlock();
  std::this_thread::sleep_for(settle);
  EXPECT_FALSE(other.hasEntered()) << "in after the first unlock";
  lock.unlock();
  std::this_thread::sleep_for(settle);
  EXPECT_FALSE(other.hasEntered()) << "in after the second unlock";
  lock.unlock();
  EXPECT_EQ(other.waitForEntry(), std::future_status::ready);
}

TEST(RecursiveEventLock, UnlockByANonOwnerThrowsAndChangesNothing) {
  RecursiveEventLock lock;
  std::thread([&] {
    try {
      lock.unlock();
      ADD_FAILURE() << "unlock of a free lock did not throw";
    } catch (const exceptions::failed& e) {
      EXPECT_STREQ(e.what(), "concurrency::failed");
    }
  }).join();

  lock.lock();
  lock.lock();
  std::thread([&] { EXPECT_THROW(lock.unlock(), exceptions::failed); }).join();

  Contender other(lock);
  lock.unlock();
  std::this_thread::sleep_for(settle);
  EXPECT_FALSE(other.hasEntered()) << "the stranger's unlock lowered the count";
  lock.unlock();
  EXPECT_EQ(other.waitForEntry(), std::future_status::ready);
}

TEST(RecursiveEventLock, ScopedLockReleasesOnLeavingTheScope) {
  RecursiveEventLock lock;
  { ScopedLock held(lock); }
  std::thread([&] {
    ScopedLock held(lock);  // would block for ever if the lock were still held
  }).join();
}

namespace {

class Returns : public WorkerThread {
 public:
  explicit Returns(int code) : code(code) {}
  ~Returns() override { stop(infinite); }

 protected:
  int run() override { return code; }

 private:
  int code;
};

class StopsItself : public WorkerThread {
 public:
  ~StopsItself() override { stop(infinite); }
  std::atomic<bool> passedStop{false};

 protected:
  int run() override {
    stop(0);
    passedStop = true;
    return 5;
  }
};

class WaitsForRelease : public WorkerThread {
 public:
  ~WaitsForRelease() override {
    release.Set();
    stop(infinite);
  }
  Event release{ResetMode::Manual, InitialState::NotSignalled};
  std::atomic<int> runs{0};

 protected:
  int run() override {
    ++runs;
    wait_for_event(release, infinite);
    return 0;
  }
};

}  // namespace

TEST(WorkerThread, RunResultIsTheExitCode) {
  Returns worker(7);
  EXPECT_EQ(worker.wait(0), waitFailed) << "no thread before start";
  ASSERT_TRUE(worker.start());
  EXPECT_EQ(worker.wait(infinite), waitObject0);
  EXPECT_EQ(worker.exitCode(), 7);
}

TEST(WorkerThread, StopInsideRunEndsTheThreadWithExitCodeZero) {
  StopsItself worker;
  ASSERT_TRUE(worker.start());
  EXPECT_EQ(worker.wait(infinite), waitObject0);
  EXPECT_EQ(worker.exitCode(), 0);
  EXPECT_FALSE(worker.passedStop.load());
}

TEST(WorkerThread, SecondStartKeepsTheThreadAndWaitTimesOutWhileItRuns) {
  WaitsForRelease worker;
  ASSERT_TRUE(worker.start());
  std::thread::id first = worker.threadId();
  ASSERT_TRUE(worker.start());
  EXPECT_EQ(worker.threadId(), first);
  EXPECT_EQ(worker.wait(10), waitTimeout);
  worker.release.Set();
  EXPECT_TRUE(worker.stop(infinite));
  EXPECT_EQ(worker.runs.load(), 1);
  EXPECT_EQ(worker.wait(0), waitFailed) << "stop forgets the thread";
}

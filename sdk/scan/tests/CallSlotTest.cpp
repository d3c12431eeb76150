#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <numeric>
#include <stdexcept>
#include <thread>
#include <vector>

#include "FailureOf.h"
#include "concurrency/CallSlot.h"
#include "concurrency/WaitSet.h"
#include "concurrency/WorkerThread.h"

using namespace concurrency;

namespace {

// A worker that answers three slots with behaviour chosen by each test.
class Responder : public WorkerThread {
 public:
  std::function<void(ArgumentSlot&)> onArgument = [](ArgumentSlot& s) { s.succeed(); };
  std::function<void(IntResultSlot&)> onInt = [](IntResultSlot& s) { s.succeed(0); };
  std::function<void(ObjectResultSlot<std::shared_ptr<int>>&)> onObject = [](auto& s) {
    s.succeed(nullptr);
  };

  ArgumentSlot argumentSlot;
  IntResultSlot intSlot;
  ObjectResultSlot<std::shared_ptr<int>> objectSlot;

  ~Responder() override {
    stopEvent.Set();
    stop(infinite);
  }

 protected:
  int run() override {
    WaitSet set(stopEvent, argumentSlot.request());
    set.add(intSlot.request());
    set.add(objectSlot.request());
    for (;;) {
      switch (set.wait(false, infinite)) {
        case 0: return 0;
        case 1: onArgument(argumentSlot); break;
        case 2: onInt(intSlot); break;
        case 3: onObject(objectSlot); break;
      }
    }
  }

 private:
  Event stopEvent{ResetMode::Manual, InitialState::NotSignalled};
};

}  // namespace

TEST(CallSlot, EachKindCarriesItsValueAcrossThreads) {
  Responder worker;
  int seen = 0;
  worker.onArgument = [&](ArgumentSlot& s) {
    seen = s.argument();
    s.succeed();
  };
  worker.onInt = [](IntResultSlot& s) { s.succeed(-42); };
  auto object = std::make_shared<int>(9);
  worker.onObject = [&](auto& s) { s.succeed(object); };
  ASSERT_TRUE(worker.start());

  worker.argumentSlot.call(300);
  EXPECT_EQ(seen, 300);
  EXPECT_EQ(worker.intSlot.call(), -42);
  std::shared_ptr<int> result = worker.objectSlot.call();
  EXPECT_EQ(result, object);
  EXPECT_EQ(object.use_count(), 3) << "the test, the slot and the caller each hold one";
}

TEST(CallSlot, ObjectSlotReleasesThePreviousObjectWhenReplaced) {
  Responder worker;
  auto first = std::make_shared<int>(1);
  worker.onObject = [&](auto& s) { s.succeed(std::exchange(first, nullptr)); };
  ASSERT_TRUE(worker.start());
  std::weak_ptr<int> firstSeen = worker.objectSlot.call();
  EXPECT_FALSE(firstSeen.expired()) << "the slot keeps the last object";

  auto second = std::make_shared<int>(2);
  worker.onObject = [&](auto& s) { s.succeed(second); };
  worker.objectSlot.call();
  EXPECT_TRUE(firstSeen.expired()) << "replacing the object released it";
  EXPECT_EQ(second.use_count(), 2) << "the test and the slot";
}

TEST(CallSlot, WorkerFailureReachesTheCallerAndSticks) {
  Responder worker;
  int calls = 0;
  worker.onInt = [&](IntResultSlot& s) {
    if (++calls == 1) {
      s.SetError("GetGain");
    } else {
      s.succeed(5);  // a later success does not clear the failure
    }
  };
  worker.onArgument = [](ArgumentSlot& s) { s.SetError(""); };
  ASSERT_TRUE(worker.start());

  EXPECT_EQ(FailureOf<std::runtime_error>([&] { worker.intSlot.call(); }), "GetGain");
  EXPECT_EQ(FailureOf<std::runtime_error>([&] { worker.intSlot.call(); }), "GetGain");
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(FailureOf<std::runtime_error>([&] { worker.argumentSlot.call(1); }), "mt_call");
}

TEST(CallSlot, TwoCallersOnOneSlotBothGetEveryAnswer) {
  // Without the caller-side lock the two callers share one request signal and
  // one value: a request is lost and a caller waits for ever.
  Responder worker;
  int next = 0;
  worker.onInt = [&](IntResultSlot& s) { s.succeed(++next); };
  ASSERT_TRUE(worker.start());

  constexpr int perCaller = 2000;
  std::vector<int> a, b;
  std::thread first([&] { for (int i = 0; i < perCaller; ++i) a.push_back(worker.intSlot.call()); });
  std::thread second([&] { for (int i = 0; i < perCaller; ++i) b.push_back(worker.intSlot.call()); });
  first.join();
  second.join();

  std::vector<int> all(a);
  all.insert(all.end(), b.begin(), b.end());
  std::sort(all.begin(), all.end());
  std::vector<int> expected(2 * perCaller);
  std::iota(expected.begin(), expected.end(), 1);
  EXPECT_EQ(all, expected) << "every request answered once, every answer to one caller";
}

#include <gtest/gtest.h>

#include "SimpleTimer.h"
#include "TestSupport.h"

using namespace safestow;
using pv::timer::ManualTimerHost;

namespace {

class SimpleTimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TSimpleTimerHandler::SetHostFactory([] { return std::make_unique<ManualTimerHost>(); });
  }
  void TearDown() override { TSimpleTimerHandler::SetHostFactory(nullptr); }
  static ManualTimerHost& Host() { return static_cast<ManualTimerHost&>(TSimpleTimerHandler::Instance()->Host()); }
};

}  // namespace

TEST_F(SimpleTimerTest, SharedHostLivesWhileTimersDo) {
  EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);
  {
    TSimpleTimer a;
    TSimpleTimer b(10, nullptr);
    EXPECT_EQ(TSimpleTimerHandler::Instance()->TimerCount(), 2);
    EXPECT_EQ(a.Interval(), 1000u);
    EXPECT_FALSE(a.Enabled());
  }
  EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);
}

TEST_F(SimpleTimerTest, StartStopAndTheRunningCount) {
  int ticks = 0;
  TSimpleTimer t(100, [&](TSimpleTimer* sender) {
    EXPECT_NE(sender, nullptr);
    ++ticks;
  });
  TSimpleTimerHandler& h = *TSimpleTimerHandler::Instance();
  EXPECT_TRUE(t.Start());
  EXPECT_TRUE(t.Start());  // a running timer starts over, counted once
  EXPECT_EQ(h.RunningCount(), 1);
  Host().Advance(350);
  EXPECT_EQ(ticks, 3);

  EXPECT_TRUE(t.Stop(false));  // stopped, still flagged enabled
  EXPECT_TRUE(t.Enabled());
  EXPECT_EQ(h.RunningCount(), 0);
  EXPECT_FALSE(t.Stop(true));  // nothing left to kill; the count stays at 0
  EXPECT_EQ(h.RunningCount(), 0);
  EXPECT_FALSE(t.Enabled());

  TSimpleTimer zero(0, nullptr);
  EXPECT_FALSE(zero.Start());
  EXPECT_FALSE(zero.Enabled());

  Host().refuseTimers = true;
  EXPECT_FALSE(t.Start());
  EXPECT_FALSE(t.Enabled());
}

TEST_F(SimpleTimerTest, OneShotAndIntervalChanges) {
  int ticks = 0;
  TSimpleTimer t(100, [&](TSimpleTimer*) { ++ticks; });
  t.SetOneShot(true);
  t.SetEnabled(true);
  Host().Advance(1000);
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(t.Enabled());

  t.SetOneShot(false);
  t.SetEnabled(true);
  t.SetInterval(0);  // stops but keeps the flag
  EXPECT_TRUE(t.Enabled());
  Host().Advance(1000);
  EXPECT_EQ(ticks, 1);
  t.SetInterval(250);  // enabled: starts again with the new interval
  Host().Advance(1000);
  EXPECT_EQ(ticks, 5);

  t.SetOnTimer(nullptr);  // an empty handler stops it, flag kept
  EXPECT_TRUE(t.Enabled());
  EXPECT_EQ(TSimpleTimerHandler::Instance()->RunningCount(), 0);
}

TEST_F(SimpleTimerTest, AHandlerThatThrowsIsLoggedAndTheTimerGoesOn) {
  safestow::test::RecordingEventLog log;
  int calls = 0;
  TSimpleTimer timer(500, [&](TSimpleTimer*) {
    if (++calls == 1) throw std::filesystem::filesystem_error("directory iterator cannot advance", "/backup",
                                                              std::make_error_code(std::errc::io_error));
  });
  ASSERT_TRUE(timer.Start());
  EXPECT_NO_THROW(Host().Advance(500));
  ASSERT_EQ(log.errors.size(), 1u);
  EXPECT_NE(log.errors[0].find("directory iterator cannot advance"), std::string::npos) << log.errors[0];
  Host().Advance(500);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(log.errors.size(), 1u);
  EXPECT_TRUE(timer.Enabled());
}

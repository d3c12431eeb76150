#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "timer/TimerHost.h"

using pv::timer::ManualTimerHost;
using pv::timer::TimerId;

TEST(ManualTimerHost, TicksArriveInTimeOrder) {
  ManualTimerHost host;
  std::vector<std::pair<std::uint64_t, TimerId>> ticks;
  host.SetHandler([&](TimerId id) { ticks.emplace_back(host.Now(), id); });
  ASSERT_TRUE(host.SetTimer(1, 300));
  ASSERT_TRUE(host.SetTimer(2, 500));
  EXPECT_FALSE(host.SetTimer(3, 0));
  host.Advance(1000);
  EXPECT_EQ(ticks, (std::vector<std::pair<std::uint64_t, TimerId>>{{300, 1}, {500, 2}, {600, 1}, {900, 1}, {1000, 2}}));
  EXPECT_EQ(host.Now(), 1000u);
}

TEST(ManualTimerHost, HandlersMayKillAndRestartTimers) {
  ManualTimerHost host;
  int ticks = 0;
  host.SetHandler([&](TimerId id) {
    ++ticks;
    host.KillTimer(id);       // one-shot
    if (ticks == 1) host.SetTimer(2, 100);
  });
  host.SetTimer(1, 100);
  host.Advance(1000);
  EXPECT_EQ(ticks, 2);
  EXPECT_FALSE(host.IsRunning(1));
  EXPECT_FALSE(host.KillTimer(1));
}

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "timer/QtTimerHost.h"

TEST(QtTimerHost, DeliversTicksByIdUntilKilled) {
  int argc = 1;
  char name[] = "test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  pv::timer::QtTimerHost host;
  int first = 0;
  int second = 0;
  host.SetHandler([&](pv::timer::TimerId id) {
    if (id == 0x1000) ++first;
    if (id == 0x2000 && ++second == 3) host.KillTimer(0x2000);
  });
  ASSERT_TRUE(host.SetTimer(0x1000, 10));
  ASSERT_TRUE(host.SetTimer(0x2000, 5));
  QElapsedTimer clock;
  clock.start();
  while (first < 10 && clock.elapsed() < 5000) app.processEvents(QEventLoop::WaitForMoreEvents, 50);
  EXPECT_GE(first, 10);
  EXPECT_EQ(second, 3);
  EXPECT_TRUE(host.KillTimer(0x1000));
  EXPECT_FALSE(host.KillTimer(0x1000));
}

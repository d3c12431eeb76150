#include <gtest/gtest.h>

#include <ctime>

#include <QCoreApplication>
#include <QTimer>

#include "process/EventLoopProcessRunner.h"

namespace {

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

}  // namespace

TEST(EventLoopProcessRunner, TimersRunWhileTheProcessIsAwaited) {
  App();
  pv::process::EventLoopProcessRunner runner;
  std::string error;
  const pid_t pid = runner.Start("/bin/sh", {"-c", "sleep 0.4; exit 3"}, &error);
  ASSERT_GT(pid, 0) << error;

  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(20);

  const std::clock_t cpuBefore = std::clock();
  EXPECT_EQ(runner.WaitForExit(pid), 3);
  const double cpuSeconds = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;

  EXPECT_GE(ticks, 5);           // the event loop kept running
  EXPECT_LT(cpuSeconds, 0.2);    // and slept between events instead of spinning
}

TEST(EventLoopProcessRunner, AnEndedProcessReturnsAtOnce) {
  App();
  pv::process::EventLoopProcessRunner runner;
  const pid_t pid = runner.Start("/bin/sh", {"-c", "exit 9"}, nullptr);
  ASSERT_GT(pid, 0);
  ::usleep(200000);
  EXPECT_EQ(runner.WaitForExit(pid), 9);
}

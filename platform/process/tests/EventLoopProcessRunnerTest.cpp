#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

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
  // The child ends once the fifth tick has left a file for it, so the ticks do not depend on
  // how fast a busy machine runs either side; a runner that blocks the loop gets no ticks, and
  // the child gives up after half a minute.
  char folder[] = "/tmp/pv-runner-XXXXXX";
  ASSERT_NE(::mkdtemp(folder), nullptr);
  const std::string flag = std::string(folder) + "/ticked";
  pv::process::EventLoopProcessRunner runner;
  std::string error;
  const pid_t pid = runner.Start(
      "/bin/sh", {"-c", "sleep 0.4; i=0; while [ ! -e \"$0\" ] && [ $i -lt 1500 ]; do sleep 0.02; i=$((i+1)); done; exit 3", flag}, &error);
  ASSERT_GT(pid, 0) << error;

  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (++ticks == 5) std::ofstream(flag).put('x');
  });
  timer.start(20);

  const std::clock_t cpuBefore = std::clock();
  EXPECT_EQ(runner.WaitForExit(pid), 3);
  const double cpuSeconds = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;

  EXPECT_GE(ticks, 5);           // the event loop kept running
  EXPECT_LT(cpuSeconds, 0.2);    // and slept between events instead of spinning
  std::filesystem::remove_all(folder);
}

TEST(EventLoopProcessRunner, AnEndedProcessReturnsAtOnce) {
  App();
  pv::process::EventLoopProcessRunner runner;
  const pid_t pid = runner.Start("/bin/sh", {"-c", "exit 9"}, nullptr);
  ASSERT_GT(pid, 0);
  // Until the child has ended (it stays to be reaped by the runner).
  siginfo_t info{};
  ASSERT_EQ(::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT), 0);
  EXPECT_EQ(runner.WaitForExit(pid), 9);
}

TEST(EventLoopProcessRunner, AQuitDuringTheWaitEndsTheProcessAndReturnsPromptly) {
  App();
  ::alarm(30);  // a wait that never returns fails the test instead of hanging it
  pv::process::EventLoopProcessRunner runner;
  runner.graceMs = 500;
  // The child ignores SIGTERM and leaves a grandchild behind: both must go.
  const pid_t pid = runner.Start("/bin/sh", {"-c", "trap '' TERM; sleep 60 & sleep 60; wait"}, nullptr);
  ASSERT_GT(pid, 0);

  int exitCode = 0;
  bool stoppingAfter = false;
  int afterQuit = -1;
  const auto started = std::chrono::steady_clock::now();
  QTimer::singleShot(0, [&] {
    QTimer::singleShot(100, [] { QCoreApplication::quit(); });
    exitCode = runner.WaitForExit(pid);
    stoppingAfter = runner.Stopping();
    // A wait asked for after the quit ends its process at once too.
    const pid_t late = runner.Start("/bin/sleep", {"60"}, nullptr);
    afterQuit = runner.WaitForExit(late);
  });
  QCoreApplication::exec();  // returns: the program can end
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  ::alarm(0);

  EXPECT_LT(seconds, 5.0);
  EXPECT_TRUE(stoppingAfter);
  EXPECT_EQ(exitCode, 128 + SIGKILL);
  EXPECT_EQ(afterQuit, 128 + SIGTERM);
  // The orphaned grandchild is reaped by whoever adopts it: give that a moment.
  bool groupGone = false;
  for (int i = 0; i < 100 && !groupGone; ++i) {
    groupGone = ::kill(-pid, 0) != 0;
    if (!groupGone) ::usleep(20000);
  }
  EXPECT_TRUE(groupGone) << "the process group is gone";
}

// Stopping the program while an export runs: the run ends cleanly and the program can exit.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include <QTimer>

#include "BackupRun.h"
#include "DumpFiles.h"
#include "FormsSupport.h"
#include "process/EventLoopProcessRunner.h"

using namespace safestow;
using namespace safestow::test;

TEST(BackupStop, AQuitDuringAnExportEndsTheRunAndTheEventLoop) {
  App();
  ::alarm(60);  // a stop that never returns fails the test instead of hanging it
  TempDir dir;
  StandInExp exp(dir.path());
  exp.SetPartial(0);
  exp.SetDelay("30");  // a long export that has written part of its dump
  FakeClock clock;
  FakeServices services;
  services.states["OracleServiceORCL"] = pv::service::kServiceRunning;
  pv::process::EventLoopProcessRunner processes;
  processes.graceMs = 1000;
  RecordingView view;
  view.settings.pathBackup = (dir.path() / "dumps").string();
  MakeDump(dir.path() / "dumps", "older.DMP", 10, 100);
  RecordingEventLog log;
  TBackupRunner runner(clock, services, processes, view);

  // "Выход", SIGTERM and the unit's stop all end in the application's quit.
  bool returned = false;
  QTimer::singleShot(0, [&] {
    runner.Ask(2);  // a second run waits behind the first: it must not start
    QTimer::singleShot(300, [] { QCoreApplication::quit(); });
    runner.RunPending();
    returned = true;
  });
  const auto started = std::chrono::steady_clock::now();
  QCoreApplication::exec();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  ::alarm(0);

  EXPECT_TRUE(returned);
  EXPECT_LT(seconds, 5.0);
  EXPECT_EQ(exp.Calls().size(), 1u);
  EXPECT_EQ(runner.Pending(), 0);
  EXPECT_EQ(runner.RunState(), "STOP");
  EXPECT_FALSE(runner.LastRunSucceeded());
  EXPECT_TRUE(view.buttonEnabled);
  EXPECT_FALSE(view.animating);
  ASSERT_FALSE(view.balloons.empty());
  EXPECT_EQ(view.balloons.back(), "3|Ошибка! Резерное копирование не выполнено!\rexp остановлен: программа завершается");
  EXPECT_EQ(log.warnings, std::vector<std::string>{"exp остановлен: программа завершается: 10-12-2026-02-05-09.DMP"});
  // The partial dump is gone, the older one stays.
  const auto dumps = ListDumpFiles(dir.path() / "dumps");
  ASSERT_EQ(dumps.size(), 1u);
  EXPECT_EQ(dumps[0].name, "older.DMP");
}

#include <gtest/gtest.h>

#include "BackupRun.h"
#include "DumpFiles.h"
#include "TestSupport.h"

using namespace safestow;
using namespace safestow::test;

namespace {

class BackupRunTest : public ::testing::Test {
 protected:
  BackupRunTest() : exp(dir.path()), runner(clock, services, processes, view) {
    services.states["OracleServiceORCL"] = pv::service::kServiceRunning;
    view.settings.pathBackup = (dir.path() / "dumps").string() + "/";
    view.settings.sizeDayBackup = 31;
  }
  fs::path Dumps() const { return dir.path() / "dumps"; }

  TempDir dir;
  StandInExp exp;
  FakeClock clock;
  FakeServices services;
  HookedRunner processes;
  RecordingView view;
  TBackupRunner runner;
};

}  // namespace

TEST_F(BackupRunTest, ExportsIntoADatedDumpWithTheExactArguments) {
  clock.now = {2026, 12, 10, 2, 5, 9};
  EXPECT_EQ(runner.RunState(), "");
  processes.duringWait = [&] {
    EXPECT_EQ(runner.RunState(), "RUN");
    EXPECT_FALSE(view.buttonEnabled);
    EXPECT_TRUE(view.animating);
  };
  runner.RunBackup();

  EXPECT_EQ(exp.Calls(), std::vector<std::string>{"userid=VALMERIS/QUENTARO file=" + Dumps().string() +
                                                  "/10-12-2026-02-05-09"});
  EXPECT_TRUE(fs::exists(Dumps() / "10-12-2026-02-05-09.DMP"));
  EXPECT_EQ(runner.RunState(), "STOP");
  EXPECT_TRUE(runner.LastRunSucceeded());
  EXPECT_TRUE(view.buttonEnabled);
  EXPECT_FALSE(view.animating);
  EXPECT_EQ(view.events, (std::vector<std::string>{"state Состояние: Выполняется", "refresh",
                                                   "state Состояние: Ожидание задания"}));
  EXPECT_EQ(view.balloons,
            (std::vector<std::string>{
                "1|Выполняется резервное копирование!\rОперация может занять несколько минут...",
                "1|Резерное копирование завершено!\rСоздан файл: 10-12-2026-02-05-09.DMP"}));
}

TEST_F(BackupRunTest, UserIdAndFolderArePassedAsTyped) {
  view.settings.userId = "SCOTT/ti ger$1";
  view.settings.pathBackup = (dir.path() / "with blanks").string();  // no trailing slash typed
  runner.RunBackup();
  EXPECT_EQ(exp.Calls(), std::vector<std::string>{"userid=SCOTT/ti ger$1 file=" + (dir.path() / "with blanks").string() +
                                                  "/10-12-2026-02-05-09"});
  EXPECT_TRUE(fs::exists(dir.path() / "with blanks" / "10-12-2026-02-05-09.DMP"));
}

TEST_F(BackupRunTest, ANonZeroExitIsAFailure) {
  exp.SetFail(3);
  runner.RunBackup();
  EXPECT_FALSE(runner.LastRunSucceeded());
  ASSERT_EQ(view.balloons.size(), 2u);
  EXPECT_EQ(view.balloons[1], "3|Ошибка! Резерное копирование не выполнено!\rexp завершился с кодом 3");
  EXPECT_EQ(view.events.back(), "state Состояние: Ошибка!");
  EXPECT_EQ(runner.RunState(), "STOP");
  EXPECT_TRUE(view.buttonEnabled);
}

TEST_F(BackupRunTest, AnExportThatLeavesNoDumpIsAFailure) {
  exp.SetNoDump();
  runner.RunBackup();
  EXPECT_FALSE(runner.LastRunSucceeded());
  ASSERT_EQ(view.balloons.size(), 2u);
  EXPECT_EQ(view.balloons[1], "3|Ошибка! Резерное копирование не выполнено!\rНе создан файл: 10-12-2026-02-05-09.DMP");
  EXPECT_EQ(view.events.back(), "state Состояние: Ошибка!");
}

TEST_F(BackupRunTest, AMissingExportProgramIsReported) {
  const char* old = std::getenv("PATH");
  const std::string saved = old ? old : "";
  ::setenv("PATH", (dir.path() / "empty").string().c_str(), 1);
  runner.RunBackup();
  ::setenv("PATH", saved.c_str(), 1);
  ASSERT_EQ(view.balloons.size(), 1u);
  EXPECT_EQ(view.balloons[0].rfind("3|Ошибка! Резерное копирование не выполнено!\rНе удалось запустить exp: exp", 0), 0u)
      << view.balloons[0];
  EXPECT_EQ(runner.RunState(), "");
  EXPECT_FALSE(runner.LastRunSucceeded());
}

TEST_F(BackupRunTest, NoExportWhileTheDatabaseIsDown) {
  services.states.clear();
  runner.RunBackup();
  EXPECT_TRUE(exp.Calls().empty());
  EXPECT_EQ(view.balloons, std::vector<std::string>{
                               "3|Ошибка! Резерное копирование не выполнено!\rНе запущена служба OracleServiceORCL"});
  EXPECT_EQ(view.events, std::vector<std::string>{"state Состояние: Ошибка!"});
  EXPECT_EQ(runner.RunState(), "");
}

TEST_F(BackupRunTest, TheDatabaseUnitNameComesFromTheSettings) {
  view.settings.databaseService = "postgresql@15-main";
  services.states["postgresql@15-main"] = pv::service::kServiceRunning;
  services.states.erase("OracleServiceORCL");
  runner.RunBackup();
  EXPECT_EQ(exp.Calls().size(), 1u);
  EXPECT_EQ(services.calls, std::vector<std::string>{"query postgresql@15-main"});
}

TEST_F(BackupRunTest, RunsNeverOverlapNorShareAStamp) {
  exp.SetDelay("0.2");
  int nestedAsks = 0;
  processes.duringWait = [&] {
    // A schedule tick and a click arrive while the export runs.
    EXPECT_TRUE(runner.Running());
    if (nestedAsks++ == 0) {
      runner.RunBackup();
      runner.RunBackup();
      EXPECT_LE(exp.Calls().size(), 1u);  // nothing nested
    }
  };
  runner.RunBackup();
  // Still the same second: the waiting runs may not reuse the stamp.
  EXPECT_EQ(exp.Calls().size(), 1u);
  EXPECT_EQ(runner.Pending(), 2);

  clock.Advance(1);
  runner.RunPending();  // the next check: one more, then the stamp is used again
  EXPECT_EQ(runner.Pending(), 1);
  clock.Advance(1);
  runner.RunPending();
  EXPECT_EQ(runner.Pending(), 0);
  const auto dumps = ListDumpFiles(Dumps());
  ASSERT_EQ(dumps.size(), 3u);
  EXPECT_EQ(exp.Calls().size(), 3u);
  EXPECT_NE(dumps[0].name, dumps[1].name);
}

TEST_F(BackupRunTest, CountRetentionLeavesOneMoreThanKept) {
  for (int i = 0; i < 33; ++i) MakeDump(Dumps(), "old" + std::to_string(i) + ".DMP", 1, 1000 - i);
  runner.RunBackup();
  const auto dumps = ListDumpFiles(Dumps());
  EXPECT_EQ(dumps.size(), 32u);
  EXPECT_EQ(dumps.front().name, "old2.DMP");
  EXPECT_EQ(dumps.back().name, "10-12-2026-02-05-09.DMP");
}

TEST_F(BackupRunTest, ABadSizeLimitStopsTheRunBeforeAnything) {
  view.settings.typeSizeBackup = 1;
  view.settings.sizeDirBackup = "10 Mb";
  MakeDump(Dumps(), "a.DMP", 1, 10);
  runner.RunBackup();
  EXPECT_TRUE(exp.Calls().empty());
  EXPECT_TRUE(fs::exists(Dumps() / "a.DMP"));
  EXPECT_EQ(view.balloons, std::vector<std::string>{
                               "3|Ошибка! Резерное копирование не выполнено!\rНеверный размер архива: 10 Mb"});
}

TEST_F(BackupRunTest, FailedRunsNeitherCountNorPushGoodDumpsOut) {
  // Two kept; three good dumps from earlier runs, then three exports die half-way (a full
  // disk), then one succeeds.
  view.settings.sizeDayBackup = 2;
  for (int i = 0; i < 3; ++i) MakeDump(Dumps(), "good" + std::to_string(i) + ".DMP", 4, 100 - i);
  exp.SetPartial(1);
  for (int run = 0; run < 3; ++run) {
    runner.RunBackup();
    clock.Advance(60);
    EXPECT_FALSE(runner.LastRunSucceeded());
  }
  EXPECT_EQ(exp.Calls().size(), 3u);
  std::vector<std::string> names;
  for (const DumpFile& f : ListDumpFiles(Dumps())) names.push_back(f.name);
  EXPECT_EQ(names, (std::vector<std::string>{"good0.DMP", "good1.DMP", "good2.DMP"}));
  EXPECT_EQ(view.balloons.back(), "3|Ошибка! Резерное копирование не выполнено!\rexp завершился с кодом 1");

  // The next good run makes room for itself only once it is there.
  exp.Reset();
  runner.RunBackup();
  EXPECT_TRUE(runner.LastRunSucceeded());
  names.clear();
  for (const DumpFile& f : ListDumpFiles(Dumps())) names.push_back(f.name);
  EXPECT_EQ(names, (std::vector<std::string>{"good1.DMP", "good2.DMP", "10-12-2026-02-08-09.DMP"}));
}

TEST_F(BackupRunTest, SizeRetentionWaitsForAGoodDumpAndDoesNotCountIt) {
  view.settings.typeSizeBackup = 1;
  view.settings.sizeDirBackup = "2";
  for (int i = 0; i < 3; ++i) MakeDump(Dumps(), "good" + std::to_string(i) + ".DMP", 1048576, 100 - i);
  exp.SetPartial(2);
  runner.RunBackup();
  EXPECT_EQ(ListDumpFiles(Dumps()).size(), 3u);  // nothing deleted for a failed run

  exp.Reset();
  clock.Advance(1);
  runner.RunBackup();
  // 3 Mb of older dumps above 2 Mb: the oldest two go (down to below the limit); the new
  // dump does not count.
  const auto dumps = ListDumpFiles(Dumps());
  ASSERT_EQ(dumps.size(), 2u);
  EXPECT_EQ(dumps[0].name, "good2.DMP");
  EXPECT_EQ(dumps[1].name, "10-12-2026-02-05-10.DMP");
}

TEST_F(BackupRunTest, AClockSetBackOntoAnExistingStampNeverReusesItsName) {
  MakeDump(Dumps(), "10-12-2026-02-05-09.DMP", 0, 3600);
  WriteText(Dumps() / "10-12-2026-02-05-09.DMP", "the good dump of an hour ago");

  // An export that writes nothing and exits 0 is not taken for a success because of the old
  // file, and one that fails half-way does not overwrite it.
  for (const auto& broken : {std::function<void()>([&] { exp.SetNoDump(); }), std::function<void()>([&] {
                               exp.Reset();
                               exp.SetPartial(1);
                             })}) {
    broken();
    clock.now = {2026, 12, 10, 2, 5, 9};
    TBackupRunner fresh(clock, services, processes, view);  // as after a restart: no stamp remembered
    fresh.RunBackup();
    EXPECT_EQ(fresh.Pending(), 1) << "the run waits for a free second";
    clock.Advance(1);
    fresh.RunPending();
    EXPECT_EQ(fresh.Pending(), 0);
    EXPECT_FALSE(fresh.LastRunSucceeded());
    EXPECT_EQ(ReadText(Dumps() / "10-12-2026-02-05-09.DMP"), "the good dump of an hour ago");
    EXPECT_FALSE(fs::exists(Dumps() / "10-12-2026-02-05-10.DMP"));
    EXPECT_NE(view.balloons.back().find("Ошибка!"), std::string::npos) << view.balloons.back();
    for (const std::string& call : exp.Calls()) EXPECT_EQ(call.find("02-05-09"), std::string::npos) << call;
  }
}

// Every way a run fails reaches the event log with its reason, not only a passing balloon.
TEST_F(BackupRunTest, FailedRunsAreWrittenToTheEventLog) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::string reason;  // after the failure's head; "#" stands for the run's stamp
  };
  const Case cases[] = {
      {"exit code", [&] { exp.SetFail(3); }, "exp завершился с кодом 3"},
      {"no dump", [&] { exp.SetNoDump(); }, "Не создан файл: #.DMP"},
      {"database down", [&] { services.states.clear(); }, "Не запущена служба OracleServiceORCL"},
      {"bad size limit",
       [&] {
         view.settings.typeSizeBackup = 1;
         view.settings.sizeDirBackup = "x";
       },
       "Неверный размер архива: x"},
  };
  for (const Case& c : cases) {
    exp.Reset();
    services.states["OracleServiceORCL"] = pv::service::kServiceRunning;
    view.settings.typeSizeBackup = 0;
    clock.Advance(1);
    c.arrange();
    std::string reason = c.reason;
    if (const auto at = reason.find('#'); at != std::string::npos) {
      reason.replace(at, 1, FormatDateTime(kStampFormat, clock.now));
    }
    RecordingEventLog log;
    runner.RunBackup();
    EXPECT_FALSE(runner.LastRunSucceeded()) << c.what;
    EXPECT_EQ(log.errors, std::vector<std::string>{"Ошибка! Резерное копирование не выполнено! " + reason}) << c.what;
  }
  // A good run writes no error.
  exp.Reset();
  view.settings.typeSizeBackup = 0;
  clock.Advance(1);
  RecordingEventLog log;
  runner.RunBackup();
  EXPECT_TRUE(runner.LastRunSucceeded());
  EXPECT_TRUE(log.errors.empty());
}

// An old dump that cannot be deleted ends the pruning and is logged with the path and reason.
TEST_F(BackupRunTest, AnOldDumpThatCannotBeDeletedIsWrittenToTheEventLog) {
  view.settings.sizeDayBackup = 1;
  for (int i = 0; i < 3; ++i) MakeDump(Dumps(), "old" + std::to_string(i) + ".DMP", 1, 100 - i);
  runner.RemoveOldDump = [](const fs::path& dump) {
    if (dump.filename() == "old1.DMP") return std::make_error_code(std::errc::permission_denied);
    std::error_code ec;
    fs::remove(dump, ec);
    return ec;
  };
  RecordingEventLog log;
  runner.RunBackup();
  EXPECT_TRUE(runner.LastRunSucceeded());
  EXPECT_EQ(log.errors, std::vector<std::string>{"Не удалось удалить старый архив " + (Dumps() / "old1.DMP").string() +
                                                 ": Permission denied"});
  std::vector<std::string> names;
  for (const DumpFile& f : ListDumpFiles(Dumps())) names.push_back(f.name);
  EXPECT_EQ(names, (std::vector<std::string>{"old1.DMP", "old2.DMP", "10-12-2026-02-05-09.DMP"}));
}

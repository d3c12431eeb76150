#include <gtest/gtest.h>

#include "ServiceShell.h"
#include "TestSupport.h"

using namespace safestow;
using namespace safestow::test;

TEST(ServiceShell, CommandLineSwitches) {
  struct Case {
    std::vector<std::string> args;
    ServiceCommand command;
    bool silent;
  };
  const Case cases[] = {
      {{}, ServiceCommand::Run, false},
      {{"/INSTALL"}, ServiceCommand::Install, false},
      {{"-install", "/Silent"}, ServiceCommand::Install, true},
      {{"/uninstall", "-SILENT"}, ServiceCommand::Uninstall, true},
      {{"INSTALL"}, ServiceCommand::Run, false},  // a switch needs its "/" or "-"
      {{"/INSTALLX", "--silent"}, ServiceCommand::Run, false},
  };
  for (const Case& c : cases) {
    const CommandLine line = ParseCommandLine(c.args);
    EXPECT_EQ(line.command, c.command);
    EXPECT_EQ(line.silent, c.silent);
  }
}

TEST(ServiceShell, InstallAndUninstallReportUnlessSilent) {
  FakeServices services;
  std::vector<std::string> reports;
  const auto report = [&](const std::string& text, bool ok) { reports.push_back((ok ? "ok " : "failed ") + text); };

  EXPECT_EQ(RunServiceCommand({ServiceCommand::Install, false}, services, "/opt/safestow/safestow", report), 0);
  EXPECT_EQ(RunServiceCommand({ServiceCommand::Uninstall, true}, services, "/opt/safestow/safestow", report), 0);
  services.failInstall = true;
  EXPECT_EQ(RunServiceCommand({ServiceCommand::Install, false}, services, "/x", report), 1);
  EXPECT_EQ(services.calls, (std::vector<std::string>{"install SafestowService /opt/safestow/safestow",
                                                      "uninstall SafestowService", "install SafestowService /x"}));
  EXPECT_EQ(reports, (std::vector<std::string>{"ok Service installed successfully",
                                               "failed Service could not be installed: denied"}));
  const auto unit = SafestowUnit("/opt/safestow/safestow");
  EXPECT_EQ(unit.description, "Утилита резервного корирования базы данных Valmeris");
}

// Two copies started from one folder: the second is told and gets no lock; once the first
// has gone, a copy runs again. Another folder is another service.
TEST(ServiceShell, OneCopyPerFolder) {
  TempDir dir;
  fs::create_directories(dir.path() / "other");
  RecordingEventLog log;
  std::vector<std::string> said;
  const auto report = [&](const std::string& text) { said.push_back(text); };
  auto first = ClaimFolder(dir.path(), report);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetState(), pv::service::InstanceLock::State::Held);
  EXPECT_EQ(ClaimFolder(dir.path(), report), nullptr);
  const std::string text = "Service is already running from " + dir.path().string();
  EXPECT_EQ(said, std::vector<std::string>{text});
  EXPECT_EQ(log.warnings, std::vector<std::string>{text});
  EXPECT_NE(ClaimFolder(dir.path() / "other", report), nullptr);
  first.reset();
  EXPECT_NE(ClaimFolder(dir.path(), report), nullptr);
  EXPECT_EQ(said.size(), 1u);

  // A folder that cannot hold the lock file is logged; the program still runs.
  const auto unusable = ClaimFolder(dir.path() / "missing", report);
  ASSERT_NE(unusable, nullptr);
  EXPECT_EQ(unusable->GetState(), pv::service::InstanceLock::State::Unusable);
  ASSERT_EQ(log.errors.size(), 1u);
  EXPECT_NE(log.errors[0].find("Safestow.lock"), std::string::npos);
}

TEST(ServiceShell, TrayClickBalloonTable) {
  struct Case {
    int state;
    std::string run;
    std::string text;
    int kind;
  };
  const Case cases[] = {
      {4, "", "Служба Backup Valmeris запущена\rОжидается выполнение задания...", 1},
      {4, "STOP", "Служба Backup Valmeris запущена\rОжидается выполнение задания...", 1},
      {4, "RUN", "Выполняется резервное копирование!\rОперация может занять несколько минут...", 1},
      {1, "RUN", "Выполнение резервного копирования не возможно!\rНе запущена служба OracleServiceORCL", 3},
      {2, "", "Выполнение резервного копирования не возможно!\rНе запущена служба OracleServiceORCL", 3},
  };
  for (const Case& c : cases) {
    const BalloonText b = TrayClickBalloon(c.state, c.run);
    EXPECT_EQ(b.text, c.text) << c.state << " " << c.run;
    EXPECT_EQ(b.iconKind, c.kind);
  }
}

TEST(ServiceShell, StopAsksFirstAndNeverWaitsOnItself) {
  FakeServices services;
  int quits = 0;
  std::string asked;
  const auto no = [&](const std::string& q, const std::string& caption) {
    asked = q + "|" + caption;
    return false;
  };
  EXPECT_FALSE(StopServiceCommand(no, services, true, [&] { ++quits; }));
  EXPECT_EQ(asked, "Вы действительно хотите останоить сервис и выйти?|Запрос подтверждения");
  EXPECT_TRUE(services.calls.empty());
  EXPECT_EQ(quits, 0);

  const auto yes = [](const std::string&, const std::string&) { return true; };
  EXPECT_TRUE(StopServiceCommand(yes, services, true, [&] { ++quits; }));
  EXPECT_EQ(services.calls, std::vector<std::string>{"stop SafestowService"});
  EXPECT_EQ(quits, 1);
  EXPECT_TRUE(StopServiceCommand(yes, services, false, [&] { ++quits; }));  // started by hand
  EXPECT_EQ(services.calls.size(), 1u);
  EXPECT_EQ(quits, 2);
}

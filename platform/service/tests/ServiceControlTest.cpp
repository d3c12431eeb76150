#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "service/ServiceControl.h"

namespace fs = std::filesystem;
using namespace pv::service;

namespace {

// Records every systemctl call and answers from a script; nothing reaches the real systemd.
struct FakeSystemctl {
  std::vector<std::string> calls;
  std::string answer;
  int exitCode = 0;
  bool startFails = false;

  SystemdUserServices::Runner Runner() {
    return [this](const std::string& program, const std::vector<std::string>& args)
               -> std::optional<pv::process::Captured> {
      std::string line = program;
      for (const auto& a : args) line += " " + a;
      calls.push_back(line);
      if (startFails) return std::nullopt;
      return pv::process::Captured{exitCode, answer};
    };
  }
};

class ServiceUnits : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("pv_service_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  fs::path dir_;
};

UnitSpec Safestow(const fs::path& exe) {
  return {"SafestowService", "Утилита резервного корирования базы данных Valmeris", exe, {}};
}

}  // namespace

TEST(ServiceControl, UnitNames) {
  EXPECT_EQ(UnitName("SafestowService"), "SafestowService.service");
  EXPECT_EQ(UnitName("db.service"), "db.service");
}

TEST(ServiceControl, StateComesFromTheActiveState) {
  struct Case {
    const char* answer;
    int exitCode;
    int state;
  };
  const Case cases[] = {
      {"active\n", 0, kServiceRunning},       {"reloading\n", 0, kServiceRunning},
      {"activating\n", 0, kServiceStartPending}, {"deactivating\n", 0, kServiceStopPending},
      {"inactive\n", 0, kServiceStopped},     {"failed\n", 0, kServiceStopped},
      {"", 1, kServiceStopped},
  };
  for (const Case& c : cases) {
    FakeSystemctl fake;
    fake.answer = c.answer;
    fake.exitCode = c.exitCode;
    SystemdUserServices services("/nonexistent", fake.Runner());
    EXPECT_EQ(services.QueryServiceState("OracleServiceORCL"), c.state) << c.answer;
    EXPECT_EQ(fake.calls, std::vector<std::string>{
                              "systemctl --user show --property=ActiveState --value OracleServiceORCL.service"});
  }
  FakeSystemctl missing;
  missing.startFails = true;
  EXPECT_EQ(SystemdUserServices("/nonexistent", missing.Runner()).QueryServiceState("x"), kServiceStopped);
}

TEST_F(ServiceUnits, InstallWritesEnablesAndUninstallRemoves) {
  FakeSystemctl fake;
  SystemdUserServices services(dir_ / "systemd" / "user", fake.Runner());
  std::string error;
  ASSERT_TRUE(services.Install(Safestow("/opt/safestow/safestow"), &error)) << error;
  const fs::path unit = dir_ / "systemd" / "user" / "SafestowService.service";
  const std::string text = Read(unit);
  EXPECT_NE(text.find("Description=Утилита резервного корирования базы данных Valmeris\n"), std::string::npos);
  EXPECT_NE(text.find("ExecStart=\"/opt/safestow/safestow\"\n"), std::string::npos);
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"systemctl --user daemon-reload",
                                                  "systemctl --user enable SafestowService.service"}));

  fake.calls.clear();
  ASSERT_TRUE(services.Uninstall("SafestowService", &error)) << error;
  EXPECT_FALSE(fs::exists(unit));
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"systemctl --user disable SafestowService.service",
                                                  "systemctl --user daemon-reload"}));
  EXPECT_FALSE(services.Uninstall("SafestowService", &error));
  EXPECT_NE(error.find("not installed"), std::string::npos);
}

TEST_F(ServiceUnits, FailuresAreReported) {
  FakeSystemctl fake;
  fake.exitCode = 1;
  fake.answer = "Failed to connect to bus";
  std::string error;
  SystemdUserServices services(dir_, fake.Runner());
  EXPECT_FALSE(services.Install(Safestow("/bin/true"), &error));
  EXPECT_NE(error.find("Failed to connect to bus"), std::string::npos);

  fs::create_directories(dir_ / "blocked");
  std::ofstream(dir_ / "blocked" / "file") << "x";
  SystemdUserServices blocked(dir_ / "blocked" / "file", fake.Runner());  // the unit folder is a file
  EXPECT_FALSE(blocked.Install(Safestow("/bin/true"), &error));
  EXPECT_NE(error.find("cannot write"), std::string::npos);
}

// Once the unit's file is removed the service is uninstalled, whether or not a user manager
// answers the disable and the reload (none runs outside a desktop session).
TEST_F(ServiceUnits, UninstallWithoutAUserManagerRemovesTheUnitAndSucceeds) {
  for (bool cannotStart : {false, true}) {
    FakeSystemctl installer;
    SystemdUserServices services(dir_, installer.Runner());
    std::string error;
    ASSERT_TRUE(services.Install(Safestow("/bin/true"), &error)) << error;
    FakeSystemctl noManager;
    noManager.exitCode = 1;
    noManager.answer = "Failed to connect to bus: No medium found";
    noManager.startFails = cannotStart;
    SystemdUserServices without(dir_, noManager.Runner());
    error.clear();
    EXPECT_TRUE(without.Uninstall("SafestowService", &error)) << error;
    EXPECT_FALSE(fs::exists(dir_ / "SafestowService.service"));
    EXPECT_EQ(noManager.calls, (std::vector<std::string>{"systemctl --user disable SafestowService.service",
                                                         "systemctl --user daemon-reload"}));
  }
}

TEST_F(ServiceUnits, StopDoesNotWait) {
  FakeSystemctl fake;
  SystemdUserServices services(dir_, fake.Runner());
  EXPECT_TRUE(services.StopWithoutWaiting("SafestowService", nullptr));
  EXPECT_EQ(fake.calls, std::vector<std::string>{"systemctl --user stop --no-block SafestowService.service"});
}

TEST_F(ServiceUnits, CommandWordsAreQuotedForSystemd) {
  const std::string text = MakeUnitFile({"s", "100% \"sure\"", "/opt/my dir/a$b", {"-x", "50%"}});
  EXPECT_NE(text.find("Description=100%% \"sure\"\n"), std::string::npos);
  EXPECT_NE(text.find("ExecStart=\"/opt/my dir/a$$b\" \"-x\" \"50%%\"\n"), std::string::npos);
}

TEST_F(ServiceUnits, InstalledUnitPassesSystemdVerification) {
  if (!fs::exists("/usr/bin/systemd-analyze")) GTEST_SKIP() << "systemd-analyze is not installed";
  // A program path with a blank and a percent sign, to check the quoting as systemd reads it.
  const fs::path programDir = dir_ / "Safe stow 100%";
  fs::create_directories(programDir);
  fs::copy_file("/bin/true", programDir / "safestow");

  FakeSystemctl fake;
  SystemdUserServices services(dir_ / "units", fake.Runner());
  ASSERT_TRUE(services.Install(Safestow(programDir / "safestow"), nullptr));
  const auto result = pv::process::RunAndCapture(
      "/usr/bin/systemd-analyze", {"verify", "--man=no", services.UnitPath("SafestowService").string()});
  ASSERT_TRUE(result.has_value());
  if (result->output.find("Failed to initialize manager") != std::string::npos) {
    GTEST_SKIP() << "systemd-analyze cannot run here: " << result->output;
  }
  EXPECT_EQ(result->exitCode, 0) << result->output;
  EXPECT_EQ(result->output.find("ignoring"), std::string::npos) << result->output;
}

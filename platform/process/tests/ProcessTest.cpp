#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "process/Process.h"
#include "process/ProcessRunner.h"

namespace fs = std::filesystem;
using namespace pv::process;

namespace {

class ProcessFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("pv_process_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Script(const std::string& name, const std::string& body) {
    const fs::path p = dir_ / name;
    std::ofstream(p) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(p, fs::perms::owner_all);
    return p;
  }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  fs::path dir_;
};

}  // namespace

TEST_F(ProcessFiles, ArgumentsArriveExactlyAsGivenWithoutAShell) {
  const fs::path out = dir_ / "args.txt";
  const fs::path script = Script("show", "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > '" + out.string() + "'");
  const pid_t pid = Spawn(script.string(), {"userid=A/B", "file=/x y/$HOME*", "", "'q'"});
  ASSERT_GT(pid, 0);
  EXPECT_EQ(WaitBlocking(pid), 0);
  EXPECT_EQ(Read(out), "[userid=A/B]\n[file=/x y/$HOME*]\n[]\n['q']\n");
}

TEST_F(ProcessFiles, ExitCodesAndSignals) {
  const pid_t fails = Spawn("/bin/sh", {"-c", "exit 7"});
  ASSERT_GT(fails, 0);
  EXPECT_EQ(WaitBlocking(fails), 7);

  const pid_t sleeper = Spawn("sleep", {"30"});
  ASSERT_GT(sleeper, 0);
  EXPECT_FALSE(TryReap(sleeper).has_value());
  ::kill(sleeper, SIGKILL);
  EXPECT_EQ(WaitBlocking(sleeper), 128 + SIGKILL);
  EXPECT_EQ(TryReap(sleeper), -1);  // already reaped: no longer our child
}

TEST_F(ProcessFiles, MissingProgramIsAnErrorNotACrash) {
  std::string error;
  EXPECT_EQ(Spawn("pv-no-such-program", {}, &error), -1);
  EXPECT_NE(error.find("pv-no-such-program"), std::string::npos);
  EXPECT_FALSE(RunAndCapture("pv-no-such-program", {}, &error).has_value());
}

TEST_F(ProcessFiles, RunAndCaptureCollectsBothStreams) {
  const auto r = RunAndCapture("/bin/sh", {"-c", "echo out; echo err >&2; exit 3"});
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->exitCode, 3);
  EXPECT_EQ(r->output, "out\nerr\n");
}

TEST_F(ProcessFiles, FindsARunningProcessByItsExactName) {
  // Names of our own, so processes of tests running beside this one cannot match.
  const std::string name = "pve" + std::to_string(::getpid());
  const pid_t exact = Spawn(Script(name, "while :; do sleep 0.05; done").string(), {});
  const pid_t longer = Spawn(Script(name + "x", "while :; do sleep 0.05; done").string(), {});
  ASSERT_GT(exact, 0);
  ASSERT_GT(longer, 0);
  // The scripts' interpreters have set their names once /proc shows them; on a busy machine that
  // may take long, so the wait is for both names (up to a minute), not for a fixed time.
  for (int i = 0; i < 6000 && (FindProcesses(name).empty() || FindProcesses(name + "x").empty()); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }

  EXPECT_EQ(FindProcesses(name), std::vector<pid_t>{exact});
  EXPECT_EQ(FindProcesses(name + "x"), std::vector<pid_t>{longer});
  EXPECT_TRUE(FindProcesses(name.substr(0, name.size() - 1)).empty());
  EXPECT_FALSE(IsProcessRunning(""));

  ::kill(exact, SIGKILL);
  ::kill(longer, SIGKILL);
  WaitBlocking(exact);
  WaitBlocking(longer);
  EXPECT_FALSE(IsProcessRunning(name));
}

TEST_F(ProcessFiles, LookupRulesOnAPreparedProcTable) {
  struct Entry {
    const char* pid;
    const char* comm;
    char state;
    std::string cmdline;
    const char* exe;
  };
  const Entry entries[] = {
      {"10", "exp", 'S', std::string("/opt/db/bin/exp\0userid=x\0", 25), "/opt/db/bin/exp"},
      {"11", "exp", 'Z', "", ""},                                        // unreaped corpse
      {"12", "expdp", 'S', std::string("expdp\0", 6), "/opt/db/bin/expdp"},
      {"13", "averyveryverylo", 'R', std::string("/bin/averyveryverylong\0", 23), "/bin/averyveryverylong"},
      {"14", "sh", 'S', std::string("/bin/sh\0/usr/local/bin/exp\0", 27), "/usr/bin/dash"},
  };
  for (const Entry& e : entries) {
    const fs::path p = dir_ / e.pid;
    fs::create_directories(p);
    std::ofstream(p / "comm") << e.comm << "\n";
    std::ofstream(p / "stat") << e.pid << " (" << e.comm << ") " << e.state << " 1 1";
    std::ofstream(p / "cmdline", std::ios::binary) << e.cmdline;
    if (*e.exe) fs::create_symlink(e.exe, p / "exe");
  }
  fs::create_directories(dir_ / "self");

  EXPECT_EQ(FindProcesses("exp", dir_.string()), std::vector<pid_t>{10});
  EXPECT_EQ(FindProcesses("expdp", dir_.string()), std::vector<pid_t>{12});
  EXPECT_TRUE(FindProcesses("averyveryverylo", dir_.string()).empty());  // cut name, not the real one
  EXPECT_EQ(FindProcesses("averyveryverylong", dir_.string()), std::vector<pid_t>{13});
  EXPECT_TRUE(FindProcesses("exp", (dir_ / "missing").string()).empty());
}

TEST_F(ProcessFiles, BlockingRunnerStartsAndWaits) {
  BlockingProcessRunner runner;
  std::string error;
  const pid_t pid = runner.Start("/bin/sh", {"-c", "exit 4"}, &error);
  ASSERT_GT(pid, 0) << error;
  EXPECT_EQ(runner.WaitForExit(pid), 4);
}

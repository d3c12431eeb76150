#pragma once
// Stand-ins for the outside world of the backup service: a clock that only moves when told,
// the database unit's state, a recording view, and an "exp" first on PATH that records its
// arguments, writes the dump after a scripted delay, or fails.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "Alarm.h"
#include "BackupRun.h"
#include "DateTime.h"
#include "process/ProcessRunner.h"
#include "service/EventLog.h"
#include "service/ServiceControl.h"

namespace safestow::test {

namespace fs = std::filesystem;

inline std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteText(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

// A fresh folder per test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = fs::temp_directory_path() / ("safestow_" + std::to_string(::getpid()) + "_" + info->test_suite_name() +
                                         "_" + info->name());
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

class FakeClock : public Clock {
 public:
  DateTime now{2026, 12, 10, 2, 5, 9, 0};
  mutable int throwOnRead = 0;  // the next readings that throw
  DateTime Now() const override {
    if (throwOnRead > 0 && throwOnRead--) throw std::runtime_error("clock unreadable");
    return now;
  }
  void Advance(int seconds) { now = AddSeconds(now, seconds); }
};

// Answers state queries from a table; install, uninstall and stop are only recorded.
class FakeServices : public pv::service::ServiceControl {
 public:
  std::map<std::string, int> states;
  std::vector<std::string> calls;
  bool failInstall = false;
  int throwOnQuery = 0;  // the next queries that throw, as a bus that cannot be reached would

  int QueryServiceState(const std::string& name) override {
    calls.push_back("query " + name);
    if (throwOnQuery > 0 && throwOnQuery--) throw std::runtime_error("service manager unreachable");
    const auto it = states.find(name);
    return it == states.end() ? pv::service::kServiceStopped : it->second;
  }
  bool Install(const pv::service::UnitSpec& spec, std::string* error) override {
    calls.push_back("install " + spec.name + " " + spec.executable.string());
    if (failInstall && error) *error = "denied";
    return !failInstall;
  }
  bool Uninstall(const std::string& name, std::string*) override {
    calls.push_back("uninstall " + name);
    return true;
  }
  bool StopWithoutWaiting(const std::string& name, std::string*) override {
    calls.push_back("stop " + name);
    return true;
  }
};

// The real process start and wait, with a hook that runs while the process is awaited: what
// the event loop would deliver during a backup (schedule ticks, clicks, edits).
class HookedRunner : public pv::process::ProcessRunner {
 public:
  std::function<void()> duringWait;
  pid_t Start(const std::string& program, const std::vector<std::string>& args, std::string* error) override {
    return real_.Start(program, args, error);
  }
  int WaitForExit(pid_t pid) override {
    if (duringWait) duringWait();
    return real_.WaitForExit(pid);
  }

 private:
  pv::process::BlockingProcessRunner real_;
};

// Records the export each start names and returns at once; the hook stands for events during
// the wait.
class CountingRunner : public pv::process::ProcessRunner {
 public:
  std::vector<std::string> starts;
  std::function<void()> duringWait;
  pid_t Start(const std::string&, const std::vector<std::string>& args, std::string*) override {
    starts.push_back(args.at(1));
    return 4242;
  }
  int WaitForExit(pid_t) override {
    if (duringWait) duringWait();
    return 0;
  }
};

class RecordingView : public BackupView {
 public:
  ConsoleSettings settings;
  std::vector<std::string> events;
  std::vector<std::string> balloons;  // "kind|text"
  bool buttonEnabled = true;
  bool animating = false;

  ConsoleSettings CurrentSettings() const override { return settings; }
  void SetStateText(const std::string& text) override { events.push_back("state " + text); }
  void SetBackupButtonEnabled(bool enabled) override { buttonEnabled = enabled; }
  void RefreshDumpList() override { events.push_back("refresh"); }
  void SetBusyAnimation(bool running) override { animating = running; }
  void ShowBalloon(const std::string& title, const std::string& text, int kind, int seconds) override {
    EXPECT_EQ(title, "Backup Valmeris");
    EXPECT_EQ(seconds, 10);
    balloons.push_back(std::to_string(kind) + "|" + text);
  }
};

// Puts a stand-in "exp" first on PATH for the life of the object. Files beside it steer it:
// exp.partial (writes a partial dump at once, then fails with that exit code, as on a full
// disk), exp.delay (seconds to wait), exp.fail (exit code, no dump), exp.nodump; it appends
// its arguments to exp.log, one run per line.
class StandInExp {
 public:
  explicit StandInExp(const fs::path& dir) : dir_(dir / "bin") {
    fs::create_directories(dir_);
    WriteText(dir_ / "exp",
              "#!/bin/sh\n"
              "here=$(dirname \"$0\")\n"
              "printf '%s\\n' \"$*\" >> \"$here/exp.log\"\n"
              "for a in \"$@\"; do case \"$a\" in file=*) f=\"${a#file=}\";; esac; done\n"
              "[ -f \"$here/exp.partial\" ] && printf 'partial' > \"$f.DMP\"\n"
              "[ -f \"$here/exp.delay\" ] && sleep \"$(cat \"$here/exp.delay\")\"\n"
              "[ -f \"$here/exp.partial\" ] && exit \"$(cat \"$here/exp.partial\")\"\n"
              "[ -f \"$here/exp.fail\" ] && exit \"$(cat \"$here/exp.fail\")\"\n"
              "[ -f \"$here/exp.nodump\" ] && exit 0\n"
              "printf 'dump of %s\\n' \"$1\" > \"$f.DMP\"\n");
    fs::permissions(dir_ / "exp", fs::perms::owner_all);
    const char* old = std::getenv("PATH");
    oldPath_ = old ? old : "";
    ::setenv("PATH", (dir_.string() + ":" + oldPath_).c_str(), 1);
  }
  ~StandInExp() { ::setenv("PATH", oldPath_.c_str(), 1); }

  void SetDelay(const std::string& seconds) { WriteText(dir_ / "exp.delay", seconds); }
  void SetFail(int code) { WriteText(dir_ / "exp.fail", std::to_string(code)); }
  void SetNoDump() { WriteText(dir_ / "exp.nodump", "1"); }
  void SetPartial(int code) { WriteText(dir_ / "exp.partial", std::to_string(code)); }
  void Reset() {
    for (const char* f : {"exp.delay", "exp.fail", "exp.nodump", "exp.partial"}) fs::remove(dir_ / f);
  }
  std::vector<std::string> Calls() const {
    std::vector<std::string> lines;
    std::string text = ReadText(dir_ / "exp.log");
    std::size_t pos = 0;
    while (pos < text.size()) {
      const std::size_t end = text.find('\n', pos);
      lines.push_back(text.substr(pos, end - pos));
      pos = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
  }

 private:
  fs::path dir_;
  std::string oldPath_;
};

// Takes the event log's entries for the life of the object.
class RecordingEventLog : public pv::service::EventLog {
 public:
  RecordingEventLog() : previous_(pv::service::SetEventLog(this)) {}
  ~RecordingEventLog() override { pv::service::SetEventLog(previous_); }
  std::vector<std::string> errors, warnings;
  void Write(pv::service::EventKind kind, const std::string& text) override {
    (kind == pv::service::EventKind::Error ? errors : warnings).push_back(text);
  }

 private:
  pv::service::EventLog* previous_;
};

// A dump file with a given age, so tests control the order by modification time.
inline void MakeDump(const fs::path& folder, const std::string& name, std::size_t bytes, int ageSeconds) {
  fs::create_directories(folder);
  WriteText(folder / name, std::string(bytes, 'x'));
  fs::last_write_time(folder / name, fs::file_time_type::clock::now() - std::chrono::seconds(ageSeconds));
}

// What the schedule works with: a fresh alarm list, a backup runner whose exports only count,
// the database service running.
struct ScheduleParts {
  ScheduleParts() : runner(clock, services, processes, view), alarms(dir.path() / "Alarms.ini", clock) {
    services.states["OracleServiceORCL"] = pv::service::kServiceRunning;
  }

  TempDir dir;
  FakeClock clock;
  FakeServices services;
  CountingRunner processes;
  RecordingView view;
  TBackupRunner runner;
  TAlarmList alarms;
};

}  // namespace safestow::test

#include "BackupRun.h"

#include <charconv>
#include <filesystem>

#include "Retention.h"
#include "Texts.h"
#include "service/EventLog.h"
#include "tray/TrayShell.h"

namespace safestow {
namespace fs = std::filesystem;
namespace {

constexpr int kBalloonSeconds = 10;

// The dump an export with this stamp writes, in either spelling of the extension.
std::optional<fs::path> DumpOf(const fs::path& folder, const std::string& stamp) {
  for (const char* ext : {".DMP", ".dmp"}) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(folder / (stamp + ext), ec))) return folder / (stamp + ext);
  }
  return std::nullopt;
}

// A balloon's text on one line, for the event log.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

std::error_code RemoveDumpFile(const fs::path& dump) {
  std::error_code ec;
  if (!fs::remove(dump, ec) && !ec) ec = std::make_error_code(std::errc::no_such_file_or_directory);
  return ec;
}

// What a failed export left under its name is not a backup: it would count as one in the
// retention and push good dumps out.
void RemoveLeftover(const fs::path& folder, const std::string& stamp) {
  while (const auto leftover = DumpOf(folder, stamp)) {
    if (!RemoveFile(*leftover)) return;
  }
}

}  // namespace

std::optional<long long> ParseLimit(const std::string& text) {
  std::size_t b = text.find_first_not_of(' ');
  std::size_t e = text.find_last_not_of(' ');
  if (b == std::string::npos) return std::nullopt;
  long long value = 0;
  const char* first = text.data() + b;
  const char* last = text.data() + e + 1;
  const auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || ptr != last) return std::nullopt;
  return value;
}

std::vector<std::string> ExportArguments(const ConsoleSettings& settings, const std::string& stamp) {
  return {"userid=" + settings.userId, "file=" + WithTrailingSlash(settings.pathBackup) + stamp};
}

TBackupRunner::TBackupRunner(const Clock& clock, pv::service::ServiceControl& services,
                             pv::process::ProcessRunner& processes, BackupView& view)
    : RemoveOldDump(RemoveDumpFile), clock_(clock), services_(services), processes_(processes), view_(view) {}

void TBackupRunner::RunBackup(int count) {
  Ask(count);
  RunPending();
}

void TBackupRunner::RunPending() {
  if (running_) return;
  running_ = true;
  // A run that throws (its handler logs it) must not leave the runner busy for good.
  struct EndRun {
    bool& running;
    ~EndRun() { running = false; }
  } endRun{running_};
  while (pending_ > 0) {
    if (processes_.Stopping()) {
      pending_ = 0;  // the program is ending: nothing more starts
      break;
    }
    const std::string stamp = FormatDateTime(kStampFormat, clock_.Now());
    // A stamp names the dump file: never one used before, nor one a dump already has (the
    // clock may have been set back onto it). The run waits for a free second instead.
    if (stamp == lastStamp_ || DumpOf(view_.CurrentSettings().pathBackup, stamp)) break;
    --pending_;
    lastStamp_ = stamp;
    RunOne(stamp);
  }
}

void TBackupRunner::Fail(const std::string& reason) { Failed(texts::kBalloonFailedHead + reason); }

void TBackupRunner::Failed(const std::string& balloon, bool logged) {
  lastSucceeded_ = false;
  view_.SetStateText(texts::kStateError);
  view_.ShowBalloon(texts::kBalloonTitle, balloon, pv::tray::NIIF_ERROR, kBalloonSeconds);
  if (logged) pv::service::CurrentEventLog().Write(pv::service::EventKind::Error, OneLine(balloon));
}

// Old dumps make room only for a good one, and the new dump neither counts nor goes. A dump
// that cannot be deleted ends the pruning and is logged with the reason.
void TBackupRunner::Prune(const fs::path& folder, const std::optional<long long>& limit, int keep,
                          const std::string& justMade) {
  std::error_code why;
  const FileRemover remove = [&](const fs::path& dump) {
    why = RemoveOldDump(dump);
    return !why;
  };
  const RetentionResult result = limit ? RetainBySize(folder, static_cast<double>(*limit), remove, justMade)
                                       : RetainByCount(folder, keep, remove, justMade);
  if (result.failed.empty()) return;
  pv::service::CurrentEventLog().Write(pv::service::EventKind::Error,
                                       texts::kFailDelete + (folder / result.failed).string() + ": " + why.message());
}

void TBackupRunner::RunOne(const std::string& stamp) {
  const ConsoleSettings settings = view_.CurrentSettings();
  const fs::path folder = settings.pathBackup;

  std::optional<long long> limit;
  if (settings.typeSizeBackup != 0) {
    limit = ParseLimit(settings.sizeDirBackup);
    if (!limit) {
      Fail(texts::kFailBadSize + settings.sizeDirBackup);
      return;
    }
  }

  if (services_.QueryServiceState(settings.databaseService) != pv::service::kServiceRunning) {
    Failed(texts::kBalloonServiceDown);
    return;
  }

  std::error_code ec;
  fs::create_directories(folder, ec);
  std::string error;
  const pid_t pid = processes_.Start(texts::kExportProgram, ExportArguments(settings, stamp), &error);
  if (pid <= 0) {
    Fail(texts::kFailNotStarted + error);
    return;
  }

  runState_ = kRunStateRunning;
  view_.SetBackupButtonEnabled(false);
  view_.SetStateText(texts::kStateRunning);
  view_.SetBusyAnimation(true);
  view_.ShowBalloon(texts::kBalloonTitle, texts::kBalloonRunning, pv::tray::NIIF_INFO, kBalloonSeconds);

  const int exitCode = processes_.WaitForExit(pid);
  const bool stopped = processes_.Stopping();
  // The stamp was free when the run began, so a dump under it now is this run's.
  const std::optional<fs::path> dump = DumpOf(folder, stamp);
  const bool succeeded = exitCode == 0 && !stopped && dump;
  if (succeeded) {
    Prune(folder, limit, settings.sizeDayBackup, dump->filename().string());
  } else {
    RemoveLeftover(folder, stamp);
  }

  runState_ = kRunStateStopped;
  view_.SetBackupButtonEnabled(true);
  view_.RefreshDumpList();
  view_.SetStateText(texts::kStateWaiting);
  view_.SetBusyAnimation(false);
  if (stopped) {
    // The program is ending, not failing: a warning of its own says which dump was cut short.
    Failed(texts::kBalloonFailedHead + std::string(texts::kFailStopped), false);
    pv::service::CurrentEventLog().Write(pv::service::EventKind::Warning,
                                         texts::kFailStopped + std::string(": ") + stamp + ".DMP");
  } else if (exitCode != 0) {
    Fail(texts::kFailExitCode + std::to_string(exitCode));
  } else if (!dump) {
    Fail(texts::kFailNoDump + stamp + ".DMP");
  } else {
    lastSucceeded_ = true;
    view_.ShowBalloon(texts::kBalloonTitle, texts::kBalloonDone + stamp + ".DMP", pv::tray::NIIF_INFO,
                      kBalloonSeconds);
  }
}

}  // namespace safestow

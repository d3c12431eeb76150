#include "BackupRun.h"

#include <charconv>
#include <filesystem>

#include "Retention.h"
#include "Texts.h"
#include "tray/TrayShell.h"

namespace safestow {
namespace fs = std::filesystem;
namespace {

constexpr int kBalloonSeconds = 10;

// The size limit as typed; nothing when it is not a whole number.
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

bool DumpExists(const fs::path& folder, const std::string& stamp) {
  for (const char* ext : {".DMP", ".dmp"}) {
    std::error_code ec;
    if (fs::is_regular_file(folder / (stamp + ext), ec)) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> ExportArguments(const ConsoleSettings& settings, const std::string& stamp) {
  return {"userid=" + settings.userId, "file=" + WithTrailingSlash(settings.pathBackup) + stamp};
}

TBackupRunner::TBackupRunner(const Clock& clock, pv::service::ServiceControl& services,
                             pv::process::ProcessRunner& processes, BackupView& view)
    : clock_(clock), services_(services), processes_(processes), view_(view) {}

void TBackupRunner::RunBackup(int count) {
  Ask(count);
  RunPending();
}

void TBackupRunner::RunPending() {
  if (running_) return;
  running_ = true;
  while (pending_ > 0) {
    const std::string stamp = FormatDateTime(kStampFormat, clock_.Now());
    if (stamp == lastStamp_) break;  // the same second would write the same dump file
    --pending_;
    lastStamp_ = stamp;
    RunOne(stamp);
  }
  running_ = false;
}

void TBackupRunner::Fail(const std::string& reason) {
  lastSucceeded_ = false;
  view_.SetStateText(texts::kStateError);
  view_.ShowBalloon(texts::kBalloonTitle, std::string(texts::kBalloonFailedHead) + reason, pv::tray::NIIF_ERROR,
                    kBalloonSeconds);
}

void TBackupRunner::RunOne(const std::string& stamp) {
  const ConsoleSettings settings = view_.CurrentSettings();
  const fs::path folder = settings.pathBackup;

  if (settings.typeSizeBackup == 0) {
    RetainByCount(folder, settings.sizeDayBackup);
  } else {
    const auto limit = ParseLimit(settings.sizeDirBackup);
    if (!limit) {
      Fail(texts::kFailBadSize + settings.sizeDirBackup);
      return;
    }
    RetainBySize(folder, static_cast<double>(*limit));
  }

  if (services_.QueryServiceState(settings.databaseService) != pv::service::kServiceRunning) {
    lastSucceeded_ = false;
    view_.SetStateText(texts::kStateError);
    view_.ShowBalloon(texts::kBalloonTitle, texts::kBalloonServiceDown, pv::tray::NIIF_ERROR, kBalloonSeconds);
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

  runState_ = kRunStateStopped;
  view_.SetBackupButtonEnabled(true);
  view_.RefreshDumpList();
  view_.SetStateText(texts::kStateWaiting);
  view_.SetBusyAnimation(false);
  if (exitCode != 0) {
    Fail(texts::kFailExitCode + std::to_string(exitCode));
  } else if (!DumpExists(folder, stamp)) {
    Fail(texts::kFailNoDump + stamp + ".DMP");
  } else {
    lastSucceeded_ = true;
    view_.ShowBalloon(texts::kBalloonTitle, texts::kBalloonDone + stamp + ".DMP", pv::tray::NIIF_INFO,
                      kBalloonSeconds);
  }
}

}  // namespace safestow

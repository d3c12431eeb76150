#pragma once
// One backup: run the database's export utility into a dated dump file, wait for it with the
// program still answering, prune the older dumps once the new one is there, and report the
// result. A failed export's leftover is removed, so only good dumps count and none is
// deleted for a failed run. Runs never overlap: a run asked for while one is going waits for
// it, and a run never takes the stamp (and so the dump file name) of an earlier one or of a
// dump in the folder. A failed run and an old dump that cannot be deleted are written to the
// event log with the reason, so that a failed night is found the next morning.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>

#include "ConsoleSettings.h"
#include "DateTime.h"
#include "process/ProcessRunner.h"
#include "service/ServiceControl.h"

namespace safestow {

inline constexpr char kStampFormat[] = "dd-mm-yyyy-hh-nn-ss";
inline constexpr char kRunStateRunning[] = "RUN";
inline constexpr char kRunStateStopped[] = "STOP";

// What a run shows; the console window and the tray icon implement it.
class BackupView {
 public:
  virtual ~BackupView() = default;
  virtual ConsoleSettings CurrentSettings() const = 0;
  virtual void SetStateText(const std::string& text) = 0;
  virtual void SetBackupButtonEnabled(bool enabled) = 0;
  virtual void RefreshDumpList() = 0;  // the dump list and the archive size
  virtual void SetBusyAnimation(bool running) = 0;
  // Shows a tray balloon and hides it 10 s after the last one.
  virtual void ShowBalloon(const std::string& title, const std::string& text, int iconKind, int seconds) = 0;
};

// The folder size limit as typed in the settings (spaces around it allowed); nothing when it
// is not a whole number.
std::optional<long long> ParseLimit(const std::string& text);

// The export utility's arguments: "userid=<user id>" and "file=<folder><stamp>".
std::vector<std::string> ExportArguments(const ConsoleSettings& settings, const std::string& stamp);

class TBackupRunner {
 public:
  TBackupRunner(const Clock& clock, pv::service::ServiceControl& services, pv::process::ProcessRunner& processes,
                BackupView& view);

  // Asks for `count` backups. They run now, one after the other, unless a run is going (then
  // they wait for it) or the last run had the same stamp (then they wait for the next second).
  void RunBackup(int count = 1);
  // Asks for backups without starting them: for callers that must return at once.
  void Ask(int count) {
    if (count > 0) pending_ += count;
  }
  // Starts the backups asked for when they can run.
  void RunPending();

  // "" before the first export, "RUN" while one runs, "STOP" after.
  const std::string& RunState() const { return runState_; }
  bool Running() const { return running_; }
  int Pending() const { return pending_; }
  // True when the last run left its dump; false after a failure.
  bool LastRunSucceeded() const { return lastSucceeded_; }

  // Deletes an old dump; the error when it could not. Tests stand in for a disk that refuses.
  std::function<std::error_code(const std::filesystem::path& dump)> RemoveOldDump;

 private:
  void RunOne(const std::string& stamp);
  void Prune(const std::filesystem::path& folder, const std::optional<long long>& limit, int keep,
             const std::string& justMade);
  void Fail(const std::string& reason);
  void Failed(const std::string& balloon, bool logged = true);

  const Clock& clock_;
  pv::service::ServiceControl& services_;
  pv::process::ProcessRunner& processes_;
  BackupView& view_;
  std::string runState_;
  bool running_ = false;
  int pending_ = 0;
  std::string lastStamp_;
  bool lastSucceeded_ = false;
};

}  // namespace safestow

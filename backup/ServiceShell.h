#pragma once
// What the service shell decides: the command line, installing and removing the unit, the
// tray click's balloon and the stop command. The windows call these; tests call them directly.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "service/InstanceLock.h"
#include "service/ServiceControl.h"

namespace safestow {

enum class ServiceCommand { Run, Install, Uninstall };

struct CommandLine {
  ServiceCommand command = ServiceCommand::Run;
  bool silent = false;
};

// Switches begin with "/" or "-", case ignored: INSTALL, UNINSTALL, SILENT. Other arguments
// are ignored.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

pv::service::UnitSpec SafestowUnit(const std::string& executable);

// Installs or removes the service; `report` gets the result text unless `silent`.
// Returns the program's exit code.
int RunServiceCommand(const CommandLine& line, pv::service::ServiceControl& services, const std::string& executable,
                      const std::function<void(const std::string& text, bool ok)>& report);

// The file beside the program whose lock the running copy holds.
inline constexpr char kLockFile[] = "Safestow.lock";

// One copy per folder: two copies would run each entry at the same second into one dump
// file. Returns the lock for the running copy to hold, or none when another copy of the
// folder runs; that is said through `report` and the event log. A lock that cannot be taken
// at all (a folder the user cannot write) is logged, and the program runs without it.
std::unique_ptr<pv::service::InstanceLock> ClaimFolder(const std::filesystem::path& dir,
                                                       const std::function<void(const std::string& text)>& report);

struct BalloonText {
  std::string text;
  int iconKind = 0;
};
// The balloon of a click on the tray icon: the run state when the database runs, else the error.
BalloonText TrayClickBalloon(int databaseState, const std::string& runState);

// The stop command: asks, and on yes stops the unit (without waiting on ourselves, as the
// stop ends this very program) and leaves. Returns whether it stopped.
bool StopServiceCommand(const std::function<bool(const std::string& question, const std::string& caption)>& confirm,
                        pv::service::ServiceControl& services, bool runsAsUnit, const std::function<void()>& quit);

}  // namespace safestow

#include "ServiceShell.h"

#include <cctype>

#include "BackupRun.h"
#include "Texts.h"
#include "service/EventLog.h"
#include "tray/TrayShell.h"

namespace safestow {
namespace {

bool SameSwitch(std::string_view arg, std::string_view name) {
  if (arg.size() != name.size() + 1 || (arg.front() != '/' && arg.front() != '-')) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(arg[i + 1])) != name[i]) return false;
  }
  return true;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  for (const std::string& a : args) {
    if (SameSwitch(a, "INSTALL")) line.command = ServiceCommand::Install;
    else if (SameSwitch(a, "UNINSTALL")) line.command = ServiceCommand::Uninstall;
    else if (SameSwitch(a, "SILENT")) line.silent = true;
  }
  return line;
}

pv::service::UnitSpec SafestowUnit(const std::string& executable) {
  return {texts::kServiceName, texts::kServiceDescription, executable, {}};
}

int RunServiceCommand(const CommandLine& line, pv::service::ServiceControl& services, const std::string& executable,
                      const std::function<void(const std::string&, bool)>& report) {
  std::string error;
  bool ok = false;
  std::string text;
  if (line.command == ServiceCommand::Install) {
    ok = services.Install(SafestowUnit(executable), &error);
    text = ok ? texts::kInstalled : texts::kInstallFailed + error;
  } else if (line.command == ServiceCommand::Uninstall) {
    ok = services.Uninstall(texts::kServiceName, &error);
    text = ok ? texts::kUninstalled : texts::kUninstallFailed + error;
  } else {
    return 0;
  }
  if (!line.silent && report) report(text, ok);
  return ok ? 0 : 1;
}

std::unique_ptr<pv::service::InstanceLock> ClaimFolder(const std::filesystem::path& dir,
                                                       const std::function<void(const std::string&)>& report) {
  using pv::service::InstanceLock;
  auto lock = std::make_unique<InstanceLock>(dir / kLockFile);
  switch (lock->GetState()) {
    case InstanceLock::State::Held:
      break;
    case InstanceLock::State::Taken: {
      const std::string text = texts::kAlreadyRunning + dir.string();
      pv::service::CurrentEventLog().Write(pv::service::EventKind::Warning, text);
      if (report) report(text);
      return nullptr;
    }
    case InstanceLock::State::Unusable:
      pv::service::CurrentEventLog().Write(pv::service::EventKind::Error, lock->Error());
      break;
  }
  return lock;
}

BalloonText TrayClickBalloon(int databaseState, const std::string& runState) {
  if (databaseState != pv::service::kServiceRunning) return {texts::kBalloonCannotRun, pv::tray::NIIF_ERROR};
  return {runState == kRunStateRunning ? texts::kBalloonRunning : texts::kBalloonWaiting, pv::tray::NIIF_INFO};
}

bool StopServiceCommand(const std::function<bool(const std::string&, const std::string&)>& confirm,
                        pv::service::ServiceControl& services, bool runsAsUnit, const std::function<void()>& quit) {
  if (!confirm(texts::kStopQuestion, texts::kStopCaption)) return false;
  // Under systemd the stop job ends us; the quit below only makes the exit prompt either way.
  if (runsAsUnit) services.StopWithoutWaiting(texts::kServiceName, nullptr);
  quit();
  return true;
}

}  // namespace safestow

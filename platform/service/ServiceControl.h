#pragma once
// Installing, removing, querying and stopping services. The programs speak in the Windows
// service states; the implementation here drives systemd user units.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "process/Process.h"

namespace pv::service {

// The Windows service state codes the programs compare against.
enum ServiceState : int {
  kServiceStopped = 1,
  kServiceStartPending = 2,
  kServiceStopPending = 3,
  kServiceRunning = 4,
};

struct UnitSpec {
  std::string name;  // with or without ".service"
  std::string description;
  std::filesystem::path executable;
  std::vector<std::string> arguments;
};

// The unit file for `spec`: a user service that runs in the desktop session, so that its
// windows and tray icon can be shown, and that is started with that session.
std::string MakeUnitFile(const UnitSpec& spec);
// The state a unit's ActiveState, as "systemctl show --value" prints it, stands for.
int ServiceStateOf(std::string_view activeState);
// "Name" becomes "Name.service"; a name that already ends so is kept.
std::string UnitName(const std::string& name);

class ServiceControl {
 public:
  virtual ~ServiceControl() = default;
  // The state of the named service; kServiceStopped when it cannot be asked.
  virtual int QueryServiceState(const std::string& name) = 0;
  virtual bool Install(const UnitSpec& spec, std::string* error) = 0;
  virtual bool Uninstall(const std::string& name, std::string* error) = 0;
  // Asks for the stop and returns at once: a service that stops itself must not wait for that.
  virtual bool StopWithoutWaiting(const std::string& name, std::string* error) = 0;
};

class SystemdUserServices : public ServiceControl {
 public:
  using Runner = std::function<std::optional<pv::process::Captured>(const std::string& program,
                                                                     const std::vector<std::string>& args)>;
  // Unit files go to `unitDir`; `runner` runs systemctl (tests pass a recorder).
  SystemdUserServices(std::filesystem::path unitDir, Runner runner);
  // The user's unit folder ($XDG_CONFIG_HOME/systemd/user, else ~/.config/systemd/user) and
  // the real systemctl.
  static SystemdUserServices ForCurrentUser();

  int QueryServiceState(const std::string& name) override;
  bool Install(const UnitSpec& spec, std::string* error) override;
  bool Uninstall(const std::string& name, std::string* error) override;
  bool StopWithoutWaiting(const std::string& name, std::string* error) override;

  std::filesystem::path UnitPath(const std::string& name) const;

 private:
  bool Systemctl(const std::vector<std::string>& args, std::string* error, std::string* output = nullptr);

  std::filesystem::path unitDir_;
  Runner runner_;
};

}  // namespace pv::service

#include "ServiceControl.h"

#include <cstdlib>
#include <fstream>

namespace pv::service {
namespace {

// systemd expands "%" specifiers in most settings and "$" variables in command lines.
std::string EscapeSpecifiers(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '%') out += '%';
    out += c;
  }
  return out;
}

std::string QuoteCommandWord(const std::string& word) {
  std::string out = "\"";
  for (char c : word) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '%': out += "%%"; break;
      case '$': out += "$$"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

std::string OneLine(std::string s) {
  for (char& c : s) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return s;
}

void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

}  // namespace

std::string UnitName(const std::string& name) {
  const std::string suffix = ".service";
  if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) return name;
  return name + suffix;
}

std::string MakeUnitFile(const UnitSpec& spec) {
  std::string exec = QuoteCommandWord(spec.executable.string());
  for (const std::string& a : spec.arguments) exec += " " + QuoteCommandWord(a);
  return "[Unit]\n"
         "Description=" + EscapeSpecifiers(OneLine(spec.description)) + "\n"
         "PartOf=graphical-session.target\n"
         "After=graphical-session.target\n"
         "\n"
         "[Service]\n"
         "Type=simple\n"
         "ExecStart=" + exec + "\n"
         "\n"
         "[Install]\n"
         "WantedBy=graphical-session.target\n";
}

SystemdUserServices::SystemdUserServices(std::filesystem::path unitDir, Runner runner)
    : unitDir_(std::move(unitDir)), runner_(std::move(runner)) {}

SystemdUserServices SystemdUserServices::ForCurrentUser() {
  std::filesystem::path dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    dir = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    dir = std::filesystem::path(home) / ".config";
  } else {
    dir = "/tmp";
  }
  return SystemdUserServices(dir / "systemd" / "user",
                             [](const std::string& program, const std::vector<std::string>& args) {
                               return pv::process::RunAndCapture(program, args);
                             });
}

std::filesystem::path SystemdUserServices::UnitPath(const std::string& name) const {
  return unitDir_ / UnitName(name);
}

bool SystemdUserServices::Systemctl(const std::vector<std::string>& args, std::string* error, std::string* output) {
  std::vector<std::string> all{"--user"};
  all.insert(all.end(), args.begin(), args.end());
  const auto result = runner_("systemctl", all);
  if (!result) {
    SetError(error, "systemctl could not be started");
    return false;
  }
  if (output) *output = result->output;
  if (result->exitCode != 0) {
    SetError(error, "systemctl " + args.front() + " failed: " + result->output);
    return false;
  }
  return true;
}

int ServiceStateOf(std::string_view activeState) {
  while (!activeState.empty() && (activeState.back() == '\n' || activeState.back() == ' ')) {
    activeState.remove_suffix(1);
  }
  if (activeState == "active" || activeState == "reloading") return kServiceRunning;
  if (activeState == "activating") return kServiceStartPending;
  if (activeState == "deactivating") return kServiceStopPending;
  return kServiceStopped;
}

int SystemdUserServices::QueryServiceState(const std::string& name) {
  std::string output;
  if (!Systemctl({"show", "--property=ActiveState", "--value", UnitName(name)}, nullptr, &output)) {
    return kServiceStopped;
  }
  return ServiceStateOf(output);
}

bool SystemdUserServices::Install(const UnitSpec& spec, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(unitDir_, ec);
  const std::filesystem::path path = UnitPath(spec.name);
  std::filesystem::path temp = path;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << MakeUnitFile(spec);
    if (!out.flush()) {
      SetError(error, "cannot write " + path.string());
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    SetError(error, "cannot write " + path.string() + ": " + ec.message());
    std::filesystem::remove(temp, ec);
    return false;
  }
  return Systemctl({"daemon-reload"}, error) && Systemctl({"enable", UnitName(spec.name)}, error);
}

bool SystemdUserServices::Uninstall(const std::string& name, std::string* error) {
  const std::filesystem::path path = UnitPath(name);
  if (!std::filesystem::exists(path)) {
    SetError(error, "not installed: " + path.string());
    return false;
  }
  // Disabling a unit that was never enabled is no reason to keep its file.
  Systemctl({"disable", UnitName(name)}, nullptr);
  std::error_code ec;
  if (!std::filesystem::remove(path, ec)) {
    SetError(error, "cannot remove " + path.string() + ": " + ec.message());
    return false;
  }
  // The unit is gone once its file is: a user manager that is not running (no session) reads
  // the folder afresh when it starts, so a reload nobody answers is no failure.
  Systemctl({"daemon-reload"}, nullptr);
  return true;
}

bool SystemdUserServices::StopWithoutWaiting(const std::string& name, std::string* error) {
  return Systemctl({"stop", "--no-block", UnitName(name)}, error);
}

}  // namespace pv::service

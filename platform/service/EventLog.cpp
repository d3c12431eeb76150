#include "EventLog.h"

#include <syslog.h>

namespace pv::service {
namespace {

EventLog* gInstalled = nullptr;

int Priority(EventKind kind) {
  switch (kind) {
    case EventKind::Error: return LOG_ERR;
    case EventKind::Warning: return LOG_WARNING;
    case EventKind::Information: return LOG_INFO;
  }
  return LOG_ERR;
}

}  // namespace

SyslogEventLog::SyslogEventLog(std::string ident) : ident_(std::move(ident)) {
  ::openlog(ident_.c_str(), LOG_PID, LOG_USER);
}

SyslogEventLog::~SyslogEventLog() { ::closelog(); }

void SyslogEventLog::Write(EventKind kind, const std::string& text) {
  ::syslog(Priority(kind), "%s", text.c_str());
}

EventLog& CurrentEventLog() {
  if (gInstalled) return *gInstalled;
  static SyslogEventLog system("safestow");
  return system;
}

EventLog* SetEventLog(EventLog* log) { return std::exchange(gInstalled, log); }

void LogHandlerException(const char* where, std::exception_ptr error) {
  std::string what;
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
    what = "unknown exception";
  }
  // Logging must not throw in turn: the guard is the last stop.
  try {
    CurrentEventLog().Write(EventKind::Error, std::string(where) + ": " + what);
  } catch (...) {
  }
}

}  // namespace pv::service

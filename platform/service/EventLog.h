#pragma once
// The service's event log: entries go to the system log (syslog(3), which the journal
// collects under systemd) unless a program or a test installs another sink. Event handlers
// run through GuardHandler, so that an exception leaving one becomes an error entry instead
// of ending the program.

#include <exception>
#include <memory>
#include <string>
#include <utility>

namespace pv::service {

enum class EventKind { Error, Warning, Information };

class EventLog {
 public:
  virtual ~EventLog() = default;
  virtual void Write(EventKind kind, const std::string& text) = 0;
};

// syslog(3) with the program's name as its identifier, facility LOG_USER.
class SyslogEventLog : public EventLog {
 public:
  explicit SyslogEventLog(std::string ident);
  ~SyslogEventLog() override;
  void Write(EventKind kind, const std::string& text) override;

 private:
  std::string ident_;  // openlog keeps the pointer
};

// The sink in use; a SyslogEventLog named "safestow" until another is installed.
EventLog& CurrentEventLog();
// Installs `log` (not owned) and returns the one before; null goes back to the system log.
EventLog* SetEventLog(EventLog* log);

// Writes what an exception that left `where` says, as an error entry.
void LogHandlerException(const char* where, std::exception_ptr error);

// Runs an event handler; an exception leaving it is logged and goes no further.
template <class F>
void GuardHandler(const char* where, F&& handler) noexcept {
  try {
    std::forward<F>(handler)();
  } catch (...) {
    LogHandlerException(where, std::current_exception());
  }
}

// A handler wrapped in GuardHandler, for connecting to signals and callbacks.
template <class F>
auto Guarded(const char* where, F handler) {
  return [where, handler = std::move(handler)]() mutable noexcept { GuardHandler(where, handler); };
}

}  // namespace pv::service

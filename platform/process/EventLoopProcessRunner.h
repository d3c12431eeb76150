#pragma once
// The process runner for windowed programs: while it waits for a process to end, the Qt event
// loop keeps running (timers, tray clicks, repaints) and the thread sleeps between events.
// When the application is told to quit meanwhile, the process (and its process group) gets
// SIGTERM, then SIGKILL after a grace time, so that the program can end promptly.

#include "ProcessRunner.h"

namespace pv::process {

class EventLoopProcessRunner : public ProcessRunner {
 public:
  pid_t Start(const std::string& program, const std::vector<std::string>& args, std::string* error) override;
  int WaitForExit(pid_t pid) override;
  bool Stopping() const override { return stopping_; }

  // How long a process may take to end after SIGTERM when the program quits.
  int graceMs = 3000;

 private:
  bool stopping_ = false;
};

}  // namespace pv::process

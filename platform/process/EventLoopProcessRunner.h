#pragma once
// The process runner for windowed programs: while it waits for a process to end, the Qt event
// loop keeps running (timers, tray clicks, repaints) and the thread sleeps between events.

#include "ProcessRunner.h"

namespace pv::process {

class EventLoopProcessRunner : public ProcessRunner {
 public:
  pid_t Start(const std::string& program, const std::vector<std::string>& args, std::string* error) override;
  int WaitForExit(pid_t pid) override;
};

}  // namespace pv::process

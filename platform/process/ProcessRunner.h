#pragma once
// What the programs need of process start and wait, as an interface tests can replace.

#include <sys/types.h>

#include <string>
#include <vector>

namespace pv::process {

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;
  // The pid of the started program, or -1 with the reason in *error.
  virtual pid_t Start(const std::string& program, const std::vector<std::string>& args, std::string* error) = 0;
  // Returns when that process has ended, with its exit code. Implementations for windowed
  // programs keep the event loop running meanwhile; when the program is asked to end during
  // the wait, they end the process instead of waiting on, and Stopping() turns true.
  virtual int WaitForExit(pid_t pid) = 0;
  // True once a wait has been cut short because the program is ending: start nothing more.
  virtual bool Stopping() const { return false; }
};

// Starts with Spawn and blocks in waitpid: for programs without an event loop.
class BlockingProcessRunner : public ProcessRunner {
 public:
  pid_t Start(const std::string& program, const std::vector<std::string>& args, std::string* error) override;
  int WaitForExit(pid_t pid) override;
};

}  // namespace pv::process

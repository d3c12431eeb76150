#pragma once
// Starting programs without a shell, waiting for them, and finding running processes by name.

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pv::process {

// Starts `program` (looked up on PATH when it holds no slash) with `args` as its arguments,
// exactly as given: no shell, no word splitting, no quoting. Standard input is /dev/null.
// With `ownGroup` the program leads a process group of its own, so that Terminate reaches
// whatever it starts in turn. Returns the pid, or -1 with the reason in *error.
pid_t Spawn(const std::string& program, const std::vector<std::string>& args, std::string* error = nullptr,
            bool ownGroup = false);

// The exit code once the child has ended (reaping it), nothing while it runs.
// A child ended by a signal gives 128 + the signal; a pid that is not our child gives -1.
std::optional<int> TryReap(pid_t pid);

// Blocks until the child ends; the exit code as TryReap gives it.
int WaitBlocking(pid_t pid);

// Ends a child of ours: SIGTERM (to its whole group when it leads one), SIGKILL when it is
// still there after `graceMs`; reaps it and returns its exit code as TryReap gives it.
int Terminate(pid_t pid, int graceMs);

// A descriptor that becomes readable when the process ends (pidfd), or -1 where the kernel
// has none; the caller closes it.
int OpenPidFd(pid_t pid);

struct Captured {
  int exitCode = -1;
  std::string output;  // standard output and standard error together
};
// Runs a short program to its end and collects what it prints. Nothing on a failed start.
std::optional<Captured> RunAndCapture(const std::string& program, const std::vector<std::string>& args,
                                      std::string* error = nullptr);

// Live processes whose name is exactly `name`: the kernel's command name, or the file name
// of the program or of its first argument. "exp" finds "exp" and "/usr/bin/exp", never
// "expand" or "exp2". Ended processes that wait to be reaped do not count.
std::vector<pid_t> FindProcesses(std::string_view name, const std::string& procRoot = "/proc");
bool IsProcessRunning(std::string_view name, const std::string& procRoot = "/proc");

// The steps of FindProcesses on the bytes of one process's /proc files. A stat names a live
// process unless its state, after the command name's closing parenthesis, is Z.
bool ProcStatIsLive(std::string_view stat);
// comm and cmdline as read (a trailing newline, NUL-separated arguments), exePath the target
// of the exe link (empty when unreadable).
bool ProcessGoesBy(std::string_view name, std::string_view comm, std::string_view cmdline, std::string_view exePath);

}  // namespace pv::process

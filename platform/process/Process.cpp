#include "Process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>

#include "ProcessRunner.h"

extern char** environ;

namespace pv::process {
namespace {

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

std::vector<char*> ArgvOf(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 2);
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

// Starts the program with /dev/null as its input and, when output is a descriptor, that as its
// standard output and error. Returns posix_spawnp's result.
int SpawnProcess(const std::string& program, const std::vector<std::string>& args, int output, pid_t& pid,
                 bool ownGroup = false) {
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  if (ownGroup) {
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (output >= 0) {
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output, STDERR_FILENO);
  }
  std::vector<char*> argv = ArgvOf(program, args);
  const int rc = posix_spawnp(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return rc;
}

void SetError(std::string* error, const std::string& program, int code) {
  if (error) *error = program + ": " + std::strerror(code);
}

// Empty when unreadable. A process that ends while its /proc files are read makes the read
// fail with "No such process", which the stream library throws: it is taken as gone.
std::string ReadSmallFile(const std::string& path) {
  try {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  } catch (const std::exception&) {
    return {};
  }
}

std::string_view BaseName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

pid_t Spawn(const std::string& program, const std::vector<std::string>& args, std::string* error, bool ownGroup) {
  pid_t pid = -1;
  const int rc = SpawnProcess(program, args, -1, pid, ownGroup);
  if (rc != 0) {
    SetError(error, program, rc);
    return -1;
  }
  return pid;
}

std::optional<int> TryReap(pid_t pid) {
  int status = 0;
  pid_t r;
  do {
    r = ::waitpid(pid, &status, WNOHANG);
  } while (r < 0 && errno == EINTR);
  if (r == 0) return std::nullopt;
  if (r < 0) return -1;
  return ExitCodeOf(status);
}

int WaitBlocking(pid_t pid) {
  int status = 0;
  pid_t r;
  do {
    r = ::waitpid(pid, &status, 0);
  } while (r < 0 && errno == EINTR);
  return r < 0 ? -1 : ExitCodeOf(status);
}

int Terminate(pid_t pid, int graceMs) {
  if (pid <= 0) return -1;
  if (const std::optional<int> code = TryReap(pid)) return *code;
  const pid_t target = ::getpgid(pid) == pid ? -pid : pid;
  ::kill(target, SIGTERM);
  constexpr int kStepMs = 20;
  for (int waited = 0; waited < graceMs; waited += kStepMs) {
    if (const std::optional<int> code = TryReap(pid)) return *code;
    ::usleep(kStepMs * 1000);
  }
  ::kill(target, SIGKILL);
  return WaitBlocking(pid);
}

int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
  const long fd = ::syscall(SYS_pidfd_open, pid, 0);
  if (fd >= 0) {
    ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
    return static_cast<int>(fd);
  }
#else
  (void)pid;
#endif
  return -1;
}

std::optional<Captured> RunAndCapture(const std::string& program, const std::vector<std::string>& args,
                                      std::string* error) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    SetError(error, program, errno);
    return std::nullopt;
  }
  pid_t pid = -1;
  const int rc = SpawnProcess(program, args, fds[1], pid);
  ::close(fds[1]);
  if (rc != 0) {
    ::close(fds[0]);
    SetError(error, program, rc);
    return std::nullopt;
  }
  Captured result;
  char buf[4096];
  for (;;) {
    const ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n > 0) {
      result.output.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(fds[0]);
  result.exitCode = WaitBlocking(pid);
  return result;
}

bool ProcStatIsLive(std::string_view stat) {
  // The state follows the command name's closing parenthesis; Z is an unreaped corpse.
  const std::size_t close = stat.rfind(')');
  return close != std::string_view::npos && !(close + 2 < stat.size() && stat[close + 2] == 'Z');
}

bool ProcessGoesBy(std::string_view name, std::string_view comm, std::string_view cmdline, std::string_view exePath) {
  if (name.empty()) return false;
  if (!comm.empty() && comm.back() == '\n') comm.remove_suffix(1);
  const std::string_view argv0 = cmdline.substr(0, cmdline.find('\0'));
  const std::string_view exeName = exePath.empty() ? "" : BaseName(exePath);
  // The kernel cuts command names to 15 characters, so a 15-character one may be a prefix.
  const bool commMatches = comm.size() < 15 && comm == name;
  return commMatches || BaseName(argv0) == name || exeName == name;
}

std::vector<pid_t> FindProcesses(std::string_view name, const std::string& procRoot) {
  std::vector<pid_t> found;
  if (name.empty()) return found;
  DIR* dir = ::opendir(procRoot.c_str());
  if (!dir) return found;
  while (const dirent* entry = ::readdir(dir)) {
    char* end = nullptr;
    const long pid = std::strtol(entry->d_name, &end, 10);
    if (pid <= 0 || *end != '\0') continue;
    const std::string base = procRoot + "/" + entry->d_name;

    const std::string stat = ReadSmallFile(base + "/stat");
    if (!ProcStatIsLive(stat)) continue;
    const std::string comm = ReadSmallFile(base + "/comm");
    const std::string cmdline = ReadSmallFile(base + "/cmdline");
    char exe[4096];
    const ssize_t n = ::readlink((base + "/exe").c_str(), exe, sizeof exe - 1);
    const std::string_view exePath = n > 0 ? std::string_view(exe, static_cast<std::size_t>(n)) : "";
    if (ProcessGoesBy(name, comm, cmdline, exePath)) found.push_back(static_cast<pid_t>(pid));
  }
  ::closedir(dir);
  return found;
}

bool IsProcessRunning(std::string_view name, const std::string& procRoot) {
  return !FindProcesses(name, procRoot).empty();
}

pid_t BlockingProcessRunner::Start(const std::string& program, const std::vector<std::string>& args,
                                   std::string* error) {
  return Spawn(program, args, error);
}

int BlockingProcessRunner::WaitForExit(pid_t pid) { return WaitBlocking(pid); }

}  // namespace pv::process

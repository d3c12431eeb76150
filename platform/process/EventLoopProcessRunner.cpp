#include "EventLoopProcessRunner.h"

#include <unistd.h>

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include "Process.h"

namespace pv::process {

pid_t EventLoopProcessRunner::Start(const std::string& program, const std::vector<std::string>& args,
                                    std::string* error) {
  return Spawn(program, args, error);
}

int EventLoopProcessRunner::WaitForExit(pid_t pid) {
  std::optional<int> code = TryReap(pid);
  if (code) return *code;

  QEventLoop loop;
  const auto check = [&] {
    if ((code = TryReap(pid))) loop.quit();
  };
  const int pidFd = OpenPidFd(pid);
  QSocketNotifier* notifier = nullptr;
  QTimer poll;
  if (pidFd >= 0) {
    notifier = new QSocketNotifier(static_cast<qintptr>(pidFd), QSocketNotifier::Read, &loop);
    QObject::connect(notifier, &QSocketNotifier::activated, &loop, check);
  } else {
    // Kernels without pidfd: look again every 50 ms, sleeping in between.
    QObject::connect(&poll, &QTimer::timeout, &loop, check);
    poll.start(50);
  }
  // The loop may also be left by an application-wide quit; the process is still ours to wait for.
  while (!code) loop.exec();
  if (pidFd >= 0) {
    delete notifier;
    ::close(pidFd);
  }
  return *code;
}

}  // namespace pv::process

#include "EventLoopProcessRunner.h"

#include <unistd.h>

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include "Process.h"

namespace pv::process {

pid_t EventLoopProcessRunner::Start(const std::string& program, const std::vector<std::string>& args,
                                    std::string* error) {
  return Spawn(program, args, error, /*ownGroup=*/true);
}

int EventLoopProcessRunner::WaitForExit(pid_t pid) {
  std::optional<int> code = TryReap(pid);
  if (code) return *code;
  if (stopping_) return Terminate(pid, graceMs);

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
  // The loop ends by itself only when the process has ended. Any other return is an
  // application-wide quit: every nested loop then returns at once, so waiting on would spin.
  loop.exec();
  if (pidFd >= 0) {
    delete notifier;
    ::close(pidFd);
  }
  if (code) return *code;
  stopping_ = true;
  return Terminate(pid, graceMs);
}

}  // namespace pv::process

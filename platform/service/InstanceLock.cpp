#include "InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace pv::service {

InstanceLock::InstanceLock(std::filesystem::path file) : file_(std::move(file)) {
  // A lock taken with flock belongs to the open file, not to the process: every holder opens
  // the file itself, and the descriptor is not handed to the programs this one starts.
  fd_ = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    error_ = "cannot open " + file_.string() + ": " + std::generic_category().message(errno);
    return;
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    state_ = State::Held;
    return;
  }
  const int code = errno;
  ::close(fd_);
  fd_ = -1;
  if (code == EWOULDBLOCK) {
    state_ = State::Taken;
    return;
  }
  error_ = "cannot lock " + file_.string() + ": " + std::generic_category().message(code);
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace pv::service

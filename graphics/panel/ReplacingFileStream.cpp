#include "panel/ReplacingFileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace pv::graphics {

namespace {

constexpr size_t kBufferSize = 64 * 1024;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ErrorText(int error) { return std::strerror(error); }

// The rename reaches the disk only with the folder's own entry synced.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

TReplacingFileStream::TReplacingFileStream(std::string target) : target_(std::move(target)) {
  struct stat st {};
  mode_t keepMode = 0;
  if (::stat(target_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) throw EStreamError(ErrorText(EISDIR));
    // A file without any write permission is read-only for us too, whoever we run as.
    if ((st.st_mode & 0222) == 0) throw EStreamError(ErrorText(EACCES));
    keepMode = st.st_mode & 07777;
  }
  static std::atomic<unsigned> counter{0};
  const std::string base = target_ + ".tmp" + std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    tempPath_ = base + std::to_string(counter++);
    fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    const int error = errno;
    tempPath_.clear();
    throw EStreamError(ErrorText(error));
  }
  if (keepMode != 0) ::fchmod(fd_, keepMode);
  buffer_.reserve(kBufferSize);
}

TReplacingFileStream::~TReplacingFileStream() {
  if (!committed_) Discard();
}

void TReplacingFileStream::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  tempPath_.clear();
}

bool TReplacingFileStream::Fail(int error) {
  if (reason_.empty()) reason_ = ErrorText(error);
  return false;
}

bool TReplacingFileStream::WriteOut(const char* data, size_t count) {
  if (fd_ < 0) return Fail(EBADF);
  while (count > 0) {
    const ssize_t n = ::write(fd_, data, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    if (n == 0) return Fail(EIO);
    data += n;
    count -= static_cast<size_t>(n);
    written_ += n;
  }
  return true;
}

bool TReplacingFileStream::Write(const void* data, size_t count) {
  if (!reason_.empty()) return false;
  const char* bytes = static_cast<const char*>(data);
  if (buffer_.size() + count > kBufferSize && !Flush()) return false;
  if (count >= kBufferSize) return WriteOut(bytes, count);
  buffer_.insert(buffer_.end(), bytes, bytes + count);
  return true;
}

bool TReplacingFileStream::Flush() {
  if (!reason_.empty()) return false;
  if (buffer_.empty()) return true;
  const bool ok = WriteOut(buffer_.data(), buffer_.size());
  buffer_.clear();
  return ok;
}

void TReplacingFileStream::Commit() {
  if (committed_) return;
  if (!Flush()) throw EStreamError(reason_);
  if (::fsync(fd_) != 0) {
    Fail(errno);
    throw EStreamError(reason_);
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    Fail(errno);
    throw EStreamError(reason_);
  }
  if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
    Fail(errno);
    throw EStreamError(reason_);
  }
  committed_ = true;
  tempPath_.clear();
  SyncFolder(FolderOf(target_));
}

}  // namespace pv::graphics

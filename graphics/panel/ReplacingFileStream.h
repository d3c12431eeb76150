#pragma once
// A file written so that the old one survives any failure: the bytes go to a temporary file
// beside the target, and Commit pushes them to the disk and renames the temporary file over
// the target. Left without Commit, the temporary file is removed and the target untouched.

#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteStream.h"

namespace pv::graphics {

class TReplacingFileStream final : public TByteStream {
 public:
  // EStreamError with the reason when the temporary file can't be made, or when the target
  // is read-only.
  explicit TReplacingFileStream(std::string target);
  ~TReplacingFileStream() override;
  TReplacingFileStream(const TReplacingFileStream&) = delete;
  TReplacingFileStream& operator=(const TReplacingFileStream&) = delete;

  size_t Read(void*, size_t) override { return 0; }
  bool Write(const void* data, size_t count) override;
  bool Seek(int64_t) override { return false; }
  int64_t Position() const override { return written_ + static_cast<int64_t>(buffer_.size()); }
  int64_t Size() const override { return -1; }
  bool Flush() override;

  // Flushes, syncs and renames over the target; EStreamError with the reason on failure
  // (the target is then untouched).
  void Commit();
  // Why the last operation failed (the system's text), empty when nothing failed.
  const std::string& Reason() const { return reason_; }
  const std::string& TempPath() const { return tempPath_; }

 private:
  bool WriteOut(const char* data, size_t count);
  bool Fail(int error);
  void Discard();

  std::string target_;
  std::string tempPath_;
  int fd_ = -1;
  std::vector<char> buffer_;
  int64_t written_ = 0;
  std::string reason_;
  bool committed_ = false;
};

}  // namespace pv::graphics

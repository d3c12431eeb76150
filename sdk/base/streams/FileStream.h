// A stream over a C runtime file, both an output and an input stream.
#pragma once

#include <cstdio>

#include "vela/streams.h"

namespace vela::base {

class FileStream final : public virtual OutputStream, public virtual InputStream {
 public:
  // Takes ownership of an open file.
  explicit FileStream(std::FILE* file);
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  int32_t Size() override;
  int32_t Tell() override;
  int32_t Seek(int32_t offset, SeekOrigin origin) override;
  int32_t Read(void* buffer, int32_t count) override;
  void Write(const void* data, int32_t count) override;
  int32_t Flush() override;

 protected:
  ~FileStream() override;

 private:
  std::FILE* file;
};

}  // namespace vela::base

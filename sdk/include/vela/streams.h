// Byte streams over files and memory, and base64 text of a memory stream.
#pragma once

#include <cstdint>

#include "vela/base.h"

namespace vela::base {

// Seek origins. Any other value moves nothing and Seek returns it unchanged.
enum class SeekOrigin : int32_t { Begin = 1, Current = 2, End = 3 };

class VELA_API Stream : public virtual BaseRefCounter {
 public:
  // Total length in bytes; -1 when it cannot be told (a stream that cannot
  // seek, or one longer than 2 GiB).
  virtual int32_t Size() = 0;
  virtual int32_t Tell() = 0;
  virtual int32_t Seek(int32_t offset, SeekOrigin origin) = 0;

 protected:
  ~Stream() override;
};

class VELA_API InputStream : public virtual Stream {
 public:
  // Copies exactly count bytes and returns count; throws out_of_range when
  // fewer are there.
  virtual int32_t Read(void* buffer, int32_t count) = 0;

 protected:
  ~InputStream() override;
};

class VELA_API OutputStream : public virtual Stream {
 public:
  // Writes exactly count bytes; throws out_of_range when fewer are written.
  virtual void Write(const void* data, int32_t count) = 0;
  virtual int32_t Flush() = 0;

 protected:
  ~OutputStream() override;
};

// A growable buffer that is both an output stream (its first face) and an
// input stream.
class VELA_API MemoryStream : public virtual OutputStream, public virtual InputStream {
 public:
  // Base64 of the whole buffer, whatever the position. The text lives until
  // the next call or the stream's end.
  virtual const char* ToBase64() = 0;
  virtual void SetPosition(int32_t position) = 0;

 protected:
  ~MemoryStream() override;
};

}  // namespace vela::base

// Plain (unmangled) names so that clients can find them with dlsym; they
// still return C++ objects, which C callers cannot use.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" {
// Opens a file for binary reading; invalid_argument when it cannot be opened.
VELA_API vela::base::smart_ptr<vela::base::InputStream> Create_IFileStream(const char* path);
// Creates or truncates a file for binary writing; invalid_argument on failure.
VELA_API vela::base::smart_ptr<vela::base::OutputStream> Create_OFileStream(const char* path);
// A stream holding a copy of size bytes from data, positioned at 0.
VELA_API vela::base::smart_ptr<vela::base::MemoryStream> Create_MemoryStream(const void* data,
                                                                            int32_t size);
// Decodes zero-terminated base64 text; characters outside the alphabet are skipped.
VELA_API vela::base::smart_ptr<vela::base::MemoryStream> Create_MemoryStreamFromBase64String(
    const char* text);
}
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

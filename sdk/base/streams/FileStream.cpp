#include "streams/FileStream.h"
#include "streams/StreamArguments.h"

#include <sys/stat.h>

#include <cstdint>
#include <limits>
#include <memory>

namespace vela::base {
namespace {

// A position the 32-bit interface can carry, or -1.
int32_t ToStreamPosition(long position) {
  if (position < 0 || position > std::numeric_limits<int32_t>::max()) return -1;
  return static_cast<int32_t>(position);
}

// Opens a file the way the Windows C runtime would: a directory is not a file.
std::FILE* OpenFile(const char* path, const char* mode) {
  if (!path) return nullptr;
  std::FILE* file = std::fopen(path, mode);
  if (!file) return nullptr;
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

smart_ptr<FileStream> WrapFile(std::FILE* file) {
  if (!file) throw exceptions::invalid_argument();
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> guard(file, &std::fclose);
  smart_ptr<FileStream> stream(new FileStream(file));
  guard.release();
  return stream;
}

}  // namespace

FileStream::FileStream(std::FILE* file) : file(file) {}

FileStream::~FileStream() { std::fclose(file); }

int32_t FileStream::Size() {
  const long here = std::ftell(file);
  if (here < 0) return -1;
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long end = std::ftell(file);
  std::fseek(file, here, SEEK_SET);
  return ToStreamPosition(end);
}

int32_t FileStream::Tell() { return ToStreamPosition(std::ftell(file)); }

int32_t FileStream::Seek(int32_t offset, SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::Begin:
      return std::fseek(file, offset, SEEK_SET);
    case SeekOrigin::Current:
      return std::fseek(file, offset, SEEK_CUR);
    case SeekOrigin::End:
      return std::fseek(file, offset, SEEK_END);
  }
  return static_cast<int32_t>(origin);
}

int32_t FileStream::Read(void* buffer, int32_t count) {
  CheckByteArguments(buffer, count);
  if (count == 0) return 0;
  if (std::fread(buffer, 1, static_cast<size_t>(count), file) != static_cast<size_t>(count))
    throw exceptions::out_of_range();
  return count;
}

void FileStream::Write(const void* data, int32_t count) {
  CheckByteArguments(data, count);
  if (count == 0) return;
  if (std::fwrite(data, 1, static_cast<size_t>(count), file) != static_cast<size_t>(count))
    throw exceptions::out_of_range();
}

int32_t FileStream::Flush() { return std::fflush(file); }

}  // namespace vela::base

extern "C" {

vela::base::smart_ptr<vela::base::InputStream> Create_IFileStream(const char* path) {
  return vela::base::WrapFile(vela::base::OpenFile(path, "rb"));
}

vela::base::smart_ptr<vela::base::OutputStream> Create_OFileStream(const char* path) {
  return vela::base::WrapFile(vela::base::OpenFile(path, "wb"));
}
}

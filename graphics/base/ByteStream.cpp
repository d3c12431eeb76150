#include "base/ByteStream.h"

#include <algorithm>
#include <cstring>

namespace pv::graphics {

size_t TMemoryStream::Read(void* buffer, size_t count) {
  if (position_ >= data_.size()) return 0;
  const size_t n = std::min(count, data_.size() - position_);
  std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return n;
}

bool TMemoryStream::Write(const void* data, size_t count) {
  if (count == 0) return true;
  if (position_ + count > data_.size()) data_.resize(position_ + count);
  std::memcpy(data_.data() + position_, data, count);
  position_ += count;
  return true;
}

bool TMemoryStream::Seek(int64_t position) {
  if (position < 0) return false;
  position_ = static_cast<size_t>(position);
  return true;
}

void TMemoryStream::Clear() {
  data_.clear();
  position_ = 0;
}

TFileStream::TFileStream(const std::string& path, const char* mode) : file_(std::fopen(path.c_str(), mode)) {
  if (!file_) throw EStreamError("Cannot open file " + path);
}

TFileStream::~TFileStream() { std::fclose(file_); }

size_t TFileStream::Read(void* buffer, size_t count) { return std::fread(buffer, 1, count, file_); }

bool TFileStream::Write(const void* data, size_t count) { return std::fwrite(data, 1, count, file_) == count; }

bool TFileStream::Seek(int64_t position) { return std::fseek(file_, static_cast<long>(position), SEEK_SET) == 0; }

int64_t TFileStream::Position() const { return std::ftell(file_); }

int64_t TFileStream::Size() const {
  const long here = std::ftell(file_);
  if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) return -1;
  const long end = std::ftell(file_);
  std::fseek(file_, here, SEEK_SET);
  return end;
}

bool TFileStream::Flush() { return std::fflush(file_) == 0 && !std::ferror(file_); }

}  // namespace pv::graphics

#include "DXF_groups.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace pv::viewer {

namespace {

class FileSource : public DxfByteSource {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {
    if (std::fseek(file_, 0, SEEK_END) == 0) {
      const long size = std::ftell(file_);
      size_ = size > 0 ? static_cast<uint64_t>(size) : 0;
    }
    std::fseek(file_, 0, SEEK_SET);
  }
  ~FileSource() override { std::fclose(file_); }

  long Read(char* buffer, size_t size) override {
    const size_t n = std::fread(buffer, 1, size, file_);
    if (n == 0 && std::ferror(file_)) return -1;
    return static_cast<long>(n);
  }
  bool Seek(uint64_t position) override {
    std::clearerr(file_);
    return std::fseek(file_, static_cast<long>(position), SEEK_SET) == 0;
  }
  uint64_t Size() const override { return size_; }

 private:
  std::FILE* file_;
  uint64_t size_ = 0;
};

class MemorySource : public DxfByteSource {
 public:
  explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}

  long Read(char* buffer, size_t size) override {
    const size_t n = std::min(size, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return static_cast<long>(n);
  }
  bool Seek(uint64_t position) override {
    if (position > bytes_.size()) return false;
    position_ = static_cast<size_t>(position);
    return true;
  }
  uint64_t Size() const override { return bytes_.size(); }

 private:
  std::string bytes_;
  size_t position_ = 0;
};

std::string_view Trimmed(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// A whole string as a number; false when anything is left over or it is out of range.
template <typename T>
bool ParseWhole(std::string_view s, T& out) {
  if (s.size() > 1 && s.front() == '+' && s[1] != '-' && s[1] != '+') s.remove_prefix(1);
  if (s.empty()) return false;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), out);
  return error == std::errc() && end == s.data() + s.size();
}

}  // namespace

DXF_read_exception::DXF_read_exception(const std::string& text, int lineNumber)
    : std::runtime_error(lineNumber < 0 ? text
                                        : text + "\r\nError occured at or near line number " +
                                              std::to_string(lineNumber)) {}

std::unique_ptr<DxfByteSource> OpenDxfFile(const std::filesystem::path& fileName) {
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) throw std::system_error(errno, std::generic_category(), "Cannot open file " + fileName.string());
  return std::make_unique<FileSource>(file);
}

std::unique_ptr<DxfByteSource> DxfMemorySource(std::string bytes) {
  return std::make_unique<MemorySource>(std::move(bytes));
}

DxfGroupReader::DxfGroupReader(DxfByteSource& source, std::function<void()> onBlock)
    : source_(source), onBlock_(std::move(onBlock)) {
  value_.reserve(kMaxLineLength);
}

bool DxfGroupReader::FillBuffer() {
  bufferStart_ += bufferCount_;
  bufferPos_ = 0;
  bufferCount_ = 0;
  const long n = source_.Read(buffer_, kBlockSize);
  if (n < 0) ioError_ = true;
  if (n > 0) bufferCount_ = static_cast<size_t>(n);
  if (onBlock_) onBlock_();
  return bufferCount_ > 0;
}

bool DxfGroupReader::ReadDxfLine(size_t maxLength) {
  value_.clear();
  ++lineNumber_;
  for (size_t length = 0;; ++length) {
    if (length > maxLength) return false;
    if (bufferPos_ == bufferCount_ && !FillBuffer()) return false;
    const char c = buffer_[bufferPos_++];
    if (c == '\n') return !ioError_;
    if (c == '\r') {
      if (bufferPos_ < bufferCount_ || FillBuffer()) {
        if (buffer_[bufferPos_] == '\n') ++bufferPos_;
      }
      return !ioError_;
    }
    if (value_.size() < kMaxLineLength) value_ += c;
  }
}

int DxfGroupReader::NextGroupCode() {
  if (pushedBack_) {
    pushedBack_ = false;
    return code_;
  }
  code_ = kNoGroup;
  // A code line is a few characters: a longer one ends reading here, without looking through
  // the rest of a file that has no line ends.
  do {
    if (!ReadDxfLine(kMaxLineLength)) return kNoGroup;
  } while (value_.empty());
  std::string_view line = value_;
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  int code = 0;
  if (!ParseWhole(line, code)) return kNoGroup;
  if (!ReadDxfLine()) return kNoGroup;
  code_ = code;
  return code_;
}

void DxfGroupReader::PushBack() { pushedBack_ = true; }

double DxfGroupReader::ValueAsFloat() const {
  double v = 0.0;
  if (!ParseWhole(Trimmed(value_), v) || !std::isfinite(v)) {
    throw DXF_read_exception("Invalid Floating point conversion", lineNumber_);
  }
  return v;
}

int32_t DxfGroupReader::ValueAsInteger() const {
  int32_t v = 0;
  if (!ParseWhole(Trimmed(value_), v)) throw DXF_read_exception("Invalid Integer conversion", lineNumber_);
  return v;
}

DxfGroupReader::Mark DxfGroupReader::Position() const {
  return {bufferStart_ + bufferPos_, lineNumber_};
}

void DxfGroupReader::GoTo(const Mark& mark) {
  pushedBack_ = false;
  code_ = kNoGroup;
  ioError_ = !source_.Seek(mark.position);
  bufferStart_ = mark.position;
  bufferCount_ = 0;
  bufferPos_ = 0;
  lineNumber_ = mark.lineNumber;
}

bool DxfGroupReader::StartsWith(std::string_view bytes) {
  const Mark start = Position();
  std::string head;
  while (head.size() < bytes.size()) {
    if (bufferPos_ == bufferCount_ && !FillBuffer()) break;
    head += buffer_[bufferPos_++];
  }
  GoTo(start);
  return head == bytes;
}

}  // namespace pv::viewer

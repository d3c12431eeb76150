#pragma once
// The lowest layer of DXF reading: bytes in 4096-byte blocks, lines (ended by CR, LF or
// CR LF, at most 255 characters kept), and pairs of a group code line and a value line, with
// one pair of push-back and marks to return to. It knows nothing of sections or entities.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pv::viewer {

// The reader's error: the text, then (for a line number of 0 or more) CR LF and
// "Error occured at or near line number " with the number.
class DXF_read_exception : public std::runtime_error {
 public:
  DXF_read_exception(const std::string& text, int lineNumber);
};

class DxfByteSource {
 public:
  virtual ~DxfByteSource() = default;
  // Up to size bytes at the current position; 0 at the end. Returns -1 on an I/O error.
  virtual long Read(char* buffer, size_t size) = 0;
  virtual bool Seek(uint64_t position) = 0;
  virtual uint64_t Size() const = 0;
};

// Opening a file that cannot be read throws std::system_error.
std::unique_ptr<DxfByteSource> OpenDxfFile(const std::filesystem::path& fileName);
std::unique_ptr<DxfByteSource> DxfMemorySource(std::string bytes);

class DxfGroupReader {
 public:
  static constexpr size_t kBlockSize = 4096;
  static constexpr size_t kMaxLineLength = 255;
  // What NextGroupCode gives at the end of the file or for a line that is not a group code.
  static constexpr int kNoGroup = -2;

  struct Mark {
    uint64_t position = 0;
    int lineNumber = 0;
  };

  // onBlock is called for every block read (the progress bar's step).
  DxfGroupReader(DxfByteSource& source, std::function<void()> onBlock);

  // The next pair: its group code, or kNoGroup at the end or for a broken pair. A code line may
  // have leading blanks and nothing after the number.
  int NextGroupCode();
  // Makes the current pair come again from the next NextGroupCode.
  void PushBack();
  int Code() const { return code_; }
  const std::string& Value() const { return value_; }
  bool ValueIs(std::string_view s) const { return value_ == s; }
  int LineNumber() const { return lineNumber_; }

  // Decimal point whatever the locale; blanks around the number are allowed. A value that is
  // not a finite number in range raises "Invalid Floating point conversion" or "Invalid
  // Integer conversion" with the line number.
  double ValueAsFloat() const;
  int32_t ValueAsInteger() const;

  Mark Position() const;
  void GoTo(const Mark& mark);
  bool StartsWith(std::string_view bytes);  // looks at the file's first bytes, then rewinds

 private:
  bool FillBuffer();
  // Reads one line; false at the end, or when it grows beyond maxLength characters.
  bool ReadDxfLine(size_t maxLength = SIZE_MAX);

  DxfByteSource& source_;
  std::function<void()> onBlock_;
  char buffer_[kBlockSize];
  size_t bufferCount_ = 0;
  size_t bufferPos_ = 0;
  uint64_t bufferStart_ = 0;  // file position of buffer_[0]
  bool ioError_ = false;
  int code_ = kNoGroup;
  std::string value_;
  bool pushedBack_ = false;
  int lineNumber_ = 0;
};

}  // namespace pv::viewer

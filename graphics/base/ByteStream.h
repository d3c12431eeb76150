#pragma once
// The byte streams that documents, clipboard data and undo states pass through. Every write
// reports whether all of it arrived, so that a full disk is an error and not a short file.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace pv::graphics {

class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TByteStream {
 public:
  virtual ~TByteStream() = default;
  // Up to count bytes; 0 at the end of the stream.
  virtual size_t Read(void* buffer, size_t count) = 0;
  // False when not every byte could be written.
  virtual bool Write(const void* data, size_t count) = 0;
  // False when the stream can't seek there.
  virtual bool Seek(int64_t position) = 0;
  // -1 when the stream can't tell.
  virtual int64_t Position() const = 0;
  // The size in bytes; -1 when the stream can't seek.
  virtual int64_t Size() const = 0;
  // Pushes buffered bytes to their destination; false when that failed.
  virtual bool Flush() { return true; }
};

// A growing block of memory (undo states, the clipboard, tests).
class TMemoryStream final : public TByteStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string bytes) : data_(bytes.begin(), bytes.end()) {}

  size_t Read(void* buffer, size_t count) override;
  bool Write(const void* data, size_t count) override;
  bool Seek(int64_t position) override;
  int64_t Position() const override { return static_cast<int64_t>(position_); }
  int64_t Size() const override { return static_cast<int64_t>(data_.size()); }

  void Clear();
  std::string Text() const { return std::string(data_.begin(), data_.end()); }

 private:
  std::vector<char> data_;
  size_t position_ = 0;
};

// A file on disk, opened for reading ("rb") or writing ("wb").
class TFileStream final : public TByteStream {
 public:
  // Raises EStreamError when the file can't be opened.
  TFileStream(const std::string& path, const char* mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  size_t Read(void* buffer, size_t count) override;
  bool Write(const void* data, size_t count) override;
  bool Seek(int64_t position) override;
  int64_t Position() const override;
  int64_t Size() const override;
  bool Flush() override;

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace pv::graphics

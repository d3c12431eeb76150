#pragma once
// The line reader and writer that documents, clipboard data and undo states pass through.
// It reads through its own 4096-byte buffer and owns no stream.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/ByteStream.h"

namespace pv::graphics {

enum class TVexaFilerProcess : uint8_t { ppUnknown = 0, ppLoad = 1, ppSave = 2, ppCopy = 3 };

class TVexaFiler;
using TVexaProgressEvent = std::function<void(TVexaFiler& sender, int progress, TVexaFilerProcess process)>;

class TVexaFiler {
 public:
  static constexpr size_t BufferSize = 4096;

  explicit TVexaFiler(TByteStream& stream);
  TVexaFiler(const TVexaFiler&) = delete;
  TVexaFiler& operator=(const TVexaFiler&) = delete;

  // The text's bytes, then CR LF. A write that does not arrive whole raises EStreamError.
  void SaveLine(std::string_view text);
  void SaveBuffer(const void* bytes, size_t count);
  // Raises EStreamError when buffered bytes can't reach their destination.
  void Flush();

  // The next line without its line end (CR, LF, CR LF, LF CR) and without leading blanks.
  // False when the stream ended before a line end: a last line without one comes back in
  // text with false.
  bool ReadLine(std::string& text);
  // Reads up to the "end" that closes the block just opened, counting nested blocks.
  void SkipBlock();
  // Skips the block when the line opens one ("document", "clipboard", "library", "object",
  // "property"); true then.
  bool CheckSkipBlock(std::string_view line);

  void Rewind();

  int64_t Total() const { return total_; }
  void SetTotal(int64_t total) { total_ = total; }
  int64_t Loaded() const { return loaded_; }
  int64_t Saved() const { return saved_; }
  void SetSaved(int64_t saved);

  TVexaProgressEvent OnProgress;
  void DoProgress(TVexaFilerProcess kind);

  TByteStream& Stream() { return stream_; }

 private:
  bool Refill();

  TByteStream& stream_;
  std::string buffer_;
  size_t position_ = 0;
  size_t end_ = 0;
  int64_t total_ = 0;
  int64_t loaded_ = 0;
  int64_t saved_ = 0;
  int lastPercent_ = -1;
};

}  // namespace pv::graphics

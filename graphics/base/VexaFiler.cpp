#include "base/VexaFiler.h"

#include <cmath>

#include "base/TextHelpers.h"

namespace pv::graphics {

TVexaFiler::TVexaFiler(TByteStream& stream) : stream_(stream), buffer_(BufferSize, '\0') {
  const int64_t size = stream.Size();
  total_ = size < 0 ? 0 : size;
  const int64_t here = stream.Position();
  loaded_ = here < 0 ? 0 : here;
}

void TVexaFiler::SaveLine(std::string_view text) {
  SaveBuffer(text.data(), text.size());
  SaveBuffer("\r\n", 2);
}

void TVexaFiler::SaveBuffer(const void* bytes, size_t count) {
  if (count == 0) return;
  if (!stream_.Write(bytes, count)) throw EStreamError("Stream write error");
}

void TVexaFiler::Flush() {
  if (!stream_.Flush()) throw EStreamError("Stream write error");
}

bool TVexaFiler::Refill() {
  position_ = 0;
  end_ = stream_.Read(buffer_.data(), BufferSize);
  loaded_ += static_cast<int64_t>(end_);
  return end_ > 0;
}

bool TVexaFiler::ReadLine(std::string& text) {
  text.clear();
  bool skippingBlanks = true;
  bool ended = false;
  for (;;) {
    if (position_ >= end_ && !Refill()) break;
    if (skippingBlanks) {
      while (position_ < end_ && buffer_[position_] == ' ') ++position_;
      if (position_ >= end_) continue;
    }
    size_t stop = position_;
    while (stop < end_ && buffer_[stop] != '\r' && buffer_[stop] != '\n') ++stop;
    text.append(buffer_, position_, stop - position_);
    position_ = stop;
    if (stop >= end_) {
      skippingBlanks = false;
      continue;
    }
    const char first = buffer_[position_++];
    if (position_ < end_ || Refill()) {
      const char next = buffer_[position_];
      if ((next == '\r' || next == '\n') && next != first) ++position_;
    }
    ended = true;
    break;
  }
  DoProgress(TVexaFilerProcess::ppLoad);
  return ended;
}

void TVexaFiler::SkipBlock() {
  int depth = 1;
  std::string line;
  while (depth > 0 && ReadLine(line)) {
    if (IsBlockEnd(line)) {
      --depth;
    } else if (StartsWithKeyword(line, "object") || StartsWithKeyword(line, "property")) {
      ++depth;
    }
  }
}

bool TVexaFiler::CheckSkipBlock(std::string_view line) {
  for (const char* keyword : {"document", "clipboard", "library", "object", "property"}) {
    if (StartsWithKeyword(line, keyword)) {
      SkipBlock();
      return true;
    }
  }
  return false;
}

void TVexaFiler::Rewind() {
  stream_.Seek(0);
  position_ = end_ = 0;
  loaded_ = 0;
  saved_ = 0;
}

void TVexaFiler::SetSaved(int64_t saved) {
  if (saved == saved_) return;
  saved_ = saved;
  DoProgress(TVexaFilerProcess::ppSave);
}

void TVexaFiler::DoProgress(TVexaFilerProcess kind) {
  if (!OnProgress || total_ <= 0) return;
  int64_t value = 0;
  if (kind == TVexaFilerProcess::ppLoad) {
    value = loaded_;
  } else if (kind == TVexaFilerProcess::ppSave) {
    value = saved_;
  } else {
    return;
  }
  const int percent = static_cast<int>(std::lround(static_cast<double>(value) * 100.0 / static_cast<double>(total_)));
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  OnProgress(*this, percent, kind);
}

}  // namespace pv::graphics

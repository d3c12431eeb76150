#include "text/TextLines.h"

namespace pv::graphics {

namespace {

bool IsBreak(uint8_t c) { return c == '\r' || c == '\n'; }

}  // namespace

TLineMeasure MeasureLine(std::string_view line, const TCharWidths& widths) {
  TLineMeasure m;
  bool first = true;
  uint8_t last = 0;
  for (char ch : line) {
    const auto c = static_cast<uint8_t>(ch);
    if (c <= 31) continue;
    if (first) m.firstA = widths.abc[c].a;
    first = false;
    m.width += widths.width[c];
    last = c;
  }
  if (!first) {
    m.lastC = widths.abc[last].c;
    m.width += m.lastC;
  }
  return m;
}

bool TLineBreaker::NextLine(TTextLine& line) {
  if (done_) return false;
  return wordWrap_ ? NextWrappedLine(line) : NextPlainLine(line);
}

bool TLineBreaker::NextPlainLine(TTextLine& line) {
  const size_t n = text_.size();
  if (pos_ >= n) {
    done_ = true;
    if (!pendingEmpty_) return false;
    line = {n, n};
    return true;
  }
  size_t end = pos_;
  while (end < n && !IsBreak(At(end))) ++end;
  line = {pos_, end};
  if (end == n) {
    done_ = true;
    return true;
  }
  size_t next = end + 1;
  if (next < n && IsBreak(At(next)) && At(next) != At(end)) ++next;  // CR LF or LF CR: one break
  pos_ = next;
  pendingEmpty_ = next == n;
  return true;
}

bool TLineBreaker::NextWrappedLine(TTextLine& line) {
  const size_t n = text_.size();
  size_t start = pos_;
  while (start < n && At(start) <= 32) ++start;
  if (start == n) {
    done_ = true;
    if (pos_ == n || !IsBreak(At(n - 1))) return false;
    line = {n, n};
    return true;
  }
  int64_t width = 0;
  size_t cut = 0, cutNext = 0;  // the last line end (and next start) that fits; 0 = none yet
  for (size_t i = start; i < n; ++i) {
    const uint8_t c = At(i);
    if (IsBreak(c)) return Finish(start, i, i, line);
    if (c <= 32) {
      if (c == 32) width += widths_.width[c];
      cut = i;
      cutNext = i + 1;
      continue;
    }
    width += widths_.width[c];
    if (width + widths_.abc[c].c > limit_) {
      if (cut > start) return Finish(start, cut, cutNext, line);
      size_t end = i + 1;  // the first word alone, even wider than the limit
      while (end < n && At(end) > 32 && At(end - 1) != '-') ++end;
      return Finish(start, end, end, line);
    }
    if (c == '-') {
      cut = i + 1;
      cutNext = i + 1;
    }
  }
  return Finish(start, n, n, line);
}

bool TLineBreaker::Finish(size_t start, size_t end, size_t next, TTextLine& line) {
  while (end > start && At(end - 1) <= 32) --end;
  line = {start, end};
  pos_ = next;
  return true;
}

}  // namespace pv::graphics

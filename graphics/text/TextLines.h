#pragma once
// Lines of a text in single-byte codes (code page 1251): their widths from per-code metrics in
// the font's design units, and where the text breaks into lines, with or without word wrap.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "canvas/CanvasTypes.h"

namespace pv::graphics {

// The design-unit metrics of byte codes 0-255 of one font.
struct TCharWidths {
  std::array<int32_t, 256> width{};  // the advance: a + b + c
  std::array<canvas::ABC, 256> abc{};
};

// One line: bytes [start, end) of the text, without its line break.
struct TTextLine {
  size_t start = 0;
  size_t end = 0;
};

// A measured line: the sum of the advances of its characters above 31 plus the C width of the
// last of them, and the A width of the first of them.
struct TLineMeasure {
  int64_t width = 0;
  int32_t firstA = 0;
  int32_t lastC = 0;
};

TLineMeasure MeasureLine(std::string_view line, const TCharWidths& widths);

// Hands out the lines of a text one by one.
// Without word wrap a line ends at CR or LF; CR LF and LF CR each count as one break, and a
// break at the very end of the text is followed by a final empty line.
// With word wrap, blanks, control characters and line breaks before a line's first word are
// skipped (so no empty lines, except a final one when the text ends in a line break); words
// are added while the line's width stays within the limit and until a line break; a line
// that passes the limit is cut back after its last blank or '-' that fits; trailing blanks
// are dropped. A first word wider than the limit gets a line of its own, so every line holds
// at least one word and the text always advances.
class TLineBreaker {
 public:
  TLineBreaker(std::string_view text, const TCharWidths& widths, int64_t limit, bool wordWrap)
      : text_(text), widths_(widths), limit_(limit), wordWrap_(wordWrap) {}

  bool NextLine(TTextLine& line);

 private:
  bool NextPlainLine(TTextLine& line);
  bool NextWrappedLine(TTextLine& line);
  bool Finish(size_t start, size_t end, size_t next, TTextLine& line);
  uint8_t At(size_t i) const { return static_cast<uint8_t>(text_[i]); }

  std::string_view text_;
  const TCharWidths& widths_;
  int64_t limit_;
  bool wordWrap_;
  size_t pos_ = 0;
  bool pendingEmpty_ = false;  // a break ended the text: one empty line is still due
  bool done_ = false;
};

}  // namespace pv::graphics

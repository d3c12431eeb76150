#pragma once
// Level lines of plain text (printable ASCII) in one font, laid out without shaping each line.
// A repaint at a new text height writes thousands of texts that differ from each other but
// are made of a few dozen characters; shaping each line was most of what such a repaint cost.
// Here a line's glyphs are its characters' glyphs, and each glyph advances by what shaping
// gives that character when the next one follows it (its kerned advance). Both are learned
// from Qt's own shaping: a character from shaping it alone, a pair from the first shaped line
// it stands in. A line laid out here puts the glyphs Qt's shaping puts, at the places it puts
// them, so writing it paints the same pixels.
//
// A character that Qt writes in a fallback font or as other than one glyph, and a pair that
// shaping merged, moved off the baseline or gave two different advances, is not plain: a line
// holding one is shaped by Qt as any other text.
//
// What a font learned holds for every canvas on a device of the same kind and resolution, and
// a window paints through a new canvas each time: the fonts' glyphs are shared (Shared below).

#include <QFont>
#include <QGlyphRun>
#include <QPointF>
#include <QRawFont>
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class QPaintDevice;
class QTextLayout;

namespace pv::qtcanvas {

class PlainTextGlyphs {
 public:
  // The font as the canvas writes it.
  explicit PlainTextGlyphs(const QFont& font);
  // The glyphs of the font on devices like this one, shared with the canvases that wrote in it
  // before (on the application's thread; a canvas on another thread gets glyphs of its own).
  static std::shared_ptr<PlainTextGlyphs> Shared(const QFont& font, QPaintDevice* device);

  enum class Layout {
    Laid,       // Run() and Width() hold the line
    Unlearned,  // plain so far, but a pair in it was not shaped yet: shape the line and Learn it
    NotPlain,   // written by shaping, always
  };
  // Characters met for the first time are shaped on the device.
  Layout Lay(std::string_view utf8, QPaintDevice* device);
  // Learns the pairs of a line that Qt shaped into layout (one line, laid out) on the device.
  void Learn(std::string_view utf8, const QTextLayout& layout, QPaintDevice* device);

  // The glyphs of the line last laid, placed from its start on the baseline. Valid until the
  // next call.
  const QGlyphRun& Run() const { return run_; }
  // The line's advance, rounded as a measured text's.
  int Width() const { return width_; }

 private:
  static constexpr int kFirst = 0x20;
  static constexpr int kCount = 0x7F - kFirst;
  // Advances in 64ths of a pixel, the unit Qt's text layout counts in: sums of them are exact.
  static constexpr int32_t kUnknown = INT32_MIN;
  static constexpr int32_t kOdd = INT32_MIN + 1;

  // The index of a plain character, or -1.
  static int IndexOf(char c);
  // Shapes the character alone on first use; whether it is plain.
  bool LearnCharacter(int index, QPaintDevice* device);
  int32_t& Pair(int first, int second) { return pairs_[static_cast<size_t>(first * kCount + second)]; }

  QFont font_;
  QRawFont raw_;  // the font the first plain character was written in; every plain one shares it
  std::array<quint32, kCount> glyph_{};
  std::array<int32_t, kCount> advance_;  // kUnknown before the character is shaped, kOdd if not plain
  std::vector<int32_t> pairs_;           // kerned advance of the first before the second
  std::vector<quint32> glyphs_;
  std::vector<QPointF> positions_;
  QGlyphRun run_;
  int width_ = 0;
};

}  // namespace pv::qtcanvas

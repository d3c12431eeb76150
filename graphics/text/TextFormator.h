#pragma once
// Precise text layout: the text is laid out with the font's design-unit widths, so that line
// breaks and proportions do not depend on the zoom, and drawn with explicit advances that are
// rounded from cumulative positions, so rounding never accumulates along a line.
//
// Texts are byte strings in code page 1251 (how documents hold them); each byte is mapped to
// its Unicode character before the canvas is asked for widths or writes it.

#include <cstdint>
#include <optional>
#include <string_view>

#include "canvas/Canvas.h"
#include "text/TextLines.h"

namespace pv::graphics {

// The items of a text's Alignment, in their order.
enum class TTextAlignment : int32_t { LeftJustify = 0, RightJustify = 1, Center = 2 };

// Pixels per em of precise text for a logical font height at a panel scale (100000 = 100 %).
// The height's magnitude counts, so a positive (cell) height is taken as the em height too;
// a height of 0 gives 0, which lays out nothing.
double PreciseEmPixels(int32_t scale, int32_t fontHeight);
// The wrapping width in design units of an inner box width given in the units of the font
// height: width x em / |height|, in 64 bits and clamped; 0 for a height of 0.
int32_t PreciseWrapWidth(int64_t innerWidth, int32_t emSquare, int32_t fontHeight);

// The widths of byte codes 0-255 in the canvas's current font, each code taken as the code page
// 1251 character it stands for (control characters measure 0). False when the canvas can't
// measure one of them.
bool ReadCharWidths(const canvas::Canvas& canvas, TCharWidths& widths);

class TTextFormator {
 public:
  // Takes the canvas's current font. When it differs from the one held (or, in precise mode,
  // its outline metrics were not read yet), reads the design-unit widths of codes 0-255, the
  // cell height and the line height (cell + external leading) from a font of height -em on a
  // compatible canvas. scale = size / em pixels per design unit when scaleToEm (the heights
  // then rounded up to whole pixels), else size. False when the metrics cannot be read (the
  // formator then holds no font) or when size is not positive (nothing is laid out). The
  // canvas is remembered for DrawLines and must outlive that use.
  bool Setup(canvas::Canvas& canvas, bool precise, bool scaleToEm, double size);

  // The widest line and the height of all lines (at least one line height), in design units
  // or, without designUnits, in pixels at the scale. width is the wrapping width in design units.
  void MeasureText(std::string_view text, int32_t width, bool wordWrap, canvas::TSize& size, int32_t& lines,
                   bool designUnits = true);

  // Writes the lines on the canvas of the last Setup, line n at rect.top + round(n x line
  // height x scale), aligned within width (design units) from rect.left; with justify the
  // words of a line of several words are spread so that the last one ends at the right edge.
  void DrawLines(const canvas::TRect& rect, std::string_view text, int32_t width, bool justify,
                 TTextAlignment alignment, bool wordWrap);

  bool HasFont() const { return font_.has_value(); }
  int32_t EmSize() const { return em_; }
  double Scale() const { return scale_; }
  int32_t LineHeight() const { return lineHeight_; }
  int32_t CellHeight() const { return cellHeight_; }
  const TCharWidths& Widths() const { return widths_; }
  // The last line measured or drawn: its width and height in design units, and the A width of
  // its first and the C width of its last character.
  struct TLastLine {
    int64_t width = 0;
    int32_t height = 0;
    int32_t firstA = 0;
    int32_t lastC = 0;
  };
  const TLastLine& LastLine() const { return last_; }

 private:
  bool ReadOutlineMetrics(canvas::Canvas& canvas, const canvas::Font& font);
  bool Ready() const { return font_ && metrics_ && scale_ > 0 && canvas_; }
  void Remember(std::string_view line);
  void DrawRun(int32_t left, int32_t top, std::string_view run, double origin);
  void DrawJustified(int32_t left, int32_t top, std::string_view line, int32_t width);

  std::optional<canvas::Font> font_;
  bool metrics_ = false;
  TCharWidths widths_;
  int32_t em_ = 0;
  double scale_ = 0;
  int32_t designCell_ = 0;  // as read, before rounding to the scale
  int32_t designLine_ = 0;
  int32_t lineHeight_ = 0;
  int32_t cellHeight_ = 0;
  canvas::Canvas* canvas_ = nullptr;
  TLastLine last_;
};

}  // namespace pv::graphics

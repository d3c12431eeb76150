#pragma once
// The identifier names that the drawing properties' enumerations and sets are written with,
// and their conversions from property values.

#include <span>
#include <string>
#include <string_view>

#include "canvas/CanvasTypes.h"
#include "paint/BitmapDisplay.h"
#include "paint/Gradient.h"
#include "props/PropValue.h"

namespace pv::graphics {

enum class TBrushMethod : int32_t { bmHatch, bmGradient, bmBitmap };

std::span<const char* const> BrushMethodNames();
std::span<const char* const> BrushStyleNames();
std::span<const char* const> BitmapDisplayNames();
std::span<const char* const> GradientStyleNames();
std::span<const char* const> PenStyleNames();
std::span<const char* const> PenModeNames();  // in the order of the names, not of the codes
std::span<const char* const> FontPitchNames();

// The index of a value given as an identifier (any case) or as a number; EConvertError
// when it is neither a name of the table nor an index into it.
int EnumIndex(std::span<const char* const> names, const PropValue& value);
PropValue EnumValue(std::span<const char* const> names, int index);

// A pen mode by its name's position, and back.
canvas::PenMode PenModeAt(int index);
int PenModeIndex(canvas::PenMode mode);

// Font styles as a set: "[fsBold,fsItalic,fsUnderline,fsStrikeOut]", "[]" when empty.
struct TFontStyles {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  bool Empty() const { return !bold && !italic && !underline && !strikeOut; }
  friend bool operator==(const TFontStyles&, const TFontStyles&) = default;
};
std::string FontStylesText(const TFontStyles& styles);
TFontStyles ParseFontStyles(const PropValue& value);

}  // namespace pv::graphics

#include "props/DrawingEnums.h"

#include <array>

#include "base/TextHelpers.h"

namespace pv::graphics {

namespace {

constexpr const char* kBrushMethods[] = {"bmHatch", "bmGradient", "bmBitmap"};
constexpr const char* kBrushStyles[] = {"bsSolid", "bsClear", "bsHorizontal", "bsVertical",
                                        "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"};
constexpr const char* kBitmapDisplays[] = {"bdCenter", "bdTile", "bdStretch"};
constexpr const char* kGradientStyles[] = {"gsHorizontal", "gsVertical", "gsSquare", "gsElliptic",
                                           "gsTopLeft", "gsTopRight", "gsBottomLeft", "gsBottomRight"};
constexpr const char* kPenStyles[] = {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"};
constexpr const char* kPenModes[] = {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy",
                                     "pmMergePenNot", "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge",
                                     "pmNotMerge", "pmMask", "pmNotMask", "pmXor", "pmNotXor"};
constexpr canvas::PenMode kPenModeValues[] = {
    canvas::PenMode::Black, canvas::PenMode::White, canvas::PenMode::Nop, canvas::PenMode::Not,
    canvas::PenMode::Copy, canvas::PenMode::NotCopy, canvas::PenMode::MergePenNot, canvas::PenMode::MaskPenNot,
    canvas::PenMode::MergeNotPen, canvas::PenMode::MaskNotPen, canvas::PenMode::Merge, canvas::PenMode::NotMerge,
    canvas::PenMode::Mask, canvas::PenMode::NotMask, canvas::PenMode::Xor, canvas::PenMode::NotXor};
constexpr const char* kFontPitches[] = {"fpDefault", "fpVariable", "fpFixed"};
constexpr const char* kFontStyles[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

}  // namespace

std::span<const char* const> BrushMethodNames() { return kBrushMethods; }
std::span<const char* const> BrushStyleNames() { return kBrushStyles; }
std::span<const char* const> BitmapDisplayNames() { return kBitmapDisplays; }
std::span<const char* const> GradientStyleNames() { return kGradientStyles; }
std::span<const char* const> PenStyleNames() { return kPenStyles; }
std::span<const char* const> PenModeNames() { return kPenModes; }
std::span<const char* const> FontPitchNames() { return kFontPitches; }

int EnumIndex(std::span<const char* const> names, const PropValue& value) {
  if (value.GetKind() == PropValue::Kind::String) {
    for (size_t i = 0; i < names.size(); ++i) {
      if (SameName(names[i], value.AsString())) return static_cast<int>(i);
    }
  }
  if (value.GetKind() == PropValue::Kind::Integer || value.GetKind() == PropValue::Kind::LongWord ||
      value.GetKind() == PropValue::Kind::String) {
    int64_t n = 0;
    const bool number = value.GetKind() == PropValue::Kind::String
                            ? ParseDecimal(value.AsString(), 0, static_cast<int64_t>(names.size()) - 1, n)
                            : (n = value.ToInteger(), n >= 0 && n < static_cast<int64_t>(names.size()));
    if (number) return static_cast<int>(n);
  }
  throw EConvertError("Invalid property value " + value.ToString());
}

PropValue EnumValue(std::span<const char* const> names, int index) {
  return PropValue::String(names[static_cast<size_t>(index)]);
}

canvas::PenMode PenModeAt(int index) { return kPenModeValues[index]; }

int PenModeIndex(canvas::PenMode mode) {
  for (size_t i = 0; i < std::size(kPenModeValues); ++i) {
    if (kPenModeValues[i] == mode) return static_cast<int>(i);
  }
  return 4;  // pmCopy
}

std::string FontStylesText(const TFontStyles& styles) {
  const bool on[] = {styles.bold, styles.italic, styles.underline, styles.strikeOut};
  std::string out = "[";
  for (int i = 0; i < 4; ++i) {
    if (!on[i]) continue;
    if (out.size() > 1) out += ',';
    out += kFontStyles[i];
  }
  return out + "]";
}

TFontStyles ParseFontStyles(const PropValue& value) {
  std::string text = value.ToString();
  std::string_view t = TrimBlanks(text);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') throw EConvertError("Invalid property value " + text);
  t = t.substr(1, t.size() - 2);
  TFontStyles styles;
  bool* flags[] = {&styles.bold, &styles.italic, &styles.underline, &styles.strikeOut};
  while (!t.empty()) {
    const size_t comma = t.find(',');
    const std::string_view item = TrimBlanks(t.substr(0, comma));
    t = comma == std::string_view::npos ? std::string_view() : t.substr(comma + 1);
    if (item.empty()) continue;
    bool known = false;
    for (int i = 0; i < 4; ++i) {
      if (SameName(kFontStyles[i], item)) *flags[i] = known = true;
    }
    if (!known) throw EConvertError("Invalid property value " + text);
  }
  return styles;
}

}  // namespace pv::graphics

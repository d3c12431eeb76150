#pragma once
// The value types a Canvas works with, with the semantics of the Windows graphics device
// interface that the programs' drawing code was written against: integer pixels, rectangles
// that exclude their right and bottom edges, colours as 0x00BBGGRR, pens with raster
// operations, brushes, logical fonts and text alignment flags.

#include <cstdint>
#include <memory>
#include <string>

namespace pv::canvas {

class Bitmap;

// ---- Colours --------------------------------------------------------------------------

// 0x00BBGGRR; 0x1FFFFFFF means "no colour" (draw nothing); 0x80000000 | n is system colour n.
using TColor = int32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGray = 0x808080;
// What GetPixel answers for a pixel it cannot read.
constexpr uint32_t CLR_INVALID = 0xFFFFFFFFu;

// The system colour indexes of the platform, in their fixed order.
enum class SystemColor : int32_t {
  ScrollBar = 0, Background, ActiveCaption, InactiveCaption, Menu, Window, WindowFrame,
  MenuText, WindowText, CaptionText, ActiveBorder, InactiveBorder, AppWorkspace, Highlight,
  HighlightText, BtnFace, BtnShadow, GrayText, BtnText, InactiveCaptionText, BtnHighlight,
  DkShadow3D, Light3D, InfoText, InfoBk, Unused25, HotLight, GradientActiveCaption,
  GradientInactiveCaption, MenuHilight, MenuBar,
};
constexpr int32_t kSystemColorCount = 31;

constexpr TColor SystemColorCode(SystemColor c) {
  return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(c));
}
constexpr TColor clBtnFace = SystemColorCode(SystemColor::BtnFace);
constexpr TColor clBtnShadow = SystemColorCode(SystemColor::BtnShadow);
constexpr TColor clBtnHighlight = SystemColorCode(SystemColor::BtnHighlight);
constexpr TColor clWindow = SystemColorCode(SystemColor::Window);
constexpr TColor clWindowText = SystemColorCode(SystemColor::WindowText);
constexpr TColor clHighlight = SystemColorCode(SystemColor::Highlight);

// The 0x00BBGGRR value a colour paints with: system colours through a fixed table (the
// platform's standard scheme), plain colours with their top byte cleared. clNone, clDefault
// and unknown system indexes give black.
uint32_t ColorToRGB(TColor color);

constexpr uint8_t GetRValue(uint32_t rgb) { return static_cast<uint8_t>(rgb & 0xFF); }
constexpr uint8_t GetGValue(uint32_t rgb) { return static_cast<uint8_t>((rgb >> 8) & 0xFF); }
constexpr uint8_t GetBValue(uint32_t rgb) { return static_cast<uint8_t>((rgb >> 16) & 0xFF); }
constexpr uint32_t RGB(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}

// ---- Geometry -------------------------------------------------------------------------

struct TPoint {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// Covers the pixels left <= x < right, top <= y < bottom.
struct TRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

TRect IntersectRect(const TRect& a, const TRect& b);  // empty (all zero) when they do not meet
TRect UnionRect(const TRect& a, const TRect& b);      // an empty rectangle does not count

// ---- Pens -----------------------------------------------------------------------------

enum class PenStyle : int32_t { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };

// The 16 binary raster operations, in the order of their codes 1 to 16 (R2_BLACK .. R2_WHITE)
// shifted by one: the value of each enumerator is its code.
enum class PenMode : int32_t {
  Black = 1, NotMerge, MaskNotPen, NotCopy, MaskPenNot, Not, Xor, NotMask,
  Mask, NotXor, Nop, MergeNotPen, Copy, MergePenNot, Merge, White,
};

// Applies a raster operation to one 0x00BBGGRR pixel: the result is the operation on the
// bits of the pen colour and the destination (the top byte is always cleared).
uint32_t ApplyRop2(PenMode mode, uint32_t destination, uint32_t pen);

struct Pen {
  PenStyle style = PenStyle::Solid;
  int32_t width = 1;  // 0 is a cosmetic one-pixel pen
  TColor color = clBlack;
  PenMode mode = PenMode::Copy;
  friend bool operator==(const Pen&, const Pen&) = default;
};

// ---- Brushes --------------------------------------------------------------------------

enum class BrushStyle : int32_t { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };

struct Brush {
  BrushStyle style = BrushStyle::Solid;
  TColor color = clWhite;
  // A pattern bitmap, when set, paints instead of the style and colour.
  std::shared_ptr<const Bitmap> bitmap;
  friend bool operator==(const Brush&, const Brush&) = default;
};

// ---- Fonts and text -------------------------------------------------------------------

constexpr int32_t FW_NORMAL = 400;
constexpr int32_t FW_BOLD = 700;

enum class FontPitch : int32_t { Default, Variable, Fixed };

// A logical font. A negative height is the em height in pixels, a positive one the cell
// height (em plus internal leading); 0 asks for the default size.
struct Font {
  std::string name = "Arial";
  int32_t height = -11;
  int32_t width = 0;         // average character width; 0 keeps the aspect of the design
  int32_t escapement = 0;    // tenths of a degree, counter-clockwise
  int32_t weight = FW_NORMAL;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  uint8_t charset = 1;       // DEFAULT_CHARSET
  FontPitch pitch = FontPitch::Default;
  TColor color = clBlack;
  friend bool operator==(const Font&, const Font&) = default;
};

// Text alignment flags (combinable): one horizontal, one vertical, optionally TA_UPDATECP.
constexpr uint32_t TA_NOUPDATECP = 0;
constexpr uint32_t TA_UPDATECP = 1;
constexpr uint32_t TA_LEFT = 0;
constexpr uint32_t TA_RIGHT = 2;
constexpr uint32_t TA_CENTER = 6;
constexpr uint32_t TA_TOP = 0;
constexpr uint32_t TA_BOTTOM = 8;
constexpr uint32_t TA_BASELINE = 24;
constexpr uint32_t TA_HORIZONTAL_MASK = 6;
constexpr uint32_t TA_VERTICAL_MASK = 24;

enum class BkMode : int32_t { Transparent = 1, Opaque = 2 };

// ExtTextOut options.
constexpr uint32_t ETO_OPAQUE = 2;
constexpr uint32_t ETO_CLIPPED = 4;

// DrawText format flags.
constexpr uint32_t DT_LEFT = 0x0;
constexpr uint32_t DT_CENTER = 0x1;
constexpr uint32_t DT_RIGHT = 0x2;
constexpr uint32_t DT_VCENTER = 0x4;
constexpr uint32_t DT_BOTTOM = 0x8;
constexpr uint32_t DT_WORDBREAK = 0x10;
constexpr uint32_t DT_SINGLELINE = 0x20;
constexpr uint32_t DT_EXPANDTABS = 0x40;
constexpr uint32_t DT_NOCLIP = 0x100;
constexpr uint32_t DT_CALCRECT = 0x400;
constexpr uint32_t DT_NOPREFIX = 0x800;

struct TextMetric {
  int32_t height = 0;           // cell height: ascent + descent
  int32_t ascent = 0;
  int32_t descent = 0;
  int32_t internalLeading = 0;  // cell height minus em height
  int32_t externalLeading = 0;
  int32_t aveCharWidth = 0;
  int32_t maxCharWidth = 0;
  friend bool operator==(const TextMetric&, const TextMetric&) = default;
};

// The advance of a glyph is a + b + c; a and c may be negative.
struct ABC {
  int32_t a = 0;
  uint32_t b = 0;
  int32_t c = 0;
  friend bool operator==(const ABC&, const ABC&) = default;
};

// ---- Filling and clipping -------------------------------------------------------------

enum class PolyFillMode : int32_t { Alternate = 1, Winding = 2 };

// How a new region combines with an existing one (also for clip regions).
enum class RegionMode : int32_t { And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5 };

// Ternary raster operations of the block transfers that the programs use.
enum class Rop3 : uint32_t {
  SrcCopy = 0x00CC0020,
  SrcPaint = 0x00EE0086,
  SrcAnd = 0x008800C6,
  SrcInvert = 0x00660046,
  SrcErase = 0x00440328,
  NotSrcCopy = 0x00330008,
  MergePaint = 0x00BB0226,
  PatCopy = 0x00F00021,
  PatInvert = 0x005A0049,
  DstInvert = 0x00550009,
  Blackness = 0x00000042,
  Whiteness = 0x00FF0062,
};

}  // namespace pv::canvas

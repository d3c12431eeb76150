#include "canvas/CanvasTypes.h"

#include <algorithm>
#include <array>

namespace pv::canvas {

namespace {

// The platform's standard colour scheme, as 0x00BBGGRR, by system colour index.
constexpr std::array<uint32_t, kSystemColorCount> kSystemColors = {
    0xC8C8C8,  // ScrollBar
    0x000000,  // Background
    0xD1B499,  // ActiveCaption
    0xDBCDBF,  // InactiveCaption
    0xF0F0F0,  // Menu
    0xFFFFFF,  // Window
    0x646464,  // WindowFrame
    0x000000,  // MenuText
    0x000000,  // WindowText
    0x000000,  // CaptionText
    0xB4B4B4,  // ActiveBorder
    0xFCF7F4,  // InactiveBorder
    0xABABAB,  // AppWorkspace
    0xFF9933,  // Highlight
    0xFFFFFF,  // HighlightText
    0xF0F0F0,  // BtnFace
    0xA0A0A0,  // BtnShadow
    0x6D6D6D,  // GrayText
    0x000000,  // BtnText
    0x000000,  // InactiveCaptionText
    0xFFFFFF,  // BtnHighlight
    0x696969,  // DkShadow3D
    0xE3E3E3,  // Light3D
    0x000000,  // InfoText
    0xE1FFFF,  // InfoBk
    0x000000,  // (unused index)
    0xCC6600,  // HotLight
    0xEAD1B9,  // GradientActiveCaption
    0xF2E4D7,  // GradientInactiveCaption
    0xFF9933,  // MenuHilight
    0xF0F0F0,  // MenuBar
};

}  // namespace

uint32_t ColorToRGB(TColor color) {
  const auto bits = static_cast<uint32_t>(color);
  if (bits & 0x80000000u) {
    const uint32_t index = bits & 0xFFu;
    return index < kSystemColors.size() ? kSystemColors[index] : 0;
  }
  if (color == clNone || color == clDefault) return 0;
  return bits & 0x00FFFFFFu;
}

uint32_t ApplyRop2(PenMode mode, uint32_t d, uint32_t p) {
  uint32_t r = 0;
  switch (mode) {
    case PenMode::Black: r = 0; break;
    case PenMode::NotMerge: r = ~(p | d); break;
    case PenMode::MaskNotPen: r = d & ~p; break;
    case PenMode::NotCopy: r = ~p; break;
    case PenMode::MaskPenNot: r = p & ~d; break;
    case PenMode::Not: r = ~d; break;
    case PenMode::Xor: r = p ^ d; break;
    case PenMode::NotMask: r = ~(p & d); break;
    case PenMode::Mask: r = p & d; break;
    case PenMode::NotXor: r = ~(p ^ d); break;
    case PenMode::Nop: r = d; break;
    case PenMode::MergeNotPen: r = d | ~p; break;
    case PenMode::Copy: r = p; break;
    case PenMode::MergePenNot: r = p | ~d; break;
    case PenMode::Merge: r = p | d; break;
    case PenMode::White: r = ~0u; break;
  }
  return r & 0x00FFFFFFu;
}

TRect IntersectRect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
  return r.IsEmpty() ? TRect{} : r;
}

TRect UnionRect(const TRect& a, const TRect& b) {
  if (a.IsEmpty()) return b.IsEmpty() ? TRect{} : b;
  if (b.IsEmpty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

}  // namespace pv::canvas

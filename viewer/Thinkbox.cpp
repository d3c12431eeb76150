#include "Thinkbox.h"

namespace pv::viewer {

namespace {

constexpr int32_t kBarPanelHeight = 24;

}  // namespace

canvas::TRect ThinkingBoxBounds(std::string_view message, canvas::TSize charSize, bool withBar,
                                const canvas::TRect& area) {
  const int32_t width = static_cast<int32_t>(message.size()) * charSize.cx + 12;
  const int32_t height = charSize.cy + (withBar ? 6 + kBarPanelHeight : 6);
  const int32_t left = area.left + (area.Width() - width) / 2;
  const int32_t top = area.top + (area.Height() - height) / 2;
  return {left, top, left + width, top + height};
}

canvas::TRect ThinkingBarBounds(std::string_view message, canvas::TSize charSize, const canvas::TRect& box) {
  const int32_t width = static_cast<int32_t>(message.size()) * charSize.cx - 4;
  return {8, box.Height() - kBarPanelHeight, 8 + width, box.Height()};
}

}  // namespace pv::viewer

#pragma once
// The busy box: a small borderless stay-on-top window that shows what a long operation is
// doing, optionally with a progress bar. One exists for the whole program; its window comes
// with the main window, and model code (the reader) talks to it through this interface.

#include <cstdint>
#include <string_view>

#include "canvas/CanvasTypes.h"

namespace pv::viewer {

// The caption of the message panel before the first message.
inline constexpr std::string_view kThinkingInitialCaption = "You should not see this";

class BusyBox {
 public:
  virtual ~BusyBox() = default;
  // area: the client area of the window to centre on, in screen coordinates; none centres on
  // the screen.
  virtual void ShowThinking(const canvas::TRect* area, std::string_view message) = 0;
  virtual void ShowThinkingWithBar(const canvas::TRect* area, std::string_view message) = 0;
  virtual void HideThinking() = 0;
  virtual void SetBar(int32_t position, int32_t maximum) = 0;
  virtual void StepBar() = 0;
};

// A busy box that shows nothing, for reading without a window.
class NullBusyBox : public BusyBox {
 public:
  void ShowThinking(const canvas::TRect*, std::string_view) override {}
  void ShowThinkingWithBar(const canvas::TRect*, std::string_view) override {}
  void HideThinking() override {}
  void SetBar(int32_t, int32_t) override {}
  void StepBar() override {}
};

// Where the box goes: length(message)·w + 12 wide, h + 6 high (h + 30 with the bar), centred
// on the area with halves rounded toward zero; w and h are the size of "8" in its font.
canvas::TRect ThinkingBoxBounds(std::string_view message, canvas::TSize charSize, bool withBar,
                                const canvas::TRect& area);
// The bar inside the box: at left 8, length(message)·w - 4 wide, in the 24-pixel bottom panel.
canvas::TRect ThinkingBarBounds(std::string_view message, canvas::TSize charSize, const canvas::TRect& box);

}  // namespace pv::viewer

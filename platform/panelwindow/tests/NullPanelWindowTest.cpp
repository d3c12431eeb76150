#include <gtest/gtest.h>

#include "panelwindow/NullPanelWindow.h"

namespace pv::panelwindow {
namespace {

struct Events : IPanelWindowEvents {
  int resized = 0;
  int scrolled = 0;
  void WindowResized() override { ++resized; }
  void WindowScrolled(TScrollBarKind) override { ++scrolled; }
};

TEST(NullPanelWindow, ScrollBarShowsOnlyWhenTheRangeExceedsTheClientAndClampsItsPosition) {
  TNullPanelWindow window(400, 300);
  window.SetScrollRange(TScrollBarKind::Horizontal, 400, 10);
  EXPECT_FALSE(window.ScrollBarVisible(TScrollBarKind::Horizontal));
  window.SetScrollRange(TScrollBarKind::Horizontal, 1000, 10);
  EXPECT_TRUE(window.ScrollBarVisible(TScrollBarKind::Horizontal));
  window.SetScrollPos(TScrollBarKind::Horizontal, 5000);
  EXPECT_EQ(600, window.ScrollPos(TScrollBarKind::Horizontal));
  window.SetScrollPos(TScrollBarKind::Horizontal, -5);
  EXPECT_EQ(0, window.ScrollPos(TScrollBarKind::Horizontal));
  window.SetScrollRange(TScrollBarKind::Vertical, -20, 10);
  EXPECT_EQ(0, window.ScrollRange(TScrollBarKind::Vertical));
}

TEST(NullPanelWindow, ResizeAndScrollReachTheEventsAndAShrinkingRangePullsThePositionBack) {
  TNullPanelWindow window(100, 100);
  Events events;
  window.SetEvents(&events);
  window.SetScrollRange(TScrollBarKind::Vertical, 500, 10);
  window.ScrollTo(TScrollBarKind::Vertical, 400);
  EXPECT_EQ(400, window.ScrollPos(TScrollBarKind::Vertical));
  window.Resize(100, 300);
  EXPECT_EQ(200, window.ScrollPos(TScrollBarKind::Vertical));
  window.SetScrollRange(TScrollBarKind::Vertical, 250, 10);
  EXPECT_EQ(0, window.ScrollPos(TScrollBarKind::Vertical));
  EXPECT_EQ(1, events.resized);
  EXPECT_EQ(1, events.scrolled);
}

}  // namespace
}  // namespace pv::panelwindow

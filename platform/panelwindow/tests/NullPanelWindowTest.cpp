#include <gtest/gtest.h>

#include <vector>

#include "panelwindow/NullPanelWindow.h"

namespace pv::panelwindow {
namespace {

struct Events : IPanelWindowEvents {
  int resized = 0;
  int scrolled = 0;
  std::vector<TRect> painted;
  void WindowResized() override { ++resized; }
  void WindowScrolled(TScrollBarKind) override { ++scrolled; }
  void WindowPaint(canvas::Canvas& canvas, const TRect& rect) override {
    painted.push_back(rect);
    canvas.FillRect({0, 0, rect.right - rect.left, rect.bottom - rect.top});
  }
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

TEST(NullPanelWindow, PaintsTheBoxOfWhatWasInvalidatedWithinItsClientAreaOnce) {
  struct Case {
    std::vector<TRect> invalid;
    bool all;
    std::vector<TRect> painted;
  } cases[] = {
      {{}, false, {}},
      {{{10, 10, 20, 20}}, false, {{10, 10, 20, 20}}},
      {{{10, 10, 20, 20}, {50, 5, 60, 15}}, false, {{10, 5, 60, 20}}},
      {{{-30, -30, 10, 500}}, false, {{0, 0, 10, 80}}},
      {{{5, 5, 5, 50}, {200, 10, 300, 20}}, false, {}},  // empty, or outside the client area
      {{{10, 10, 20, 20}}, true, {{0, 0, 100, 80}}},
  };
  for (const Case& c : cases) {
    TNullPanelWindow window(100, 80);
    Events events;
    window.SetEvents(&events);
    for (const TRect& r : c.invalid) window.Invalidate(r);
    if (c.all) window.InvalidateAll();
    EXPECT_EQ(window.PaintPending() > 0, !c.painted.empty());
    EXPECT_EQ(window.PaintPending(), 0u) << "painted twice";
    ASSERT_EQ(events.painted.size(), c.painted.size());
    for (size_t i = 0; i < c.painted.size(); ++i) {
      EXPECT_EQ(events.painted[i].left, c.painted[i].left);
      EXPECT_EQ(events.painted[i].top, c.painted[i].top);
      EXPECT_EQ(events.painted[i].right, c.painted[i].right);
      EXPECT_EQ(events.painted[i].bottom, c.painted[i].bottom);
    }
    EXPECT_EQ(window.invalidated.size(), c.invalid.size()) << "the record of invalidations is kept";
  }
}

}  // namespace
}  // namespace pv::panelwindow

#include "paint/ClipHelpers.h"

#include <gtest/gtest.h>

#include "canvas/RecordingCanvas.h"

namespace pv::graphics {
namespace {

TEST(ClipHelpers, IntersectAndRestoreTheClip) {
  RecordingCanvas canvas;
  // No clip yet: the region becomes the clip, and restoring removes clipping again.
  auto saved = IntersectClipRgn(canvas, Region::FromRect({0, 0, 10, 10}));
  EXPECT_FALSE(saved.has_value());
  EXPECT_EQ(canvas.GetClipRgn(), Region::FromRect({0, 0, 10, 10}));
  // A clip: narrowed, and the old one comes back.
  auto inner = IntersectClipRgn(canvas, Region::FromRect({5, 5, 20, 20}));
  ASSERT_TRUE(inner.has_value());
  EXPECT_EQ(canvas.GetClipRgn(), Region::FromRect({5, 5, 10, 10}));
  RestoreClip(canvas, inner);
  EXPECT_EQ(canvas.GetClipRgn(), Region::FromRect({0, 0, 10, 10}));
  RestoreClip(canvas, saved);
  EXPECT_FALSE(canvas.GetClipRgn().has_value());
}

TEST(ClipHelpers, IntersectWithThePath) {
  RecordingCanvas canvas;
  canvas.IntersectClipRect({0, 0, 8, 8});
  canvas.BeginPath();
  canvas.Rectangle({4, 4, 12, 12});
  canvas.EndPath();
  const auto saved = IntersectClipPath(canvas);
  ASSERT_TRUE(saved.has_value());
  EXPECT_TRUE(canvas.GetClipRgn()->Contains(5, 5));
  EXPECT_FALSE(canvas.GetClipRgn()->Contains(9, 9));
  EXPECT_FALSE(canvas.GetClipRgn()->Contains(2, 2));
  RestoreClip(canvas, saved);
  // Without a path and without a clip: nothing is left to paint into.
  RecordingCanvas empty;
  EXPECT_FALSE(IntersectClipPath(empty).has_value());
  ASSERT_TRUE(empty.GetClipRgn().has_value());
  EXPECT_TRUE(empty.GetClipRgn()->IsEmpty());
}

}  // namespace
}  // namespace pv::graphics

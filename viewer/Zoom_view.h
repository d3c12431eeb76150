#pragma once
// The arithmetic of the zoom panel: which world window the paint box shows, at one scale on
// both axes, and how zooming, recentring and scrolling change it. No windows here: the panel
// (Zoomer.h) feeds it the paint box size and mouse points and shows what it computes.

#include <string>

#include "DXF_Utils.h"
#include "canvas/CanvasTypes.h"
#include "winmath/WinMath.h"

namespace pv::viewer {

// Scales are pixels per world unit; the window runs from left to right and bottom to top.
struct Zoom_view {
  double scaleX = 1.0;
  double scaleY = 1.0;
  double left = 0.0;
  double right = 0.0;
  double bottom = 0.0;
  double top = 0.0;
  double centreX = 0.0;
  double centreY = 0.0;
  friend bool operator==(const Zoom_view&, const Zoom_view&) = default;
};

// A world rectangle from (x1, y1) to (x2, y2).
struct WorldRect {
  double x1 = 0.0;
  double y1 = 0.0;
  double x2 = 0.0;
  double y2 = 0.0;
};

// Page steps and positions of the two scroll bars (range 0 to 1000).
struct ZoomScrollBars {
  int hPage = 917;
  int hPosition = 500;
  int vPage = 917;
  int vPosition = 500;
  friend bool operator==(const ZoomScrollBars&, const ZoomScrollBars&) = default;
};

class ZoomViews {
 public:
  // Fits the rectangle with the margins into a paint box of width x height pixels; a box
  // too small for the margins fits into one pixel.
  void SetWindow(int marginX, int marginY, const WorldRect& rect, int width, int height);
  bool WindowSet() const { return windowSet_; }

  // Divides the scale by f about the middle of the window.
  void ZoomBy(double f);
  // Shows the rectangle (x1 < x2, y1 < y2) in a paint box of width x height pixels.
  void ZoomToRect(const WorldRect& rect, int width, int height);
  // The world point under the pixel becomes the middle of the window.
  void Recentre(int x, int y);
  void RestoreLastView() { current_ = last_; }
  // Back to the fitted view; the view shown before it becomes the last one.
  void ResetView();

  // Pixel of a world point (through the matrix when given), rounded half to even;
  // std::range_error when the pixel is beyond the integer range.
  canvas::TPoint WorldToScreen(const Point3D& p, const Matrix4x4* matrix) const {
    const Point3D q = matrix ? DXF_Utils::TransformPoint(*matrix, p) : p;
    return {winmath::RoundHalfEven((q.x - current_.left) * current_.scaleX),
            winmath::RoundHalfEven((current_.top - q.y) * current_.scaleY)};
  }
  Point3D ScreenToWorld(int x, int y) const;

  ZoomScrollBars ScrollBars() const;
  // A scroll bar moved from one position to another; pageStep is the bar's page step.
  void ScrollHorizontal(int from, int to, int pageStep);
  void ScrollVertical(int from, int to, int pageStep);

  // "1.25 : 1" when zoomed in, "1 : 1.25" when zoomed out, "1 : 1" at the fitted view.
  std::string RatioText() const;

  const Zoom_view& Current() const { return current_; }
  const Zoom_view& Reset() const { return reset_; }
  const Zoom_view& Last() const { return last_; }

 private:
  Zoom_view reset_;
  Zoom_view current_;
  Zoom_view last_;
  bool windowSet_ = false;
};

// x in the general number format with at most `precision` significant digits
// (1.25, 1, 1.23E3, 5432100).
std::string GeneralText(double x, int precision);
// x with `decimals` decimals at `precision` significant digits (scientific beyond them).
std::string FixedText(double x, int precision, int decimals);
// The coordinate read-out: "X= " x "   Y= " y, three decimals.
std::string CoordinateText(const Point3D& world);

}  // namespace pv::viewer

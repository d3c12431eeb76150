#pragma once
// Line caps: the shapes drawn at the open ends of curves and connectors, chosen by a style code
// from -1 to -18 (any other code is no cap). A cap is computed in pixels in the direction of the
// path's last segment, from the point F next to the end towards the end point E.

#include <cstdint>
#include <span>
#include <vector>

#include "canvas/Canvas.h"

namespace pv::graphics {

// The extent of a cap in its own frame: x along the line with the end point at 0 (negative
// back along the line), y across it.
struct TLineCapInfo {
  int32_t size = 0;
  int32_t offset = 0;
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  friend bool operator==(const TLineCapInfo&, const TLineCapInfo&) = default;
};

// Fills the extent of a cap of the given size (pixels, a negative one counts as 0); false, with
// every value 0, for a code that is no cap.
bool GetLineCapInfo(int32_t style, int32_t size, TLineCapInfo& info);

// Point types of the figures of a path.
enum TCapPointType : uint8_t { cptNode = 0, cptEnd = 1, cptClosedEnd = 2, cptControl = 3 };

// A cap as path figures. The circle caps are drawn as an ellipse over circleBox; their figure
// is the same circle as four Bezier quarters.
struct TCapShape {
  std::vector<canvas::TPoint> points;
  std::vector<uint8_t> types;
  bool circle = false;
  canvas::TRect circleBox;
};

// The figures of a cap at end coming from `from`; false for a code that is no cap. When from
// equals end every point of the shape is the end point.
bool GetLineCapShape(int32_t style, canvas::TPoint end, canvas::TPoint from, int32_t size, TCapShape& shape);

// What a curve or connector keeps of a cap.
struct TLineCap {
  int32_t style = 0;
  canvas::TColor color = canvas::clBlack;      // outline; clNone draws none
  canvas::TColor fillColor = canvas::clBlack;  // clNone fills nothing
  int32_t size = 0;                            // pixels
};

// Draws the begin cap at the first point and the end cap at the last point of every open
// figure of at least two points (closed figures get none), each with its own inside-frame pen
// of the pen width and solid brush; the canvas' pen and brush are given back afterwards.
void DrawLineCaps(canvas::Canvas& dc, int32_t penWidth, const TLineCap& beginCap, const TLineCap& endCap,
                  std::span<const canvas::TPoint> points, std::span<const uint8_t> types);

}  // namespace pv::graphics

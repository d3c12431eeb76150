#pragma once
// The drawer's pixel primitives over one 24-bit image. Canvas operations take
// coordinates of the 512 x 512 canvas that is stretched over the image; the
// others take image pixels.

#include <cstdint>

#include "vela/image.h"

namespace vela::render {

// Three bytes in buffer order (blue, green, red in a usual 24-bit image).
struct Colour {
  uint8_t b0, b1, b2;
  friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour minutiaeColour{0, 0, 255};
inline constexpr Colour directionColour{255, 0, 0};
inline constexpr Colour gridColour{198, 198, 198};
inline constexpr Colour emptySegmentColour{150, 150, 150};
inline constexpr Colour panelColour{155, 87, 64};

inline constexpr double canvasSize = 512.0;

class PixelCanvas {
 public:
  // invalid_argument unless the image has 24 bits per pixel and rows of at
  // least three bytes a pixel.
  explicit PixelCanvas(vela::base::Image& image);

  int32_t Width() const { return width; }
  int32_t Height() const { return height; }
  bool Empty() const { return width == 0 || height == 0; }
  float XScale() const { return xScale; }
  float YScale() const { return yScale; }

  // Blending weight of BlendPixel and of the blended canvas operations.
  void SetOpacity(float value) { opacity = value; }

  void SetPixelRgb(int32_t x, int32_t y, Colour colour);
  Colour GetPixelRgb(int32_t x, int32_t y) const;
  void BlendPixel(int32_t x, int32_t y, Colour colour);
  void DrawHorizontalLine(int32_t x1, int32_t x2, int32_t y, Colour colour);
  // Bresenham, both ends drawn. Ends far outside the image are first clipped
  // to a margin around it, so the work stays bounded by the image's size.
  void DrawLine(double x1, double y1, double x2, double y2, Colour colour);

  // Canvas operations.
  void FillRect(double x1, double y1, double x2, double y2, Colour colour);
  void DrawVerticalLine(double x, double y1, double y2, Colour colour);
  void DrawBlendedHorizontalLine(double x1, double x2, double y, Colour colour);
  void DrawRectOutline(double x1, double y1, double x2, double y2, Colour colour);
  void DrawScaledLine(double x1, double y1, double x2, double y2, Colour colour);
  void DrawCircle(double cx, double cy, double radius, Colour colour);
  void FillTriangle(const double (&x)[3], const double (&y)[3], Colour colour);
  // Angles in degrees, counter-clockwise from three o'clock.
  void FillRingSector(double cx, double cy, double innerRadius, double outerRadius, double fromAngle,
                      double toAngle, Colour colour);

 private:
  uint8_t* PixelAt(int32_t x, int32_t y) const;
  int32_t ToImageX(double canvasX) const;
  int32_t ToImageY(double canvasY) const;

  uint8_t* data;
  int32_t width;
  int32_t height;
  int32_t rowBytes;
  float xScale;
  float yScale;
  float opacity = 1.0f;
};

// A real coordinate as a pixel index: truncated toward zero, with values
// beyond any image held at a bound far outside it (NaN gives that bound too).
int32_t ToPixel(double value);

}  // namespace vela::render

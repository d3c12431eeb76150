#include "render/PixelCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "vela/base.h"

namespace vela::render {
namespace {

constexpr double degreesToRadians = 0.017452778;
constexpr double pixelBound = 1 << 30;

// Liang-Barsky: shortens the segment to the part inside the box; false when
// nothing of it is inside.
bool ClipToBox(double& x1, double& y1, double& x2, double& y2, double low, double highX, double highY) {
  double t0 = 0, t1 = 1;
  const double dx = x2 - x1, dy = y2 - y1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - low, highX - x1, y1 - low, highY - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const double ox = x1, oy = y1;
  x1 = ox + t0 * dx;
  y1 = oy + t0 * dy;
  x2 = ox + t1 * dx;
  y2 = oy + t1 * dy;
  return true;
}

}  // namespace

int32_t ToPixel(double value) {
  if (std::isnan(value)) return static_cast<int32_t>(pixelBound);
  return static_cast<int32_t>(std::clamp(value, -pixelBound, pixelBound));
}

PixelCanvas::PixelCanvas(vela::base::Image& image)
    : data(nullptr), width(image.GetWidth()), height(image.GetHeight()), rowBytes(image.GetRowBytes()) {
  if (image.GetBitsPerPixel() != 24 || width < 0 || height < 0 || int64_t{rowBytes} < int64_t{width} * 3)
    throw vela::base::exceptions::invalid_argument();
  xScale = static_cast<float>(width / canvasSize);
  yScale = static_cast<float>(height / canvasSize);
  if (!Empty()) data = image.GetData();
  if (!data) width = height = 0;
}

uint8_t* PixelCanvas::PixelAt(int32_t x, int32_t y) const { return data + size_t(y) * size_t(rowBytes) + size_t(x) * 3; }

void PixelCanvas::SetPixelRgb(int32_t x, int32_t y, Colour colour) {
  if (x < 0 || x >= width || y < 0 || y >= height) return;
  uint8_t* pixel = PixelAt(x, y);
  pixel[0] = colour.b0;
  pixel[1] = colour.b1;
  pixel[2] = colour.b2;
}

Colour PixelCanvas::GetPixelRgb(int32_t x, int32_t y) const {
  if (Empty()) return {0, 0, 0};
  const uint8_t* pixel = PixelAt(std::clamp(x, 0, width - 1), std::clamp(y, 0, height - 1));
  return {pixel[0], pixel[1], pixel[2]};
}

void PixelCanvas::BlendPixel(int32_t x, int32_t y, Colour colour) {
  if (x < 0 || x >= width || y < 0 || y >= height) return;
  const Colour old = GetPixelRgb(x, y);
  auto mix = [&](uint8_t c, uint8_t o) {
    return static_cast<uint8_t>(static_cast<uint8_t>(opacity * c) + static_cast<uint8_t>((1.0f - opacity) * o));
  };
  SetPixelRgb(x, y, {mix(colour.b0, old.b0), mix(colour.b1, old.b1), mix(colour.b2, old.b2)});
}

void PixelCanvas::DrawHorizontalLine(int32_t x1, int32_t x2, int32_t y, Colour colour) {
  if (x1 > x2) std::swap(x1, x2);
  for (int32_t x = std::max(x1, 0); x < std::min(x2, width); ++x) SetPixelRgb(x, y, colour);
}

void PixelCanvas::DrawLine(double x1, double y1, double x2, double y2, Colour colour) {
  // Bresenham over a line of billions of pixels would draw almost all of
  // them outside the image: such a line is first cut to a wide margin.
  const double margin = 4.0 * (double(width) + double(height)) + 1024;
  const double low = -margin, highX = width + margin, highY = height + margin;
  auto outside = [&](double x, double y) { return !(x >= low && x <= highX && y >= low && y <= highY); };
  if (outside(x1, y1) || outside(x2, y2)) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
    if (!ClipToBox(x1, y1, x2, y2, low, highX, highY)) return;
  }
  int64_t x = ToPixel(x1), y = ToPixel(y1);
  const int64_t xEnd = ToPixel(x2), yEnd = ToPixel(y2);
  const int64_t dx = std::llabs(xEnd - x), dy = -std::llabs(yEnd - y);
  const int64_t stepX = x < xEnd ? 1 : -1, stepY = y < yEnd ? 1 : -1;
  int64_t error = dx + dy;
  for (;;) {
    SetPixelRgb(static_cast<int32_t>(x), static_cast<int32_t>(y), colour);
    if (x == xEnd && y == yEnd) return;
    const int64_t twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += stepX;
    }
    if (twice <= dx) {
      error += dx;
      y += stepY;
    }
  }
}

int32_t PixelCanvas::ToImageX(double canvasX) const { return ToPixel(canvasX * xScale); }
int32_t PixelCanvas::ToImageY(double canvasY) const { return ToPixel(canvasY * yScale); }

void PixelCanvas::FillRect(double x1, double y1, double x2, double y2, Colour colour) {
  const int32_t top = std::max(ToImageY(std::min(y1, y2)), 0);
  const int32_t bottom = std::min(ToImageY(std::max(y1, y2)), height - 1);
  for (int32_t y = top; y <= bottom; ++y) {
    const int32_t left = std::max(ToImageX(std::min(x1, x2)), 0);
    const int32_t right = std::min(ToImageX(std::max(x1, x2)), width);
    for (int32_t x = left; x < right; ++x) BlendPixel(x, y, colour);
  }
}

void PixelCanvas::DrawVerticalLine(double x, double y1, double y2, Colour colour) {
  const int32_t imageX = ToImageX(x);
  const int32_t top = std::max(ToImageY(std::min(y1, y2)), 0);
  const int32_t bottom = std::min(ToImageY(std::max(y1, y2)), height);
  for (int32_t y = top; y < bottom; ++y) SetPixelRgb(imageX, y, colour);
}

void PixelCanvas::DrawBlendedHorizontalLine(double x1, double x2, double y, Colour colour) {
  const int32_t imageY = ToImageY(y);
  const int32_t left = std::max(ToImageX(std::min(x1, x2)), 0);
  const int32_t right = std::min(ToImageX(std::max(x1, x2)), width);
  for (int32_t x = left; x < right; ++x) BlendPixel(x, imageY, colour);
}

void PixelCanvas::DrawRectOutline(double x1, double y1, double x2, double y2, Colour colour) {
  DrawBlendedHorizontalLine(x1, x2, y1, colour);
  DrawBlendedHorizontalLine(x1, x2, y2, colour);
  DrawVerticalLine(x1, y1, y2, colour);
  DrawVerticalLine(x2, y1, y2, colour);
}

void PixelCanvas::DrawScaledLine(double x1, double y1, double x2, double y2, Colour colour) {
  DrawLine(x1 * xScale, y1 * yScale, x2 * xScale, y2 * yScale, colour);
}

void PixelCanvas::DrawCircle(double cx, double cy, double radius, Colour colour) {
  const double centreX = cx * xScale, centreY = cy * yScale, r = radius * xScale;
  double lastX = 0, lastY = 0;
  for (int degrees = 0; degrees <= 360; degrees += 40) {
    const double angle = degrees * degreesToRadians;
    const double x = centreX + r * std::cos(angle), y = centreY + r * std::sin(angle);
    if (degrees > 0) DrawLine(lastX, lastY, x, y, colour);
    lastX = x;
    lastY = y;
  }
}

void PixelCanvas::FillTriangle(const double (&cx)[3], const double (&cy)[3], Colour colour) {
  double x[3], y[3];
  for (int i = 0; i < 3; ++i) {
    x[i] = cx[i] * xScale;
    y[i] = cy[i] * yScale;
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return;
  }
  const int32_t top = std::max(ToPixel(std::min({y[0], y[1], y[2]})), 0);
  const int32_t bottom = std::min(ToPixel(std::max({y[0], y[1], y[2]})), height - 1);
  for (int32_t row = top; row <= bottom; ++row) {
    double left = 0, right = 0;
    bool found = false;
    for (int i = 0; i < 3; ++i) {
      const int j = (i + 1) % 3;
      const double ya = y[i], yb = y[j];
      if ((row < std::min(ya, yb)) || (row > std::max(ya, yb))) continue;
      const double crossing = ya == yb ? x[i] : x[i] + (row - ya) * (x[j] - x[i]) / (yb - ya);
      const double other = ya == yb ? x[j] : crossing;
      const double lo = std::min(crossing, other), hi = std::max(crossing, other);
      left = found ? std::min(left, lo) : lo;
      right = found ? std::max(right, hi) : hi;
      found = true;
    }
    if (!found) continue;
    const int32_t from = std::max(ToPixel(left), 0), to = std::min(ToPixel(right), width);
    for (int32_t column = from; column < to; ++column) BlendPixel(column, row, colour);
  }
}

void PixelCanvas::FillRingSector(double cx, double cy, double innerRadius, double outerRadius,
                                 double fromAngle, double toAngle, Colour colour) {
  if (!std::isfinite(fromAngle) || !std::isfinite(toAngle)) return;
  if (fromAngle > toAngle) std::swap(fromAngle, toAngle);
  toAngle = std::min(toAngle, fromAngle + 360);
  auto point = [&](double radius, double degrees, double& x, double& y) {
    x = cx + radius * std::cos(degrees * degreesToRadians);
    y = cy - radius * std::sin(degrees * degreesToRadians);
  };
  for (double a = fromAngle; a < toAngle; a += 5) {
    const double b = std::min(a + 5, toAngle);
    double xs[4], ys[4];
    point(innerRadius, a, xs[0], ys[0]);
    point(outerRadius, a, xs[1], ys[1]);
    point(outerRadius, b, xs[2], ys[2]);
    point(innerRadius, b, xs[3], ys[3]);
    FillTriangle({xs[0], xs[1], xs[2]}, {ys[0], ys[1], ys[2]}, colour);
    FillTriangle({xs[0], xs[2], xs[3]}, {ys[0], ys[2], ys[3]}, colour);
  }
}

}  // namespace vela::render

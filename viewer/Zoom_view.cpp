#include "Zoom_view.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "winmath/WinMath.h"

namespace pv::viewer {

namespace {

using winmath::RoundHalfEven;
using winmath::RoundHalfEvenValue;

// Left, right, bottom and top of a window of the given pixel size about a centre.
void PlaceWindow(Zoom_view& v, double widthPixels, double heightPixels) {
  v.left = v.centreX - widthPixels / 2 / v.scaleX;
  v.right = v.centreX + widthPixels / 2 / v.scaleX;
  v.bottom = v.centreY - heightPixels / 2 / v.scaleY;
  v.top = v.centreY + heightPixels / 2 / v.scaleY;
}

// Scales fitting the rectangle into m pixels, the smaller on both axes.
void FitScales(Zoom_view& v, double m, const WorldRect& r) {
  const double sx = r.x2 - r.x1 != 0.0 ? m / (r.x2 - r.x1) : 1.0;
  const double sy = r.y2 - r.y1 != 0.0 ? m / (r.y2 - r.y1) : 1.0;
  v.scaleX = v.scaleY = std::min(sx, sy);
}

// "2.500" -> "2.5", "3.000" -> "3"; digits without a point are left alone.
void DropTrailingZeros(std::string& digits) {
  if (digits.find('.') == std::string::npos) return;
  while (digits.back() == '0') digits.pop_back();
  if (digits.back() == '.') digits.pop_back();
}

}  // namespace

void ZoomViews::SetWindow(int marginX, int marginY, const WorldRect& rect, int width, int height) {
  int m = std::min(width - 2 * marginX, height - 2 * marginY);
  if (m <= 0) m = 1;
  Zoom_view v;
  FitScales(v, m, rect);
  v.centreX = (rect.x1 + rect.x2) / 2;
  v.centreY = (rect.y1 + rect.y2) / 2;
  PlaceWindow(v, width, height);
  reset_ = v;
  current_ = v;
  windowSet_ = true;
}

void ZoomViews::ZoomBy(double f) {
  if (!windowSet_) return;
  last_ = current_;
  Zoom_view& v = current_;
  v.centreX = (v.left + v.right) / 2;
  v.centreY = (v.bottom + v.top) / 2;
  const double widthPixels = (v.right - v.left) * v.scaleX;
  const double heightPixels = (v.top - v.bottom) * v.scaleY;
  v.scaleX /= f;
  v.scaleY /= f;
  PlaceWindow(v, widthPixels, heightPixels);
}

void ZoomViews::ZoomToRect(const WorldRect& rect, int width, int height) {
  last_ = current_;
  Zoom_view& v = current_;
  FitScales(v, width < height ? width : height, rect);
  v.centreX = (rect.x1 + rect.x2) / 2;
  v.centreY = (rect.y1 + rect.y2) / 2;
  PlaceWindow(v, width, height);
}

void ZoomViews::Recentre(int x, int y) {
  if (!windowSet_) return;
  last_ = current_;
  const Point3D centre = ScreenToWorld(x, y);
  Zoom_view& v = current_;
  const double halfWidth = (v.right - v.left) / 2;
  const double halfHeight = (v.top - v.bottom) / 2;
  v.centreX = centre.x;
  v.centreY = centre.y;
  v.left = centre.x - halfWidth;
  v.right = centre.x + halfWidth;
  v.bottom = centre.y - halfHeight;
  v.top = centre.y + halfHeight;
}

void ZoomViews::ResetView() {
  if (!windowSet_) return;
  // The view shown before the reset is the one the last-view button brings back.
  const Zoom_view shown = current_;
  current_ = reset_;
  ZoomBy(1.0);
  last_ = shown;
}

Point3D ZoomViews::ScreenToWorld(int x, int y) const {
  const Zoom_view& v = current_;
  return {x / v.scaleX + v.left, v.top - y / v.scaleY, 0.0};
}

ZoomScrollBars ZoomViews::ScrollBars() const {
  const Zoom_view& v = current_;
  const Zoom_view& r = reset_;
  ZoomScrollBars bars;
  const double width = r.right - r.left;
  const double height = r.top - r.bottom;
  if (width != 0.0) {
    bars.hPage = RoundHalfEven((v.right - v.left) * 1000 / width);
    bars.hPosition = RoundHalfEven((v.centreX - r.left) / width * 1000);
  }
  if (height != 0.0) {
    bars.vPage = RoundHalfEven((v.top - v.bottom) * 1000 / height);
    bars.vPosition = 1000 - RoundHalfEven((v.centreY - r.bottom) / height * 1000);
  }
  return bars;
}

void ZoomViews::ScrollHorizontal(int from, int to, int pageStep) {
  const int d = to - from;
  if (d == 0) return;
  double move = d;  // a line step or a drag moves by world units
  if (std::abs(d) == pageStep) {
    const double e = d * (reset_.right - reset_.left) / 1000;
    move = RoundHalfEvenValue(e - e / 12);
  }
  current_.centreX += move;
  current_.left += move;
  current_.right += move;
}

void ZoomViews::ScrollVertical(int from, int to, int pageStep) {
  const int d = to - from;
  if (d == 0) return;
  double move = -d;
  if (std::abs(d) == pageStep) {
    const double e = d * (reset_.top - reset_.bottom) / -1000;
    move = RoundHalfEvenValue(e - e / 12);
  }
  current_.centreY += move;
  current_.bottom += move;
  current_.top += move;
}

std::string ZoomViews::RatioText() const {
  const double g = current_.scaleX / reset_.scaleX;
  if (g < 0.999) return "1 : " + GeneralText(reset_.scaleX / current_.scaleX, 3);
  return GeneralText(g, 3) + " : 1";
}

std::string GeneralText(double x, int precision) {
  if (x == 0.0) return "0";
  if (!std::isfinite(x)) return std::isnan(x) ? "NAN" : (x > 0 ? "INF" : "-INF");
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", precision - 1, x);
  std::string text = buf;
  const size_t e = text.find('e');
  const int exponent = std::atoi(text.c_str() + e + 1);
  if (exponent >= precision || exponent < -5) {
    std::string mantissa = text.substr(0, e);
    DropTrailingZeros(mantissa);
    return mantissa + "E" + std::to_string(exponent);
  }
  std::snprintf(buf, sizeof buf, "%.*f", std::max(0, precision - 1 - exponent), x);
  text = buf;
  DropTrailingZeros(text);
  return text;
}

std::string FixedText(double x, int precision, int decimals) {
  if (!std::isfinite(x)) return std::isnan(x) ? "NAN" : (x > 0 ? "INF" : "-INF");
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", precision - 1, x);
  const int exponent = std::atoi(std::strchr(buf, 'e') + 1);
  if (x != 0.0 && exponent + 1 > precision) return GeneralText(x, precision);
  // Rounded to the significant digits first, then laid out with the decimals.
  const double rounded = std::strtod(buf, nullptr);
  std::snprintf(buf, sizeof buf, "%.*f", decimals, rounded == 0.0 ? 0.0 : rounded);
  return buf;
}

std::string CoordinateText(const Point3D& world) {
  return "X= " + FixedText(world.x, 8, 3) + "   Y= " + FixedText(world.y, 8, 3);
}

}  // namespace pv::viewer

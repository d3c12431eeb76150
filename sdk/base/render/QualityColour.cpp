#include "render/QualityColour.h"

#include <algorithm>
#include <cmath>

namespace vela::render {

float QualityCurve(float t) {
  if (!(t >= 0)) return 0;  // NaN too: an unknown quality shows as the worst
  if (t < 0.38f) return 0.68421054f * t;
  if (t < 0.62f) return 2 * t - 0.5f;
  if (t < 1) return 0.68421054f * t + 0.31578946f;
  return 1;
}

Rgb HueToRgb(float hue, float lightness, float saturation) {
  if (!std::isfinite(hue)) hue = 0;
  hue = std::fmod(hue, 360.0f);
  if (hue < 0) hue += 360;
  Rgb c{0, 0, 0};
  if (hue < 120) {
    c.red = (120 - hue) / 60;
    c.green = hue / 60;
  } else if (hue < 240) {
    c.green = (240 - hue) / 60;
    c.blue = (hue - 120) / 60;
  } else {
    c.blue = (360 - hue) / 60;
    c.red = (hue - 240) / 60;
  }
  auto shade = [&](float component) {
    const float saturated = 1 - saturation + 2 * saturation * std::min(component, 1.0f);
    if (lightness < 0.5f) return lightness * saturated;
    return 2 * lightness + saturated * (1 - lightness) - 1;
  };
  return {shade(c.red), shade(c.green), shade(c.blue)};
}

Colour QualityColour(float quality) {
  const Rgb rgb = HueToRgb(QualityCurve(quality) * 120, 0.5f, 1.0f);
  auto byte = [](float component) { return static_cast<uint8_t>(std::clamp(component, 0.0f, 1.0f) * 255); };
  return {byte(rgb.blue), byte(rgb.green), byte(rgb.red)};
}

}  // namespace vela::render

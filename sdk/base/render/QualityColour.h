#pragma once
// The colours that show a quality: red for 0 through yellow to green for 1.

#include "render/PixelCanvas.h"

namespace vela::render {

// A piecewise-linear curve that widens the middle of 0..1.
float QualityCurve(float t);

struct Rgb {
  float red, green, blue;
};

// A hue in degrees (0 red, 120 green, 240 blue) at the given lightness and
// saturation, components 0..1.
Rgb HueToRgb(float hue, float lightness, float saturation);

// The colour of a quality value in 0..1, as pixel bytes (blue, green, red).
Colour QualityColour(float quality);

}  // namespace vela::render

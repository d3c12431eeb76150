// Painting the engine's findings (quality, minutiae, block directions) onto
// a 24-bit image for display.
#pragma once

#include <cstdint>

#include "vela/base.h"
#include "vela/image.h"
#include "vela/math.h"

namespace vela::render {

// Maps a template's coordinates (work-image pixels) to the image's pixels:
// x' = x * xScale + xOffset, y' = y * yScale + yOffset.
struct DrawRect {
  float xOffset;
  float yOffset;
  float xScale;
  float yScale;
};

// Every operation paints in a 512 x 512 canvas stretched over the whole
// image and changes the pixels of the image it is given. The image must have
// 24 bits per pixel (invalid_argument otherwise); an empty image stays as it is.
class VELA_API ImageDrawer : public virtual vela::base::BaseRefCounter {
 public:
  // The mapping DrawMinutiae and DrawDirectionField use; until it is set,
  // coordinates are taken as image pixels (offsets 0, scales 1).
  virtual void SetRect(const DrawRect& rect) = 0;
  // Twenty-one segments at the right edge, filled from below in the colour of
  // the quality (0..100: red through yellow to green).
  virtual void DrawQualityBar(vela::base::smart_ptr<vela::base::Image> image, float quality) = 0;
  // The image's brightness histogram, a gauge of the print's tilt (the
  // result's P2, taken as a percentage between -100 and 100) and the quality
  // bar of the result's P1.
  virtual void DrawQualityPanel(vela::base::smart_ptr<vela::base::Image> image,
                                vela::base::smart_ptr<vela::math::ImageInfoView> result) = 0;
  // A circle and a direction stroke for every minutia.
  virtual void DrawMinutiae(vela::base::smart_ptr<vela::base::Image> image,
                            vela::base::smart_ptr<vela::math::MinutiaeView> minutiae) = 0;
  // A stroke along the ridge direction of every block that has one.
  virtual void DrawDirectionField(vela::base::smart_ptr<vela::base::Image> image,
                                  vela::base::smart_ptr<vela::math::DirectionFieldView> field) = 0;
  // Groups of `thickness` lines every `spacing` canvas units; a spacing
  // below 1 draws nothing, a negative thickness throws invalid_argument.
  virtual void DrawGrid(vela::base::smart_ptr<vela::base::Image> image, int32_t spacing,
                        int32_t thickness) = 0;

 protected:
  ~ImageDrawer() override;
};

// The brightness histogram of a 24-bit image: counter (b0 + b1 + b2) / 3 of
// every pixel. Returns false, leaving the counters alone, for other depths.
VELA_API bool Calculate_Histogram(vela::base::smart_ptr<vela::base::Image> image, int32_t histogram[256]);

}  // namespace vela::render

// Plain (unmangled) name, like the stream factories.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" {
VELA_API vela::base::smart_ptr<vela::render::ImageDrawer> Create_ImageDrawer();
}
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

// Any image, as the engine takes it: an 8-bit grey BMP file.
#pragma once

#include <cstdint>
#include <vector>

#include "vela/image.h"

namespace vela::math {

// The bytes of an 8-bit BMP of the image (24-bit images are turned grey),
// each row reversed left to right when `mirror` is set.
std::vector<uint8_t> PrepareImage(base::smart_ptr<base::Image> image, bool mirror);

}  // namespace vela::math

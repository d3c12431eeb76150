#include "engine/standardobjects/StandardObjectSupport.h"

#include <cstring>

#include "engine/standard/StandardTemplates.h"
#include "vela/render.h"

namespace vela::standard {

namespace exceptions = base::exceptions;

int32_t PixelsPerCm(int32_t dpi) { return static_cast<int32_t>(dpi * 0.39370079 + 0.5); }

void AppendGreyPixels(base::smart_ptr<base::Image> image, std::vector<uint8_t>& pixels) {
  const int32_t bits = image->GetBitsPerPixel();
  if (bits == 24) {
    base::smart_ptr<render::BMP_Image> grey = render::Create_BMP_Image(image);
    grey->ConvertTo8Bpp();
    AppendGreyPixels(grey, pixels);
    return;
  }
  if (bits != 8) throw exceptions::invalid_argument("Images must have 8 or 24 bits per pixel");
  const size_t width = static_cast<size_t>(image->GetWidth());
  const size_t stride = static_cast<size_t>(image->GetRowBytes());
  const uint8_t* row = static_cast<const base::Image&>(*image).GetData();
  for (int32_t r = 0; r < image->GetHeight(); ++r, row += stride) pixels.insert(pixels.end(), row, row + width);
}

void ThrowOnIncitsResult(int32_t code) {
  if (code >= 0) return;
  switch (code) {
    case engine::standard_result::Malformed: throw exceptions::incits378_error("Data coruption");
    case engine::standard_result::BadOutput: throw exceptions::incits378_error("Bad template pointer");
    case engine::standard_result::BadPixels: throw exceptions::incits378_error("Bad image pointer");
    case engine::standard_result::BadParameter: throw exceptions::incits378_error("Bad image params");
    case engine::standard_result::LowQuality: throw exceptions::incits378_error("Low quality");
    case engine::standard_result::OutOfMemory: throw exceptions::incits378_error("Not enough memory");
    default: throw exceptions::incits378_error("INCITS378 error");
  }
}

}  // namespace vela::standard

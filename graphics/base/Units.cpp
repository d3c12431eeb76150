#include "base/Units.h"

#include "winmath/WinMath.h"

namespace pv::graphics {

int32_t ScaleValue(int32_t value, int32_t scale) { return winmath::MulDiv(value, scale, 100 * PixelScale); }

int32_t UnScaleValue(int32_t value, int32_t scale) { return winmath::MulDiv(value, 100 * PixelScale, scale); }

}  // namespace pv::graphics

#include "engine/input/InitImageParameters.h"

#include <cstring>

#include "base/ByteOrder.h"
#include "engine/records/EngineGeometry.h"
#include "engine/records/ImageParameters.h"

namespace vela::engine {

ResultCode InitImageParameters(int32_t dataId, uint8_t* parameters, size_t length)
{
    if (parameters == nullptr || length < image_parameters::kSize)
        return result::WorkBufferUnavailable;
    std::memset(parameters, 0, image_parameters::kSize);
    const bool newTypes = dataId >= 100;
    WriteLe<int32_t>(parameters + image_parameters::kWorkWidthOffset, kWorkWidth);
    WriteLe<int32_t>(parameters + image_parameters::kWorkHeightOffset, kWorkHeight);
    WriteLe<int32_t>(parameters + image_parameters::kResolutionXOffset, newTypes ? 432 : 454);
    WriteLe<int32_t>(parameters + image_parameters::kResolutionYOffset, newTypes ? 432 : 410);
    WriteLe<int32_t>(parameters + image_parameters::kWorkPixelsOffset, kWorkPixels);
    return result::Success;
}

} // namespace vela::engine

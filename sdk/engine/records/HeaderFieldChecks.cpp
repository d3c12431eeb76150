#include "engine/records/HeaderFieldChecks.h"

namespace vela::engine {

ResultCode CheckScannerId(int32_t scannerId)
{
    if (scannerId < 0 || scannerId > 16)
        return result::BadScannerId;
    if (scannerId == 6 || scannerId == 7 || scannerId == 13)
        return result::BadScannerId;
    return result::Success;
}

ResultCode CheckFingerCode(int32_t fingerCode)
{
    return fingerCode < 0 || fingerCode > 10 ? result::BadImageIndex : result::Success;
}

ResultCode CheckImpressionIndex(int32_t impressionIndex)
{
    return impressionIndex < 0 || impressionIndex > 10 ? result::BadImpressionIndex : result::Success;
}

} // namespace vela::engine

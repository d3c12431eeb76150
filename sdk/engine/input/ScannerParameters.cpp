#include "engine/input/ScannerParameters.h"

#include "engine/records/HeaderFieldChecks.h"

namespace vela::engine {

namespace {

void SetDefaults(ScannerParameters& p)
{
    p.targetDpiX = 0;
    p.targetDpiY = 0;
    p.mirror = 0;
    p.cleanA = 0;
    p.cleanB = 0;
    p.cleanC = 30;
    p.cleanD = 64.0;
    p.limitHigh = 50;
    p.limitLow = 0;
    p.thresholdSteps = 3;
}

void SetSource(ScannerParameters& p, int32_t dpiX, int32_t dpiY)
{
    p.sourceDpiX = dpiX;
    p.sourceDpiY = dpiY;
}

void SetTarget(ScannerParameters& p, int32_t dpiX, int32_t dpiY)
{
    p.targetDpiX = dpiX;
    p.targetDpiY = dpiY;
}

void SetScannerSettings(ScannerParameters& p)
{
    switch (p.scannerId) {
    case 0:
        SetTarget(p, p.sourceDpiX, p.sourceDpiY);
        break;
    case 2:
        SetSource(p, 454, 410);
        p.thresholdSteps = 16;
        p.mirror = 1;
        break;
    case 3:
        p.cleanC = 15;
        p.cleanD = 51.0;
        break;
    case 4:
        p.cleanC = 15;
        p.cleanA = 10;
        p.cleanB = 8;
        break;
    case 5:
        p.limitHigh = 150;
        p.limitLow = 50;
        break;
    case 8:
        SetSource(p, 402, 443);  // 401.8 and 442.8 dpi
        p.limitLow = 50;
        break;
    case 9:
        SetSource(p, 508, 508);
        p.cleanC = 15;
        p.cleanA = 10;
        p.cleanB = 8;
        break;
    case 10:
        SetSource(p, 454, 410);
        p.thresholdSteps = 16;
        break;
    case 11:
        SetSource(p, 254, 254);
        p.cleanC = 15;
        p.cleanA = 10;
        p.cleanB = 8;
        break;
    case 12:
        SetTarget(p, 508, 508);
        break;
    case 14:
        SetTarget(p, 508, 508);
        p.cleanC = 20;
        p.cleanD = 51.0;
        p.limitHigh = 150;
        break;
    case 16:
        p.mirror = 1;
        [[fallthrough]];
    case 15:
        p.cleanC = 20;
        p.cleanD = 51.0;
        p.limitHigh = 150;
        break;
    default:
        break;
    }
}

} // namespace

ResultCode GetScannerParameters(int32_t scannerId, int32_t dataId, ScannerParameters& parameters)
{
    SetDefaults(parameters);
    parameters.scannerId = scannerId;
    if (const ResultCode code = CheckScannerId(scannerId); code != result::Success)
        return code;
    if (dataId < 0)
        return result::UnknownBiometricDataId;

    SetScannerSettings(parameters);
    const bool keepsOwnTarget = scannerId == 0 || scannerId == 12 || scannerId == 14;
    if (!keepsOwnTarget) {
        if (dataId >= 100)
            SetTarget(parameters, 432, 432);
        else
            SetTarget(parameters, 454, 410);
    }
    return result::Success;
}

} // namespace vela::engine

#include "engine/records/BiometricData.h"

namespace vela::engine {

namespace {

constexpr BiometricDataType kTypes[] = {
    {1, 1, 6728, 0},
    {2, 1, 6728, 0},
    {101, 101, 6728, 0},
    {10, 10, 13470, 0},
    {11, 10, 13470, 0},
    {110, 110, 13470, 0},
    {111, 110, 13470, 0},
    {20, 20, 5400, 0},
    {120, 120, 5400, 0},
    {139, 139, 2719, 0},
    {140, 140, 10884, 0},
    {150, 150, 268808, 0},
    {151, 150, 268808, 0},
    {152, 150, 268808, 0},
    {153, 150, 268808, 0},
    {163, 150, 268808, 0},
    {161, 161, 92308, 923},
    {162, 162, 46608, 466},
    {164, 164, 71908, 719},
    {165, 165, 36408, 364},
    {167, 167, 5384, 0},
};

} // namespace

const BiometricDataType* FindBiometricDataType(int32_t id)
{
    for (const BiometricDataType& type : kTypes) {
        if (type.id == id)
            return &type;
    }
    return nullptr;
}

bool IsCompactType(int32_t id)
{
    return id == kFiveBitPairType || id == kFiveBitSingleType || id == kDeltaCodedPairType ||
           id == kDeltaCodedSingleType;
}

ResultCode XGetMaxBiometricDataSize(int32_t dataId, int32_t* size)
{
    const BiometricDataType* type = FindBiometricDataType(dataId);
    if (size != nullptr)
        *size = type != nullptr ? type->maxSize : 0;
    return type != nullptr ? result::Success : result::UnknownBiometricDataId;
}

} // namespace vela::engine

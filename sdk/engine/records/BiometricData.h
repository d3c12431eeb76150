#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/records/ResultCodes.h"

namespace vela::engine {

// BiometricData block: int32 total size (header included), int32
// BiometricDataId, then the items of that type.
namespace biometric_data {
inline constexpr size_t kTotalSizeOffset = 0;
inline constexpr size_t kDataIdOffset = 4;
inline constexpr size_t kHeaderSize = 8;
} // namespace biometric_data

// What the engine knows of one BiometricDataId.
struct BiometricDataType {
    int32_t id;
    int32_t storedAs;     // the id written into blocks made for this type
    int32_t maxSize;      // the largest block of the type, header included
    int32_t entrySize;    // compact types: the size of one entry; others 0
};

// The type's description, or nullptr for an id the engine does not know.
const BiometricDataType* FindBiometricDataType(int32_t id);

// Compact finger-set types, whose entries ExpandCompactTemplate unpacks.
inline constexpr int32_t kFiveBitPairType = 161;     // finger code + two FiveBitImpressions
inline constexpr int32_t kFiveBitSingleType = 162;   // finger code, x and y offsets, one FiveBitImpression
inline constexpr int32_t kDeltaCodedPairType = 164;  // finger code + two DeltaCodedImpressions
inline constexpr int32_t kDeltaCodedSingleType = 165; // finger code, x and y offsets, one DeltaCodedImpression
inline constexpr int32_t kFingerSetType = 150;       // FingerEntrys

bool IsCompactType(int32_t id);

// The largest block of a type; an unknown id gives 0xC3100064 and size 0.
ResultCode XGetMaxBiometricDataSize(int32_t dataId, int32_t* size);

} // namespace vela::engine

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/records/EngineGeometry.h"

namespace vela::engine {

// ImpressionRecord: one finger impression, 672 packed bytes.
namespace impression {
inline constexpr size_t kSize = 672;
inline constexpr size_t kRecordSizeOffset = 0;    // int32, always 672
inline constexpr size_t kKindOffset = 4;          // int32
inline constexpr size_t kQualityOffset = 8;       // u8, 0..100; 0 marks an empty record
inline constexpr size_t kFingerCodeOffset = 9;    // u8: kind 3 the finger code; kind 1 18 (or 1)
inline constexpr size_t kBlockRowsOffset = 10;    // u8, always 25
inline constexpr size_t kCountOffset = 11;        // u8, 0..70
inline constexpr size_t kBlocksOffset = 12;       // 450 x u8, row by row
inline constexpr size_t kMinutiaXOffset = 462;    // 70 x u8, half pixels
inline constexpr size_t kMinutiaYOffset = 532;    // 70 x u8, half pixels
inline constexpr size_t kMinutiaDirectionOffset = 602; // 70 x u8, 0..23

// Record kinds.
inline constexpr int32_t kPlain = 1;              // a plain impression (types 1 to 139 and 167)
inline constexpr int32_t kInFingerEntry = 3;      // an impression inside a FingerEntry

// Byte 9 of a plain impression.
inline constexpr uint8_t kPlainMarker = 18;
inline constexpr uint8_t kPlainMarkerMergedTypes = 1; // blocks made as types 2, 11 and 111

inline constexpr uint8_t kMaxFingerCode = 10;
inline constexpr uint8_t kMaxQuality = 100;
} // namespace impression

// An ImpressionRecord unpacked into fields, for the steps that rework whole
// impressions. Read and written field by field; the byte layout is the record.
struct Impression {
    int32_t recordSize = static_cast<int32_t>(impression::kSize);
    int32_t kind = impression::kInFingerEntry;
    uint8_t quality = 0;
    uint8_t fingerCode = 0;  // byte 9
    uint8_t blockRows = static_cast<uint8_t>(kBlockRows);
    uint8_t count = 0;
    std::array<uint8_t, kBlockCount> blocks{};
    std::array<uint8_t, kMaxMinutiae> x{};
    std::array<uint8_t, kMaxMinutiae> y{};
    std::array<uint8_t, kMaxMinutiae> direction{};

    bool operator==(const Impression&) const = default;
};

// Both return false, touching nothing, when the buffer is shorter than a record.
bool ReadImpression(const uint8_t* record, size_t length, Impression& out);
bool WriteImpression(const Impression& impression, uint8_t* record, size_t length);

// Whether a record may be used as it stands. An empty record (count 0 or
// quality 0) is valid; a buffer shorter than a record is not.
bool CheckImpressionRecord(const uint8_t* record, size_t length);

} // namespace vela::engine

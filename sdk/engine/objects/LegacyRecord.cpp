#include "engine/objects/LegacyRecord.h"

#include <algorithm>
#include <cstring>

#include "engine/records/EngineGeometry.h"
#include "engine/records/ImpressionRecord.h"
#include "vela/base.h"

namespace vela::math {

namespace {

// Offsets in a legacy impression.
constexpr size_t kLegacyHeaderOffset = 2;
constexpr size_t kLegacyBlocksOffset = 6;
constexpr size_t kLegacyMinutiaeOffset = 236;
constexpr size_t kLegacySize = 412;

// Offsets in the unpacked bytes, which start at byte 8 of the record.
constexpr size_t kOut = 8;
constexpr size_t kHeaderOut = engine::impression::kQualityOffset - kOut;
constexpr size_t kCountOut = engine::impression::kCountOffset - kOut;
constexpr size_t kBlocksOut = engine::impression::kBlocksOffset - kOut;
constexpr size_t kXOut = engine::impression::kMinutiaXOffset - kOut;
constexpr size_t kYOut = engine::impression::kMinutiaYOffset - kOut;
constexpr size_t kDirectionOut = engine::impression::kMinutiaDirectionOffset - kOut;
constexpr size_t kRecordBodySize = engine::impression::kSize - kOut;

// The inner blocks the format keeps: rows 1..23, columns 1..16.
constexpr int32_t kFirstInnerRow = 1;
constexpr int32_t kLastInnerRow = engine::kBlockRows - 2;
constexpr int32_t kFirstInnerColumn = 1;
constexpr int32_t kLastInnerColumn = engine::kBlockColumns - 2;
constexpr uint32_t kFirstNoDirectionCode = 30;

// Reads 5-bit codes least significant bit first.
class FiveBitReader {
 public:
  explicit FiveBitReader(const uint8_t* bytes) : bytes(bytes) {}
  uint32_t Next() {
    uint32_t code = 0;
    for (int i = 0; i < 5; ++i, ++bit) code |= uint32_t((bytes[bit / 8] >> (bit % 8)) & 1) << i;
    return code;
  }

 private:
  const uint8_t* bytes;
  size_t bit = 0;
};

uint8_t BlockValue(uint32_t code) {
  return code >= kFirstNoDirectionCode ? engine::kNoDirection : uint8_t(2 * code);
}

}  // namespace

void UnpackLegacyRecord(std::span<const uint8_t> legacy, std::span<uint8_t> record) {
  if (legacy.size() < kLegacySize || record.size() < kRecordBodySize)
    throw base::exceptions::invalid_argument();
  std::memcpy(record.data() + kHeaderOut, legacy.data() + kLegacyHeaderOffset, 4);

  uint8_t* blocks = record.data() + kBlocksOut;
  std::fill_n(blocks, engine::kBlockCount, engine::kNoDirection);
  FiveBitReader codes(legacy.data() + kLegacyBlocksOffset);
  for (int32_t row = kFirstInnerRow; row <= kLastInnerRow; ++row)
    for (int32_t column = kFirstInnerColumn; column <= kLastInnerColumn; ++column)
      blocks[row * engine::kBlockColumns + column] = BlockValue(codes.Next());

  const size_t count = record[kCountOut];
  const uint8_t* packed = legacy.data() + kLegacyMinutiaeOffset;
  for (size_t i = 0; i < size_t(engine::kMaxMinutiae); ++i) {
    const uint8_t* pair = packed + (i / 2) * 5;
    const bool odd = (i % 2) != 0;
    const uint8_t a = odd ? pair[3] : pair[0];
    const uint8_t b = odd ? pair[4] : pair[1];
    const uint8_t nibble = odd ? (pair[2] & 0x0F) : (pair[2] >> 4);
    const int32_t lift = i < count ? 8 : 0;
    // A y near 255 cannot come from the packer; keep it out of range rather
    // than let it wrap into a plausible value.
    record[kXOut + i] = uint8_t((a & 0x7F) + lift);
    record[kYOut + i] = uint8_t(std::min<int32_t>(b + lift, 255));
    record[kDirectionOut + i] = uint8_t(((a >> 7) * 16) + nibble);
  }
}

}  // namespace vela::math

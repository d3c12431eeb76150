#include "engine/objects/BlockChecks.h"

#include <algorithm>

#include "engine/records/BiometricData.h"
#include "base/ByteOrder.h"
#include "engine/records/FingerEntry.h"
#include "engine/records/compact/CompactEntry.h"
#include "engine/records/compact/CompactMinutiae.h"
#include "engine/records/ImpressionRecord.h"
#include "engine/records/compact/ExpandCompactTemplate.h"
#include "vela/base.h"

namespace vela::math {

using base::exceptions::invalid_argument;
namespace bd = engine::biometric_data;
namespace ir = engine::impression;

namespace {

constexpr size_t kMaxImpressions = 10;
constexpr size_t kMaxEntries = 100;
constexpr size_t kMinFingerEntriesBlock = 2696;  // the header and one entry, near enough
constexpr size_t kLargestCompactBlock = 36408;
constexpr size_t kCompactEntrySize = 364;
constexpr uint8_t kPlainMarker = 18;

void Require(bool condition) {
  if (!condition) throw invalid_argument();
}

// The number of whole units after the header; invalid unless they fill the
// block exactly and number 1..most.
size_t CountUnits(std::span<const uint8_t> block, size_t unit, size_t most) {
  const size_t body = block.size() - bd::kHeaderSize;
  Require(body % unit == 0);
  const size_t count = body / unit;
  Require(count >= 1 && count <= most);
  return count;
}

void RequireImpressions(std::span<const uint8_t> block, size_t count, int32_t kind) {
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* record = block.data() + bd::kHeaderSize + i * ir::kSize;
    Require(ReadLe<int32_t>(record + ir::kRecordSizeOffset) == int32_t(ir::kSize));
    Require(ReadLe<int32_t>(record + ir::kKindOffset) == kind);
    Require(engine::CheckImpressionRecord(record, ir::kSize));
  }
}

}  // namespace

void ValidateStoredBlock(std::span<const uint8_t> block) {
  Require(block.size() >= bd::kHeaderSize);
  Require(ReadLe<int32_t>(block.data() + bd::kTotalSizeOffset) == int32_t(block.size()));
  const int32_t id = ReadLe<int32_t>(block.data() + bd::kDataIdOffset);
  const engine::BiometricDataType* type = engine::FindBiometricDataType(id);
  Require(type != nullptr && type->storedAs == id && block.size() <= size_t(type->maxSize));

  if (id == 1 || id == 101) {
    RequireImpressions(block, CountUnits(block, ir::kSize, kMaxImpressions), ir::kPlain);
  } else if (id == engine::kFingerSetType) {
    const size_t entries = CountUnits(block, engine::finger_entry::kSize, kMaxEntries);
    RequireImpressions(block, entries * engine::finger_entry::kImpressions, ir::kInFingerEntry);
  } else if (engine::IsCompactType(id)) {
    CountUnits(block, size_t(type->entrySize), kMaxEntries);
    // Expansion unpacks every impression and checks each one.
    Require(!engine::ExpandCompactTemplate(block.data(), block.size()).empty());
  } else {
    throw invalid_argument();
  }
}

void CheckBiometricData(std::vector<uint8_t>& block, int32_t fingerCode) {
  Require(block.size() >= bd::kHeaderSize);
  const int32_t total = ReadLe<int32_t>(block.data() + bd::kTotalSizeOffset);
  Require(total >= int32_t(bd::kHeaderSize));
  const uint8_t code = uint8_t(fingerCode);
  switch (ReadLe<int32_t>(block.data() + bd::kDataIdOffset)) {
    case 1:
      return;
    case 150: {
      Require(block.size() >= kMinFingerEntriesBlock && block.size() >= size_t(total));
      for (size_t at = bd::kHeaderSize; at + ir::kSize <= size_t(total); at += ir::kSize) {
        uint8_t& byte = block[at + ir::kFingerCodeOffset];
        if (byte != kPlainMarker) byte = code;
      }
      return;
    }
    case 165: {
      Require(std::min(block.size(), kLargestCompactBlock) >= size_t(total));
      for (size_t at = bd::kHeaderSize; at + kCompactEntrySize <= size_t(total); at += kCompactEntrySize)
        block[at] = code;
      return;
    }
    default:
      throw invalid_argument();
  }
}

bool HoldsMinutiae(std::span<const uint8_t> block) {
  if (block.size() < bd::kHeaderSize) return true;
  const size_t total = std::min(block.size(), size_t(std::max(ReadLe<int32_t>(block.data()), 0)));
  const int32_t id = ReadLe<int32_t>(block.data() + bd::kDataIdOffset);
  bool seen = false;
  if (id == 1 || id == 101 || id == engine::kFingerSetType) {
    for (size_t at = bd::kHeaderSize; at + ir::kSize <= total; at += ir::kSize) {
      if (block[at + ir::kCountOffset] != 0) return true;
      seen = true;
    }
    return !seen;
  }
  const size_t entrySize = engine::compact_entry::EntrySize(id);
  if (entrySize == 0) return true;
  const size_t packedSize = engine::compact_entry::PackedImpressionSize(id);
  const bool pair = id == engine::kFiveBitPairType || id == engine::kDeltaCodedPairType;
  const size_t first = pair ? engine::compact_entry::kPairFirstOffset
                            : engine::compact_entry::kSingleImpressionOffset;
  for (size_t at = bd::kHeaderSize; at + entrySize <= total; at += entrySize) {
    const uint8_t* entry = block.data() + at;
    if (entry[first + engine::compact::kCountOffset] != 0) return true;
    if (pair && entry[first + packedSize + engine::compact::kCountOffset] != 0) return true;
    seen = true;
  }
  return !seen;
}

}  // namespace vela::math

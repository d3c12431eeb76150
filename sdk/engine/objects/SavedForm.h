// The saved form of a template: a data part (the "VELA" container, a legacy
// "VMRQ" list or a raw block) followed by the tagged "TC" part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "vela/streams.h"

namespace vela::math {

namespace saved_form {
inline constexpr size_t kContainerHeaderSize = 28;
inline constexpr size_t kContainerRecordSize = 666;
inline constexpr size_t kLegacyRecordSize = 412;
inline constexpr uint32_t kContainerVersion = 0x00010002;
inline constexpr int32_t kMaxRawBlockSize = 100000;
inline constexpr uint16_t kTcVersion = 2;

// Tags of the TC part.
inline constexpr uint8_t kTagIds = 1;
inline constexpr uint8_t kTagImage = 2;
inline constexpr uint8_t kTagImageExtra = 3;
}  // namespace saved_form

// The records of a TC part by tag, each tag's payloads in stream order.
struct TcPart {
  uint16_t version = 0;  // 0: the stream had no TC part
  std::map<uint8_t, std::vector<std::vector<uint8_t>>> records;

  size_t Count(uint8_t tag) const;
  // The payloads of one tag (none: an empty list).
  const std::vector<std::vector<uint8_t>>& Records(uint8_t tag) const;
};

struct SavedForm {
  std::vector<uint8_t> data;  // one validated BiometricData block
  TcPart tc;
};

// Reads the data part and, when more than 3 bytes follow it, the TC part.
SavedForm ReadSavedForm(base::InputStream& stream);

// The steps of reading. Each block they return has passed ValidateStoredBlock.
std::vector<uint8_t> LoadTemplateList(base::InputStream& stream);
std::vector<uint8_t> LoadRawData(base::InputStream& stream);
TcPart ReadTcRecords(base::InputStream& stream);

// The first `size` bytes of a payload; invalid_argument when it is shorter,
// so that no field is read beyond its record.
std::span<const uint8_t> TcPayload(const std::vector<uint8_t>& payload, size_t size);

// Writes the data part: the container for a block of data id 1, else the raw
// block. invalid_argument, with nothing written, when the block's size word
// does not match its length or the reader would refuse the block
// (ValidateStoredBlock), for example one that holds no finger.
void WriteDataPart(base::OutputStream& stream, std::span<const uint8_t> block);
void WriteTemplateContainer(base::OutputStream& stream, std::span<const uint8_t> block);

// Writes a TC part of the current version: the header at construction, then
// records, then End.
class TcWriter {
 public:
  explicit TcWriter(base::OutputStream& stream);
  void Record(uint8_t tag, std::span<const uint8_t> payload);
  void End();

 private:
  base::OutputStream& stream;
};

}  // namespace vela::math

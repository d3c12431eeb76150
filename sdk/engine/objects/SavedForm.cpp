#include "engine/objects/SavedForm.h"

#include <cstring>

#include "engine/records/BiometricData.h"
#include "base/ByteOrder.h"
#include "engine/records/ImpressionRecord.h"
#include "engine/objects/BlockChecks.h"
#include "engine/objects/EngineAdapter.h"
#include "engine/objects/LegacyRecord.h"
#include "vela/base.h"

namespace vela::math {

using base::InputStream;
using base::OutputStream;
using base::SeekOrigin;
using base::exceptions::invalid_argument;
namespace sf = saved_form;

namespace {

constexpr size_t kRecordBodySize = engine::impression::kSize - 8;  // 664
constexpr size_t kMaxContainerRecords = 10;
constexpr uint8_t kEndMark = 0xFF;

std::vector<uint8_t> ReadBytes(InputStream& stream, size_t count) {
  std::vector<uint8_t> bytes(count);
  if (count > 0) stream.Read(bytes.data(), int32_t(count));
  return bytes;
}

std::vector<uint8_t> PeekBytes(InputStream& stream, size_t count) {
  const int32_t position = stream.Tell();
  std::vector<uint8_t> bytes = ReadBytes(stream, count);
  stream.Seek(position, SeekOrigin::Begin);
  return bytes;
}

// What is left of the stream, or -1 when the stream cannot tell.
int64_t Remaining(InputStream& stream) {
  const int32_t size = stream.Size();
  if (size < 0) return -1;
  return int64_t(size) - int64_t(stream.Tell());
}

void WriteU16(OutputStream& stream, uint16_t value) {
  uint8_t bytes[2];
  WriteLe<uint16_t>(bytes, value);
  stream.Write(bytes, 2);
}

void WriteU32(OutputStream& stream, uint32_t value) {
  uint8_t bytes[4];
  WriteLe<uint32_t>(bytes, value);
  stream.Write(bytes, 4);
}

}  // namespace

size_t TcPart::Count(uint8_t tag) const { return Records(tag).size(); }

const std::vector<std::vector<uint8_t>>& TcPart::Records(uint8_t tag) const {
  static const std::vector<std::vector<uint8_t>> kNone;
  const auto found = records.find(tag);
  return found == records.end() ? kNone : found->second;
}

SavedForm ReadSavedForm(InputStream& stream) {
  SavedForm form;
  const std::vector<uint8_t> head = PeekBytes(stream, sf::kContainerHeaderSize);
  if (std::memcmp(head.data(), "VELA", 4) == 0)
    form.data = LoadTemplateList(stream);
  else
    form.data = LoadRawData(stream);
  if (uint32_t(stream.Size() - stream.Tell()) > 3) form.tc = ReadTcRecords(stream);
  return form;
}

std::vector<uint8_t> LoadTemplateList(InputStream& stream) {
  const std::vector<uint8_t> header = ReadBytes(stream, sf::kContainerHeaderSize);
  const bool legacy = std::memcmp(header.data() + 24, "VMRQ", 4) == 0;
  const size_t recordSize = legacy ? sf::kLegacyRecordSize : sf::kContainerRecordSize;
  const uint32_t bodySize = ReadLe<uint32_t>(header.data() + 20);
  const size_t count = bodySize / recordSize;
  if (count < 1 || count > kMaxContainerRecords) throw invalid_argument();
  // count is at most 10, so this product cannot overflow.
  const int64_t remaining = Remaining(stream);
  if (remaining >= 0 && int64_t(count * recordSize) > remaining)
    throw base::exceptions::out_of_range();

  const size_t total = engine::biometric_data::kHeaderSize + count * engine::impression::kSize;
  std::vector<uint8_t> block(total, 0);
  WriteLe<int32_t>(block.data(), int32_t(total));
  WriteLe<int32_t>(block.data() + 4, kSingleFingerDataId);
  for (size_t i = 0; i < count; ++i) {
    uint8_t* record = block.data() + engine::biometric_data::kHeaderSize + i * engine::impression::kSize;
    WriteLe<int32_t>(record, int32_t(engine::impression::kSize));
    WriteLe<int32_t>(record + 4, engine::impression::kPlain);
    const std::vector<uint8_t> bytes = ReadBytes(stream, recordSize);
    if (legacy)
      UnpackLegacyRecord(bytes, std::span<uint8_t>(record + 8, kRecordBodySize));
    else
      std::memcpy(record + 8, bytes.data() + 2, kRecordBodySize);
  }
  ValidateStoredBlock(block);
  return block;
}

std::vector<uint8_t> LoadRawData(InputStream& stream) {
  const std::vector<uint8_t> sizeWord = PeekBytes(stream, 4);
  const uint32_t size = ReadLe<uint32_t>(sizeWord.data());
  if (size > uint32_t(sf::kMaxRawBlockSize)) throw invalid_argument();
  const int64_t remaining = Remaining(stream);
  if (remaining >= 0 && int64_t(size) > remaining) throw base::exceptions::out_of_range();
  std::vector<uint8_t> block = ReadBytes(stream, size);
  ValidateStoredBlock(block);
  return block;
}

TcPart ReadTcRecords(InputStream& stream) {
  TcPart part;
  const std::vector<uint8_t> header = ReadBytes(stream, 4);
  part.version = ReadLe<uint16_t>(header.data() + 2);
  if (header[0] != 'T' || header[1] != 'C' || part.version > sf::kTcVersion)
    throw invalid_argument();
  for (;;) {
    const std::vector<uint8_t> head = ReadBytes(stream, 4);
    if (head[0] == kEndMark) break;
    const uint16_t length = ReadLe<uint16_t>(head.data() + 2);
    part.records[head[1]].push_back(ReadBytes(stream, length));
  }
  return part;
}

std::span<const uint8_t> TcPayload(const std::vector<uint8_t>& payload, size_t size) {
  if (payload.size() < size) throw invalid_argument();
  return std::span<const uint8_t>(payload.data(), size);
}

void WriteDataPart(OutputStream& stream, std::span<const uint8_t> block) {
  if (block.size() < 4 || ReadLe<int32_t>(block.data()) < 0 ||
      size_t(ReadLe<int32_t>(block.data())) != block.size())
    throw invalid_argument();
  // Never write what the reader would refuse, such as a block left without
  // a finger once its only finger was removed.
  ValidateStoredBlock(block);
  if (BlockDataId(block) == kSingleFingerDataId)
    WriteTemplateContainer(stream, block);
  else
    stream.Write(block.data(), int32_t(block.size()));
}

void WriteTemplateContainer(OutputStream& stream, std::span<const uint8_t> block) {
  const size_t count = (block.size() - engine::biometric_data::kHeaderSize) / engine::impression::kSize;
  const size_t bodySize = count * sf::kContainerRecordSize;
  std::vector<uint8_t> out(sf::kContainerHeaderSize + bodySize, 0);
  std::memcpy(out.data(), "VELA", 4);
  WriteLe<uint32_t>(out.data() + 4, sf::kContainerVersion);
  WriteLe<uint32_t>(out.data() + 8, count != 1 ? 1 : 0);
  WriteLe<uint32_t>(out.data() + 12, uint32_t(sf::kContainerHeaderSize + bodySize));
  WriteLe<uint32_t>(out.data() + 16, uint32_t(sf::kContainerHeaderSize));
  WriteLe<uint32_t>(out.data() + 20, uint32_t(bodySize));
  std::memcpy(out.data() + 24, "PGMI", 4);
  for (size_t i = 0; i < count; ++i) {
    uint8_t* record = out.data() + sf::kContainerHeaderSize + i * sf::kContainerRecordSize;
    WriteLe<uint16_t>(record, 1);
    std::memcpy(record + 2,
                block.data() + engine::biometric_data::kHeaderSize + i * engine::impression::kSize + 8,
                kRecordBodySize);
  }
  stream.Write(out.data(), int32_t(out.size()));
}

TcWriter::TcWriter(OutputStream& stream) : stream(stream) {
  const uint8_t magic[2] = {'T', 'C'};
  stream.Write(magic, 2);
  WriteU16(stream, sf::kTcVersion);
}

void TcWriter::Record(uint8_t tag, std::span<const uint8_t> payload) {
  const uint8_t head[2] = {0, tag};
  stream.Write(head, 2);
  WriteU16(stream, uint16_t(payload.size()));
  stream.Write(payload.data(), int32_t(payload.size()));
}

void TcWriter::End() { WriteU32(stream, kEndMark); }

}  // namespace vela::math

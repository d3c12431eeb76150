#include "engine/objects/TcRecords.h"

#include "base/ByteOrder.h"

namespace vela::math {

namespace sf = saved_form;

namespace {

constexpr size_t kIdsSize = 4;
constexpr size_t kImageSize = 25;
constexpr size_t kImageExtraSize = 24;
constexpr size_t kVersion1IdsSize = 5;
constexpr size_t kVersion1ImageSize = 19;

void WriteFloats(uint8_t* at, const float* values, size_t count) {
  for (size_t i = 0; i < count; ++i) WriteLe<float>(at + 4 * i, values[i]);
}

void ReadFloats(const uint8_t* at, float* values, size_t count) {
  for (size_t i = 0; i < count; ++i) values[i] = ReadLe<float>(at + 4 * i);
}

}  // namespace

std::vector<uint8_t> IdsPayload(const TemplateIds& ids) {
  std::vector<uint8_t> payload(kIdsSize);
  WriteLe<uint16_t>(payload.data(), ids.dataId);
  WriteLe<uint16_t>(payload.data() + 2, ids.scannerId);
  return payload;
}

std::vector<uint8_t> ImagePayload(int32_t fingerCode, const ImageInfo& info) {
  std::vector<uint8_t> payload(kImageSize);
  payload[0] = uint8_t(fingerCode);
  WriteFloats(payload.data() + 1, info.parameters.data(), 4);
  WriteLe<float>(payload.data() + 17, info.p1);
  WriteLe<float>(payload.data() + 21, info.p2);
  return payload;
}

std::vector<uint8_t> ImageExtraPayload(const ImageInfo& info) {
  std::vector<uint8_t> payload(kImageExtraSize);
  for (size_t i = 0; i < info.q.size(); ++i) WriteLe<int32_t>(payload.data() + 4 * i, info.q[i]);
  return payload;
}

TemplateIds ReadIds(const std::vector<uint8_t>& payload) {
  const uint8_t* p = TcPayload(payload, kIdsSize).data();
  return {ReadLe<uint16_t>(p), ReadLe<uint16_t>(p + 2)};
}

uint8_t ReadImageFingerCode(const std::vector<uint8_t>& payload) {
  return TcPayload(payload, kImageSize)[0];
}

ImageInfo ReadImageRecords(const std::vector<uint8_t>& image, const std::vector<uint8_t>* extra) {
  const uint8_t* p = TcPayload(image, kImageSize).data();
  ImageInfo info;
  ReadFloats(p + 1, info.parameters.data(), 4);
  info.p1 = ReadLe<float>(p + 17);
  info.p2 = ReadLe<float>(p + 21);
  if (extra) {
    const uint8_t* q = TcPayload(*extra, kImageExtraSize).data();
    for (size_t i = 0; i < info.q.size(); ++i) info.q[i] = ReadLe<int32_t>(q + 4 * i);
    info.full = true;
  }
  return info;
}

Version1Ids ReadVersion1Ids(const std::vector<uint8_t>& payload) {
  const uint8_t* p = TcPayload(payload, kVersion1IdsSize).data();
  return {{ReadLe<uint16_t>(p), ReadLe<uint16_t>(p + 2)}, p[4]};
}

ImageInfo ReadVersion1ImageInfo(const std::vector<uint8_t>& payload) {
  const uint8_t* p = TcPayload(payload, kVersion1ImageSize).data();
  ImageInfo info;
  info.p1 = float(p[0]);
  info.p2 = float(ReadLe<int16_t>(p + 1));
  ReadFloats(p + 3, info.parameters.data(), 4);
  return info;
}

void WriteTcPart(base::OutputStream& stream, const TemplateIds& ids,
                 const std::vector<ImpressionImage>& impressions) {
  TcWriter tc(stream);
  tc.Record(sf::kTagIds, IdsPayload(ids));
  for (const ImpressionImage& impression : impressions) {
    if (!impression.info) continue;
    const ImageInfo info = ReadImageInfo(*impression.info);
    tc.Record(sf::kTagImage, ImagePayload(impression.fingerCode, info));
    if (info.full) tc.Record(sf::kTagImageExtra, ImageExtraPayload(info));
  }
  tc.End();
}

}  // namespace vela::math

// The payloads of the TC part's records: ids, and the image information of
// each impression.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/objects/SavedForm.h"
#include "engine/objects/Views.h"

namespace vela::math {

struct TemplateIds {
  uint16_t dataId = 0;
  uint16_t scannerId = 0;
};

// Tag 1 of the current version.
std::vector<uint8_t> IdsPayload(const TemplateIds& ids);
// Tag 2 (finger code, the four parameters, P1, P2) and, for a full view,
// tag 3 (Q1..Q6).
std::vector<uint8_t> ImagePayload(int32_t fingerCode, const ImageInfo& info);
std::vector<uint8_t> ImageExtraPayload(const ImageInfo& info);

// Readers; each reads only within its payload and throws invalid_argument
// when the payload is shorter than its fields.
TemplateIds ReadIds(const std::vector<uint8_t>& payload);
uint8_t ReadImageFingerCode(const std::vector<uint8_t>& payload);
// From a tag-2 record and, when given, the tag-3 record that goes with it.
ImageInfo ReadImageRecords(const std::vector<uint8_t>& image, const std::vector<uint8_t>* extra);

// Version 1: tag 1 carries the finger code too; tag 2 is the short form.
struct Version1Ids {
  TemplateIds ids;
  uint8_t fingerCode = 0;
};
Version1Ids ReadVersion1Ids(const std::vector<uint8_t>& payload);
ImageInfo ReadVersion1ImageInfo(const std::vector<uint8_t>& payload);

// Writes tag 1, then the image records of each impression (a full view adds
// tag 3), then the end mark.
struct ImpressionImage {
  int32_t fingerCode;
  base::smart_ptr<ImageInfoView> info;  // may be empty: nothing is written for it
};
void WriteTcPart(base::OutputStream& stream, const TemplateIds& ids,
                 const std::vector<ImpressionImage>& impressions);

}  // namespace vela::math

#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/standard/PairScore.h"

namespace vela::engine {

// Result codes of the standard-template calls.
namespace standard_result {
inline constexpr int32_t OutOfMemory = -2;
inline constexpr int32_t LowQuality = -3;
inline constexpr int32_t BadParameter = -4;
inline constexpr int32_t BadPixels = -5;
inline constexpr int32_t BadOutput = -6;
inline constexpr int32_t Malformed = -7;
} // namespace standard_result

// ISO templates: a 16-byte template header, then a finger minutiae record of
// one or two views.
inline constexpr int32_t kIsoTemplateSize = 568;
inline constexpr int32_t kIsoTemplateHeaderSize = 16;
int32_t GetIsoTemplateSize();

struct IsoTemplateRequest {
    int32_t firstPosition;  // 1..10
    int32_t secondPosition; // 0: one view only, else 1..10
    int32_t width;          // pixels, 100..65535
    int32_t height;
    int32_t xResolution;    // pixels per centimetre, 40..65535
    int32_t yResolution;
    int32_t invert;         // 0: every pixel p is read as 255 - p
    int32_t blockEnergy;    // threshold of the block directions, not 0
    uint16_t certificationFlags;
    uint16_t captureDeviceId;
    uint8_t impressionType; // 0 or 8
};

// Pixels: width x height bytes a view, the views one after the other. Writes
// the template into `out` (GetIsoTemplateSize() bytes) and returns its
// length, or a negative code.
int32_t CreateIsoTemplate(std::span<const uint8_t> pixels, const IsoTemplateRequest& request, std::span<uint8_t> out);

// Score 0..3000 of the best pair of views of one finger position, or
// Malformed when either template is.
int32_t CompareIsoTemplates(std::span<const uint8_t> a, std::span<const uint8_t> b);
// The one or two views of an ISO template as the comparison reads them: 0,
// or Malformed.
int32_t DecodeIsoTemplate(std::span<const uint8_t> t, DecodedIsoView (&views)[2], int& viewCount);

// INCITS 378 records.
inline constexpr int32_t kIncitsMaxImages = 176;
int32_t GetIncitsRecordSize(int32_t imageCount);

struct IncitsImageDescriptor {
    int32_t imageCount = 0;              // 1..176
    uint8_t fingerCodes[kIncitsMaxImages] = {}; // 0..10, at most 16 views of one code
    int32_t maxMinutiae = 0;             // 0 or above 70: 70; below 10: 10
    int32_t width = 0;                   // 100..65535, all images alike
    int32_t height = 0;
    int32_t xResolution = 0;             // pixels per centimetre, 40..65535
    int32_t yResolution = 0;
    int32_t invert = 0;                  // 0: every pixel p is read as 255 - p
    int32_t blockEnergy = 0;             // not 0
    uint32_t productId = 0;
    uint16_t complianceFlags = 0;
    uint16_t captureEquipmentId = 0;
    uint8_t impressionType = 0;          // 0..9
};

int32_t CreateIncitsRecord(std::span<const uint8_t> pixels, const IncitsImageDescriptor& descriptor,
                           std::span<uint8_t> out);
// Score 0..1000, or a negative code.
int32_t CompareIncitsRecords(std::span<const uint8_t> a, std::span<const uint8_t> b);
// Every view of an INCITS 378 record as the comparison reads them: 0,
// Malformed or OutOfMemory.
int32_t DecodeIncitsRecord(std::span<const uint8_t> r, std::vector<DecodedIncitsView>& views);
// The best raw pair score (0..3000) on the scale 0..1000.
int32_t MapIncitsScore(int32_t value);

} // namespace vela::engine

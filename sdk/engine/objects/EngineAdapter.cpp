#include "engine/objects/EngineAdapter.h"

#include <algorithm>
#include <cstring>

#include "engine/records/BiometricData.h"
#include "engine/records/BiometricFeatures.h"
#include "base/ByteOrder.h"
#include "engine/objects/EngineCalls.h"
#include "engine/objects/ErrorMap.h"
#include "vela/base.h"

namespace vela::math {


namespace {

constexpr const char* kCleanedImageSizeCall = "XGetCleanedImageSize";
constexpr const char* kMaxSizeCall = "XGetMaxBiometricDataSize";
constexpr const char* kDataCall = "XGetBiometricData";
constexpr const char* kFeaturesCall = "XGetBiometricFeatures";

constexpr int32_t kQualityMeasureMode = 8;
constexpr size_t kImageFeaturesWorkSize = 819200;

struct RecordFields {
  int32_t cleanedSize = 0;
  int32_t scannerId = 0;
  int32_t fingerCode = 0;
  int32_t impressionIndex = 0;
};

// Appends one image record: header, payload, room for the cleaned image.
void AppendRecord(std::vector<uint8_t>& chain, std::span<const uint8_t> payload,
                    const RecordFields& fields) {
  const size_t start = chain.size();
  const size_t recordSize = image_header::kSize + payload.size() + size_t(fields.cleanedSize);
  if (recordSize > size_t(INT32_MAX)) throw base::exceptions::invalid_argument();
  chain.resize(start + recordSize, 0);
  uint8_t* header = chain.data() + start;
  WriteLe<int32_t>(header + image_header::kRecordSizeOffset, int32_t(recordSize));
  WriteLe<int32_t>(header + image_header::kCleanedSizeOffset, fields.cleanedSize);
  WriteLe<int32_t>(header + image_header::kScannerIdOffset, fields.scannerId);
  WriteLe<int32_t>(header + image_header::kFingerCodeOffset, fields.fingerCode);
  WriteLe<int32_t>(header + image_header::kImpressionIndexOffset, fields.impressionIndex);
  if (!payload.empty()) std::memcpy(header + image_header::kSize, payload.data(), payload.size());
}

void EndChain(std::vector<uint8_t>& chain) { chain.resize(chain.size() + 4, 0); }

int32_t MaxDataSize(int32_t dataId) {
  int32_t size = 0;
  ThrowOnXResult(kMaxSizeCall, engine::XGetMaxBiometricDataSize(dataId, &size));
  return size;
}

// Cuts (or zero-extends) the output to the total size the engine wrote into
// it. A total the engine could not have meant is its failure.
void TrimToBlockSize(std::vector<uint8_t>& data) {
  const int32_t total = ReadLe<int32_t>(data.data());
  if (total < int32_t(engine::biometric_data::kHeaderSize) || size_t(total) > data.size())
    throw base::exceptions::math_error(kDataCall);
  data.resize(size_t(total));
}

void RequireFingerEntries(std::span<const uint8_t> block) {
  if (BlockDataId(block) != kFingerEntriesDataId) throw base::exceptions::not_supported();
}

std::vector<uint8_t> RunStoredBlockChain(int32_t dataId, std::vector<uint8_t>& chain) {
  std::vector<uint8_t> data(size_t(MaxDataSize(kFingerEntriesDataId)), 0);
  ThrowOnXResult(kDataCall, CurrentEngine().getBiometricData(dataId, chain, data));
  TrimToBlockSize(data);
  return data;
}

}  // namespace

int32_t BlockDataId(std::span<const uint8_t> block) {
  if (block.size() < engine::biometric_data::kHeaderSize) return -1;
  return ReadLe<int32_t>(block.data() + engine::biometric_data::kDataIdOffset);
}

BiometricDataResult GetBiometricDataForImages(const std::vector<ImageListEntry>& images,
                                              int32_t scannerId, int32_t dataId) {
  const EngineCalls& engine = CurrentEngine();
  int32_t cleanedSize = 0;
  ThrowOnXResult(kCleanedImageSizeCall, engine.getCleanedImageSize(&cleanedSize));
  if (cleanedSize < 0) throw base::exceptions::math_error(kCleanedImageSizeCall);

  std::vector<uint8_t> chain;
  for (const ImageListEntry& image : images)
    AppendRecord(chain, image.bmp,
                 {cleanedSize, scannerId, image.fingerCode, image.impressionIndex});
  EndChain(chain);

  BiometricDataResult result;
  result.data.assign(size_t(MaxDataSize(dataId)), 0);
  ThrowOnXResult(kDataCall, engine.getBiometricData(dataId, chain, result.data));

  // The records are walked by their size words, as the engine walks them.
  result.headers.reserve(images.size());
  size_t at = 0;
  for (size_t i = 0; i < images.size(); ++i) {
    if (at + image_header::kEntrySize > chain.size()) throw base::exceptions::math_error(kDataCall);
    result.headers.emplace_back(chain.begin() + std::ptrdiff_t(at),
                                chain.begin() + std::ptrdiff_t(at + image_header::kEntrySize));
    const int32_t recordSize = ReadLe<int32_t>(chain.data() + at);
    if (recordSize <= 0) throw base::exceptions::math_error(kDataCall);
    at += size_t(recordSize);
  }
  TrimToBlockSize(result.data);
  return result;
}

std::vector<uint8_t> GetTemplateFeatures(std::span<const uint8_t> block) {
  std::vector<uint8_t> features(engine::biometric_features::kSize, 0);
  ThrowOnXResult(kFeaturesCall, CurrentEngine().getTemplateFeatures(block, features));
  return features;
}

int32_t GetImageFeatures(std::span<const uint8_t> bmp) {
  std::vector<uint8_t> work(kImageFeaturesWorkSize, 0);
  int32_t value = 0;
  ThrowOnXResult(kFeaturesCall,
                 CurrentEngine().getImageFeatures(bmp, kQualityMeasureMode, &value,
                                                  kObjectLayerScannerId, kFingerEntriesDataId,
                                                  work));
  return value;
}

std::vector<uint8_t> CombineBiometricData(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  RequireFingerEntries(a);
  RequireFingerEntries(b);
  std::vector<uint8_t> chain;
  AppendRecord(chain, b, {});
  AppendRecord(chain, a, {});
  EndChain(chain);
  return RunStoredBlockChain(kMergeDataId, chain);
}

std::vector<uint8_t> CombineBiometricData(std::span<const uint8_t> block, int32_t fingerCode) {
  RequireFingerEntries(block);
  std::vector<uint8_t> chain;
  RecordFields fields;
  fields.fingerCode = fingerCode;
  AppendRecord(chain, block, fields);
  EndChain(chain);
  return RunStoredBlockChain(kRemoveFingerDataId, chain);
}

}  // namespace vela::math

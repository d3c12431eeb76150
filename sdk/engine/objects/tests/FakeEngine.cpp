#include "FakeEngine.h"

#include <cstring>
#include <stdexcept>

#include "TemplateFixtures.h"

namespace vela::math::testing {

FakeEngine* FakeEngine::active = nullptr;

FakeEngine::FakeEngine()
    : features(MakeFeatures({{10, 20, 90}})),
      fillHeader(FillRecognisableHeader),
      calls{&GetCleanedImageSize, &GetBiometricData, &GetTemplateFeatures, &GetImageFeatures},
      guard(calls) {
  active = this;
}

FakeEngine::~FakeEngine() { active = nullptr; }

std::vector<ChainRecord> FakeEngine::ParseChain(std::span<const uint8_t> chain) {
  std::vector<ChainRecord> records;
  size_t at = 0;
  while (at + 4 <= chain.size()) {
    const int32_t size = ReadLe<int32_t>(chain.data() + at);
    if (size == 0) break;
    if (size < 139 || at + size_t(size) > chain.size()) throw std::runtime_error("broken chain");
    const uint8_t* h = chain.data() + at;
    ChainRecord r{size, ReadLe<int32_t>(h + 4), ReadLe<int32_t>(h + 8), ReadLe<int32_t>(h + 12),
                  ReadLe<int32_t>(h + 16), {}};
    r.payload.assign(h + 139, h + size - r.cleanedSize);
    records.push_back(std::move(r));
    at += size_t(size);
  }
  return records;
}

uint32_t FakeEngine::GetCleanedImageSize(int32_t* size) {
  *size = 14462;
  return 0;
}

uint32_t FakeEngine::GetBiometricData(int32_t dataId, std::span<uint8_t> chain,
                                      std::span<uint8_t> out) {
  FakeEngine& self = *active;
  DataCall call{dataId, std::vector<uint8_t>(chain.begin(), chain.end()), ParseChain(chain),
                out.size()};
  self.dataCalls.push_back(call);
  if (self.dataResult != 0) return self.dataResult;
  size_t at = 0;
  for (size_t i = 0; i < call.records.size(); ++i) {
    if (self.fillHeader) self.fillHeader(chain.data() + at, i);
    at += size_t(call.records[i].recordSize);
  }
  const std::vector<uint8_t> block =
      self.block.empty() ? MakeBlockFor(dataId, call.records) : self.block;
  if (block.size() > out.size()) throw std::runtime_error("output too small");
  std::memcpy(out.data(), block.data(), block.size());
  return 0;
}

uint32_t FakeEngine::GetTemplateFeatures(std::span<const uint8_t> block,
                                         std::span<uint8_t> features) {
  FakeEngine& self = *active;
  self.featureBlocks.emplace_back(block.begin(), block.end());
  if (self.featuresResult != 0) return self.featuresResult;
  std::memcpy(features.data(), self.features.data(), std::min(features.size(), self.features.size()));
  return 0;
}

uint32_t FakeEngine::GetImageFeatures(std::span<const uint8_t> bmp, int32_t mode, int32_t* value,
                                      int32_t scannerId, int32_t dataId, std::span<uint8_t> work) {
  FakeEngine& self = *active;
  self.imageCalls.push_back({std::vector<uint8_t>(bmp.begin(), bmp.end()), mode, scannerId, dataId,
                             work.size()});
  if (self.imageResult != 0) return self.imageResult;
  *value = self.imageQuality;
  return 0;
}

std::vector<uint8_t> MakeBlockFor(int32_t dataId, const std::vector<ChainRecord>& records) {
  std::vector<uint8_t> codes;
  for (const ChainRecord& r : records) codes.push_back(uint8_t(r.fingerCode));
  if (dataId == 165) return MakeType165Block(codes);
  if (dataId == 1 || dataId == 2) return MakeType1Block(int(records.size()));
  return MakeType150Block(codes);
}

void FillRecognisableHeader(uint8_t* header, size_t index) {
  const int32_t i = int32_t(index);
  WriteLe<uint32_t>(header + 72, uint32_t(40 + 10 * i));  // P1
  WriteLe<int32_t>(header + 80, -5 - i);                   // P2
  const size_t qOffsets[] = {76, 84, 88, 92, 96, 100};
  for (int32_t q = 0; q < 6; ++q) WriteLe<int32_t>(header + qOffsets[q], 100 * (q + 1) + i);
  WriteLe<int32_t>(header + 104, 7 + i);
  WriteLe<int32_t>(header + 108, 8 + i);
  WriteLe<double>(header + 112, 1.5 + i);
  WriteLe<double>(header + 120, 2.25 + i);
}

}  // namespace vela::math::testing

// Stands in for the numeric engine: records what the object layer hands it
// and answers as a test tells it to.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "engine/objects/EngineCalls.h"

namespace vela::math::testing {

struct ChainRecord {
  int32_t recordSize, cleanedSize, scannerId, fingerCode, impressionIndex;
  std::vector<uint8_t> payload;  // the bytes between header and cleaned image
};

// One call of getBiometricData as the engine saw it.
struct DataCall {
  int32_t dataId;
  std::vector<uint8_t> chain;
  std::vector<ChainRecord> records;
  size_t outputSize;
};

struct ImageCall {
  std::vector<uint8_t> bmp;
  int32_t mode, scannerId, dataId;
  size_t workSize;
};

class FakeEngine {
 public:
  FakeEngine();
  ~FakeEngine();
  FakeEngine(const FakeEngine&) = delete;
  FakeEngine& operator=(const FakeEngine&) = delete;

  // Answers.
  uint32_t dataResult = 0;
  uint32_t featuresResult = 0;
  uint32_t imageResult = 0;
  int32_t imageQuality = 42;
  // The block written into the output; empty: one built by MakeBlockFor.
  std::vector<uint8_t> block;
  std::vector<uint8_t> features;
  // Writes the engine's image parameters into the header of image i.
  std::function<void(uint8_t* header, size_t index)> fillHeader;

  // What it was given.
  std::vector<DataCall> dataCalls;
  std::vector<std::vector<uint8_t>> featureBlocks;
  std::vector<ImageCall> imageCalls;

  static std::vector<ChainRecord> ParseChain(std::span<const uint8_t> chain);

 private:
  static uint32_t GetCleanedImageSize(int32_t* size);
  static uint32_t GetBiometricData(int32_t dataId, std::span<uint8_t> chain, std::span<uint8_t> out);
  static uint32_t GetTemplateFeatures(std::span<const uint8_t> block, std::span<uint8_t> features);
  static uint32_t GetImageFeatures(std::span<const uint8_t> bmp, int32_t mode, int32_t* value,
                                   int32_t scannerId, int32_t dataId, std::span<uint8_t> work);

  static FakeEngine* active;
  EngineCalls calls;
  ScopedEngineCalls guard;
};

// A valid block of the type a data id is stored as, one impression or entry
// per image record, with each record's finger code.
std::vector<uint8_t> MakeBlockFor(int32_t dataId, const std::vector<ChainRecord>& records);

// Header values a test can recognise: P1 = 40 + 10 i, Q1 = 100 + i, and so on.
void FillRecognisableHeader(uint8_t* header, size_t index);

}  // namespace vela::math::testing

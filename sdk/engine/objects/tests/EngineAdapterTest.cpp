// What the adapter hands the engine, and what it makes of the answers.
#include <gtest/gtest.h>

#include "FakeEngine.h"
#include "TemplateFixtures.h"
#include "engine/objects/EngineAdapter.h"

namespace vela::math {
namespace {

using testing::FakeEngine;
namespace ex = base::exceptions;

std::vector<uint8_t> Bytes(size_t n, uint8_t first) {
  std::vector<uint8_t> out(n);
  for (size_t i = 0; i < n; ++i) out[i] = uint8_t(first + i);
  return out;
}

TEST(GetBiometricDataForImages, LaysOutOneRecordPerImageAndAClosingZero) {
  FakeEngine engine;
  const std::vector<ImageListEntry> images = {
      {Bytes(5, 1), 3, 1}, {Bytes(7, 50), 3, 2}, {Bytes(4, 90), 6, 1}};
  const BiometricDataResult result = GetBiometricDataForImages(images, 14, 150);

  ASSERT_EQ(engine.dataCalls.size(), 1u);
  const testing::DataCall& call = engine.dataCalls[0];
  EXPECT_EQ(call.dataId, 150);
  EXPECT_EQ(call.outputSize, 268808u);  // the largest type-150 block
  ASSERT_EQ(call.records.size(), 3u);
  size_t expectedChain = 4;
  for (size_t i = 0; i < images.size(); ++i) {
    SCOPED_TRACE(i);
    const testing::ChainRecord& r = call.records[i];
    EXPECT_EQ(r.recordSize, int32_t(139 + images[i].bmp.size() + 14462));
    EXPECT_EQ(r.cleanedSize, 14462);
    EXPECT_EQ(r.scannerId, 14);
    EXPECT_EQ(r.fingerCode, images[i].fingerCode);
    EXPECT_EQ(r.impressionIndex, images[i].impressionIndex);
    EXPECT_EQ(r.payload, images[i].bmp);
    expectedChain += size_t(r.recordSize);
  }
  EXPECT_EQ(call.chain.size(), expectedChain);
  EXPECT_EQ(ReadLe<int32_t>(call.chain.data() + call.chain.size() - 4), 0);

  // Each header comes back as the engine left it, with the first image byte.
  ASSERT_EQ(result.headers.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    ASSERT_EQ(result.headers[i].size(), 140u);
    EXPECT_EQ(ReadLe<uint32_t>(result.headers[i].data() + 72), 40u + 10u * i);
    EXPECT_EQ(ReadLe<int32_t>(result.headers[i].data() + 12), images[i].fingerCode);
    EXPECT_EQ(result.headers[i][139], images[i].bmp[0]);
  }
  // The block is cut to its own size.
  EXPECT_EQ(result.data, testing::MakeType150Block({3, 3, 6}));
}

TEST(GetBiometricDataForImages, AnEmptyListLeavesTheVerdictToTheEngine) {
  FakeEngine engine;
  engine.dataResult = 0xC3100067;
  try {
    GetBiometricDataForImages({}, 14, 150);
    ADD_FAILURE() << "nothing thrown";
  } catch (const ex::math_error& e) {
    EXPECT_STREQ(e.what(), "Wrong Number of Images");
  }
  ASSERT_EQ(engine.dataCalls.size(), 1u);
  EXPECT_EQ(engine.dataCalls[0].chain, std::vector<uint8_t>(4, 0));
}

TEST(GetBiometricDataForImages, AShortBlockGrowsAndAnImpossibleSizeFails) {
  FakeEngine engine;
  // A size word larger than what was written: the rest are zero bytes.
  engine.block = testing::MakeType1Block(1);
  WriteLe<int32_t>(engine.block.data(), 700);
  BiometricDataResult result = GetBiometricDataForImages({{Bytes(3, 1), 1, 1}}, 14, 2);
  ASSERT_EQ(result.data.size(), 700u);
  EXPECT_EQ(result.data[699], 0);

  WriteLe<int32_t>(engine.block.data(), 7000);  // beyond the type's largest block
  EXPECT_THROW(GetBiometricDataForImages({{Bytes(3, 1), 1, 1}}, 14, 2), ex::math_error);
}

TEST(GetTemplateFeatures, UnknownCodesNameTheCall) {
  FakeEngine engine;
  engine.featuresResult = 0xC3100099;
  const std::vector<uint8_t> block = testing::MakeType1Block(1);
  try {
    GetTemplateFeatures(block);
    ADD_FAILURE() << "nothing thrown";
  } catch (const ex::math_error& e) {
    EXPECT_STREQ(e.what(), "XGetBiometricFeatures");
  }
  ASSERT_EQ(engine.featureBlocks.size(), 1u);
  EXPECT_EQ(engine.featureBlocks[0], block);
}

TEST(GetImageFeatures, MeasuresQualityWithTheFixedArguments) {
  FakeEngine engine;
  engine.imageQuality = 73;
  const std::vector<uint8_t> bmp = Bytes(20, 0);
  EXPECT_EQ(GetImageFeatures(bmp), 73);
  ASSERT_EQ(engine.imageCalls.size(), 1u);
  EXPECT_EQ(engine.imageCalls[0].bmp, bmp);
  EXPECT_EQ(engine.imageCalls[0].mode, 8);
  EXPECT_EQ(engine.imageCalls[0].scannerId, 14);
  EXPECT_EQ(engine.imageCalls[0].dataId, 150);
  EXPECT_EQ(engine.imageCalls[0].workSize, 819200u);

  engine.imageResult = 0xC3100074;
  EXPECT_THROW(GetImageFeatures(bmp), ex::bad_quality);
}

TEST(CombineBiometricData, MergeChainsTheSecondBlockFirst) {
  FakeEngine engine;
  const std::vector<uint8_t> a = testing::MakeType150Block({1, 2});
  const std::vector<uint8_t> b = testing::MakeType150Block({2, 3});
  engine.block = testing::MakeType150Block({2, 3, 1});
  EXPECT_EQ(CombineBiometricData(a, b), engine.block);

  ASSERT_EQ(engine.dataCalls.size(), 1u);
  const testing::DataCall& call = engine.dataCalls[0];
  EXPECT_EQ(call.dataId, 152);
  ASSERT_EQ(call.records.size(), 2u);
  EXPECT_EQ(call.records[0].payload, b);
  EXPECT_EQ(call.records[1].payload, a);
  for (const testing::ChainRecord& r : call.records) {
    EXPECT_EQ(r.recordSize, int32_t(139 + r.payload.size()));
    EXPECT_EQ(r.cleanedSize, 0);
    EXPECT_EQ(r.scannerId, 0);
    EXPECT_EQ(r.fingerCode, 0);
    EXPECT_EQ(r.impressionIndex, 0);
  }
}

TEST(CombineBiometricData, RemovingAFingerPassesItsCode) {
  FakeEngine engine;
  const std::vector<uint8_t> block = testing::MakeType150Block({1, 3});
  engine.block = testing::MakeType150Block({1});
  EXPECT_EQ(CombineBiometricData(block, 3), engine.block);
  ASSERT_EQ(engine.dataCalls.size(), 1u);
  EXPECT_EQ(engine.dataCalls[0].dataId, 153);
  ASSERT_EQ(engine.dataCalls[0].records.size(), 1u);
  EXPECT_EQ(engine.dataCalls[0].records[0].fingerCode, 3);
  EXPECT_EQ(engine.dataCalls[0].records[0].payload, block);
}

TEST(CombineBiometricData, OnlyFullFingerEntriesAreCombined) {
  FakeEngine engine;
  const std::vector<uint8_t> full = testing::MakeType150Block({1});
  const std::vector<uint8_t> compact = testing::MakeType165Block({1});
  const std::vector<uint8_t> tiny = {1, 2, 3};
  EXPECT_THROW(CombineBiometricData(full, compact), ex::not_supported);
  EXPECT_THROW(CombineBiometricData(compact, full), ex::not_supported);
  EXPECT_THROW(CombineBiometricData(compact, 1), ex::not_supported);
  EXPECT_THROW(CombineBiometricData(tiny, 1), ex::not_supported);
  EXPECT_TRUE(engine.dataCalls.empty());
}

}  // namespace
}  // namespace vela::math

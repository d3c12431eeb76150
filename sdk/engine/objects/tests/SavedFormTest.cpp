// The saved form of a template: what Save writes, what Create_Template reads
// back, and what it makes of older and hand-made streams.
#include <gtest/gtest.h>

#include <cstring>

#include "FakeEngine.h"
#include "TemplateFixtures.h"
#include "engine/objects/BlockChecks.h"
#include "engine/objects/TemplateImpl.h"
#include "engine/objects/Views.h"

namespace vela::math {
namespace {

using base::smart_ptr;
using namespace testing;
namespace ex = base::exceptions;

ImageInfo FullInfo() {
  ImageInfo info;
  info.parameters = {1.5f, -2.0f, 3.25f, 4.0f};
  info.p1 = 81;
  info.p2 = -7;
  info.full = true;
  info.q = {11, 22, 33, 44, 55, 66};
  return info;
}

ImageInfo ShortInfo() {
  ImageInfo info = FullInfo();
  info.full = false;
  info.q = {};
  return info;
}

smart_ptr<Template> MakeTemplate(TemplateIds ids, int32_t fingerCode, std::vector<uint8_t> block,
                                 const ImageInfo* info) {
  const std::vector<uint8_t> features = MakeFeatures({{10, 20, 90}});
  smart_ptr<ImageInfoView> view;
  if (info) view = new ImageInfoViewImpl(*info);
  return smart_ptr<Template>(new TemplateImpl(ids, fingerCode, std::move(block),
                                              BuildMinutiaeView(features),
                                              BuildDirectionFieldView(features), view));
}

std::vector<uint8_t> Saved(const smart_ptr<Template>& t) {
  smart_ptr<base::MemoryStream> stream = Create_MemoryStream(nullptr, 0);
  t->Save(stream);
  return StreamBytes(stream);
}

smart_ptr<Template> Load(const std::vector<uint8_t>& bytes) {
  return Create_Template(InputOf(bytes));
}

const TemplateIds& IdsOf(const smart_ptr<Template>& t) {
  return dynamic_cast<const TemplateImpl&>(*t).Ids();
}

void ExpectSameInfo(const ImageInfoView& view, const ImageInfo& expected) {
  const ImageInfo got = ReadImageInfo(view);
  EXPECT_EQ(got.parameters, expected.parameters);
  EXPECT_EQ(got.p1, expected.p1);
  EXPECT_EQ(got.p2, expected.p2);
  EXPECT_EQ(got.full, expected.full);
  EXPECT_EQ(got.q, expected.q);
}

std::vector<uint8_t> TcOf(const std::vector<uint8_t>& saved, size_t dataPart) {
  return std::vector<uint8_t>(saved.begin() + std::ptrdiff_t(dataPart), saved.end());
}

TEST(SavedForm, ContainerForTypeOneBlocks) {
  FakeEngine engine;
  for (int impressions : {1, 2, 10}) {
    SCOPED_TRACE(impressions);
    const std::vector<uint8_t> block = MakeType1Block(impressions);
    const ImageInfo info = FullInfo();
    const std::vector<uint8_t> saved = Saved(MakeTemplate({2, 14}, 3, block, &info));

    const size_t body = 666u * size_t(impressions);
    ASSERT_GT(saved.size(), 28 + body);
    EXPECT_EQ(std::memcmp(saved.data(), "VELA", 4), 0);
    EXPECT_EQ(ReadLe<uint32_t>(saved.data() + 4), 0x00010002u);
    EXPECT_EQ(ReadLe<uint32_t>(saved.data() + 8), impressions == 1 ? 0u : 1u);
    EXPECT_EQ(ReadLe<uint32_t>(saved.data() + 12), 28 + body);
    EXPECT_EQ(ReadLe<uint32_t>(saved.data() + 16), 28u);
    EXPECT_EQ(ReadLe<uint32_t>(saved.data() + 20), body);
    EXPECT_EQ(std::memcmp(saved.data() + 24, "PGMI", 4), 0);
    for (int i = 0; i < impressions; ++i) {
      const uint8_t* record = saved.data() + 28 + 666 * i;
      EXPECT_EQ(ReadLe<uint16_t>(record), 1);
      EXPECT_EQ(std::memcmp(record + 2, block.data() + 8 + 672 * i + 8, 664), 0);
    }
    const std::vector<uint8_t> expectedTc =
        TcBuilder(2)
            .Record(1, {2, 0, 14, 0})
            .Record(2, Concat(Concat({3}, FloatBytes({1.5f, -2.0f, 3.25f, 4.0f})),
                              FloatBytes({81, -7})))
            .Record(3, IntBytes({11, 22, 33, 44, 55, 66}))
            .End();
    EXPECT_EQ(TcOf(saved, 28 + body), expectedTc);

    const smart_ptr<Template> back = Load(saved);
    EXPECT_EQ(IdsOf(back).dataId, 2);
    EXPECT_EQ(IdsOf(back).scannerId, 14);
    EXPECT_EQ(back->GetFingerCode(), 3);
    EXPECT_EQ(std::vector<uint8_t>(back->GetData(), back->GetData() + back->GetDataSize()), block);
    ExpectSameInfo(*back->GetImageInfo(), info);
    EXPECT_EQ(back->GetMinutiae()->Count(), 1);
  }
}

TEST(SavedForm, RawBlockWithTheShortImageInformation) {
  FakeEngine engine;
  const ImageInfo info = ShortInfo();
  for (const std::vector<uint8_t>& block :
       {MakeType150Block({1, 2}), MakeType165Block({4, 5, 6})}) {
    const uint16_t id = uint16_t(ReadLe<int32_t>(block.data() + 4));
    const std::vector<uint8_t> saved = Saved(MakeTemplate({id, 14}, 7, block, &info));
    ASSERT_GT(saved.size(), block.size());
    EXPECT_TRUE(std::equal(block.begin(), block.end(), saved.begin()));
    // Tag 2 only: the short form has no tag 3.
    EXPECT_EQ(TcOf(saved, block.size()).size(), 4u + (4 + 4) + (4 + 25) + 4);

    const smart_ptr<Template> back = Load(saved);
    EXPECT_EQ(IdsOf(back).dataId, id);
    EXPECT_EQ(back->GetFingerCode(), 7);
    EXPECT_EQ(std::vector<uint8_t>(back->GetData(), back->GetData() + back->GetDataSize()), block);
    ExpectSameInfo(*back->GetImageInfo(), info);
    EXPECT_THROW(back->GetImageInfo()->GetQ1(), ex::not_supported);
  }
}

TEST(SavedForm, WithoutImageInformationOnlyTheIdsAreTagged) {
  FakeEngine engine;
  const std::vector<uint8_t> block = MakeType150Block({1});
  const std::vector<uint8_t> saved = Saved(MakeTemplate({150, 14}, 2, block, nullptr));
  EXPECT_EQ(TcOf(saved, block.size()), TcBuilder(2).Record(1, {150, 0, 14, 0}).End());
  const smart_ptr<Template> back = Load(saved);
  EXPECT_EQ(IdsOf(back).dataId, 150);
  EXPECT_EQ(back->GetFingerCode(), 0);  // the finger code travels in tag 2
  EXPECT_THROW(back->GetImageInfo(), ex::not_supported);
}

TEST(SavedForm, AStreamWithoutTcPartIsVersionZero) {
  FakeEngine engine;
  const std::vector<uint8_t> block = MakeType150Block({3});
  // Three bytes after the block are not enough for a TC part either.
  for (const std::vector<uint8_t>& bytes : {block, Concat(block, {1, 2, 3})}) {
    const smart_ptr<Template> t = Load(bytes);
    EXPECT_EQ(IdsOf(t).dataId, 0);
    EXPECT_EQ(IdsOf(t).scannerId, 0);
    EXPECT_EQ(t->GetFingerCode(), 0);
    EXPECT_THROW(t->GetImageInfo(), ex::not_supported);
    EXPECT_EQ(t->GetMinutiae()->Count(), 1);
    EXPECT_EQ(t->GetDirectionField()->GetRows(), 25);
    ASSERT_EQ(engine.featureBlocks.size(), 1u);
    EXPECT_EQ(engine.featureBlocks.back(), block);
    engine.featureBlocks.clear();
  }
}

TEST(SavedForm, VersionTwoWithUnpairedImageRecordsKeepsOnlyTheIds) {
  FakeEngine engine;
  const std::vector<uint8_t> image = Concat(Concat({5}, FloatBytes({1, 2, 3, 4})), FloatBytes({60, 1}));
  const std::vector<uint8_t> tc = TcBuilder(2)
                                      .Record(1, {150, 0, 14, 0})
                                      .Record(2, image)
                                      .Record(2, image)
                                      .Record(3, IntBytes({1, 2, 3, 4, 5, 6}))
                                      .End();
  const smart_ptr<Template> t = Load(Concat(MakeType150Block({5}), tc));
  EXPECT_EQ(IdsOf(t).dataId, 150);
  EXPECT_EQ(IdsOf(t).scannerId, 14);
  EXPECT_EQ(t->GetFingerCode(), 0);
  EXPECT_THROW(t->GetImageInfo(), ex::not_supported);
}

TEST(SavedForm, VersionOneStampsTheFingerCodeIntoTheBlock) {
  FakeEngine engine;
  const std::vector<uint8_t> v1Image =
      Concat({77, 0xFD, 0xFF}, FloatBytes({1.0f, 2.0f, 3.0f, 4.0f}));  // P1 77, P2 -3
  const std::vector<uint8_t> tc = TcBuilder(1).Record(1, {150, 0, 14, 0, 4}).Record(2, v1Image).End();
  const smart_ptr<Template> t = Load(Concat(MakeType150Block({1, 2}), tc));

  EXPECT_EQ(IdsOf(t).dataId, 150);
  EXPECT_EQ(IdsOf(t).scannerId, 14);
  EXPECT_EQ(t->GetFingerCode(), 4);
  for (int r = 0; r < 8; ++r) EXPECT_EQ(t->GetData()[8 + 672 * r + 9], 4) << r;
  const smart_ptr<ImageInfoView> info = t->GetImageInfo();
  EXPECT_EQ(info->GetP1(), 77.0f);
  EXPECT_EQ(info->GetP2(), -3.0f);
  EXPECT_EQ(info->GetParameters()[3], 4.0f);
  EXPECT_THROW(info->GetQ6(), ex::not_supported);
}

TEST(SavedForm, VersionOneFingerCodeMustSuitTheBlock) {
  FakeEngine engine;
  // Stamped into finger entries, code 11 would make every record invalid.
  const std::vector<uint8_t> tc = TcBuilder(1).Record(1, {150, 0, 14, 0, 11}).End();
  EXPECT_THROW(Load(Concat(MakeType150Block({1}), tc)), ex::invalid_argument);
  // A type-1 block carries no finger code and is taken unchanged.
  const std::vector<uint8_t> block = MakeType1Block(2);
  smart_ptr<base::MemoryStream> container = Create_MemoryStream(nullptr, 0);
  MakeTemplate({1, 14}, 0, block, nullptr)->Save(container);
  std::vector<uint8_t> bytes = StreamBytes(container);
  bytes.resize(28 + 2 * 666);
  const smart_ptr<Template> t =
      Load(Concat(bytes, TcBuilder(1).Record(1, {1, 0, 14, 0, 11}).End()));
  EXPECT_EQ(t->GetFingerCode(), 11);
  EXPECT_EQ(std::vector<uint8_t>(t->GetData(), t->GetData() + t->GetDataSize()), block);
}

TEST(SavedForm, SaveRefusesABlockWhoseSizeWordIsWrong) {
  FakeEngine engine;
  std::vector<uint8_t> block = MakeType150Block({1});
  WriteLe<int32_t>(block.data(), int32_t(block.size() - 1));
  smart_ptr<base::MemoryStream> stream = Create_MemoryStream(nullptr, 0);
  EXPECT_THROW(MakeTemplate({150, 14}, 1, block, nullptr)->Save(stream), ex::invalid_argument);
  EXPECT_EQ(stream->Size(), 0);
  EXPECT_THROW(MakeTemplate({150, 14}, 1, block, nullptr)->Save({}), ex::invalid_argument);
}

TEST(CheckBiometricData, StampsTheCodeByType) {
  std::vector<uint8_t> one = MakeType1Block(2);
  const std::vector<uint8_t> oneBefore = one;
  CheckBiometricData(one, 5);
  EXPECT_EQ(one, oneBefore);

  std::vector<uint8_t> full = MakeType150Block({1, 2});
  full[8 + 672 + 9] = 18;  // a record holding 18 keeps it
  CheckBiometricData(full, 6);
  for (size_t r = 0; r < 8; ++r) EXPECT_EQ(full[8 + 672 * r + 9], r == 1 ? 18 : 6) << r;

  std::vector<uint8_t> compact = MakeType165Block({1, 2, 3});
  CheckBiometricData(compact, 9);
  for (size_t e = 0; e < 3; ++e) EXPECT_EQ(compact[8 + 364 * e], 9);

  std::vector<uint8_t> tooShort = MakeType150Block({1});
  tooShort.resize(2695);
  EXPECT_THROW(CheckBiometricData(tooShort, 1), ex::invalid_argument);
  std::vector<uint8_t> otherType = MakeType1Block(1);
  WriteLe<int32_t>(otherType.data() + 4, 101);
  EXPECT_THROW(CheckBiometricData(otherType, 1), ex::invalid_argument);
  std::vector<uint8_t> sizeBeyond = MakeType165Block({1});
  WriteLe<int32_t>(sizeBeyond.data(), int32_t(sizeBeyond.size() + 364));
  EXPECT_THROW(CheckBiometricData(sizeBeyond, 1), ex::invalid_argument);
}

}  // namespace
}  // namespace vela::math

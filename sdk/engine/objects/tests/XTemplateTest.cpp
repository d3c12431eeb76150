// Extended templates: reading, saving, merging and removing fingers.
#include <gtest/gtest.h>

#include "FakeEngine.h"
#include "TemplateFixtures.h"
#include "engine/objects/FingerRecords.h"
#include "engine/objects/TemplateImpl.h"
#include "engine/objects/Views.h"
#include "engine/objects/XTemplateImpl.h"

namespace vela::math {
namespace {

using base::smart_ptr;
using namespace testing;
namespace ex = base::exceptions;

smart_ptr<ImageInfoView> InfoWithQuality(float p1, bool full = true) {
  ImageInfo info;
  info.parameters = {1, 2, 3, 4};
  info.p1 = p1;
  info.p2 = -1;
  info.full = full;
  if (full) info.q = {1, 2, 3, 4, 5, 6};
  return smart_ptr<ImageInfoView>(new ImageInfoViewImpl(info));
}

struct FingerSpec {
  int32_t code;
  std::vector<float> qualities;  // one impression each; a negative value: no image information
};

smart_ptr<XTemplate> MakeXTemplate(std::vector<uint8_t> block, const std::vector<FingerSpec>& fingers) {
  FingerRecordsBuilder builder;
  for (const FingerSpec& finger : fingers)
    for (float quality : finger.qualities)
      builder.Add(finger.code, smart_ptr<ImpressionRecordView>(new ImpressionRecordViewImpl(
                                   quality < 0 ? nullptr : InfoWithQuality(quality), {}, {})));
  return smart_ptr<XTemplate>(new XTemplateImpl({150, 14}, std::move(block), builder.Finish()));
}

std::vector<int32_t> FingerCodes(const smart_ptr<XTemplate>& t) {
  std::vector<int32_t> codes;
  const smart_ptr<FingerRecordList> fingers = t->GetFingers();
  for (int32_t i = 0; i < fingers->Count(); ++i) codes.push_back(fingers->GetByIndex(i)->GetFingerCode());
  return codes;
}

std::vector<uint8_t> DataOf(const smart_ptr<XTemplate>& t) {
  return std::vector<uint8_t>(t->GetData(), t->GetData() + t->GetDataSize());
}

std::vector<uint8_t> SavedBytes(const smart_ptr<XTemplate>& t, bool dataOnly = false) {
  smart_ptr<base::MemoryStream> stream = Create_MemoryStream(nullptr, 0);
  if (dataOnly)
    t->SaveData(stream);
  else
    t->Save(stream);
  return StreamBytes(stream);
}

TEST(XTemplate, ReadsASavedTemplateAsOneFingerOfOneImpression) {
  FakeEngine engine;
  const std::vector<uint8_t> block = MakeType150Block({4});
  smart_ptr<Template> single(new TemplateImpl({150, 14}, 4, block, {}, {}, InfoWithQuality(66)));
  smart_ptr<base::MemoryStream> stream = Create_MemoryStream(nullptr, 0);
  single->Save(stream);

  const smart_ptr<XTemplate> x = Create_XTemplate(InputOf(StreamBytes(stream)));
  EXPECT_EQ(DataOf(x), block);
  EXPECT_EQ(dynamic_cast<const XTemplateImpl&>(*x).Ids().scannerId, 14);
  ASSERT_EQ(FingerCodes(x), std::vector<int32_t>{4});
  const smart_ptr<ImpressionRecordList> impressions = x->GetFingers()->GetByIndex(0)->GetImpressions();
  ASSERT_EQ(impressions->Count(), 1);
  EXPECT_EQ(impressions->GetByIndex(0)->GetImageInfo()->GetP1(), 66.0f);
  EXPECT_EQ(impressions->GetByIndex(0)->GetImageInfo()->GetQ6(), 6);
  EXPECT_EQ(impressions->GetByIndex(0)->GetMinutiae()->Count(), 1);
  EXPECT_EQ(x->GetMeanQuality(), 66.0f);
}

TEST(XTemplate, SaveWritesOneImageRecordPerImpressionAndReadsBackGrouped) {
  FakeEngine engine;
  const std::vector<uint8_t> block = MakeType150Block({1, 1, 2, 3});
  // Finger 3's only impression has no image information: it is not written.
  const smart_ptr<XTemplate> x = MakeXTemplate(block, {{1, {10, 20}}, {2, {40}}, {3, {-1}}});
  const std::vector<uint8_t> saved = SavedBytes(x);
  ASSERT_GT(saved.size(), block.size());
  const std::vector<uint8_t> tc(saved.begin() + std::ptrdiff_t(block.size()), saved.end());
  // Header, tag 1, three pairs of tag 2 and tag 3, end mark.
  EXPECT_EQ(tc.size(), 4u + 8 + 3 * (29 + 28) + 4);
  EXPECT_EQ(tc[12 + 1], 2);  // the first image record (after header and ids)
  EXPECT_EQ(tc[12 + 4], 1);  // carries finger 1
  EXPECT_EQ(tc[12 + 57 + 1], 2);
  EXPECT_EQ(tc[12 + 57 + 4], 1);
  EXPECT_EQ(tc[12 + 114 + 4], 2);

  const smart_ptr<XTemplate> back = Create_XTemplate(InputOf(saved));
  EXPECT_EQ(DataOf(back), block);
  EXPECT_EQ(FingerCodes(back), (std::vector<int32_t>{1, 2}));
  const smart_ptr<ImpressionRecordList> first = back->GetFingers()->GetByIndex(0)->GetImpressions();
  ASSERT_EQ(first->Count(), 2);
  EXPECT_EQ(first->GetByIndex(1)->GetImageInfo()->GetP1(), 20.0f);
  // Only the first impression holds the block's views.
  EXPECT_NO_THROW(first->GetByIndex(0)->GetDirectionField());
  EXPECT_THROW(first->GetByIndex(1)->GetMinutiae(), ex::not_supported);
  EXPECT_FLOAT_EQ(back->GetMeanQuality(), 27.5f);
}

TEST(XTemplate, SaveDataWritesTheDataPartOnly) {
  FakeEngine engine;
  const std::vector<uint8_t> full = MakeType150Block({1});
  EXPECT_EQ(SavedBytes(MakeXTemplate(full, {{1, {50}}}), true), full);
  const std::vector<uint8_t> container = SavedBytes(MakeXTemplate(MakeType1Block(1), {{1, {50}}}), true);
  ASSERT_EQ(container.size(), 28u + 666u);
  EXPECT_EQ(container[0], 'V');
}

TEST(XTemplate, TcVersionsDecideTheFingerList) {
  FakeEngine engine;
  const std::vector<uint8_t> block = MakeType150Block({5});
  const std::vector<uint8_t> image = Concat(Concat({5}, FloatBytes({1, 2, 3, 4})), FloatBytes({60, 1}));

  // Version 0: an extended template needs its tagged part.
  EXPECT_THROW(Create_XTemplate(InputOf(block)), ex::invalid_argument);

  // Unpaired image records: the data, but no finger list.
  const smart_ptr<XTemplate> unpaired = Create_XTemplate(InputOf(Concat(
      block, TcBuilder(2).Record(2, image).Record(2, image).Record(3, IntBytes({1, 2, 3, 4, 5, 6})).End())));
  EXPECT_EQ(DataOf(unpaired), block);
  EXPECT_TRUE(unpaired->GetFingers().empty());
  EXPECT_THROW(unpaired->GetMeanQuality(), ex::not_supported);

  // No image records: finger 0 with the block's views and no image information.
  const smart_ptr<XTemplate> bare =
      Create_XTemplate(InputOf(Concat(block, TcBuilder(2).Record(1, {150, 0, 14, 0}).End())));
  ASSERT_EQ(FingerCodes(bare), std::vector<int32_t>{0});
  const smart_ptr<ImpressionRecordView> only = bare->GetFingers()->GetByIndex(0)->GetImpressions()->GetByIndex(0);
  EXPECT_THROW(only->GetImageInfo(), ex::not_supported);
  EXPECT_EQ(only->GetMinutiae()->Count(), 1);

  // Version 1: ids with the finger code, stamped into the block.
  const std::vector<uint8_t> v1Image = Concat({30, 2, 0}, FloatBytes({1, 2, 3, 4}));
  const smart_ptr<XTemplate> v1 = Create_XTemplate(
      InputOf(Concat(block, TcBuilder(1).Record(1, {150, 0, 14, 0, 7}).Record(2, v1Image).End())));
  ASSERT_EQ(FingerCodes(v1), std::vector<int32_t>{7});
  for (int r = 0; r < 4; ++r) EXPECT_EQ(v1->GetData()[8 + 672 * r + 9], 7);
  EXPECT_EQ(v1->GetMeanQuality(), 30.0f);
  // Version 1 without its image record leaves no finger to stamp.
  EXPECT_THROW(Create_XTemplate(InputOf(Concat(block, TcBuilder(1).Record(1, {150, 0, 14, 0, 7}).End()))),
               ex::invalid_argument);
}

TEST(XTemplate, MeanQualityIsTheMeanOfFingerMeans) {
  FakeEngine engine;
  const smart_ptr<XTemplate> x = MakeXTemplate(MakeType150Block({1, 1, 2}), {{1, {10, 20}}, {2, {40}}});
  EXPECT_FLOAT_EQ(x->GetMeanQuality(), 27.5f);
  EXPECT_FLOAT_EQ(x->GetFingers()->GetByIndex(0)->GetMeanQuality(), 15.0f);
  const smart_ptr<XTemplate> missing = MakeXTemplate(MakeType150Block({1}), {{1, {10, -1}}});
  EXPECT_THROW(missing->GetMeanQuality(), ex::not_supported);
}

TEST(XTemplate, MergeTakesTheOthersFingersFirstAndCountsWhatItCopies) {
  FakeEngine engine;
  const std::vector<uint8_t> mine = MakeType150Block({1, 2});
  const std::vector<uint8_t> theirs = MakeType150Block({2, 3});
  const smart_ptr<XTemplate> x = MakeXTemplate(mine, {{1, {10}}, {2, {20}}});
  const smart_ptr<XTemplate> other = MakeXTemplate(theirs, {{2, {60}}, {3, {80}}});
  EXPECT_FLOAT_EQ(x->GetMeanQuality(), 15.0f);  // cached now
  engine.block = MakeType150Block({1, 2, 3});

  x->Merge(other);

  EXPECT_EQ(FingerCodes(x), (std::vector<int32_t>{2, 3, 1}));
  const smart_ptr<FingerRecordList> fingers = x->GetFingers();
  ASSERT_EQ(fingers->Count(), 3);
  EXPECT_EQ(fingers->GetByIndex(0), other->GetFingers()->GetByIndex(0));
  EXPECT_THROW(fingers->GetByIndex(3), ex::out_of_range);
  EXPECT_EQ(DataOf(x), engine.block);
  ASSERT_EQ(engine.dataCalls.size(), 1u);
  EXPECT_EQ(engine.dataCalls[0].dataId, 152);
  EXPECT_EQ(engine.dataCalls[0].records[0].payload, theirs);
  EXPECT_EQ(engine.dataCalls[0].records[1].payload, mine);
  // The mean is taken afresh: (60 + 80 + 10) / 3.
  EXPECT_FLOAT_EQ(x->GetMeanQuality(), 50.0f);
}

TEST(XTemplate, AFailedMergeChangesNothing) {
  FakeEngine engine;
  const std::vector<uint8_t> mine = MakeType150Block({1});
  const smart_ptr<XTemplate> x = MakeXTemplate(mine, {{1, {10}}});
  const smart_ptr<FingerRecordList> before = x->GetFingers();

  EXPECT_THROW(x->Merge(MakeXTemplate(MakeType1Block(1), {{2, {20}}})), ex::not_supported);
  EXPECT_THROW(x->Merge(MakeXTemplate(MakeType165Block({2}), {{2, {20}}})), ex::not_supported);
  EXPECT_THROW(x->Merge({}), ex::invalid_argument);
  engine.dataResult = 0xC3100073;
  EXPECT_THROW(x->Merge(MakeXTemplate(MakeType150Block({2}), {{2, {20}}})), ex::math_error);

  EXPECT_EQ(DataOf(x), mine);
  EXPECT_EQ(x->GetFingers(), before);
}

TEST(XTemplate, RemoveFingerAlwaysTakesTheEnginesBlock) {
  FakeEngine engine;
  const smart_ptr<XTemplate> x = MakeXTemplate(MakeType150Block({1, 2}), {{1, {10}}, {2, {30}}});
  EXPECT_FLOAT_EQ(x->GetMeanQuality(), 20.0f);

  engine.block = MakeType150Block({2, 1});
  x->RemoveFinger(7);  // no such finger: all records stay, the data is the engine's
  EXPECT_EQ(FingerCodes(x), (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(DataOf(x), engine.block);
  EXPECT_EQ(engine.dataCalls.back().dataId, 153);
  EXPECT_EQ(engine.dataCalls.back().records[0].fingerCode, 7);

  engine.block = MakeType150Block({2});
  x->RemoveFinger(1);
  EXPECT_EQ(FingerCodes(x), std::vector<int32_t>{2});
  EXPECT_FLOAT_EQ(x->GetMeanQuality(), 30.0f);

  const smart_ptr<XTemplate> compact = MakeXTemplate(MakeType165Block({1}), {{1, {10}}});
  EXPECT_THROW(compact->RemoveFinger(1), ex::not_supported);
}

}  // namespace
}  // namespace vela::math

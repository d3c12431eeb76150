#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "engine/records/BiometricData.h"
#include "engine/records/BiometricFeatures.h"
#include "engine/records/FingerEntry.h"
#include "engine/records/HeaderFieldChecks.h"
#include "engine/records/ImageParameters.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {
namespace {

using test::MakeImpression;
using test::ToRecord;

TEST(EngineRecords, SizesOfTheFixedRecords)
{
    EXPECT_EQ(impression::kSize, 672u);
    EXPECT_EQ(finger_entry::kSize, 2688u);
    EXPECT_EQ(finger_entry::ImpressionOffset(3), 2016u);
    EXPECT_EQ(biometric_features::kSize, 2644u);
    EXPECT_EQ(biometric_features::kBlockDirectionOffset, 844u);
    EXPECT_EQ(image_parameters::kSize, 108u);
    EXPECT_EQ(biometric_data::kHeaderSize, 8u);
}

TEST(ImpressionRecord, FieldsLandAtTheirOffsetsLittleEndian)
{
    Impression impression = MakeImpression(90, 7, {{11, 12, 13}});
    impression.recordSize = 0x01020304;
    impression.kind = 3;
    impression.blocks[0] = 40;
    impression.blocks[449] = 41;
    impression.x[69] = 99;
    impression.y[69] = 98;
    impression.direction[69] = 22;
    const std::vector<uint8_t> record = ToRecord(impression);

    EXPECT_EQ(record[0], 0x04);
    EXPECT_EQ(record[3], 0x01);
    EXPECT_EQ(record[4], 3);
    EXPECT_EQ(record[8], 90);
    EXPECT_EQ(record[9], 7);
    EXPECT_EQ(record[10], 25);
    EXPECT_EQ(record[11], 1);
    EXPECT_EQ(record[12], 40);
    EXPECT_EQ(record[461], 41);
    EXPECT_EQ(record[462], 11);
    EXPECT_EQ(record[532], 12);
    EXPECT_EQ(record[602], 13);
    EXPECT_EQ(record[531], 99);
    EXPECT_EQ(record[601], 98);
    EXPECT_EQ(record[671], 22);

    Impression back;
    ASSERT_TRUE(ReadImpression(record.data(), record.size(), back));
    EXPECT_EQ(back, impression);
    EXPECT_FALSE(ReadImpression(record.data(), record.size() - 1, back));
    std::vector<uint8_t> shortBuffer(671);
    EXPECT_FALSE(WriteImpression(impression, shortBuffer.data(), shortBuffer.size()));
}

TEST(CheckImpressionRecord, TableOfRecords)
{
    const Impression valid = MakeImpression(60, 4, {{5, 5, 0}, {138, 194, 24}, {70, 100, 12}, {20, 30, 23}}, 30);
    struct Case {
        std::string name;
        std::function<void(Impression&)> change;
        bool valid;
    };
    const Case cases[] = {
        {"valid as built", [](Impression&) {}, true},
        {"empty: count 0, the rest garbage", [](Impression& r) { r.count = 0; r.blockRows = 3; r.blocks[0] = 200; }, true},
        {"empty: quality 0, the rest garbage", [](Impression& r) { r.quality = 0; r.count = 99; }, true},
        {"row count not 25", [](Impression& r) { r.blockRows = 24; }, false},
        {"count 3", [](Impression& r) { r.count = 3; }, false},
        {"count 71", [](Impression& r) { r.count = 71; }, false},
        {"count 70", [](Impression& r) { r.count = 70; for (int i = 4; i < 70; ++i) { r.x[i] = 50; r.y[i] = 50; } }, true},
        {"quality 101", [](Impression& r) { r.quality = 101; }, false},
        {"quality 100", [](Impression& r) { r.quality = 100; }, true},
        {"kind 3, finger code 11", [](Impression& r) { r.fingerCode = 11; }, false},
        {"kind 3, finger code 10", [](Impression& r) { r.fingerCode = 10; }, true},
        {"kind 1, byte 9 is 18", [](Impression& r) { r.kind = 1; r.fingerCode = 18; }, true},
        {"kind 1, byte 9 is 1", [](Impression& r) { r.kind = 1; r.fingerCode = 1; }, true},
        {"kind 1, byte 9 is 4", [](Impression& r) { r.kind = 1; r.fingerCode = 4; }, false},
        {"block 61", [](Impression& r) { r.blocks[449] = 61; }, true},
        {"block 62", [](Impression& r) { r.blocks[449] = 62; }, false},
        {"block negative as a signed byte", [](Impression& r) { r.blocks[0] = 0x80; }, false},
        {"x 4", [](Impression& r) { r.x[2] = 4; }, false},
        {"x 139", [](Impression& r) { r.x[2] = 139; }, false},
        {"y 4", [](Impression& r) { r.y[3] = 4; }, false},
        {"y 195", [](Impression& r) { r.y[3] = 195; }, false},
        {"direction 25", [](Impression& r) { r.direction[0] = 25; }, false},
        {"bad minutia beyond the count", [](Impression& r) { r.x[4] = 200; r.direction[4] = 99; }, true},
    };
    for (const Case& c : cases) {
        Impression r = valid;
        c.change(r);
        const std::vector<uint8_t> record = ToRecord(r);
        EXPECT_EQ(CheckImpressionRecord(record.data(), record.size()), c.valid) << c.name;
    }
    const std::vector<uint8_t> record = ToRecord(valid);
    EXPECT_FALSE(CheckImpressionRecord(record.data(), record.size() - 1));
    EXPECT_FALSE(CheckImpressionRecord(nullptr, 672));
}

TEST(BiometricDataTypes, MaximumSizesAndStoredIds)
{
    struct Case {
        int32_t id;
        int32_t maxSize;
        int32_t storedAs;
    };
    const Case cases[] = {
        {1, 6728, 1},       {2, 6728, 1},       {101, 6728, 101},   {10, 13470, 10},    {11, 13470, 10},
        {110, 13470, 110},  {111, 13470, 110},  {20, 5400, 20},     {120, 5400, 120},   {139, 2719, 139},
        {140, 10884, 140},  {150, 268808, 150}, {151, 268808, 150}, {152, 268808, 150}, {153, 268808, 150},
        {163, 268808, 150}, {161, 92308, 161},  {162, 46608, 162},  {164, 71908, 164},  {165, 36408, 165},
        {167, 5384, 167},
    };
    for (const Case& c : cases) {
        int32_t size = -1;
        EXPECT_EQ(XGetMaxBiometricDataSize(c.id, &size), result::Success) << c.id;
        EXPECT_EQ(size, c.maxSize) << c.id;
        ASSERT_NE(FindBiometricDataType(c.id), nullptr);
        EXPECT_EQ(FindBiometricDataType(c.id)->storedAs, c.storedAs) << c.id;
    }
    for (int32_t unknown : {0, 3, 100, 160, 166, 168, -1, -150}) {
        int32_t size = -1;
        EXPECT_EQ(XGetMaxBiometricDataSize(unknown, &size), result::UnknownBiometricDataId) << unknown;
        EXPECT_EQ(size, 0) << unknown;
    }
}

TEST(HeaderFieldChecks, NegativeAndUnknownValuesAreRefused)
{
    for (int32_t id = -3; id <= 20; ++id) {
        const bool known = id >= 0 && id <= 16 && id != 6 && id != 7 && id != 13;
        EXPECT_EQ(CheckScannerId(id), known ? result::Success : result::BadScannerId) << id;
    }
    EXPECT_EQ(CheckScannerId(INT32_MIN), result::BadScannerId);
    for (int32_t value : {-1, 11, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(CheckFingerCode(value), result::BadImageIndex) << value;
        EXPECT_EQ(CheckImpressionIndex(value), result::BadImpressionIndex) << value;
    }
    for (int32_t value : {0, 10}) {
        EXPECT_EQ(CheckFingerCode(value), result::Success);
        EXPECT_EQ(CheckImpressionIndex(value), result::Success);
    }
}

} // namespace
} // namespace vela::engine

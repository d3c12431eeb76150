// The ISO image processor and matcher through the library's exported
// interface: finger image records in, finger minutiae records out.
#include <gtest/gtest.h>

#include "ObjectTestSupport.h"

namespace vela::standard::test {
namespace {

namespace ex = base::exceptions;

smart_ptr<iso::FingerImageData> RecordOf(std::initializer_list<std::pair<uint8_t, smart_ptr<base::Image>>> views)
{
    auto record = iso::Create_FingerImageData(0x77, 500, 500, 500, 500, 8, iso::COMPRESSION_NONE);
    smart_ptr<iso::FingerImageFinger> finger;
    for (const auto& [position, image] : views) {
        if (!finger || finger->GetPosition() != position)
            finger = record->AddFinger(position);
        finger->AddImage(image, 80, 0);
    }
    return record;
}

TEST(IsoImageProcessor, RefusesRecordsItCannotTurnIntoATemplate)
{
    auto processor = iso_math::Create_ImageProcessor();
    smart_ptr<base::Image> small(new ClientImage(150, 150, 8, 500, 500, 150));
    smart_ptr<base::Image> other(new ClientImage(160, 150, 8, 500, 500, 160));
    EXPECT_EQ(FailureOf([&] { processor->CreateTemplate(RecordOf({{1, small}, {1, small}, {2, small}})); }),
              "currently supported only 1 or 2-finger iso-templates");
    EXPECT_EQ(FailureOf([&] { processor->CreateTemplate(RecordOf({})); }),
              "currently supported only 1 or 2-finger iso-templates");
    EXPECT_EQ(FailureOf([&] { processor->CreateTemplate(RecordOf({{1, small}, {2, other}})); }),
              "not all images are of the same size");
    EXPECT_EQ(FailureOf([&] { processor->CreateTemplate(RecordOf({{1, small}})); }), "can not create iso template");
    EXPECT_THROW(processor->CreateTemplate(base::Create_ImageSet(small)), ex::not_implemented);
    EXPECT_THROW(processor->CreateTemplate(small), ex::not_implemented);
}

TEST(IsoMatcher, TemplatesOfRealImpressionsAndTheThresholds)
{
    auto a1 = SharedImage(3, 1), a2 = SharedImage(3, 2), b1 = SharedImage(4, 1);
    if (a1.empty() || a2.empty() || b1.empty())
        GTEST_SKIP() << "shared fingerprints not found under " << PV_SHARED_DATA_DIR;
    auto processor = iso_math::Create_ImageProcessor();
    // Padded rows must not change the template.
    auto first = processor->CreateTemplate(RecordOf({{2, a1}}));
    auto padded = processor->CreateTemplate(RecordOf({{2, smart_ptr<base::Image>(PaddedCopy(a1, 5))}}));
    ASSERT_EQ(first->GetDataSize(), padded->GetDataSize());
    EXPECT_EQ(std::vector<uint8_t>(first->GetData(), first->GetData() + first->GetDataSize()),
              std::vector<uint8_t>(padded->GetData(), padded->GetData() + padded->GetDataSize()));
    EXPECT_EQ(first->GetViewCount(), 1);
    EXPECT_EQ(first->GetView(0)->GetFingerPosition(), 2);
    EXPECT_EQ(first->GetCaptureEquipmentID(), 0x77);
    EXPECT_EQ(first->GetXSize(), 248);
    EXPECT_EQ(first->GetYSize(), 338);
    EXPECT_EQ(first->GetXResolution(), 197);

    auto two = processor->CreateTemplate(RecordOf({{2, a2}, {5, b1}}));
    ASSERT_EQ(two->GetViewCount(), 2);
    EXPECT_EQ(two->GetView(1)->GetFingerPosition(), 5);
    const int n = two->GetView(0)->GetMinutiaeCount();
    EXPECT_EQ(two->GetData()[24 + 4 + 5 * n], 5) << "the second view follows the first's minutiae";

    auto other = processor->CreateTemplate(RecordOf({{2, b1}}));
    auto matcher = iso_math::Create_Matcher(math::SECURITY_LEVEL_MEDIUM);
    const int32_t genuine = matcher->Match(first, two)->GetScore();
    const int32_t impostor = matcher->Match(first, other)->GetScore();
    EXPECT_GT(genuine, impostor);
    for (int level : {1, 2, 3}) {
        matcher->SetSecurityLevel(level);
        const int32_t threshold = level == 1 ? 1400 : level == 2 ? 1600 : 2100;
        EXPECT_EQ(matcher->Verify(first, two), genuine >= threshold) << level;
        EXPECT_EQ(matcher->Verify(first, other), impostor >= threshold) << level;
    }
    matcher->SetSecurityLevel(7);
    EXPECT_EQ(matcher->GetSecurityLevel(), 7);
    EXPECT_EQ(matcher->Verify(first, two), genuine >= 2100) << "another level keeps the threshold";
    auto unknownLevel = iso_math::Create_Matcher(static_cast<math::SecurityLevel>(9));
    EXPECT_EQ(unknownLevel->Verify(first, two), genuine >= 1600);

    // A record the comparison cannot read.
    std::vector<uint8_t> bytes(first->GetData(), first->GetData() + first->GetDataSize());
    bytes[24] = 0; // finger position 0
    auto broken = iso::Create_FingerMinutiaeRecord(Create_MemoryStream(bytes.data(), static_cast<int32_t>(bytes.size())));
    EXPECT_EQ(FailureOf([&] { matcher->Match(broken, first); }), "can not compare templates");
}

} // namespace
} // namespace vela::standard::test

// The INCITS 378 image processor, template and matcher through the
// library's exported interface.
#include <gtest/gtest.h>

#include "ObjectTestSupport.h"

namespace vela::standard::test {
namespace {

namespace ex = base::exceptions;

smart_ptr<math::Finger> FingerOf(math::finger_code code, std::initializer_list<smart_ptr<base::Image>> images)
{
    smart_ptr<math::Finger> finger = math::Create_Finger(code);
    for (const auto& image : images)
        finger->AddImage(image);
    return finger;
}

TEST(Incits378ImageProcessor, ChecksSizesAndResolutionsBeforeTheEngine)
{
    auto processor = incits378::Create_ImageProcessor();
    const auto make = [&](int32_t w, int32_t h, int32_t xDpi, int32_t yDpi) {
        smart_ptr<base::Image> image(new ClientImage(w, h, 8, xDpi, yDpi, w));
        return FailureOf([&] { processor->CreateTemplate(1, image); });
    };
    EXPECT_EQ(make(99, 100, 500, 500), "Wrong image width");
    EXPECT_EQ(make(100, 99, 500, 500), "Wrong image height");
    EXPECT_EQ(make(100, 100, 100, 500), "Wrong image horizontal resolution");
    EXPECT_EQ(make(100, 100, 500, 100), "Wrong image vertical resolution");
    // 102 dpi is 40 pixels per cm: the checks pass and the blank image is the engine's to refuse.
    EXPECT_EQ(make(100, 100, 102, 102), "Low quality");

    smart_ptr<math::FingerSet> set = Create_FingerSet();
    set->Add(FingerOf(math::RIGHT_THUMB, {smart_ptr<base::Image>(new ClientImage(120, 120, 8, 500, 500, 120))}));
    set->Add(FingerOf(math::RIGHT_INDEX, {smart_ptr<base::Image>(new ClientImage(120, 120, 8, 500, 400, 120))}));
    EXPECT_EQ(FailureOf([&] { processor->CreateTemplate(set); }), "Images of different size or resolution");
    EXPECT_TRUE(processor->CreateTemplate(Create_FingerSet()).empty());
    smart_ptr<base::Image> fourBit(new ClientImage(120, 120, 4, 500, 500, 60));
    EXPECT_THROW(processor->CreateTemplate(1, fourBit), ex::invalid_argument);
}

TEST(Incits378Matcher, RecordsFromPaddedImagesMatchTheirFingerAndSaveUnchanged)
{
    auto a1 = SharedImage(1, 1), a2 = SharedImage(1, 2), b1 = SharedImage(2, 1);
    if (a1.empty() || a2.empty() || b1.empty())
        GTEST_SKIP() << "shared fingerprints not found under " << PV_SHARED_DATA_DIR;
    auto processor = incits378::Create_ImageProcessor();
    auto first = processor->CreateTemplate(math::RIGHT_THUMB, a1);
    // Rows padded by 7 bytes must give the same record as the unpadded image.
    EXPECT_EQ(StreamBytes([&] {
                  auto s = Create_MemoryStream(nullptr, 0);
                  processor->CreateTemplate(math::RIGHT_THUMB, smart_ptr<base::Image>(PaddedCopy(a1, 7)))->Save(s);
                  return s;
              }()),
              StreamBytes([&] {
                  auto s = Create_MemoryStream(nullptr, 0);
                  first->Save(s);
                  return s;
              }()));
    EXPECT_EQ(first->GetValue(), 0.0f);
    // A 24-bit image is turned grey by the library's own conversion, on a copy.
    smart_ptr<ClientImage> colour(new ClientImage(a1->GetWidth(), a1->GetHeight(), 24, 500, 500, a1->GetWidth() * 3 + 2));
    const base::Image& grey = *a1;
    for (int32_t y = 0; y < a1->GetHeight(); ++y)
        for (int32_t x = 0; x < a1->GetWidth(); ++x)
            for (int c = 0; c < 3; ++c)
                colour->At(3 * x + c, y) = grey.GetData()[static_cast<size_t>(y) * grey.GetRowBytes() + x];
    const auto savedOf = [](const smart_ptr<incits378::Template>& t) {
        auto s = Create_MemoryStream(nullptr, 0);
        t->Save(s);
        return StreamBytes(s);
    };
    auto converted = render::Create_BMP_Image(smart_ptr<base::Image>(colour));
    converted->ConvertTo8Bpp();
    EXPECT_EQ(savedOf(processor->CreateTemplate(math::RIGHT_THUMB, smart_ptr<base::Image>(colour))),
              savedOf(processor->CreateTemplate(math::RIGHT_THUMB, smart_ptr<base::Image>(converted))));
    EXPECT_EQ(colour->GetBitsPerPixel(), 24) << "the caller's image is left as it was";
    auto second = processor->CreateTemplate(math::RIGHT_THUMB, base::Create_ImageSet(a2));
    auto other = processor->CreateTemplate(math::RIGHT_THUMB, b1);
    auto matcher = incits378::Create_Matcher();
    const int32_t genuine = matcher->Match(first, second)->GetScore();
    const int32_t impostor = matcher->Match(first, other)->GetScore();
    EXPECT_GT(genuine, impostor);
    EXPECT_LE(genuine, 1000);

    // Saved and read back: the same bytes and the same score.
    auto stream = Create_MemoryStream(nullptr, 0);
    first->Save(stream);
    const std::vector<uint8_t> saved = StreamBytes(stream);
    stream->Seek(0, base::SeekOrigin::Begin);
    auto reread = incits378::Create_Template(stream);
    EXPECT_EQ(matcher->Match(reread, second)->GetScore(), genuine);

    // Two fingers in one record: one view each, in set order.
    smart_ptr<math::FingerSet> set = Create_FingerSet();
    set->Add(FingerOf(math::LEFT_INDEX, {a1, a2}));
    set->Add(FingerOf(math::LEFT_RING, {b1}));
    auto both = processor->CreateTemplate(set);
    auto out = Create_MemoryStream(nullptr, 0);
    both->Save(out);
    const auto bytes = StreamBytes(out);
    ASSERT_GT(bytes.size(), 30u);
    EXPECT_EQ(bytes[24], 3);
    EXPECT_EQ(bytes[26], math::LEFT_INDEX);
}

TEST(Incits378Matcher, EngineFailuresCarryTheirReasons)
{
    auto matcher = incits378::Create_Matcher();
    const uint8_t junk[100] = {'F', 'M', 'R', 0, ' ', '2', '0', 0, 0, 91};
    auto a = incits378::Create_Template(Create_MemoryStream(junk, sizeof junk));
    try {
        matcher->Match(a, a);
        FAIL() << "no failure";
    } catch (const ex::incits378_error& e) {
        EXPECT_STREQ(e.what(), "Data coruption");
    }
    // Read from the stream's position to its end.
    auto stream = Create_MemoryStream(junk, sizeof junk);
    stream->Seek(10, base::SeekOrigin::Begin);
    auto tail = incits378::Create_Template(stream);
    auto out = Create_MemoryStream(nullptr, 0);
    tail->Save(out);
    EXPECT_EQ(out->Size(), 90);
}

} // namespace
} // namespace vela::standard::test

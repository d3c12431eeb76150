// CreateIsoTemplate: parameter and buffer checks, and the template written
// for real impressions read back field by field from the record layout.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "base/ByteOrder.h"
#include "engine/standard/StandardTemplates.h"
#include "engine/standard/tests/StandardTestSupport.h"

namespace vela::engine::test {
namespace {

IsoTemplateRequest Request(const GreyPicture& p, int32_t second = 0)
{
    return IsoTemplateRequest{2, second, p.width, p.height, 197, 197, 0, 15000, 0x3, 0x123, 0};
}

std::vector<uint8_t> TwoViews(const GreyPicture& a, const GreyPicture& b)
{
    std::vector<uint8_t> pixels = a.pixels;
    pixels.insert(pixels.end(), b.pixels.begin(), b.pixels.end());
    return pixels;
}

TEST(CreateIsoTemplate, RefusesParametersAndBuffersOutOfRange)
{
    const GreyPicture p = RingPattern(200, 200, 9);
    std::vector<uint8_t> out(568);
    struct Case {
        const char* name;
        void (*change)(IsoTemplateRequest&);
    };
    const Case cases[] = {
        {"first position 0", [](IsoTemplateRequest& r) { r.firstPosition = 0; }},
        {"first position 11", [](IsoTemplateRequest& r) { r.firstPosition = 11; }},
        {"second position 11", [](IsoTemplateRequest& r) { r.secondPosition = 11; }},
        {"width 99", [](IsoTemplateRequest& r) { r.width = 99; }},
        {"height 99", [](IsoTemplateRequest& r) { r.height = 99; }},
        {"width past 16 bits", [](IsoTemplateRequest& r) { r.width = 65536; }},
        {"x resolution 39", [](IsoTemplateRequest& r) { r.xResolution = 39; }},
        {"y resolution 39", [](IsoTemplateRequest& r) { r.yResolution = 39; }},
        {"resolution past 16 bits", [](IsoTemplateRequest& r) { r.yResolution = 70000; }},
        {"rescaled to nothing", [](IsoTemplateRequest& r) { r.width = 100, r.xResolution = 65535; }},
        {"threshold 0", [](IsoTemplateRequest& r) { r.blockEnergy = 0; }},
        {"impression type 1", [](IsoTemplateRequest& r) { r.impressionType = 1; }},
    };
    for (const Case& c : cases) {
        IsoTemplateRequest r = Request(p);
        c.change(r);
        EXPECT_EQ(CreateIsoTemplate(p.pixels, r, out), standard_result::BadParameter) << c.name;
    }
    EXPECT_EQ(CreateIsoTemplate(p.pixels, Request(p, 3), out), standard_result::BadPixels);
    EXPECT_EQ(CreateIsoTemplate(std::span(p.pixels).first(p.pixels.size() - 1), Request(p), out),
              standard_result::BadPixels);
    std::vector<uint8_t> shortOut(567);
    EXPECT_EQ(CreateIsoTemplate(p.pixels, Request(p), shortOut), standard_result::BadOutput);
    EXPECT_EQ(GetIsoTemplateSize(), 568);
}

TEST(CreateIsoTemplate, BlankImageIsLowQuality)
{
    const GreyPicture blank{300, 400, std::vector<uint8_t>(300 * 400, 200)};
    std::vector<uint8_t> out(568);
    EXPECT_EQ(CreateIsoTemplate(blank.pixels, Request(blank), out), standard_result::LowQuality);
}

TEST(CreateIsoTemplate, TwoViewsLaidOutAsTheRecordSays)
{
    const GreyPicture a = SharedFingerprint(1, 1), b = SharedFingerprint(2, 1);
    if (a.width == 0 || b.width == 0)
        GTEST_SKIP() << "shared fingerprints not found under " << SharedData();
    const std::vector<uint8_t> pixels = TwoViews(a, b);
    std::vector<uint8_t> t(568, 0xAB);
    const int32_t length = CreateIsoTemplate(pixels, Request(a, 7), t);
    ASSERT_GT(length, 0);
    EXPECT_EQ(pixels, TwoViews(a, b)) << "the caller's pixels are left as they were";

    // Template header.
    EXPECT_EQ(ReadBe<uint32_t>(t.data()), static_cast<uint32_t>(length));
    EXPECT_EQ(std::vector<uint8_t>(t.begin() + 4, t.begin() + 10), (std::vector<uint8_t>{1, 4, 1, 1, 2, 3}));
    EXPECT_EQ(t[11], 1);
    EXPECT_EQ(ReadBe<uint32_t>(t.data() + 12), 8u);
    // Record header (ISO/IEC 19794-2 general header, the engine's view count).
    const uint8_t* r = t.data() + 16;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r), 3), "FMR");
    EXPECT_EQ(std::vector<uint8_t>(r + 3, r + 8), (std::vector<uint8_t>{0, 0x20, '1', '1', 0}));
    EXPECT_EQ(ReadBe<uint32_t>(r + 8), static_cast<uint32_t>(length - 16));
    EXPECT_EQ(ReadBe<uint16_t>(r + 12), 0x3123);
    EXPECT_EQ(ReadBe<uint16_t>(r + 14), 248);
    EXPECT_EQ(ReadBe<uint16_t>(r + 16), 338);
    EXPECT_EQ(ReadBe<uint16_t>(r + 18), 197);
    EXPECT_EQ(ReadBe<uint16_t>(r + 20), 197);
    EXPECT_EQ(r[22], 1);
    EXPECT_EQ(r[23], 0);
    // Views: 4 header bytes and 5-byte minutiae, the second right after the first.
    const uint8_t* v1 = r + 24;
    const uint8_t* v2 = v1 + 4 + 5 * v1[3];
    EXPECT_EQ(v1[0], 2);
    EXPECT_EQ(v2[0], 7);
    EXPECT_EQ(v1[1], 0);
    EXPECT_EQ(v2[1], 0);
    EXPECT_EQ(t[10], (v1[2] + v2[2]) / 2);
    EXPECT_EQ(v2 + 4 + 5 * v2[3], t.data() + length);
    for (const uint8_t* v : {v1, v2}) {
        EXPECT_GE(v[2], 5);
        EXPECT_GE(v[3], 4);
        EXPECT_LE(v[3], 52);
        int endings = 0;
        for (int i = 0; i < v[3]; ++i) {
            const uint8_t* m = v + 4 + 5 * i;
            const int type = m[0] >> 6;
            EXPECT_LE(type, 1) << "only ridge endings (1) and bifurcations (0)";
            endings += type;
            EXPECT_EQ(m[2] >> 6, 0);
            // Inside the picture: 248 x 338 pixels at 197 per cm, in thousandths of a cm.
            EXPECT_LT(ReadBe<uint16_t>(m) & 0x3FFF, 248 * 1000 / 197 + 6);
            EXPECT_LT(ReadBe<uint16_t>(m + 2), 338 * 1000 / 197 + 6);
        }
        EXPECT_GT(endings, 0);
        EXPECT_LT(endings, v[3]);
    }
    // The comparison reads what the writer wrote.
    EXPECT_GT(CompareIsoTemplates(std::span(t).first(length), std::span(t).first(length)), 1400);
}

// Client threads create templates at once: each call has its own work area,
// so the bytes are those of the same calls made one after the other.
TEST(CreateIsoTemplate, TwoThreadsAtOnceGiveTheSameBytesAsOneAfterTheOther)
{
    const GreyPicture a = SharedFingerprint(3, 2), b = SharedFingerprint(4, 5);
    if (a.width == 0 || b.width == 0)
        GTEST_SKIP() << "shared fingerprints not found under " << SharedData();
    const auto make = [](const GreyPicture& p) {
        std::vector<uint8_t> out(568);
        out.resize(static_cast<size_t>(std::max(0, CreateIsoTemplate(p.pixels, Request(p), out))));
        return out;
    };
    const std::vector<uint8_t> expectA = make(a), expectB = make(b);
    ASSERT_FALSE(expectA.empty());
    ASSERT_FALSE(expectB.empty());
    std::vector<uint8_t> gotA, gotB;
    std::thread first([&] { gotA = make(a); });
    std::thread second([&] { gotB = make(b); });
    first.join();
    second.join();
    EXPECT_EQ(gotA, expectA);
    EXPECT_EQ(gotB, expectB);
}

} // namespace
} // namespace vela::engine::test

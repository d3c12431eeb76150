// INCITS 378 records: sizes, descriptor checks, the record read back from the
// ANSI layout, the cross-check with the ISO writer at 170 pixels per cm, and
// hostile records for the comparison.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ByteOrder.h"
#include "engine/records/RoundHalfAway.h"
#include "engine/standard/StandardTemplates.h"
#include "engine/standard/tests/StandardRecordBuilders.h"
#include "engine/standard/tests/StandardTestSupport.h"

namespace vela::engine::test {
namespace {

IncitsImageDescriptor Descriptor(const GreyPicture& p, std::initializer_list<uint8_t> codes, int32_t ppcm = 197)
{
    IncitsImageDescriptor d;
    d.imageCount = static_cast<int32_t>(codes.size());
    std::copy(codes.begin(), codes.end(), d.fingerCodes);
    d.width = p.width;
    d.height = p.height;
    d.xResolution = d.yResolution = ppcm;
    d.blockEnergy = 15000;
    d.productId = 0xCAFE0001;
    d.complianceFlags = 0x2;
    d.captureEquipmentId = 0x456;
    d.impressionType = 1;
    return d;
}

std::vector<uint8_t> Repeat(const GreyPicture& p, int times)
{
    std::vector<uint8_t> pixels;
    for (int k = 0; k < times; ++k)
        pixels.insert(pixels.end(), p.pixels.begin(), p.pixels.end());
    return pixels;
}

TEST(GetIncitsRecordSize, ShortAndLongHeaders)
{
    const struct {
        int32_t count, size;
    } cases[] = {{1, 452}, {153, 65204}, {154, 65634}, {176, 75006}, {200, 75006}, {0, 26}};
    for (const auto& c : cases)
        EXPECT_EQ(GetIncitsRecordSize(c.count), c.size) << c.count;
}

TEST(CreateIncitsRecord, RefusesDescriptorsOutOfRange)
{
    const GreyPicture p = RingPattern(120, 120, 9);
    std::vector<uint8_t> pixels = Repeat(p, 17);
    std::vector<uint8_t> out(static_cast<size_t>(GetIncitsRecordSize(17)));
    struct Case {
        const char* name;
        void (*change)(IncitsImageDescriptor&);
    };
    const Case cases[] = {
        {"no images", [](IncitsImageDescriptor& d) { d.imageCount = 0; }},
        {"177 images", [](IncitsImageDescriptor& d) { d.imageCount = 177; }},
        {"width 99", [](IncitsImageDescriptor& d) { d.width = 99; }},
        {"height past 16 bits", [](IncitsImageDescriptor& d) { d.height = 65536; }},
        {"resolution 39", [](IncitsImageDescriptor& d) { d.xResolution = 39; }},
        {"resolution past 16 bits", [](IncitsImageDescriptor& d) { d.yResolution = 65536; }},
        {"resampling factor 0", [](IncitsImageDescriptor& d) { d.xResolution = 60000; }},
        {"threshold 0", [](IncitsImageDescriptor& d) { d.blockEnergy = 0; }},
        {"impression type 10", [](IncitsImageDescriptor& d) { d.impressionType = 10; }},
        {"finger code 11", [](IncitsImageDescriptor& d) { d.fingerCodes[0] = 11; }},
        {"17 views of finger 3", [](IncitsImageDescriptor& d) {
             d.imageCount = 17;
             std::fill_n(d.fingerCodes, 17, 3);
         }},
    };
    for (const Case& c : cases) {
        IncitsImageDescriptor d = Descriptor(p, {3});
        c.change(d);
        EXPECT_EQ(CreateIncitsRecord(pixels, d, out), standard_result::BadParameter) << c.name;
    }
    EXPECT_EQ(CreateIncitsRecord(std::span(p.pixels).first(100), Descriptor(p, {3}), out), standard_result::BadPixels);
    std::vector<uint8_t> shortOut(451);
    EXPECT_EQ(CreateIncitsRecord(p.pixels, Descriptor(p, {3}), shortOut), standard_result::BadOutput);
    const GreyPicture blank{150, 150, std::vector<uint8_t>(150 * 150, 10)};
    EXPECT_EQ(CreateIncitsRecord(blank.pixels, Descriptor(blank, {3}), out), standard_result::LowQuality);
}

TEST(CreateIncitsRecord, RecordReadBackFromTheAnsiLayout)
{
    const GreyPicture a = SharedFingerprint(5, 1), b = SharedFingerprint(5, 2);
    if (a.width == 0 || b.width == 0)
        GTEST_SKIP() << "shared fingerprints not found under " << SharedData();
    std::vector<uint8_t> pixels = a.pixels;
    pixels.insert(pixels.end(), b.pixels.begin(), b.pixels.end());
    std::vector<uint8_t> r(static_cast<size_t>(GetIncitsRecordSize(2)));
    const int32_t length = CreateIncitsRecord(pixels, Descriptor(a, {3, 3}), r);
    ASSERT_GT(length, 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data()), 3), "FMR");
    EXPECT_EQ(std::vector<uint8_t>(r.begin() + 3, r.begin() + 8), (std::vector<uint8_t>{0, 0x20, '2', '0', 0}));
    EXPECT_EQ(ReadBe<uint16_t>(r.data() + 8), length);
    EXPECT_EQ(ReadBe<uint32_t>(r.data() + 10), 0xCAFE0001u);
    EXPECT_EQ(ReadBe<uint16_t>(r.data() + 14), 0x2456);
    EXPECT_EQ(ReadBe<uint16_t>(r.data() + 16), 248);
    EXPECT_EQ(ReadBe<uint16_t>(r.data() + 18), 338);
    EXPECT_EQ(ReadBe<uint16_t>(r.data() + 20), 197);
    EXPECT_EQ(ReadBe<uint16_t>(r.data() + 22), 197);
    EXPECT_EQ(r[24], 2);
    EXPECT_EQ(r[25], 0);
    size_t at = 26;
    for (int view = 0; view < 2; ++view) {
        const uint8_t* v = r.data() + at;
        EXPECT_EQ(v[0], 3);
        EXPECT_EQ(v[1], view << 4 | 1) << "view number of finger 3, impression type 1";
        EXPECT_GE(v[2], 5);
        EXPECT_GE(v[3], 10);
        EXPECT_LE(v[3], 70);
        for (int i = 0; i < v[3]; ++i) {
            const uint8_t* m = v + 4 + 6 * i;
            EXPECT_TRUE(m[0] >> 6 == 1 || m[0] >> 6 == 2) << "ending 01 or bifurcation 10";
            EXPECT_LT(ReadBe<uint16_t>(m) & 0x3FFF, 248 + 2);
            EXPECT_LT(ReadBe<uint16_t>(m + 2), 338 + 2);
            EXPECT_LT(m[4], 180);
            EXPECT_EQ(m[5], 0);
        }
        at += 4 + 6 * v[3];
        EXPECT_EQ(ReadBe<uint16_t>(r.data() + at), 0) << "no extended data";
        at += 2;
    }
    EXPECT_EQ(at, static_cast<size_t>(length));
    EXPECT_GT(CompareIncitsRecords(std::span(r).first(length), std::span(r).first(length)), 500);
}

// At 170 pixels per cm neither writer resamples: every ISO minutia is an
// INCITS one by the unit conversions (thousandths of a cm from pixels, 256
// angle steps from 2-degree steps, the type codes), in the same order.
TEST(CreateIncitsRecord, IsoMinutiaeMapOntoIncitsOnesAt170PixelsPerCm)
{
    const GreyPicture p = SharedFingerprint(2, 3);
    if (p.width == 0)
        GTEST_SKIP() << "shared fingerprints not found under " << SharedData();
    std::vector<uint8_t> iso(568), incits(static_cast<size_t>(GetIncitsRecordSize(1)));
    const IsoTemplateRequest request{1, 0, p.width, p.height, 170, 170, 0, 15000, 0, 0, 0};
    ASSERT_GT(CreateIsoTemplate(p.pixels, request, iso), 0);
    ASSERT_GT(CreateIncitsRecord(p.pixels, Descriptor(p, {1}, 170), incits), 0);
    const uint8_t* isoView = iso.data() + 40;
    const uint8_t* incitsView = incits.data() + 26;
    EXPECT_EQ(isoView[2], incitsView[2]) << "the same quality";
    ASSERT_LE(isoView[3], incitsView[3]);
    int k = 0;
    for (int i = 0; i < isoView[3]; ++i) {
        const uint8_t* m = isoView + 4 + 5 * i;
        for (; k < incitsView[3]; ++k) {
            const uint8_t* n = incitsView + 4 + 6 * k;
            const int isoType = m[0] >> 6, incitsType = n[0] >> 6;
            const int x = ReadBe<uint16_t>(n) & 0x3FFF, y = ReadBe<uint16_t>(n + 2);
            if ((ReadBe<uint16_t>(m) & 0x3FFF) == RoundHalfAway(x * 1000.0 / 170) && ReadBe<uint16_t>(m + 2) == RoundHalfAway(y * 1000.0 / 170) &&
                incitsType == 2 - isoType && n[4] == m[4] * 180 / 256)
                break;
        }
        EXPECT_LT(k, incitsView[3]) << "ISO minutia " << i << " has no INCITS counterpart in order";
        ++k;
    }
}

TEST(CreateIncitsRecord, ManyViewsKeepTheShortHeaderWhenTheyFit)
{
    const GreyPicture p = SharedFingerprint(1, 4);
    if (p.width == 0)
        GTEST_SKIP() << "shared fingerprints not found under " << SharedData();
    const int count = 154;
    IncitsImageDescriptor d = Descriptor(p, {});
    d.imageCount = count;
    for (int k = 0; k < count; ++k)
        d.fingerCodes[k] = static_cast<uint8_t>(k % 10 + 1);
    d.maxMinutiae = 10;
    std::vector<uint8_t> r(static_cast<size_t>(GetIncitsRecordSize(count)));
    const int32_t length = CreateIncitsRecord(Repeat(p, count), d, r);
    ASSERT_GT(length, 0);
    EXPECT_EQ(ReadBe<uint16_t>(r.data() + 8), length);
    EXPECT_EQ(r[24], count);
    EXPECT_EQ(r[26 + 3], 10) << "the caller's maximum";
}

TEST(CompareIncitsRecords, HostileRecordsGiveMinusSeven)
{
    const auto m = GridMinutiae(20, 1.0);
    const auto good = IncitsRecordBytes({{2, 70, m}});
    struct Case {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases = {
        {"length 91", [&] { auto r = good; r[8] = 0, r[9] = 91; return r; }()},
        {"length past the buffer", [&] { auto r = good; r[9] += 1; return r; }()},
        {"length one short", [&] { auto r = good; r[9] -= 1; return r; }()},
        {"long length below 65536", IncitsRecordBytes({{2, 70, m}}, {.longLength = true})},
        {"9 minutiae", IncitsRecordBytes({{2, 70, GridMinutiae(9, 1.0)}})},
        {"finger code 11", IncitsRecordBytes({{11, 70, m}})},
        {"count past the end", IncitsRecordBytes({{2, 70, m, 0, 40}})},
        {"views past the end", [&] { auto r = good; r[24] = 3; return r; }()},
        {"x resolution 0", IncitsRecordBytes({{2, 70, m}}, {.xResolution = 0})},
        {"y resolution 0", IncitsRecordBytes({{2, 70, m}}, {.yResolution = 0})},
        {"extended data past the end", [&] { auto r = good; r[r.size() - 1] = 5; return r; }()},
        {"span of 144 half pixels", [&] { auto v = m; v[0].x = 0, v[1].x = 340; return IncitsRecordBytes({{2, 70, v}}); }()},
        {"span of 200 half pixels", [&] { auto v = m; v[0].y = 0, v[1].y = 470; return IncitsRecordBytes({{2, 70, v}}); }()},
    };
    for (size_t cut = 0; cut < good.size(); cut += (cut < 40 ? 1 : 13))
        cases.push_back({"cut at " + std::to_string(cut), std::vector<uint8_t>(good.begin(), good.begin() + cut)});
    for (const Case& c : cases) {
        EXPECT_EQ(CompareIncitsRecords(c.bytes, good), standard_result::Malformed) << c.name;
        EXPECT_EQ(CompareIncitsRecords(good, c.bytes), standard_result::Malformed) << c.name;
    }
}

TEST(CompareIncitsRecords, ScoresViewsThatMayShowOneFinger)
{
    const auto m = GridMinutiae(30, 1.0, 3);
    const auto a = IncitsRecordBytes({{2, 70, m}});
    const int32_t self = CompareIncitsRecords(a, a);
    EXPECT_GT(self, 500);
    EXPECT_LE(self, 1000);
    EXPECT_EQ(CompareIncitsRecords(a, IncitsRecordBytes({{4, 70, m}})), 0) << "no shared finger code";
    EXPECT_EQ(CompareIncitsRecords(a, IncitsRecordBytes({{0, 70, m}})), self) << "code 0 meets every finger";
    EXPECT_EQ(CompareIncitsRecords(a, IncitsRecordBytes({{2, 70, m}}, {.extendedLength = 6})), self);
    EXPECT_EQ(CompareIncitsRecords(a, IncitsRecordBytes({{2, 70, GridMinutiae(30, 2.0, 3)}},
                                                        {.xResolution = 394, .yResolution = 394})),
              self) << "positions scale with the resolution";
    auto noViews = IncitsRecordBytes({{2, 70, m}});
    noViews[24] = 0;
    EXPECT_EQ(CompareIncitsRecords(noViews, a), 0);
    // More than 70 minutiae: the first 70 are kept.
    auto many = GridMinutiae(80, 0.9, 4);
    EXPECT_GE(CompareIncitsRecords(IncitsRecordBytes({{2, 70, many}}), a), 0);
}

} // namespace
} // namespace vela::engine::test

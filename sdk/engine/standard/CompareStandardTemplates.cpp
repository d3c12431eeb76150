#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "base/ByteOrder.h"
#include "engine/records/RoundHalfAway.h"
#include "engine/standard/PairScore.h"
#include "engine/standard/StandardTemplates.h"

namespace vela::engine {
namespace {

constexpr size_t kShortestIsoTemplate = 49;
constexpr size_t kIsoViewsOffset = 40;
constexpr int32_t kFewestIsoMinutiae = 4;
constexpr int32_t kMostIsoMinutiae = 52;
constexpr uint16_t kLow14Bits = 0x3FFF;
constexpr double kIsoUnitsToHalfPixels = 170 * 0.0005;

constexpr size_t kShortestIncitsRecord = 92;
constexpr uint32_t kLongLengthFrom = 65536;
constexpr int32_t kFewestIncitsMinutiae = 10;
constexpr uint8_t kMaxFingerCode = 10;

constexpr std::array<int32_t, 11> kIncitsScoreScale = {0, 54, 108, 272, 398, 572, 700, 820, 900, 950, 1000};

bool ValidIsoPosition(uint8_t position) { return position >= 1 && position <= 10; }
bool ValidIsoCount(int32_t count) { return count >= kFewestIsoMinutiae && count <= kMostIsoMinutiae; }

bool DecodeIsoView(const uint8_t* at, DecodedIsoView& view)
{
    view.finger = at[0];
    view.quality = at[2];
    view.count = at[3];
    const uint8_t* minutia = at + 4;
    for (int i = 0; i < view.count; ++i, minutia += 5) {
        view.angle[i] = (minutia[4] * 120 >> 8) % 120;
        view.x[i] = RoundHalfAway((ReadBe<uint16_t>(minutia) & kLow14Bits) * kIsoUnitsToHalfPixels);
        view.y[i] = RoundHalfAway((ReadBe<uint16_t>(minutia + 2) & kLow14Bits) * kIsoUnitsToHalfPixels);
    }
    return CentreView(view);
}

struct IncitsHeader {
    uint32_t length;
    size_t viewsOffset;
    int32_t viewCount;
    int32_t xResolution;
    int32_t yResolution;
};

int32_t ReadIncitsHeader(std::span<const uint8_t> r, IncitsHeader& header)
{
    if (r.size() < kShortestIncitsRecord)
        return standard_result::Malformed;
    size_t fields = 10;
    header.length = ReadBe<uint16_t>(r.data() + 8);
    if (header.length == 0) {
        header.length = ReadBe<uint32_t>(r.data() + 10);
        fields = 14;
        if (header.length < kLongLengthFrom)
            return standard_result::Malformed;
    } else if (header.length < kShortestIncitsRecord) {
        return standard_result::Malformed;
    }
    if (header.length > r.size())
        return standard_result::Malformed;
    header.xResolution = ReadBe<uint16_t>(r.data() + fields + 10);
    header.yResolution = ReadBe<uint16_t>(r.data() + fields + 12);
    header.viewCount = r[fields + 14];
    header.viewsOffset = fields + 16;
    if (header.viewCount > 0 && (header.xResolution == 0 || header.yResolution == 0))
        return standard_result::Malformed;
    return 0;
}

// Decodes the view at `at` and moves `at` past it, all inside the record.
int32_t DecodeIncitsView(std::span<const uint8_t> r, const IncitsHeader& header, size_t& at,
                         DecodedIncitsView& view)
{
    const size_t end = header.length;
    if (at + 4 > end)
        return standard_result::Malformed;
    const uint8_t* v = r.data() + at;
    const int32_t n = v[3];
    if (v[0] > kMaxFingerCode || n < kFewestIncitsMinutiae)
        return standard_result::Malformed;
    const size_t minutiaeEnd = at + 4 + 6 * static_cast<size_t>(n);
    if (minutiaeEnd + 2 > end)
        return standard_result::Malformed;
    const size_t next = minutiaeEnd + 2 + ReadBe<uint16_t>(r.data() + minutiaeEnd);
    if (next > end)
        return standard_result::Malformed;

    view.finger = v[0];
    view.quality = v[2];
    view.count = std::min<int32_t>(n, 70);
    const uint8_t* minutia = v + 4;
    for (int i = 0; i < view.count; ++i, minutia += 6) {
        view.angle[i] = (minutia[4] * 120 / 180) % 120;
        view.x[i] = RoundHalfAway((ReadBe<uint16_t>(minutia) & kLow14Bits) * 170.0 / (2.0 * header.xResolution));
        view.y[i] = RoundHalfAway(ReadBe<uint16_t>(minutia + 2) * 170.0 / (2.0 * header.yResolution));
    }
    if (!CentreView(view))
        return standard_result::Malformed;
    at = next;
    return 0;
}

int32_t DecodeIncitsViews(std::span<const uint8_t> r, const IncitsHeader& header,
                          std::vector<DecodedIncitsView>& views)
{
    size_t at = header.viewsOffset;
    for (DecodedIncitsView& view : views)
        if (const int32_t result = DecodeIncitsView(r, header, at, view); result != 0)
            return result;
    return 0;
}

} // namespace

// Every read lies inside the template's own length, which lies inside the
// buffer.
int32_t DecodeIsoTemplate(std::span<const uint8_t> t, DecodedIsoView (&views)[2], int& viewCount)
{
    if (t.size() < kShortestIsoTemplate)
        return standard_result::Malformed;
    const uint32_t total = ReadBe<uint32_t>(t.data());
    if (total > t.size())
        return standard_result::Malformed;
    const int more = t[38];
    if (more >= 2 || ReadBe<uint32_t>(t.data() + 24) != total - kIsoTemplateHeaderSize)
        return standard_result::Malformed;
    const uint8_t* first = t.data() + kIsoViewsOffset;
    const int32_t n = first[3];
    if (!ValidIsoPosition(first[0]) || !ValidIsoCount(n) || total < static_cast<uint32_t>(5 * n + 4 * more + 44))
        return standard_result::Malformed;
    if (more == 1) {
        const uint8_t* second = first + 4 + 5 * n;
        const int32_t m = second[3];
        if (!ValidIsoPosition(second[0]) || !ValidIsoCount(m) || total != static_cast<uint32_t>(5 * n + 5 * m + 48))
            return standard_result::Malformed;
    }
    viewCount = more + 1;
    const uint8_t* at = first;
    for (int v = 0; v < viewCount; ++v) {
        if (!DecodeIsoView(at, views[v]))
            return standard_result::Malformed;
        at += 4 + 5 * views[v].count;
    }
    return 0;
}

int32_t CompareIsoTemplates(std::span<const uint8_t> a, std::span<const uint8_t> b)
{
    DecodedIsoView viewsA[2], viewsB[2];
    int countA = 0, countB = 0;
    if (const int32_t result = DecodeIsoTemplate(a, viewsA, countA); result != 0)
        return result;
    if (const int32_t result = DecodeIsoTemplate(b, viewsB, countB); result != 0)
        return result;
    std::unique_ptr<PairScorer<52>> scorer;
    int32_t best = 0;
    for (int i = 0; i < countA; ++i) {
        for (int j = 0; j < countB; ++j) {
            if (viewsA[i].finger != viewsB[j].finger)
                continue;
            if (!scorer) {
                try {
                    scorer = std::make_unique<PairScorer<52>>();
                } catch (const std::bad_alloc&) {
                    return standard_result::OutOfMemory;
                }
            }
            best = std::max(best, scorer->ScorePair(viewsA[i], viewsB[j]));
        }
    }
    return best;
}

int32_t DecodeIncitsRecord(std::span<const uint8_t> r, std::vector<DecodedIncitsView>& views)
{
    IncitsHeader header{};
    if (const int32_t result = ReadIncitsHeader(r, header); result != 0)
        return result;
    try {
        views.assign(static_cast<size_t>(header.viewCount), DecodedIncitsView{});
    } catch (const std::bad_alloc&) {
        return standard_result::OutOfMemory;
    }
    return DecodeIncitsViews(r, header, views);
}

int32_t MapIncitsScore(int32_t value)
{
    if (value > 999)
        return 1000;
    int k = 0;
    while (k < 9 && value > kIncitsScoreScale[k + 1])
        ++k;
    const double part = static_cast<double>(value - kIncitsScoreScale[k]) / (kIncitsScoreScale[k + 1] - kIncitsScoreScale[k]);
    return RoundHalfAway((k + part) * 100);
}

int32_t CompareIncitsRecords(std::span<const uint8_t> a, std::span<const uint8_t> b)
{
    IncitsHeader headerA{}, headerB{};
    if (const int32_t result = ReadIncitsHeader(a, headerA); result != 0)
        return result;
    if (headerA.viewCount == 0)
        return 0;
    if (const int32_t result = ReadIncitsHeader(b, headerB); result != 0)
        return result;
    if (headerB.viewCount == 0)
        return 0;
    std::vector<DecodedIncitsView> viewsA, viewsB;
    std::unique_ptr<PairScorer<70>> scorer;
    try {
        viewsA.resize(static_cast<size_t>(headerA.viewCount));
        viewsB.resize(static_cast<size_t>(headerB.viewCount));
        scorer = std::make_unique<PairScorer<70>>();
    } catch (const std::bad_alloc&) {
        return standard_result::OutOfMemory;
    }
    if (const int32_t result = DecodeIncitsViews(a, headerA, viewsA); result != 0)
        return result;
    if (const int32_t result = DecodeIncitsViews(b, headerB, viewsB); result != 0)
        return result;
    int32_t best = 0;
    for (const DecodedIncitsView& va : viewsA)
        for (const DecodedIncitsView& vb : viewsB)
            if (va.finger == 0 || vb.finger == 0 || va.finger == vb.finger)
                best = std::max(best, scorer->ScorePair(va, vb));
    return MapIncitsScore(best);
}

} // namespace vela::engine

// The standard path on the shared fingerprints: templates and records made
// from real impressions, and genuine pairs scoring above impostor pairs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <numeric>
#include <optional>
#include <vector>

#include "engine/standard/StandardTemplates.h"
#include "engine/standard/tests/StandardTestSupport.h"

namespace vela::engine::test {
namespace {

constexpr int32_t kPixelsPerCmAt500Dpi = 197; // 500 x 0.39370079 + 0.5

std::optional<std::vector<uint8_t>> IsoTemplateOf(const GreyPicture& p)
{
    IsoTemplateRequest r{1, 0, p.width, p.height, kPixelsPerCmAt500Dpi, kPixelsPerCmAt500Dpi, 0, 15000, 0, 0, 0};
    std::vector<uint8_t> out(static_cast<size_t>(GetIsoTemplateSize()));
    const int32_t length = CreateIsoTemplate(p.pixels, r, out);
    if (length <= 0)
        return std::nullopt;
    out.resize(static_cast<size_t>(length));
    return out;
}

std::optional<std::vector<uint8_t>> IncitsRecordOf(const GreyPicture& p)
{
    IncitsImageDescriptor d;
    d.imageCount = 1;
    d.fingerCodes[0] = 1;
    d.width = p.width;
    d.height = p.height;
    d.xResolution = d.yResolution = kPixelsPerCmAt500Dpi;
    d.blockEnergy = 15000;
    std::vector<uint8_t> out(static_cast<size_t>(GetIncitsRecordSize(1)));
    const int32_t length = CreateIncitsRecord(p.pixels, d, out);
    if (length <= 0)
        return std::nullopt;
    out.resize(static_cast<size_t>(length));
    return out;
}

using Compare = std::function<int32_t(std::span<const uint8_t>, std::span<const uint8_t>)>;

struct Scores {
    std::vector<int32_t> genuine;
    std::vector<int32_t> impostor;
    int failedToEnrol = 0;
};

// Genuine: every pair of impressions of one finger. Impostor: the first
// impressions of different fingers. A template that could not be made
// counts as a zero score in every pair it takes part in.
Scores ScoreSet(const std::vector<std::vector<std::optional<std::vector<uint8_t>>>>& templates, const Compare& compare)
{
    Scores s;
    const auto score = [&](const auto& a, const auto& b) { return a && b ? std::max(0, compare(*a, *b)) : 0; };
    for (const auto& finger : templates) {
        for (const auto& t : finger)
            s.failedToEnrol += t ? 0 : 1;
        for (size_t i = 0; i < finger.size(); ++i)
            for (size_t j = i + 1; j < finger.size(); ++j)
                s.genuine.push_back(score(finger[i], finger[j]));
    }
    for (size_t f = 0; f < templates.size(); ++f)
        for (size_t g = f + 1; g < templates.size(); ++g)
            s.impostor.push_back(score(templates[f][0], templates[g][0]));
    return s;
}

// The equal error rate in percent: where the false rejection and false
// acceptance rates cross as the threshold rises.
double EqualErrorRate(const Scores& s)
{
    double best = 100, gap = 1e9;
    for (int32_t t = 0; t <= 3001; ++t) {
        const double frr = 100.0 * std::count_if(s.genuine.begin(), s.genuine.end(), [&](int32_t v) { return v < t; }) /
                           s.genuine.size();
        const double far = 100.0 *
                           std::count_if(s.impostor.begin(), s.impostor.end(), [&](int32_t v) { return v >= t; }) /
                           s.impostor.size();
        if (std::abs(frr - far) < gap) {
            gap = std::abs(frr - far);
            best = (frr + far) / 2;
        }
    }
    return best;
}

template <typename Make>
std::vector<std::vector<std::optional<std::vector<uint8_t>>>> MakeTemplates(int fingers, int firstFinger,
                                                                            const std::function<GreyPicture(int, int)>& load,
                                                                            Make make)
{
    std::vector<std::vector<std::optional<std::vector<uint8_t>>>> all(static_cast<size_t>(fingers));
    for (int f = 0; f < fingers; ++f)
        for (int i = 1; i <= 8; ++i) {
            const GreyPicture p = load(firstFinger + f, i);
            all[static_cast<size_t>(f)].push_back(p.width ? make(p) : std::nullopt);
        }
    return all;
}

TEST(StandardRealImages, GenuinePairsOutscoreImpostorsOnTheSharedFingerprints)
{
    if (SharedFingerprint(1, 1).width == 0)
        GTEST_SKIP() << "shared fingerprints not found under " << SharedData();
    const auto load = [](int f, int i) { return SharedFingerprint(f, i); };
    const auto iso = MakeTemplates(6, 1, load, IsoTemplateOf);
    const auto incits = MakeTemplates(6, 1, load, IncitsRecordOf);
    const Scores isoScores = ScoreSet(iso, CompareIsoTemplates);
    const Scores incitsScores = ScoreSet(incits, CompareIncitsRecords);
    for (const auto* s : {&isoScores, &incitsScores}) {
        EXPECT_EQ(s->failedToEnrol, 0);
        const double meanGenuine = std::accumulate(s->genuine.begin(), s->genuine.end(), 0.0) / s->genuine.size();
        const double meanImpostor = std::accumulate(s->impostor.begin(), s->impostor.end(), 0.0) / s->impostor.size();
        EXPECT_GT(meanGenuine, 2 * meanImpostor + 50);
    }
    const double isoEer = EqualErrorRate(isoScores), incitsEer = EqualErrorRate(incitsScores);
    std::printf("shared fingerprints: ISO EER %.2f %%, INCITS EER %.2f %%\n", isoEer, incitsEer);
    EXPECT_LT(isoEer, 15.0);
    EXPECT_LT(incitsEer, 15.0);
}

// Accuracy figures on the FVC2002 sets; the only check is that genuine pairs
// do better than impostors on average (the sets are much harder).
TEST(StandardRealImages, FvcAccuracy)
{
    for (const char* db : {"db1", "db4"}) {
        if (FvcFingerprint(db, 101, 1).width == 0)
            GTEST_SKIP() << "FVC2002 sets not found under " << SharedData();
        const auto load = [db](int f, int i) { return FvcFingerprint(db, f, i); };
        const auto iso = MakeTemplates(10, 101, load, IsoTemplateOf);
        const auto incits = MakeTemplates(10, 101, load, IncitsRecordOf);
        const Scores isoScores = ScoreSet(iso, CompareIsoTemplates);
        const Scores incitsScores = ScoreSet(incits, CompareIncitsRecords);
        std::printf("FVC2002 %s: ISO EER %.2f %% (%d not enrolled), INCITS EER %.2f %% (%d not enrolled)\n", db,
                    EqualErrorRate(isoScores), isoScores.failedToEnrol, EqualErrorRate(incitsScores),
                    incitsScores.failedToEnrol);
        EXPECT_LT(EqualErrorRate(isoScores), 50.0);
        EXPECT_LT(EqualErrorRate(incitsScores), 50.0);
    }
}

} // namespace
} // namespace vela::engine::test

// Where the ISO or INCITS 378 comparison loses genuine pairs: for a folder of
// impressions named <finger>_<n>.bmp, one template per impression made by the
// engine's standard path at the picture's own resolution, then every genuine
// pair (the later impression probes) that scores 0 with the step that drops
// it, read from the first comparison's statistics, and every template that
// scores 0 against itself.
//
//   vela_standard_trace <folder> [--standard iso|incits]
//
// The steps: "rotation" (above 100 degrees), "assigned" (2 pairs or fewer
// assigned by the votes), "consistent" (fewer than 7 pairs left after the
// rotation and shift windows), "quarter" (not above a quarter of those
// assigned), "agreement" (the distances of the pairs left disagree).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/ByteOrder.h"
#include "engine/standard/PairScore.h"
#include "engine/standard/StandardTemplates.h"
#include "engine/standard/tests/StandardTestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace vela::engine;

struct Picture {
    std::string finger;
    int number = 0;
    fs::path path;
};

std::vector<Picture> FindPictures(const fs::path& folder)
{
    std::vector<Picture> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string stem = entry.path().stem().string();
        const size_t cut = stem.rfind('_');
        if (entry.path().extension() != ".bmp" || cut == std::string::npos || cut == 0 || cut + 1 == stem.size())
            continue;
        found.push_back({stem.substr(0, cut), std::atoi(stem.c_str() + cut + 1), entry.path()});
    }
    std::sort(found.begin(), found.end(), [](const Picture& a, const Picture& b) {
        return a.finger != b.finger ? a.finger < b.finger : a.number < b.number;
    });
    return found;
}

// Pixels per centimetre from the BMP header's pixels per metre, as the
// image processors take them (dpi x 0.39370079 + 0.5).
int32_t PixelsPerCm(const fs::path& path)
{
    std::FILE* file = std::fopen(path.string().c_str(), "rb");
    uint8_t header[46] = {};
    const size_t read = file ? std::fread(header, 1, sizeof header, file) : 0;
    if (file)
        std::fclose(file);
    if (read < sizeof header)
        return 197;
    const double dpi = std::round(vela::ReadLe<int32_t>(header + 38) * 0.0254);
    return static_cast<int32_t>(dpi * 0.39370079 + 0.5);
}

template <int M>
struct Made {
    bool made = false;
    DecodedView<M> view;
};

Made<52> IsoOf(const Picture& p)
{
    const test::GreyPicture grey = test::ReadGreyBmp(p.path);
    const int32_t ppcm = PixelsPerCm(p.path);
    const IsoTemplateRequest request{1, 0, grey.width, grey.height, ppcm, ppcm, 0, 15000, 0, 0, 0};
    std::vector<uint8_t> t(static_cast<size_t>(GetIsoTemplateSize()));
    const int32_t length = CreateIsoTemplate(grey.pixels, request, t);
    Made<52> made;
    DecodedIsoView views[2];
    int count = 0;
    if (length > 0 && DecodeIsoTemplate(std::span(t.data(), static_cast<size_t>(length)), views, count) == 0) {
        made.made = true;
        made.view = views[0];
    }
    return made;
}

Made<70> IncitsOf(const Picture& p)
{
    const test::GreyPicture grey = test::ReadGreyBmp(p.path);
    IncitsImageDescriptor d;
    d.imageCount = 1;
    d.fingerCodes[0] = 1;
    d.width = grey.width;
    d.height = grey.height;
    d.xResolution = d.yResolution = PixelsPerCm(p.path);
    d.blockEnergy = 15000;
    std::vector<uint8_t> r(static_cast<size_t>(GetIncitsRecordSize(1)));
    const int32_t length = CreateIncitsRecord(grey.pixels, d, r);
    Made<70> made;
    std::vector<DecodedIncitsView> views;
    if (length > 0 && DecodeIncitsRecord(std::span(r.data(), static_cast<size_t>(length)), views) == 0 &&
        !views.empty()) {
        made.made = true;
        made.view = views[0];
    }
    return made;
}

const char* StepThatDrops(const MatchStatistics& s)
{
    if (std::abs(s.rotation) > 100)
        return "rotation";
    if (s.assignedPairs <= 2)
        return "assigned";
    if (s.consistentPairs < 7)
        return "consistent";
    if (4 * s.consistentPairs <= s.assignedPairs)
        return "quarter";
    return "agreement";
}

template <int M, typename Make>
void Trace(const std::vector<Picture>& pictures, Make make)
{
    std::vector<Made<M>> made;
    for (const Picture& p : pictures)
        made.push_back(make(p));
    PairScorer<M> scorer;
    std::vector<int> counts;
    for (size_t i = 0; i < made.size(); ++i) {
        const Picture& p = pictures[i];
        if (!made[i].made) {
            std::printf("failed to enrol %s_%d\n", p.finger.c_str(), p.number);
            continue;
        }
        counts.push_back(made[i].view.count);
        MatchStatistics s;
        if (scorer.ScorePair(made[i].view, made[i].view) > 0)
            continue;
        scorer.MatchMinutiae(made[i].view, made[i].view, &s);
        std::printf("scores 0 against itself: %s_%d, %d minutiae, %d of them vote (%s)\n", p.finger.c_str(), p.number,
                    made[i].view.count, s.assignedPairs, StepThatDrops(s));
    }
    std::sort(counts.begin(), counts.end());
    if (!counts.empty())
        std::printf("minutiae: min %d, median %d, max %d\n", counts.front(), counts[counts.size() / 2], counts.back());

    std::map<std::string, int> steps;
    int genuine = 0, zeros = 0;
    for (size_t a = 0; a < made.size(); ++a) {
        for (size_t b = a + 1; b < made.size(); ++b) {
            if (pictures[a].finger != pictures[b].finger || !made[a].made || !made[b].made)
                continue;
            ++genuine;
            if (scorer.ScorePair(made[b].view, made[a].view) > 0)
                continue;
            ++zeros;
            MatchStatistics s;
            scorer.MatchMinutiae(made[b].view, made[a].view, &s);
            const char* step = StepThatDrops(s);
            ++steps[step];
            std::printf("%s_%d against %s_%d: minutiae %d/%d, assigned %d, rotation %d (%d%%), shift %d (%d%%) %d "
                        "(%d%%), consistent %d: %s\n",
                        pictures[b].finger.c_str(), pictures[b].number, pictures[a].finger.c_str(), pictures[a].number,
                        made[b].view.count, made[a].view.count, s.assignedPairs, s.rotation, s.rotationShare,
                        s.shiftX, s.shiftXShare, s.shiftY, s.shiftYShare, s.consistentPairs, step);
        }
    }
    std::printf("genuine pairs scoring 0: %d of %d;", zeros, genuine);
    for (const auto& [step, n] : steps)
        std::printf(" %s %d", step.c_str(), n);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder> [--standard iso|incits]\n", argv[0]);
        return 2;
    }
    const bool incits = argc >= 4 && std::string(argv[2]) == "--standard" && std::string(argv[3]) == "incits";
    const std::vector<Picture> pictures = FindPictures(argv[1]);
    if (pictures.empty()) {
        std::fprintf(stderr, "no <finger>_<n>.bmp files in %s\n", argv[1]);
        return 1;
    }
    if (incits)
        Trace<70>(pictures, IncitsOf);
    else
        Trace<52>(pictures, IsoOf);
    return 0;
}

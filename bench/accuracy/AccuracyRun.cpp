#include "AccuracyRun.h"

#include <algorithm>
#include <cstdlib>

#include "vela/render.h"

namespace accuracy {

namespace fs = std::filesystem;
using vela::base::smart_ptr;
namespace math = vela::math;

std::vector<Impression> FindImpressions(const fs::path& folder) {
  std::vector<Impression> found;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".bmp") continue;
    const std::string stem = entry.path().stem().string();
    const size_t cut = stem.rfind('_');
    if (cut == std::string::npos || cut == 0 || cut + 1 == stem.size()) continue;
    const std::string number = stem.substr(cut + 1);
    if (number.find_first_not_of("0123456789") != std::string::npos) continue;
    found.push_back({stem.substr(0, cut), std::atoi(number.c_str()), entry.path(), {}});
  }
  std::sort(found.begin(), found.end(), [](const Impression& a, const Impression& b) {
    return a.finger != b.finger ? a.finger < b.finger : a.number < b.number;
  });
  return found;
}

smart_ptr<math::Template> EnrolImage(math::ImageProcessor& processor, const fs::path& path) {
  const smart_ptr<vela::base::Image> image =
      vela::render::Create_BMP_Image(Create_IFileStream(path.string().c_str()));
  return processor.CreateTemplate(image, math::RIGHT_INDEX);
}

EnrolReport Enrol(std::vector<Impression>& impressions, int32_t processorType) {
  const smart_ptr<math::ImageProcessor> processor =
      math::Create_ImageProcessor(math::img_proc_type(processorType));
  EnrolReport report;
  for (Impression& impression : impressions) {
    try {
      impression.made = EnrolImage(*processor, impression.path);
      report.minutiae.push_back(impression.made->GetMinutiae()->Count());
      report.quality.push_back(int32_t(impression.made->GetImageInfo()->GetP1()));
    } catch (const std::exception& e) {
      report.failures.push_back(impression.path.filename().string() + ": " + e.what());
    }
  }
  return report;
}

std::vector<PairScore> ScorePairs(const std::vector<Impression>& impressions, math::Matcher& matcher,
                                  bool allImpostors) {
  std::vector<bool> first(impressions.size());
  for (size_t i = 0; i < impressions.size(); ++i)
    first[i] = i == 0 || impressions[i - 1].finger != impressions[i].finger;
  std::vector<PairScore> pairs;
  for (size_t a = 0; a < impressions.size(); ++a) {
    for (size_t b = a + 1; b < impressions.size(); ++b) {
      const bool genuine = impressions[a].finger == impressions[b].finger;
      if (!genuine && !(allImpostors || (first[a] && first[b]))) continue;
      PairScore pair{a, b, genuine, std::nullopt};
      if (impressions[a].made && impressions[b].made)
        pair.score = matcher.Match(impressions[b].made, impressions[a].made)->GetScore();
      pairs.push_back(pair);
    }
  }
  return pairs;
}

Figures Summarise(const std::vector<PairScore>& pairs) {
  std::vector<Score> genuine, impostor;
  size_t zeros = 0;
  for (const PairScore& pair : pairs) {
    (pair.genuine ? genuine : impostor).push_back(pair.score);
    if (pair.genuine && (!pair.score || *pair.score <= 0)) ++zeros;
  }
  Figures figures;
  figures.genuinePairs = genuine.size();
  figures.impostorPairs = impostor.size();
  figures.genuineZeroShare = genuine.empty() ? 0 : double(zeros) / double(genuine.size());
  const ErrorRates rates(std::move(genuine), std::move(impostor));
  figures.equalError = rates.EqualErrorRate();
  figures.atOnePercent = rates.AtFalseMatchRate(0.01);
  figures.atOnePerMille = rates.AtFalseMatchRate(0.001);
  return figures;
}

}  // namespace accuracy

#include "AccuracyRun.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

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

smart_ptr<vela::base::Image> ReadImage(const fs::path& path, int32_t dpi) {
  if (dpi <= 0) return vela::render::Create_BMP_Image(Create_IFileStream(path.string().c_str()));
  std::ifstream file(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  // Pixels per metre, x then y, at bytes 38 and 42 of the info header.
  constexpr size_t kResolutionAt = 38;
  if (bytes.size() >= kResolutionAt + 8) {
    const auto perMetre = static_cast<uint32_t>(std::lround(dpi / 0.0254));
    for (size_t axis = 0; axis < 2; ++axis)
      for (size_t k = 0; k < 4; ++k) bytes[kResolutionAt + 4 * axis + k] = char(perMetre >> (8 * k));
  }
  return vela::render::Create_BMP_Image(Create_MemoryStream(bytes.data(), int32_t(bytes.size())));
}

smart_ptr<math::Template> EnrolImage(math::ImageProcessor& processor, const fs::path& path, int32_t dpi) {
  return processor.CreateTemplate(ReadImage(path, dpi), math::RIGHT_INDEX);
}

EnrolReport Enrol(std::vector<Impression>& impressions, int32_t processorType, int32_t dpi) {
  const smart_ptr<math::ImageProcessor> processor =
      math::Create_ImageProcessor(math::img_proc_type(processorType));
  EnrolReport report;
  for (Impression& impression : impressions) {
    try {
      impression.made = EnrolImage(*processor, impression.path, dpi);
      report.minutiae.push_back(impression.made->GetMinutiae()->Count());
      report.quality.push_back(int32_t(impression.made->GetImageInfo()->GetP1()));
    } catch (const std::exception& e) {
      report.failures.push_back(impression.path.filename().string() + ": " + e.what());
    }
  }
  return report;
}

std::vector<PairScore> ScorePairsWith(const std::vector<Impression>& impressions,
                                      const std::vector<bool>& enrolled, const PairScorer& score,
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
      if (enrolled[a] && enrolled[b]) pair.score = score(b, a);
      pairs.push_back(pair);
    }
  }
  return pairs;
}

std::vector<PairScore> ScorePairs(const std::vector<Impression>& impressions, math::Matcher& matcher,
                                  bool allImpostors) {
  std::vector<bool> enrolled;
  for (const Impression& impression : impressions) enrolled.push_back(bool(impression.made));
  return ScorePairsWith(
      impressions, enrolled,
      [&](size_t probe, size_t stored) {
        return matcher.Match(impressions[probe].made, impressions[stored].made)->GetScore();
      },
      allImpostors);
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

namespace {

constexpr uint64_t kDigestStart = 1469598103934665603ull;

void MixBytes(uint64_t& digest, const uint8_t* bytes, size_t size) {
  for (size_t i = 0; i < size; ++i) digest = (digest ^ bytes[i]) * 1099511628211ull;
}

void MixValue(uint64_t& digest, int64_t value) {
  uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
  MixBytes(digest, bytes, sizeof bytes);
}

}  // namespace

uint64_t DigestBlocks(const std::vector<std::optional<std::span<const uint8_t>>>& blocks) {
  uint64_t digest = kDigestStart;
  for (const std::optional<std::span<const uint8_t>>& block : blocks) {
    // A failure to enrol counts as a template of its own.
    if (!block) {
      MixValue(digest, -1);
      continue;
    }
    MixValue(digest, int64_t(block->size()));
    MixBytes(digest, block->data(), block->size());
  }
  return digest;
}

uint64_t DigestTemplates(const std::vector<Impression>& impressions) {
  std::vector<std::optional<std::span<const uint8_t>>> blocks;
  for (const Impression& impression : impressions) {
    if (!impression.made) {
      blocks.emplace_back();
      continue;
    }
    blocks.emplace_back(std::span<const uint8_t>(impression.made->GetData(),
                                                 static_cast<size_t>(impression.made->GetDataSize())));
  }
  return DigestBlocks(blocks);
}

uint64_t DigestScores(const std::vector<PairScore>& pairs) {
  uint64_t digest = kDigestStart;
  for (const PairScore& pair : pairs) MixValue(digest, pair.score ? *pair.score : -1);
  return digest;
}

}  // namespace accuracy

// The steps of an accuracy run over a folder of impressions named
// <finger>_<n>.bmp: find them, enrol each as a template, compare the pairs
// of the protocol at one match speed, and sum the scores up. Shared by
// vela_accuracy and the regression test that replays a few of its pairs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "ErrorRates.h"
#include "vela/math.h"

namespace accuracy {

struct Impression {
  std::string finger;
  int number = 0;
  std::filesystem::path path;
  vela::base::smart_ptr<vela::math::Template> made;  // empty when it failed to enrol
};

// <finger>_<n>.bmp, ordered by finger and then by n.
std::vector<Impression> FindImpressions(const std::filesystem::path& folder);

// A BMP file as an image; a `dpi` above 0 replaces the resolution its
// header gives (a picture whose header does not tell its sensor's).
vela::base::smart_ptr<vela::base::Image> ReadImage(const std::filesystem::path& path, int32_t dpi = 0);

// One template from one BMP file; every impression is enrolled as the same
// finger position, since a verification claims one finger.
vela::base::smart_ptr<vela::math::Template> EnrolImage(vela::math::ImageProcessor& processor,
                                                       const std::filesystem::path& path, int32_t dpi = 0);

// What enrolment gave: failures (with their reasons), and the minutiae
// count and image quality of each template made.
struct EnrolReport {
  std::vector<std::string> failures;
  std::vector<int32_t> minutiae;
  std::vector<int32_t> quality;
};
EnrolReport Enrol(std::vector<Impression>& impressions, int32_t processorType, int32_t dpi = 0);

// One compared pair: the earlier impression is stored, the later one probes.
struct PairScore {
  size_t stored = 0;
  size_t probe = 0;
  bool genuine = false;
  Score score;  // none when either impression failed to enrol
};

// Every genuine pair, and every impostor pair of first impressions (or of
// all impressions), scored with Match.
std::vector<PairScore> ScorePairs(const std::vector<Impression>& impressions,
                                  vela::math::Matcher& matcher, bool allImpostors);

// The same pairs in the same order, scored by score(probe, stored) when both
// impressions enrolled.
using PairScorer = std::function<int32_t(size_t probe, size_t stored)>;
std::vector<PairScore> ScorePairsWith(const std::vector<Impression>& impressions,
                                      const std::vector<bool>& enrolled, const PairScorer& score,
                                      bool allImpostors);

struct Figures {
  size_t genuinePairs = 0;
  size_t impostorPairs = 0;
  ErrorRates::EqualError equalError{0, 0};
  ErrorRates::OperatingPoint atOnePercent{0, 0};
  ErrorRates::OperatingPoint atOnePerMille{0, 0};
  // Genuine pairs scoring 0 or less, or not compared, as a fraction.
  double genuineZeroShare = 0;
};
Figures Summarise(const std::vector<PairScore>& pairs);

// Digests (64-bit FNV-1a) of the engine data of every template made, in
// order, and of every pair's score, so that a speed-up can show that it
// changed no byte and no score.
uint64_t DigestTemplates(const std::vector<Impression>& impressions);
uint64_t DigestScores(const std::vector<PairScore>& pairs);
// The template digest over blocks of bytes; no block (nullopt) counts as a
// failure to enrol.
uint64_t DigestBlocks(const std::vector<std::optional<std::span<const uint8_t>>>& blocks);

}  // namespace accuracy

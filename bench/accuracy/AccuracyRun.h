// The steps of an accuracy run over a folder of impressions named
// <finger>_<n>.bmp: find them, enrol each as a template, compare the pairs
// of the protocol at one match speed, and sum the scores up. Shared by
// vela_accuracy and the regression test that replays a few of its pairs.
#pragma once

#include <cstdint>
#include <filesystem>
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

// One template from one BMP file; every impression is enrolled as the same
// finger position, since a verification claims one finger.
vela::base::smart_ptr<vela::math::Template> EnrolImage(vela::math::ImageProcessor& processor,
                                                       const std::filesystem::path& path);

// What enrolment gave: failures (with their reasons), and the minutiae
// count and image quality of each template made.
struct EnrolReport {
  std::vector<std::string> failures;
  std::vector<int32_t> minutiae;
  std::vector<int32_t> quality;
};
EnrolReport Enrol(std::vector<Impression>& impressions, int32_t processorType);

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

}  // namespace accuracy

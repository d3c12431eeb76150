// Accuracy of verification over folders of impressions named
// <finger>_<n>.bmp: one template per impression, every genuine pair (two
// impressions of one finger) and every impostor pair of first impressions
// (two fingers) compared at each match speed, and the error rates that follow.
//
//   vela_accuracy [folder...] [--speed 1|2] [--type 1|2] [--all-impostors]
//                 [--standard iso|incits] [--dpi N]
//
// Without --speed both speeds are measured. --standard measures the ISO or
// the INCITS 378 templates of the same impressions with the same pairs
// instead of the engine's own; --dpi takes every picture at that resolution
// whatever its header says. Each folder and speed ends with a
// line EER=<equal error rate in percent>; a table of every folder and speed
// closes the output. The "digest" lines fingerprint every template byte and
// every score: a change meant only to be faster must leave them as they were.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "AccuracyRun.h"
#include "StandardRun.h"
#include "vela/math.h"

namespace {

using vela::base::smart_ptr;
namespace math = vela::math;
namespace fs = std::filesystem;
using accuracy::Figures;
using accuracy::Impression;
using accuracy::PairScore;

struct Options {
  std::vector<fs::path> folders;
  std::vector<int32_t> speeds{math::MATCH_SPEED_QUICK, math::MATCH_SPEED_THOROUGH};
  int32_t type = math::IMG_PROC_COMPACT;
  bool allImpostors = false;
  std::optional<accuracy::Standard> standard;
  int32_t dpi = 0;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--speed" || arg == "--type") && i + 1 < argc) {
      const int32_t value = std::atoi(argv[++i]);
      if (value != 1 && value != 2) return false;
      if (arg == "--speed")
        options.speeds = {value};
      else
        options.type = value;
    } else if (arg == "--standard" && i + 1 < argc) {
      const std::string value = argv[++i];
      if (value == "iso")
        options.standard = accuracy::Standard::Iso;
      else if (value == "incits")
        options.standard = accuracy::Standard::Incits;
      else
        return false;
    } else if (arg == "--dpi" && i + 1 < argc) {
      options.dpi = std::atoi(argv[++i]);
      if (options.dpi <= 0) return false;
    } else if (arg == "--all-impostors") {
      options.allImpostors = true;
    } else if (!arg.empty() && arg[0] != '-') {
      options.folders.push_back(arg);
    } else {
      return false;
    }
  }
  if (options.folders.empty()) options.folders.push_back(fs::path(PV_SHARED_DATA_DIR) / "fingerprints");
  return true;
}

double Percent(double fraction) { return 100 * fraction; }

void PrintSpread(const char* name, std::vector<int32_t> values) {
  if (values.empty()) {
    std::printf("%-9s none\n", name);
    return;
  }
  std::sort(values.begin(), values.end());
  const double mean = std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
  std::printf("%-9s min %d, median %d, mean %.1f, max %d\n", name, values.front(),
              values[values.size() / 2], mean, values.back());
}

void PrintScoreSpread(const char* name, const std::vector<PairScore>& pairs, bool genuine) {
  std::vector<int32_t> scores;
  for (const PairScore& pair : pairs)
    if (pair.genuine == genuine && pair.score) scores.push_back(*pair.score);
  std::printf("%-8s ", name);
  PrintSpread("scores:", scores);
}

struct Level {
  const char* name;
  int32_t level;
};
constexpr std::array<Level, 3> kLevels{{{"low", math::SECURITY_LEVEL_LOW},
                                        {"medium", math::SECURITY_LEVEL_MEDIUM},
                                        {"high", math::SECURITY_LEVEL_HIGH}}};

// FMR and FNMR of Verify at each security level; a pair that could not be
// compared is neither a false match nor a match. `verify(level, pair)` verifies one pair at
// that level.
template <typename Verify>
void PrintVerifyRatesOf(const std::vector<PairScore>& pairs, const Figures& figures, Verify verify) {
  for (const Level& level : kLevels) {
    size_t genuineAccepted = 0, impostorAccepted = 0;
    for (const PairScore& pair : pairs) {
      if (!pair.score) continue;
      if (verify(level.level, pair)) ++(pair.genuine ? genuineAccepted : impostorAccepted);
    }
    const double fmr =
        figures.impostorPairs ? double(impostorAccepted) / double(figures.impostorPairs) : 0;
    const double fnmr =
        figures.genuinePairs ? 1 - double(genuineAccepted) / double(figures.genuinePairs) : 0;
    std::printf("security level %d (%s, Verify): FMR %.2f%%, FNMR %.2f%%\n", level.level, level.name,
                Percent(fmr), Percent(fnmr));
  }
}

void PrintVerifyRates(math::Matcher& matcher, const std::vector<Impression>& impressions,
                      const std::vector<PairScore>& pairs, const Figures& figures) {
  PrintVerifyRatesOf(pairs, figures, [&](int32_t level, const PairScore& pair) {
    matcher.SetSecurityLevel(level);
    return matcher.Verify(impressions[pair.probe].made, impressions[pair.stored].made);
  });
}

void ReportEnrolment(const std::vector<Impression>& impressions, const accuracy::EnrolReport& enrolled,
                     uint64_t templatesDigest) {
  for (const std::string& failure : enrolled.failures) std::printf("failed to enrol %s\n", failure.c_str());
  std::printf("failures to enrol: %zu of %zu (%.2f%%)\n", enrolled.failures.size(), impressions.size(),
              Percent(double(enrolled.failures.size()) / double(impressions.size())));
  std::printf("templates digest=%016llx\n", static_cast<unsigned long long>(templatesDigest));
  PrintSpread("minutiae:", enrolled.minutiae);
  PrintSpread("quality:", enrolled.quality);
}

struct Row {
  std::string folder;
  std::string comparison;  // the match speed, or the standard
  Figures figures;
  double comparisonsPerSecond;
};

Row MeasureSpeed(const fs::path& folder, const std::vector<Impression>& impressions, int32_t speed,
                 bool allImpostors) {
  const smart_ptr<math::Matcher> matcher =
      math::Create_Matcher(math::SECURITY_LEVEL_LOW, math::MatchSpeed(speed));
  const auto start = std::chrono::steady_clock::now();
  const std::vector<PairScore> pairs = accuracy::ScorePairs(impressions, *matcher, allImpostors);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const Figures figures = accuracy::Summarise(pairs);
  const double rate = seconds > 0 ? double(pairs.size()) / seconds : 0;

  std::printf("-- match speed %d\n", speed);
  std::printf("genuine pairs: %zu, impostor pairs: %zu (%s); %.1f comparisons/s (Match)\n",
              figures.genuinePairs, figures.impostorPairs,
              allImpostors ? "all impressions" : "first impressions", rate);
  std::printf("scores digest=%016llx\n", static_cast<unsigned long long>(accuracy::DigestScores(pairs)));
  PrintScoreSpread("genuine", pairs, true);
  PrintScoreSpread("impostor", pairs, false);
  std::printf("genuine pairs scoring 0: %.2f%%\n", Percent(figures.genuineZeroShare));
  std::printf("FNMR at FMR 1%%: %.2f%% (threshold %d)\n", Percent(figures.atOnePercent.falseNonMatchRate),
              figures.atOnePercent.threshold);
  std::printf("FNMR at FMR 0.1%%: %.2f%% (threshold %d)\n",
              Percent(figures.atOnePerMille.falseNonMatchRate), figures.atOnePerMille.threshold);
  PrintVerifyRates(*matcher, impressions, pairs, figures);
  std::printf("equal error rate at threshold %d\n", figures.equalError.threshold);
  std::printf("EER=%.2f\n", Percent(figures.equalError.rate));
  return {folder.filename().string(), std::to_string(speed), figures, rate};
}

void PrintStandardVerifyRates(const std::vector<accuracy::StandardTemplate>& made,
                              const std::vector<PairScore>& pairs, const Figures& figures) {
  const smart_ptr<vela::iso_math::Matcher> matcher = vela::iso_math::Create_Matcher(math::SECURITY_LEVEL_LOW);
  PrintVerifyRatesOf(pairs, figures, [&](int32_t level, const PairScore& pair) {
    matcher->SetSecurityLevel(level);
    return matcher->Verify(made[pair.probe].iso, made[pair.stored].iso);
  });
}

// The standard templates of one folder, enrolled and compared with the same
// pairs and figures as a match speed.
Row MeasureStandard(const fs::path& folder, const std::vector<Impression>& impressions,
                    accuracy::Standard standard, int32_t dpi, bool allImpostors) {
  std::vector<accuracy::StandardTemplate> made;
  const accuracy::EnrolReport enrolled = accuracy::EnrolStandard(impressions, standard, made, dpi);
  ReportEnrolment(impressions, enrolled, accuracy::DigestStandardTemplates(made));

  const accuracy::StandardComparer comparer(standard);
  const auto start = std::chrono::steady_clock::now();
  const std::vector<PairScore> pairs = accuracy::ScoreStandardPairs(impressions, made, comparer, allImpostors);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const Figures figures = accuracy::Summarise(pairs);
  const double rate = seconds > 0 ? double(pairs.size()) / seconds : 0;

  std::printf("-- %s templates\n", accuracy::NameOf(standard));
  std::printf("genuine pairs: %zu, impostor pairs: %zu (%s); %.1f comparisons/s (Match)\n",
              figures.genuinePairs, figures.impostorPairs,
              allImpostors ? "all impressions" : "first impressions", rate);
  std::printf("scores digest=%016llx\n", static_cast<unsigned long long>(accuracy::DigestScores(pairs)));
  PrintScoreSpread("genuine", pairs, true);
  PrintScoreSpread("impostor", pairs, false);
  std::printf("genuine pairs scoring 0: %.2f%%\n", Percent(figures.genuineZeroShare));
  for (const PairScore& pair : pairs)
    if (pair.genuine && pair.score && *pair.score <= 0)
      std::printf("genuine 0: %s_%d against %s_%d\n", impressions[pair.probe].finger.c_str(),
                  impressions[pair.probe].number, impressions[pair.stored].finger.c_str(),
                  impressions[pair.stored].number);
  std::printf("FNMR at FMR 1%%: %.2f%% (threshold %d)\n", Percent(figures.atOnePercent.falseNonMatchRate),
              figures.atOnePercent.threshold);
  std::printf("FNMR at FMR 0.1%%: %.2f%% (threshold %d)\n",
              Percent(figures.atOnePerMille.falseNonMatchRate), figures.atOnePerMille.threshold);
  if (standard == accuracy::Standard::Iso) PrintStandardVerifyRates(made, pairs, figures);
  size_t selfZeros = 0;
  for (size_t i = 0; i < made.size(); ++i) {
    if (!made[i].Made() || comparer.Score(made[i], made[i]) > 0) continue;
    ++selfZeros;
    std::printf("scores 0 against itself: %s_%d (%d minutiae)\n", impressions[i].finger.c_str(),
                impressions[i].number, made[i].Minutiae());
  }
  std::printf("templates scoring 0 against themselves: %zu\n", selfZeros);
  std::printf("equal error rate at threshold %d\n", figures.equalError.threshold);
  std::printf("EER=%.2f\n", Percent(figures.equalError.rate));
  return {folder.filename().string(), accuracy::NameOf(standard), figures, rate};
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: %s [folder...] [--speed 1|2] [--type 1|2] [--all-impostors] "
                 "[--standard iso|incits] [--dpi N]\n",
                 argv[0]);
    return 2;
  }
  std::vector<Row> rows;
  for (const fs::path& folder : options.folders) {
    if (!fs::is_directory(folder)) {
      std::fprintf(stderr, "no folder of impressions at %s\n", folder.string().c_str());
      return 1;
    }
    std::vector<Impression> impressions = accuracy::FindImpressions(folder);
    if (impressions.empty()) {
      std::fprintf(stderr, "no <finger>_<n>.bmp files in %s\n", folder.string().c_str());
      return 1;
    }
    if (options.standard)
      std::printf("== folder %s: %zu impressions; %s templates\n", folder.string().c_str(), impressions.size(),
                  accuracy::NameOf(*options.standard));
    else
      std::printf("== folder %s: %zu impressions; image processor type %d\n", folder.string().c_str(),
                  impressions.size(), options.type);
    if (options.standard) {
      rows.push_back(MeasureStandard(folder, impressions, *options.standard, options.dpi, options.allImpostors));
      continue;
    }
    const accuracy::EnrolReport enrolled = accuracy::Enrol(impressions, options.type, options.dpi);
    ReportEnrolment(impressions, enrolled, accuracy::DigestTemplates(impressions));
    for (int32_t speed : options.speeds)
      rows.push_back(MeasureSpeed(folder, impressions, speed, options.allImpostors));
  }

  std::printf("\n%-14s %6s %7s %13s %15s %13s %10s\n", "folder", "match", "EER", "FNMR@FMR1%",
              "FNMR@FMR0.1%", "genuine 0s", "compares/s");
  for (const Row& row : rows) {
    std::printf("%-14s %6s %6.2f%% %12.2f%% %14.2f%% %12.2f%% %10.1f\n", row.folder.c_str(), row.comparison.c_str(),
                Percent(row.figures.equalError.rate), Percent(row.figures.atOnePercent.falseNonMatchRate),
                Percent(row.figures.atOnePerMille.falseNonMatchRate),
                Percent(row.figures.genuineZeroShare), row.comparisonsPerSecond);
  }
  return 0;
}

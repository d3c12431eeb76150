// Accuracy of verification over a folder of impressions named
// <finger>_<n>.bmp: one template per impression, every genuine pair (two
// impressions of one finger) and every impostor pair of first impressions
// (two fingers) compared, and the error rates that follow.
//
//   vela_accuracy [folder] [--speed 1|2] [--type 1|2] [--all-impostors]
//
// The last line of the output is EER=<equal error rate in percent>.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "ErrorRates.h"
#include "vela/math.h"
#include "vela/render.h"

namespace {

using vela::base::smart_ptr;
namespace math = vela::math;
namespace fs = std::filesystem;
using accuracy::ErrorRates;
using accuracy::Score;

struct Options {
  fs::path folder = fs::path(PV_SHARED_DATA_DIR) / "fingerprints";
  int32_t speed = math::MATCH_SPEED_NORMAL;
  int32_t type = math::IMG_PROC_COMPACT;
  bool allImpostors = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--speed" || arg == "--type") && i + 1 < argc) {
      const int32_t value = std::atoi(argv[++i]);
      if (value != 1 && value != 2) return false;
      (arg == "--speed" ? options.speed : options.type) = value;
    } else if (arg == "--all-impostors") {
      options.allImpostors = true;
    } else if (!arg.empty() && arg[0] != '-') {
      options.folder = arg;
    } else {
      return false;
    }
  }
  return true;
}

struct Impression {
  std::string finger;
  int number = 0;
  fs::path path;
  smart_ptr<math::Template> made;  // empty when it failed to enrol
};

// <finger>_<n>.bmp, ordered by finger and then by n.
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

// Every impression is enrolled as the same finger position: a verification
// claims one finger, so a wrong finger arrives under the right code.
int Enrol(std::vector<Impression>& impressions, int32_t type) {
  const smart_ptr<math::ImageProcessor> processor =
      math::Create_ImageProcessor(math::img_proc_type(type));
  int failures = 0;
  for (Impression& impression : impressions) {
    try {
      const smart_ptr<vela::base::Image> image =
          vela::render::Create_BMP_Image(Create_IFileStream(impression.path.string().c_str()));
      impression.made = processor->CreateTemplate(image, math::RIGHT_INDEX);
    } catch (const std::exception& e) {
      ++failures;
      std::printf("failed to enrol %s: %s\n", impression.path.filename().string().c_str(), e.what());
    }
  }
  return failures;
}

Score Compare(math::Matcher& matcher, const Impression& probe, const Impression& stored) {
  if (!probe.made || !stored.made) return std::nullopt;
  return matcher.Match(probe.made, stored.made)->GetScore();
}

void PrintSpread(const char* name, const std::vector<Score>& scores) {
  std::vector<int32_t> made;
  for (const Score& s : scores)
    if (s) made.push_back(*s);
  if (made.empty()) {
    std::printf("%-9s scores: none\n", name);
    return;
  }
  std::sort(made.begin(), made.end());
  std::printf("%-9s scores: %zu pairs, min %d, median %d, max %d\n", name, made.size(), made.front(),
              made[made.size() / 2], made.back());
}

double Percent(double fraction) { return 100 * fraction; }

struct Level {
  const char* name;
  int32_t level;
};
constexpr std::array<Level, 3> kLevels{{{"low", math::SECURITY_LEVEL_LOW},
                                        {"medium", math::SECURITY_LEVEL_MEDIUM},
                                        {"high", math::SECURITY_LEVEL_HIGH}}};
// Pairs that Verify accepted, per security level.
using VerifyCounts = std::array<int64_t, kLevels.size()>;

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: %s [folder] [--speed 1|2] [--type 1|2] [--all-impostors]\n", argv[0]);
    return 2;
  }
  if (!fs::is_directory(options.folder)) {
    std::fprintf(stderr, "no folder of impressions at %s\n", options.folder.string().c_str());
    return 1;
  }
  std::vector<Impression> impressions = FindImpressions(options.folder);
  if (impressions.empty()) {
    std::fprintf(stderr, "no <finger>_<n>.bmp files in %s\n", options.folder.string().c_str());
    return 1;
  }

  std::printf("folder %s: %zu impressions; image processor type %d, match speed %d\n",
              options.folder.string().c_str(), impressions.size(), options.type, options.speed);
  const int failures = Enrol(impressions, options.type);

  const smart_ptr<math::Matcher> matcher =
      math::Create_Matcher(math::SECURITY_LEVEL_LOW, math::MatchSpeed(options.speed));
  std::vector<bool> first(impressions.size());
  for (size_t i = 0; i < impressions.size(); ++i)
    first[i] = i == 0 || impressions[i - 1].finger != impressions[i].finger;

  // Scores come from Match; the rates at the security levels from Verify.
  std::vector<Score> genuine, impostor;
  VerifyCounts genuineAccepted{}, impostorAccepted{};
  int64_t comparisons = 0;
  const auto start = std::chrono::steady_clock::now();
  for (size_t a = 0; a < impressions.size(); ++a) {
    for (size_t b = a + 1; b < impressions.size(); ++b) {
      const Impression& stored = impressions[a];
      const Impression& probe = impressions[b];
      const bool isGenuine = stored.finger == probe.finger;
      if (!isGenuine && !(options.allImpostors || (first[a] && first[b]))) continue;
      (isGenuine ? genuine : impostor).push_back(Compare(*matcher, probe, stored));
      ++comparisons;
      if (!probe.made || !stored.made) continue;
      VerifyCounts& accepted = isGenuine ? genuineAccepted : impostorAccepted;
      for (size_t level = 0; level < kLevels.size(); ++level) {
        matcher->SetSecurityLevel(kLevels[level].level);
        accepted[level] += matcher->Verify(probe.made, stored.made) ? 1 : 0;
        ++comparisons;
      }
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::printf("failures to enrol: %d of %zu (%.2f%%)\n", failures, impressions.size(),
              Percent(double(failures) / double(impressions.size())));
  std::printf("genuine pairs: %zu, impostor pairs: %zu (%s); %.1f comparisons/s\n", genuine.size(),
              impostor.size(), options.allImpostors ? "all impressions" : "first impressions",
              double(comparisons) / seconds);
  PrintSpread("genuine", genuine);
  PrintSpread("impostor", impostor);

  const ErrorRates rates(genuine, impostor);
  for (double fmr : {0.01, 0.001}) {
    const ErrorRates::OperatingPoint at = rates.AtFalseMatchRate(fmr);
    std::printf("FNMR at FMR %g%%: %.2f%% (threshold %d)\n", Percent(fmr),
                Percent(at.falseNonMatchRate), at.threshold);
  }
  for (size_t level = 0; level < kLevels.size(); ++level) {
    // A pair that could not be compared is neither a false match nor a match.
    const double fmr = impostor.empty() ? 0 : double(impostorAccepted[level]) / double(impostor.size());
    const double fnmr =
        genuine.empty() ? 0 : 1 - double(genuineAccepted[level]) / double(genuine.size());
    std::printf("security level %d (%s, Verify): FMR %.2f%%, FNMR %.2f%%\n", kLevels[level].level,
                kLevels[level].name, Percent(fmr), Percent(fnmr));
  }
  const ErrorRates::EqualError eer = rates.EqualErrorRate();
  std::printf("equal error rate at threshold %d\n", eer.threshold);
  std::printf("EER=%.2f\n", Percent(eer.rate));
  return 0;
}

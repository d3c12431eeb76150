// The accuracy run for the standard minutiae templates made from the same
// impressions: ISO/IEC 19794-2 records (through a finger image record) or
// INCITS 378 records, enrolled and compared through libvela50.so's standard
// processors and matchers, with the pairs and sums of AccuracyRun.h.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "AccuracyRun.h"
#include "vela/incits378.h"
#include "vela/iso.h"
#include "vela/iso_math.h"

namespace accuracy {

enum class Standard { Iso, Incits };

const char* NameOf(Standard standard);

// One standard template: the record object and its saved bytes; both empty
// when the impression failed to enrol.
struct StandardTemplate {
  vela::base::smart_ptr<vela::iso::FingerMinutiaeRecord> iso;
  vela::base::smart_ptr<vela::incits378::Template> incits;
  std::vector<uint8_t> bytes;

  bool Made() const { return !bytes.empty(); }
  // The first view's minutiae count and quality, read from the record.
  int32_t Minutiae() const;
  int32_t Quality() const;
};

// One template from one BMP file as the given finger; the picture's own
// resolution goes into the record unless `dpi` overrides it (0: keep).
// Throws what the processor throws.
StandardTemplate EnrolStandardImage(Standard standard, const std::filesystem::path& path, int32_t dpi = 0);

// Every impression in order; `made` receives one template per impression.
EnrolReport EnrolStandard(const std::vector<Impression>& impressions, Standard standard,
                          std::vector<StandardTemplate>& made, int32_t dpi = 0);

// Compares a probe with a stored template (Match of the standard's matcher).
class StandardComparer {
 public:
  explicit StandardComparer(Standard standard);
  int32_t Score(const StandardTemplate& probe, const StandardTemplate& stored) const;

 private:
  Standard standard;
  vela::base::smart_ptr<vela::iso_math::Matcher> iso;
  vela::base::smart_ptr<vela::incits378::Matcher> incits;
};

// The pairs of ScorePairs, scored by the standard's matcher.
std::vector<PairScore> ScoreStandardPairs(const std::vector<Impression>& impressions,
                                          const std::vector<StandardTemplate>& made,
                                          const StandardComparer& comparer, bool allImpostors);

// Digest of every record's bytes in order (a failure counts as -1).
uint64_t DigestStandardTemplates(const std::vector<StandardTemplate>& made);

}  // namespace accuracy

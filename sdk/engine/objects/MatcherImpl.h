// math::Matcher: compares templates with the engine's matcher algorithms and
// turns scores into answers by a security level.
#pragma once

#include <cstdint>
#include <mutex>
#include <span>

#include "engine/matching/MatchContext.h"
#include "engine/objects/MatchResults.h"
#include "engine/objects/TemplateSets.h"
#include "vela/math.h"

namespace vela::math {

// The algorithm for blocks of data id 1 (lists of impressions), and those for
// every other block at each match speed.
inline constexpr int32_t kListMatchAlgorithm = 1;
inline constexpr int32_t kQuickSpeedAlgorithm = 183;
inline constexpr int32_t kThoroughSpeedAlgorithm = 181;

// The score Verify needs at a security level.
int32_t VerifyThreshold(int32_t securityLevel);

// The algorithm that compares two blocks: kListMatchAlgorithm when both are
// lists of impressions, `setAlgorithm` when neither is; invalid_argument when
// only one is, or when a block is too short to carry its data id.
int32_t ChooseMatchAlgorithm(std::span<const uint8_t> probe, std::span<const uint8_t> stored,
                             int32_t setAlgorithm);

class MatcherImpl final : public virtual Matcher {
 public:
  // invalid_argument for a bad speed.
  MatcherImpl(int32_t securityLevel, int32_t matchSpeed);

  void SetSecurityLevel(int32_t level) override;
  int32_t GetSecurityLevel() const override;
  void SetMatchSpeed(int32_t speed) override;
  int32_t GetMatchSpeed() const override;
  bool Verify(base::smart_ptr<BiometricTemplate> probe,
              base::smart_ptr<BiometricTemplate> stored) override;
  base::smart_ptr<MatchResult> Match(base::smart_ptr<BiometricTemplate> probe,
                                     base::smart_ptr<BiometricTemplate> stored) override;
  base::smart_ptr<CandidateList> Identify(base::smart_ptr<BiometricTemplate> probe,
                                          base::smart_ptr<RecordSet> set, int32_t maxCount,
                                          int32_t minScore) override;
  base::smart_ptr<CandidateList> Identify(base::smart_ptr<BiometricTemplate> probe,
                                          base::smart_ptr<TemplateSet> set, int32_t maxCount,
                                          int32_t minScore) override;

  int32_t GetMatchAlgorithmId() const;

 private:
  ~MatcherImpl() override;

  // The caller holds `lock`.
  base::smart_ptr<MatchResult> MatchLocked(const BiometricTemplate& probe,
                                           const BiometricTemplate& stored);
  base::smart_ptr<CandidateList> IdentifyAmong(const base::smart_ptr<BiometricTemplate>& probe,
                                               const std::vector<StoredEntry>& entries,
                                               int32_t maxCount, int32_t minScore);

  // One call at a time uses the context; a second thread waits.
  mutable std::mutex lock;
  engine::MatchContextPtr context;
  int32_t matchAlgorithmId = kQuickSpeedAlgorithm;
  int32_t securityLevel;
  int32_t matchSpeed;
};

}  // namespace vela::math

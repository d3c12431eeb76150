#include "engine/objects/MatcherImpl.h"

#include <array>

#include "engine/objects/BlockChecks.h"
#include "engine/objects/EngineAdapter.h"
#include "engine/objects/MatchCalls.h"
#include "engine/records/BiometricData.h"

namespace vela::math {

using base::smart_ptr;
namespace ex = base::exceptions;

BiometricTemplate::~BiometricTemplate() = default;
Matcher::~Matcher() = default;

namespace {

int32_t DataIdOf(std::span<const uint8_t> block) {
  if (block.size() < engine::biometric_data::kHeaderSize) throw ex::invalid_argument();
  return BlockDataId(block);
}

std::span<const uint8_t> BlockOf(const BiometricTemplate& held) {
  const int32_t size = held.GetDataSize();
  const uint8_t* data = held.GetData();
  if (size <= 0 || !data) return {};
  return {data, size_t(size)};
}

// A template without a single minutia (made from an image without ridges)
// would only ever score 0: it is refused instead of being compared.
void RequireMinutiae(std::span<const uint8_t> block) {
  if (!HoldsMinutiae(block)) throw ex::bad_quality();
}

bool CanCompare(std::span<const uint8_t> probe, std::span<const uint8_t> stored) {
  if (stored.size() < engine::biometric_data::kHeaderSize || !HoldsMinutiae(stored)) return false;
  return (BlockDataId(probe) == kSingleFingerDataId) == (BlockDataId(stored) == kSingleFingerDataId);
}

}  // namespace

int32_t VerifyThreshold(int32_t securityLevel) {
  switch (securityLevel) {
    case SECURITY_LEVEL_LOW: return 450;
    case SECURITY_LEVEL_MEDIUM: return 550;
    case SECURITY_LEVEL_HIGH: return 700;
    default: return 2000;
  }
}

int32_t ChooseMatchAlgorithm(std::span<const uint8_t> probe, std::span<const uint8_t> stored,
                             int32_t setAlgorithm) {
  const bool probeIsList = DataIdOf(probe) == kSingleFingerDataId;
  const bool storedIsList = DataIdOf(stored) == kSingleFingerDataId;
  if (probeIsList != storedIsList) throw ex::invalid_argument();
  return probeIsList ? kListMatchAlgorithm : setAlgorithm;
}

MatcherImpl::MatcherImpl(int32_t securityLevel, int32_t matchSpeed)
    : securityLevel(securityLevel), matchSpeed(matchSpeed) {
  SetMatchSpeed(matchSpeed);
}

MatcherImpl::~MatcherImpl() = default;

void MatcherImpl::SetSecurityLevel(int32_t level) {
  std::lock_guard<std::mutex> hold(lock);
  securityLevel = level;
}

int32_t MatcherImpl::GetSecurityLevel() const {
  std::lock_guard<std::mutex> hold(lock);
  return securityLevel;
}

void MatcherImpl::SetMatchSpeed(int32_t speed) {
  if (speed != MATCH_SPEED_QUICK && speed != MATCH_SPEED_THOROUGH) throw ex::invalid_argument();
  // A fresh context: what the old one cached belongs to the old algorithm.
  engine::MatchContextPtr fresh = engine::MakeMatchContext();
  if (!fresh) throw ex::math_error("Not Enough Memory");
  std::lock_guard<std::mutex> hold(lock);
  matchSpeed = speed;
  matchAlgorithmId = speed == MATCH_SPEED_QUICK ? kQuickSpeedAlgorithm : kThoroughSpeedAlgorithm;
  context = std::move(fresh);
}

int32_t MatcherImpl::GetMatchSpeed() const {
  std::lock_guard<std::mutex> hold(lock);
  return matchSpeed;
}

int32_t MatcherImpl::GetMatchAlgorithmId() const {
  std::lock_guard<std::mutex> hold(lock);
  return matchAlgorithmId;
}

bool MatcherImpl::Verify(smart_ptr<BiometricTemplate> probe, smart_ptr<BiometricTemplate> stored) {
  const smart_ptr<MatchResult> result = Match(std::move(probe), std::move(stored));
  return result->GetScore() >= VerifyThreshold(GetSecurityLevel());
}

smart_ptr<MatchResult> MatcherImpl::Match(smart_ptr<BiometricTemplate> probe,
                                          smart_ptr<BiometricTemplate> stored) {
  const BiometricTemplate& p = *probe;
  const BiometricTemplate& s = *stored;
  std::lock_guard<std::mutex> hold(lock);
  return MatchLocked(p, s);
}

smart_ptr<MatchResult> MatcherImpl::MatchLocked(const BiometricTemplate& probe,
                                                const BiometricTemplate& stored) {
  const std::span<const uint8_t> a = BlockOf(probe);
  const std::span<const uint8_t> b = BlockOf(stored);
  const int32_t algorithm = ChooseMatchAlgorithm(a, b, matchAlgorithmId);
  RequireMinutiae(a);
  RequireMinutiae(b);
  int32_t score = 0;
  if (!CurrentMatchCalls().dispatch(algorithm, a, b, *context, score))
    throw ex::base_exception("Alg not found");
  std::array<int32_t, 3> left{};
  engine::TakeMatchResult(*context, left);
  return smart_ptr<MatchResult>(
      new MatchResultImpl(score, {float(left[0]), float(left[1]), float(left[2])}));
}

smart_ptr<CandidateList> MatcherImpl::IdentifyAmong(const smart_ptr<BiometricTemplate>& probe,
                                                    const std::vector<StoredEntry>& entries,
                                                    int32_t maxCount, int32_t minScore) {
  const BiometricTemplate& p = *probe;
  const std::span<const uint8_t> probeBlock = BlockOf(p);
  DataIdOf(probeBlock);
  RequireMinutiae(probeBlock);
  smart_ptr<CandidateListImpl> list(new CandidateListImpl(minScore, maxCount));
  std::lock_guard<std::mutex> hold(lock);
  for (const StoredEntry& entry : entries) {
    // A set may hold templates of every processor type; those that cannot be
    // compared with this probe are no candidates, and do not end the search.
    if (!CanCompare(probeBlock, BlockOf(*entry.stored))) continue;
    list->Add(MatchLocked(p, *entry.stored), entry.id, entry.value);
  }
  return list;
}

smart_ptr<CandidateList> MatcherImpl::Identify(smart_ptr<BiometricTemplate> probe,
                                               smart_ptr<RecordSet> set, int32_t maxCount,
                                               int32_t minScore) {
  std::vector<StoredEntry> entries;
  if (const smart_ptr<RecordSetImpl> own = base::smart_ptr_cast<RecordSetImpl>(set)) {
    entries = own->Snapshot();
  } else {
    // A set of the client's own making: read it by position.
    const int32_t count = set->Count();
    for (int32_t i = 0; i < count; ++i) {
      const smart_ptr<SetEntry> entry = set->GetByIndex(i);
      entries.push_back({entry->GetTemplate(), entry->GetId(), entry->GetValue()});
    }
  }
  return IdentifyAmong(probe, entries, maxCount, minScore);
}

smart_ptr<CandidateList> MatcherImpl::Identify(smart_ptr<BiometricTemplate> probe,
                                               smart_ptr<TemplateSet> set, int32_t maxCount,
                                               int32_t minScore) {
  std::vector<StoredEntry> entries;
  if (const smart_ptr<TemplateSetImpl> own = base::smart_ptr_cast<TemplateSetImpl>(set)) {
    entries = own->Snapshot();
  } else {
    // A set of the client's own making has only its enumerator to walk.
    set->Reset();
    while (set->MoveNext()) {
      const smart_ptr<SetEntry> entry = set->Current();
      entries.push_back({entry->GetTemplate(), entry->GetId(), entry->GetValue()});
    }
  }
  return IdentifyAmong(probe, entries, maxCount, minScore);
}

smart_ptr<Matcher> Create_Matcher(SecurityLevel level, MatchSpeed speed) {
  return smart_ptr<Matcher>(new MatcherImpl(level, speed));
}

}  // namespace vela::math

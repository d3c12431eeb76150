#include "engine/objects/MatchResults.h"

#include <algorithm>

namespace vela::math {

using base::smart_ptr;

MatchResult::~MatchResult() = default;
Candidate::~Candidate() = default;
CandidateList::~CandidateList() = default;

MatchResultImpl::MatchResultImpl(int32_t score, MatchAlignment alignment)
    : score(score), alignment(alignment) {}
MatchResultImpl::~MatchResultImpl() = default;

void MatchResultImpl::GetShift(FloatPair& shift) const {
  shift = {alignment.shiftY, alignment.shiftX};
}

CandidateImpl::CandidateImpl(smart_ptr<MatchResult> result, int32_t id, int32_t value)
    : result(std::move(result)), id(id), value(value) {}
CandidateImpl::~CandidateImpl() = default;

CandidateListImpl::CandidateListImpl(int32_t minScore, int32_t maxCount)
    : minScore(minScore), maxCount(size_t(std::max(maxCount, 0))) {}
CandidateListImpl::~CandidateListImpl() = default;

smart_ptr<Candidate> CandidateListImpl::GetByIndex(int32_t index) const {
  if (index < 0 || index >= Count()) throw base::exceptions::out_of_range();
  return candidates[size_t(index)];
}

void CandidateListImpl::Add(smart_ptr<MatchResult> result, int32_t id, int32_t value) {
  const int32_t score = result->GetScore();
  if (score < minScore) return;
  // The list stays sorted, highest first: the new one goes before the first
  // candidate scoring less.
  const auto at = std::upper_bound(
      candidates.begin(), candidates.end(), score,
      [](int32_t s, const smart_ptr<Candidate>& held) { return s > held->GetScore(); });
  if (size_t(at - candidates.begin()) >= maxCount) return;
  candidates.insert(at, smart_ptr<Candidate>(new CandidateImpl(std::move(result), id, value)));
  if (candidates.size() > maxCount) candidates.resize(maxCount);
}

}  // namespace vela::math

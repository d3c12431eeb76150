// Match results, identification candidates and the list that ranks them.
#pragma once

#include <cstdint>
#include <vector>

#include "vela/math.h"

namespace vela::math {

// What the engine's last-result slot holds after a comparison: the rotation
// and the x and y shifts of the alignment it found.
struct MatchAlignment {
  float rotation = 0;
  float shiftX = 0;
  float shiftY = 0;
};

class MatchResultImpl final : public virtual MatchResult {
 public:
  MatchResultImpl(int32_t score, MatchAlignment alignment);
  int32_t GetScore() const override { return score; }
  float GetRotation() const override { return alignment.rotation; }
  void GetShift(FloatPair& shift) const override;

 private:
  ~MatchResultImpl() override;
  int32_t score;
  MatchAlignment alignment;
};

class CandidateImpl final : public virtual Candidate {
 public:
  CandidateImpl(base::smart_ptr<MatchResult> result, int32_t id, int32_t value);
  int32_t GetScore() const override { return result->GetScore(); }
  float GetRotation() const override { return result->GetRotation(); }
  void GetShift(FloatPair& shift) const override { result->GetShift(shift); }
  int32_t GetId() const override { return id; }
  int32_t GetValue() const override { return value; }

 private:
  ~CandidateImpl() override;
  base::smart_ptr<MatchResult> result;
  int32_t id;
  int32_t value;
};

class CandidateListImpl final : public virtual CandidateList {
 public:
  // A negative maximum count keeps no candidate, as 0 does.
  CandidateListImpl(int32_t minScore, int32_t maxCount);

  int32_t Count() const override { return int32_t(candidates.size()); }
  base::smart_ptr<Candidate> GetByIndex(int32_t index) const override;

  // Nothing for a score below the minimum. Otherwise the candidate goes after
  // every one scoring as much or more, and the list is cut to the maximum count.
  void Add(base::smart_ptr<MatchResult> result, int32_t id, int32_t value);

 private:
  ~CandidateListImpl() override;
  int32_t minScore;
  size_t maxCount;
  std::vector<base::smart_ptr<Candidate>> candidates;
};

}  // namespace vela::math

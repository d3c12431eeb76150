// Error rates of a verifier from its genuine and impostor scores.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace accuracy {

// A comparison that could not be made (a template failed to enrol) is kept
// as no score: it never reaches any threshold.
using Score = std::optional<int32_t>;

class ErrorRates {
 public:
  ErrorRates(std::vector<Score> genuine, std::vector<Score> impostor);

  // Fractions (0..1) at a threshold: a pair is accepted when its score is at
  // least the threshold.
  double FalseMatchRate(int32_t threshold) const;
  double FalseNonMatchRate(int32_t threshold) const;

  struct EqualError {
    double rate;
    int32_t threshold;
  };
  // Where the two rates cross: at the lowest threshold whose false non-match
  // rate reaches its false match rate, or the one below it, whichever has
  // the two rates closer; the rate is their mean there.
  EqualError EqualErrorRate() const;

  struct OperatingPoint {
    double falseNonMatchRate;
    int32_t threshold;
  };
  // The lowest threshold whose false match rate is at most `falseMatchRate`.
  OperatingPoint AtFalseMatchRate(double falseMatchRate) const;

 private:
  // Every threshold at which a rate can change, ascending: each score and
  // one above the highest.
  std::vector<int32_t> Thresholds() const;

  std::vector<Score> genuine;
  std::vector<Score> impostor;
};

}  // namespace accuracy

#include "ErrorRates.h"

#include <algorithm>
#include <cmath>

namespace accuracy {

namespace {

// The fraction of scores that reach the threshold.
double Reaching(const std::vector<Score>& scores, int32_t threshold) {
  if (scores.empty()) return 0;
  const auto reaches = std::count_if(scores.begin(), scores.end(),
                                     [&](const Score& s) { return s && *s >= threshold; });
  return double(reaches) / double(scores.size());
}

}  // namespace

ErrorRates::ErrorRates(std::vector<Score> genuine, std::vector<Score> impostor)
    : genuine(std::move(genuine)), impostor(std::move(impostor)) {}

double ErrorRates::FalseMatchRate(int32_t threshold) const { return Reaching(impostor, threshold); }

double ErrorRates::FalseNonMatchRate(int32_t threshold) const {
  return genuine.empty() ? 0 : 1 - Reaching(genuine, threshold);
}

std::vector<int32_t> ErrorRates::Thresholds() const {
  std::vector<int32_t> thresholds;
  for (const auto* scores : {&genuine, &impostor})
    for (const Score& s : *scores)
      if (s) thresholds.push_back(*s);
  if (thresholds.empty()) return {0};
  std::sort(thresholds.begin(), thresholds.end());
  thresholds.erase(std::unique(thresholds.begin(), thresholds.end()), thresholds.end());
  thresholds.push_back(thresholds.back() + 1);
  return thresholds;
}

ErrorRates::EqualError ErrorRates::EqualErrorRate() const {
  const std::vector<int32_t> thresholds = Thresholds();
  size_t crossing = 0;
  while (crossing + 1 < thresholds.size() &&
         FalseNonMatchRate(thresholds[crossing]) < FalseMatchRate(thresholds[crossing]))
    ++crossing;
  auto gap = [&](int32_t t) { return std::fabs(FalseMatchRate(t) - FalseNonMatchRate(t)); };
  int32_t best = thresholds[crossing];
  if (crossing > 0 && gap(thresholds[crossing - 1]) < gap(best)) best = thresholds[crossing - 1];
  return {(FalseMatchRate(best) + FalseNonMatchRate(best)) / 2, best};
}

ErrorRates::OperatingPoint ErrorRates::AtFalseMatchRate(double falseMatchRate) const {
  // Above the highest score nothing is accepted, so the walk always ends.
  const std::vector<int32_t> thresholds = Thresholds();
  for (int32_t t : thresholds)
    if (FalseMatchRate(t) <= falseMatchRate) return {FalseNonMatchRate(t), t};
  return {FalseNonMatchRate(thresholds.back()), thresholds.back()};
}

}  // namespace accuracy

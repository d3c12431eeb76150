#include "wsq/WsqQuantizer.h"

#include <algorithm>
#include <cmath>

namespace vela::wsq {
namespace {

// Subbands whose variance is below this carry too little to code.
constexpr double kVarianceThreshold = 1.01;
// Zero bins are this much wider than the other bins.
constexpr double kZeroBinRatio = 1.2;
// A subband whose bin would exceed this many standard deviations would get a
// negative bit rate; the bits are allocated again without it.
constexpr double kMaxBinInDeviations = 5.0;
constexpr double kGamma = 2.5;
// Bin widths are written in 16 bits, the zero bin 1.2 times wider; a bin this
// wide zeroes its subband anyway, and one this fine is finer than any image
// needs (KeepIndicesCodable widens it as far as the escapes require).
constexpr double kWidestBin = 0xFFFF / kZeroBinRatio;
constexpr double kFinestBin = 1e-6;
// Below this many samples a variance region is too small to estimate a
// spread (a fingerprint's smallest subband has about 90).
constexpr double kFewSamples = 16;

// The fraction of the image each subband covers.
double AreaFraction(int k) { return k < 4 ? 1.0 / 1024 : k < 51 ? 1.0 / 256 : 1.0 / 16; }

// Weights of the finest coded subbands, which the eye forgives differently.
double Weight(int k) {
  switch (k) {
    case 52:
    case 56:
      return 1.32;
    case 53:
    case 55:
    case 58:
    case 59:
      return 1.08;
    case 54:
    case 57:
      return 1.42;
    default:
      return 1.0;
  }
}

// The part of a subband whose variance counts: its centre, away from the
// borders where the print usually ends, for all but the four coarsest.
Rect VarianceRegion(int k, const Rect& subband) {
  if (k < 4) return subband;
  Rect region{subband.x + subband.width / 8, subband.y + 9 * subband.height / 32,
              3 * subband.width / 4, 7 * subband.height / 16};
  // Too small a centre says nothing: take the whole subband instead.
  if (int64_t{region.width} * region.height < 2) return subband;
  return region;
}

double Variance(const float* image, int32_t width, const Rect& r) {
  const double n = double(r.width) * double(r.height);
  double sum = 0, squares = 0;
  for (int32_t y = r.y; y < r.y + r.height; ++y)
    for (int32_t x = r.x; x < r.x + r.width; ++x) {
      const double v = image[size_t(y) * size_t(width) + size_t(x)];
      sum += v;
      squares += v * v;
    }
  if (n < 1) return 0;
  // A handful of coefficients (the subbands of a tiny image) can all be large
  // and alike, so their spread says nothing of what it costs to leave them
  // out; their mean square does.
  if (n < kFewSamples) return squares / n;
  return (squares - sum * sum / n) / (n - 1);
}

}  // namespace

std::array<double, kCodedSubbands> SubbandVariances(const float* image, int32_t width,
                                                    const SubbandTrees& trees) {
  std::array<double, kCodedSubbands> variances{};
  for (int k = 0; k < kCodedSubbands; ++k)
    variances[k] = Variance(image, width, VarianceRegion(k, trees.subbands[k]));
  return variances;
}

BinWidths ComputeBinWidths(const std::array<double, kCodedSubbands>& variances, double bitrate) {
  std::array<bool, kCodedSubbands> coded{};
  std::array<double, kCodedSubbands> relative{};
  for (int k = 0; k < kCodedSubbands; ++k) {
    coded[k] = variances[k] >= kVarianceThreshold;
    if (coded[k]) relative[k] = k < 4 ? 1.0 : 10.0 / (Weight(k) * std::log(variances[k]));
  }

  // The scale q is found over the subbands that would get a positive bit
  // rate; a subband left out of that sum is still coded at its own width.
  std::array<bool, kCodedSubbands> counted = coded;
  double q = 0;
  for (bool dropped = true; dropped;) {
    dropped = false;
    double fraction = 0, logProduct = 0;
    for (int k = 0; k < kCodedSubbands; ++k) {
      if (!counted[k]) continue;
      fraction += AreaFraction(k);
      logProduct += AreaFraction(k) * std::log(std::sqrt(variances[k]) / relative[k]);
    }
    if (fraction == 0) return BinWidths{};
    q = std::pow(2.0, bitrate / fraction - 1.0) / kGamma / std::exp(logProduct / fraction);
    for (int k = 0; k < kCodedSubbands; ++k)
      if (counted[k] && relative[k] / q >= kMaxBinInDeviations * std::sqrt(variances[k])) {
        counted[k] = false;
        dropped = true;
      }
  }

  BinWidths widths;
  for (int k = 0; k < kCodedSubbands; ++k) {
    if (!coded[k]) continue;
    // A tiny image at a high rate can drive q to infinity, and a subband
    // left out of the sum can get a bin wider than its field holds; both
    // ends are held to what can be written.
    widths.binWidth[k] = std::clamp(relative[k] / q, kFinestBin, kWidestBin);
    widths.zeroBin[k] = kZeroBinRatio * widths.binWidth[k];
  }
  return widths;
}

void KeepIndicesCodable(const float* image, int32_t width, const SubbandTrees& trees,
                        BinWidths& widths) {
  // Below the 65535 of the escapes, with room for the rounding of the widths
  // as written.
  constexpr double kLargestIndex = 60000;
  for (int k = 0; k < kCodedSubbands; ++k) {
    if (widths.binWidth[k] == 0) continue;
    const Rect& r = trees.subbands[k];
    double largest = 0;
    for (int32_t y = r.y; y < r.y + r.height; ++y)
      for (int32_t x = r.x; x < r.x + r.width; ++x)
        largest = std::max(largest, std::fabs(double(image[size_t(y) * size_t(width) + size_t(x)])));
    if (largest / widths.binWidth[k] <= kLargestIndex) continue;
    widths.binWidth[k] = largest / kLargestIndex;
    widths.zeroBin[k] = kZeroBinRatio * widths.binWidth[k];
  }
}

size_t CodedCoefficients(const SubbandTrees& trees, const QuantizationTable& table, int first,
                         int end) {
  size_t count = 0;
  for (int k = first; k < end; ++k)
    if (table.binWidth[k] != 0)
      count += size_t(trees.subbands[k].width) * size_t(trees.subbands[k].height);
  return count;
}

std::vector<int32_t> Quantize(const float* image, int32_t width, const SubbandTrees& trees,
                              const QuantizationTable& table) {
  std::vector<int32_t> indices;
  indices.reserve(CodedCoefficients(trees, table, 0, kSubbands));
  for (int k = 0; k < kSubbands; ++k) {
    const double binWidth = table.binWidth[k];
    if (binWidth == 0) continue;
    const double halfZero = table.zeroBin[k] / 2;
    const Rect& r = trees.subbands[k];
    for (int32_t y = r.y; y < r.y + r.height; ++y)
      for (int32_t x = r.x; x < r.x + r.width; ++x) {
        const double a = image[size_t(y) * size_t(width) + size_t(x)];
        double index = 0;
        if (a > halfZero)
          index = std::floor((a - halfZero) / binWidth) + 1;
        else if (a < -halfZero)
          index = std::ceil((a + halfZero) / binWidth) - 1;
        // Far beyond any escape; EncodeWsq refuses what does not fit.
        indices.push_back(static_cast<int32_t>(std::fmax(std::fmin(index, 1e9), -1e9)));
      }
  }
  return indices;
}

}  // namespace vela::wsq

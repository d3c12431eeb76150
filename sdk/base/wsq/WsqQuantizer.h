// The encoder's bit allocation and scalar quantization: subband variances,
// bin widths for a target bit rate, and coefficients to bin indices.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "wsq/WsqFormat.h"
#include "wsq/WsqTrees.h"

namespace vela::wsq {

// The standard's fixed bin-centre parameter.
inline constexpr double kBinCentre = 0.44;

// Variance of each coded subband over its central region (the whole of
// subbands 0-3), from the transformed image.
std::array<double, kCodedSubbands> SubbandVariances(const float* image, int32_t width,
                                                    const SubbandTrees& trees);

struct BinWidths {
  std::array<double, kSubbands> binWidth{};  // 0: not coded
  std::array<double, kSubbands> zeroBin{};
};

// Bin widths that spend about `bitrate` bits per pixel on the subbands whose
// variance is worth coding. No subband at all is a valid answer (a flat
// image), never a division by zero.
BinWidths ComputeBinWidths(const std::array<double, kCodedSubbands>& variances, double bitrate);

// Widens bins where a tiny image or a high rate would give indices past
// what the 16-bit escapes can code.
void KeepIndicesCodable(const float* image, int32_t width, const SubbandTrees& trees,
                        BinWidths& widths);

// How many coefficients subbands first..end-1 code (those of width not 0).
size_t CodedCoefficients(const SubbandTrees& trees, const QuantizationTable& table, int first,
                         int end);

// The bin index of every coefficient of the coded subbands, subband by
// subband, rows top-down, with the widths given as the file will hold them.
std::vector<int32_t> Quantize(const float* image, int32_t width, const SubbandTrees& trees,
                              const QuantizationTable& table);

}  // namespace vela::wsq

#include "wsq/WsqWriter.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace vela::wsq {
namespace {

// The standard's 9-tap low-pass and 7-tap high-pass analysis filters, centre
// tap first.
constexpr double kLowPassHalf[] = {0.85269867900940355, 0.37740285561265574,
                                   -0.1106244044184253, -0.023849465019379894,
                                   0.037828455506995304};
constexpr double kHighPassHalf[] = {0.78848561640566261, -0.4180922732222121,
                                    -0.040689417609558028, 0.064538882628937824};

// The taps of one half filter as written: sign byte, scale byte, 32 bits.
int WriteFilterHalf(std::span<const double> half, std::vector<float>& filter, OutputBuffer& out) {
  const int centre = static_cast<int>(half.size()) - 1;
  filter.assign(2 * half.size() - 1, 0.0f);
  for (size_t k = 0; k < half.size(); ++k) {
    ScaledValue scaled;
    if (!ToScaled(std::fabs(half[k]), kLimit32, scaled)) return kValueTooLarge;
    out.Byte(half[k] < 0 ? 1 : 0);
    out.Byte(scaled.scale);
    out.Long(scaled.value);
    const float tap = static_cast<float>(half[k] < 0 ? -scaled.Real() : scaled.Real());
    filter[size_t(centre) + k] = filter[size_t(centre) - k] = tap;
  }
  return kOk;
}

int WriteScaled16(double value, OutputBuffer& out, float& asWritten) {
  ScaledValue scaled;
  if (!ToScaled(value, kLimit16, scaled)) return kValueTooLarge;
  out.Byte(scaled.scale);
  out.Word(static_cast<uint16_t>(scaled.value));
  asWritten = static_cast<float>(scaled.Real());
  return kOk;
}

}  // namespace

bool ToScaled(double value, uint32_t limit, ScaledValue& scaled) {
  scaled = ScaledValue{};
  if (!std::isfinite(value) || value < 0) return false;
  if (value == 0) return true;
  int multiplications = 0;
  while (value < limit) {
    value *= 10;
    ++multiplications;
  }
  if (multiplications > 0) value /= 10;
  const double rounded = std::round(value);
  if (rounded > limit || multiplications - 1 > 255) return false;
  scaled.scale = static_cast<uint8_t>(std::max(multiplications - 1, 0));
  scaled.value = static_cast<uint32_t>(rounded);
  return true;
}

void WriteComment(std::string_view text, OutputBuffer& out) {
  out.Marker(kCom);
  out.Word(static_cast<uint16_t>(text.size() + 2));
  out.Text(text);
}


// Writes the transform table and returns the filters as the decoder will
// read them back.
int WriteTransformTable(TransformTable& table, OutputBuffer& out) {
  out.Marker(kDtt);
  out.Word(58);
  out.Byte(static_cast<uint8_t>(2 * std::size(kLowPassHalf) - 1));
  out.Byte(static_cast<uint8_t>(2 * std::size(kHighPassHalf) - 1));
  if (const int status = WriteFilterHalf(kLowPassHalf, table.lowPass, out); status != kOk)
    return status;
  return WriteFilterHalf(kHighPassHalf, table.highPass, out);
}


// Writes the quantization table and returns it as the decoder will read it.
int WriteQuantizationTable(const BinWidths& widths, QuantizationTable& table, OutputBuffer& out) {
  out.Marker(kDqt);
  out.Word(389);
  out.Byte(2);
  out.Word(static_cast<uint16_t>(std::lround(kBinCentre * 100)));
  table.binCentre = static_cast<float>(kBinCentre);
  for (int k = 0; k < kSubbands; ++k) {
    const bool coded = k < kCodedSubbands && widths.binWidth[k] > 0;
    if (const int status = WriteScaled16(coded ? widths.binWidth[k] : 0, out, table.binWidth[k]);
        status != kOk)
      return status;
    if (const int status = WriteScaled16(coded ? widths.zeroBin[k] : 0, out, table.zeroBin[k]);
        status != kOk)
      return status;
  }
  table.defined = true;
  return kOk;
}

int WriteFrameHeader(int32_t width, int32_t height, double mShift, double rScale,
                     FrameHeader& frame, OutputBuffer& out) {
  out.Marker(kSof);
  out.Word(17);
  out.Byte(0);
  out.Byte(255);
  out.Word(static_cast<uint16_t>(height));
  out.Word(static_cast<uint16_t>(width));
  if (const int status = WriteScaled16(mShift, out, frame.mShift); status != kOk) return status;
  if (const int status = WriteScaled16(rScale, out, frame.rScale); status != kOk) return status;
  out.Byte(0);
  out.Word(0);
  return kOk;
}

void WriteHuffmanTable(int id, const HuffmanTable& table, OutputBuffer& out) {
  out.Marker(kDht);
  out.Word(static_cast<uint16_t>(2 + 1 + kMaxCodeLength + table.values.size()));
  out.Byte(static_cast<uint8_t>(id));
  for (uint8_t count : table.counts) out.Byte(count);
  for (uint8_t value : table.values) out.Byte(value);
}

void WriteBlockHeader(int tableId, OutputBuffer& out) {
  out.Marker(kSob);
  out.Word(3);
  out.Byte(static_cast<uint8_t>(tableId));
}

}  // namespace vela::wsq

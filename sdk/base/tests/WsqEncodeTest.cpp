#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "ByteOrder.h"
#include "WsqTestFiles.h"
#include "images/BmpCodec.h"
#include "wsq/WsqCodec.h"
#include "wsq/WsqFormat.h"
#include "wsq/WsqQuantizer.h"
#include "wsq/WsqWriter.h"

namespace {

using namespace vela::wsq;
using vela::test::ReadBytes;
using vela::test::WsqDataDir;

// The body of the first segment with that marker ahead of the first block.
std::optional<std::vector<uint8_t>> SegmentBody(const std::vector<uint8_t>& file, uint16_t marker) {
  size_t at = 2;
  while (at + 4 <= file.size()) {
    const uint16_t found = vela::ReadBe<uint16_t>(&file[at]);
    const uint16_t length = vela::ReadBe<uint16_t>(&file[at + 2]);
    if (found == marker) return std::vector<uint8_t>(file.begin() + at + 4, file.begin() + at + 2 + length);
    if (found == kSob) break;
    at += 2 + length;
  }
  return std::nullopt;
}

// Scaled values keep as many digits as their field holds; a value that does
// not fit even at scale 0 is refused rather than given a wrapped scale byte.
TEST(WsqScaledValues, AsManyDigitsAsTheFieldHolds) {
  struct Case {
    double value;
    uint32_t limit;
    bool fits;
    uint8_t scale;
    uint32_t written;
  };
  const Case cases[] = {
      {166.6875, kLimit16, true, 2, 16669},  {0.98971, kLimit16, true, 4, 9897},
      {0.44, kLimit16, true, 5, 44000},      {0, kLimit16, true, 0, 0},
      {65535, kLimit16, true, 0, 65535},     {6553.54, kLimit16, true, 0, 6554},
      {65536, kLimit16, false, 0, 0},        {1e9, kLimit16, false, 0, 0},
      {-1, kLimit16, false, 0, 0},           {0.85269867900940355, kLimit32, true, 9, 852698679},
  };
  for (const Case& c : cases) {
    ScaledValue scaled;
    EXPECT_EQ(ToScaled(c.value, c.limit, scaled), c.fits) << c.value;
    if (!c.fits) continue;
    EXPECT_EQ(scaled.scale, c.scale) << c.value;
    EXPECT_EQ(scaled.value, c.written) << c.value;
  }
}

// Extremes of the bit allocation: a subband of barely any variance beside
// strong ones at a low rate is left out of the sum for q and would get a bin
// far wider than 16 bits hold; the four coarsest subbands alone at the
// highest rate drive q to infinity. Every coded subband keeps a width that
// can be written, never 0 and never a wrapped value.
TEST(WsqBinWidths, StayWritableAtTheExtremes) {
  std::array<double, kCodedSubbands> strongAndFaint{};
  strongAndFaint.fill(1e6);
  strongAndFaint[59] = 1.02;
  std::array<double, kCodedSubbands> coarsestOnly{};
  for (int k = 0; k < 4; ++k) coarsestOnly[k] = 5000;
  for (const auto& [variances, bitrate] :
       {std::pair{strongAndFaint, 0.1}, std::pair{coarsestOnly, 8.0}}) {
    const BinWidths widths = ComputeBinWidths(variances, bitrate);
    for (int k = 0; k < kCodedSubbands; ++k) {
      if (variances[k] < 1.01) continue;
      ScaledValue scaled;
      EXPECT_GT(widths.binWidth[k], 0) << k;
      EXPECT_TRUE(ToScaled(widths.binWidth[k], kLimit16, scaled)) << k << ": " << widths.binWidth[k];
      EXPECT_TRUE(ToScaled(widths.zeroBin[k], kLimit16, scaled)) << k << ": " << widths.zeroBin[k];
    }
  }
}

TEST(WsqReferenceFiles, OurEncoderMatchesTheReferenceEncoder) {
  if (!std::filesystem::exists(WsqDataDir()) || !std::filesystem::exists(vela::test::FingerprintDir()))
    GTEST_SKIP() << "no reference WSQ files or fingerprints in " << PV_SHARED_DATA_DIR;
  for (const char* name : vela::test::kReferenceWsqNames) {
    SCOPED_TRACE(name);
    const auto bmp = vela::render::DecodeBmp(ReadBytes(vela::test::FingerprintDir() / (std::string(name) + ".bmp")));
    const auto reference = ReadBytes(WsqDataDir() / (std::string(name) + ".wsq"));
    const auto referencePixels = ReadBytes(WsqDataDir() / (std::string(name) + ".decoded.raw"));
    const auto ours = vela::test::EncodeOrEmpty(bmp.pixels, bmp.width, bmp.height);
    std::vector<uint8_t> decoded;
    WsqInfo info;
    ASSERT_EQ(DecodeWsq(ours, decoded, info), kOk);
    const double psnr = vela::test::Psnr(decoded, bmp.pixels);
    const double referencePsnr = vela::test::Psnr(referencePixels, bmp.pixels);
    std::printf("%s: %zu bytes (reference %zu), %.3f bpp, PSNR %.2f dB (reference %.2f dB)\n", name,
                ours.size(), reference.size(), 8.0 * ours.size() / bmp.pixels.size(), psnr,
                referencePsnr);
    EXPECT_EQ(SegmentBody(ours, kCom), SegmentBody(reference, kCom));
    const auto frame = SegmentBody(ours, kSof), referenceFrame = SegmentBody(reference, kSof);
    ASSERT_TRUE(frame && referenceFrame);
    // Shift and scale: bytes 6-11 of the frame header's body.
    EXPECT_EQ(std::vector<uint8_t>(frame->begin() + 6, frame->begin() + 12),
              std::vector<uint8_t>(referenceFrame->begin() + 6, referenceFrame->begin() + 12));
    EXPECT_NEAR(double(ours.size()), double(reference.size()), 0.05 * reference.size());
    EXPECT_GE(psnr, referencePsnr - 0.3);
  }
}

}  // namespace

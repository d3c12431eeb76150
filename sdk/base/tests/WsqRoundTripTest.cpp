// The encoder and decoder together: what goes in comes back at every size,
// flat images come back exactly, and the NISTCOM list says what was written.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <set>
#include <thread>

#include "WsqTestFiles.h"
#include "wsq/NistComment.h"
#include "wsq/WsqCodec.h"
#include "wsq/WsqTransform.h"

namespace {

using namespace vela::wsq;
using vela::test::EncodeOrEmpty;
using vela::test::Psnr;
using vela::test::RidgePicture;

std::vector<uint8_t> Decode(const std::vector<uint8_t>& file, WsqInfo& info) {
  std::vector<uint8_t> pixels;
  EXPECT_EQ(DecodeWsq(file, pixels, info), kOk);
  return pixels;
}

// Without quantization the transform gives back what it took, at every size
// the subband trees can take, down to lines of one sample.
TEST(WsqTransform, InverseUndoesForwardAtEverySmallSize) {
  TransformTable table;
  table.lowPass = {0.0378284555f, -0.023849465f, -0.110624404f, 0.377402856f, 0.852698679f,
                   0.377402856f, -0.110624404f, -0.023849465f, 0.0378284555f};
  table.highPass = {0.0645388826f, -0.0406894176f, -0.418092273f, 0.788485616f,
                    -0.418092273f, -0.0406894176f, 0.0645388826f};
  TransformScratch scratch;
  for (int32_t width = 1; width <= 40; width += width < 12 ? 1 : 7)
    for (int32_t height = 1; height <= 40; height += height < 12 ? 1 : 9) {
      std::vector<float> image(size_t(width) * size_t(height));
      for (size_t i = 0; i < image.size(); ++i) image[i] = float(int(i * 37 % 101) - 50);
      const std::vector<float> original = image;
      const SubbandTrees trees = BuildSubbandTrees(width, height);
      ForwardTransform(image.data(), width, trees, AnalysisFilters(table), scratch);
      InverseTransform(image.data(), width, trees, SynthesisFilters(table), scratch);
      for (size_t i = 0; i < image.size(); ++i)
        ASSERT_NEAR(image[i], original[i], 1e-3) << width << " x " << height << " at " << i;
    }
}

TEST(WsqRoundTrip, EverySizeComesBackCloseToTheOriginal) {
  struct Case {
    int32_t width, height;
    double bitrate;
    double minimumPsnr;
  };
  const Case cases[] = {
      {1, 1, 0.75, 99},   {2, 1, 8, 60},       {7, 5, 0.75, 33},     {7, 5, 8, 42},
      {31, 17, 0.75, 36}, {33, 64, 2.25, 48},  {248, 338, 0.75, 43}, {517, 263, 0.75, 45},
      {2000, 2000, 0.75, 48},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " at " << c.bitrate);
    const std::vector<uint8_t> original = RidgePicture(c.width, c.height);
    const std::vector<uint8_t> file = EncodeOrEmpty(original, c.width, c.height, c.bitrate);
    ASSERT_FALSE(file.empty());
    WsqInfo info;
    const std::vector<uint8_t> decoded = Decode(file, info);
    EXPECT_EQ(info.width, c.width);
    EXPECT_EQ(info.height, c.height);
    EXPECT_EQ(info.ppi, 500);
    ASSERT_EQ(decoded.size(), original.size());
    EXPECT_GE(Psnr(decoded, original), c.minimumPsnr);
  }
}

// The subbands of a tiny image hold a few large, alike coefficients: a
// smooth ramp lives in them, and they must be coded even though their
// spread is small.
TEST(WsqRoundTrip, TinyImagesKeepTheirCoarsestSubbands) {
  std::vector<uint8_t> ramp(40 * 30);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = uint8_t(60 + (i % 40) * 3 + (i / 40) * 2);
  const std::vector<uint8_t> file = EncodeOrEmpty(ramp, 40, 30, 0.75);
  ASSERT_FALSE(file.empty());
  WsqInfo info;
  EXPECT_GE(Psnr(Decode(file, info), ramp), 45.0);
}

// A flat image has no spread to scale by and nothing to code; it still
// encodes, and decodes to its own grey level.
TEST(WsqRoundTrip, UniformImagesComeBackExactly) {
  for (const uint8_t grey : {0, 127, 255})
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{300, 200}}) {
      SCOPED_TRACE(testing::Message() << int(grey) << " at " << width << " x " << height);
      const std::vector<uint8_t> original(size_t(width) * size_t(height), grey);
      const std::vector<uint8_t> file = EncodeOrEmpty(original, width, height);
      ASSERT_FALSE(file.empty());
      WsqInfo info;
      EXPECT_EQ(Decode(file, info), original);
    }
}

// The symbols the Huffman tables of a file define. Coded data never holds
// 0xFF followed by a marker code, so a byte search finds every table.
std::set<int> TableSymbols(const std::vector<uint8_t>& file) {
  std::set<int> symbols;
  for (size_t at = 0; at + 4 <= file.size(); ++at) {
    if (file[at] != 0xFF || file[at + 1] != 0xA6) continue;
    const size_t end = at + 2 + (size_t(file[at + 2]) << 8 | file[at + 3]);
    for (size_t table = at + 4; table + 17 <= end;) {
      size_t count = 0;
      for (int l = 0; l < 16; ++l) count += file[table + 1 + l];
      for (size_t i = 0; i < count; ++i) symbols.insert(file[table + 17 + i]);
      table += 17 + count;
    }
  }
  return symbols;
}

// The smooth shading of a small picture coded finely puts quantized values
// far past the directly coded -73..74, into the 8- and 16-bit escapes of
// both signs; a dot on a large flat field leaves zero runs far longer than
// one 16-bit run escape holds.
TEST(WsqRoundTrip, EscapesAndLongZeroRunsDecodeBack) {
  const std::vector<uint8_t> picture = RidgePicture(64, 64);
  const std::vector<uint8_t> fine = EncodeOrEmpty(picture, 64, 64, 2.0);
  ASSERT_FALSE(fine.empty());
  const std::set<int> symbols = TableSymbols(fine);
  for (int escape : {101, 102, 103, 104}) EXPECT_TRUE(symbols.count(escape)) << escape;
  WsqInfo info;
  EXPECT_GE(Psnr(Decode(fine, info), picture), 45.0);

  std::vector<uint8_t> dot(1200 * 1100, 90);
  for (int y = 500; y < 520; ++y)
    for (int x = 600; x < 620; ++x) dot[size_t(y) * 1200 + x] = 250;
  const std::vector<uint8_t> sparse = EncodeOrEmpty(dot, 1200, 1100, 0.75);
  ASSERT_FALSE(sparse.empty());
  EXPECT_TRUE(TableSymbols(sparse).count(106));
  EXPECT_LT(sparse.size(), 20000u);
  EXPECT_GE(Psnr(Decode(sparse, info), dot), 35.0);
}

TEST(WsqEncode, RefusesWhatItCannotWrite) {
  const std::vector<uint8_t> pixels = RidgePicture(40, 30);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  for (double rate : {0.0, -0.5, 8.01, nan, infinity}) {
    int status = 0;
    EXPECT_TRUE(EncodeOrEmpty(pixels, 40, 30, rate, nullptr, 500, &status).empty()) << rate;
    EXPECT_EQ(status, kBadBitrate) << rate;
  }
  int status = 0;
  EncodeOrEmpty(pixels, 0, 30, 0.75, nullptr, 500, &status);
  EXPECT_EQ(status, kBadImage);
  const std::string longComment(65534, 'x');
  EncodeOrEmpty(pixels, 40, 30, 0.75, longComment.c_str(), 500, &status);
  EXPECT_EQ(status, kCommentTooLong);

  // A buffer too small ends the encoding with a status, never an overrun.
  std::vector<uint8_t> small(300);
  size_t length = 0;
  EXPECT_LT(EncodeWsq(pixels.data(), 40, 30, 500, nullptr, 0.75, small.data(), small.size(), length),
            0);
  EXPECT_EQ(length, 0u);
}

TEST(WsqComments, NistCommentListsTheImageAndAPlainCommentFollowsIt) {
  const std::vector<uint8_t> pixels = RidgePicture(20, 10);
  const std::vector<uint8_t> file = EncodeOrEmpty(pixels, 20, 10, 0.5, "taken at the border", 0);
  std::vector<std::string> texts;
  ASSERT_EQ(ReadWsqComment(file, texts), 2);
  EXPECT_EQ(texts[0],
            "NIST_COM 9\nPIX_WIDTH 20\nPIX_HEIGHT 10\nPIX_DEPTH 8\nPPI 0\nLOSSY 1\n"
            "COLORSPACE GRAY\nCOMPRESSION WSQ\nWSQ_BITRATE 0.500000");
  EXPECT_EQ(texts[1], "taken at the border");
  // "PPI 0" is no resolution.
  WsqInfo info;
  ASSERT_EQ(ReadWsqInfo(file, info), kOk);
  EXPECT_EQ(info.ppi, kDefaultPpi);
}

TEST(WsqComments, GivenNistFieldsAreKeptAndCounted) {
  std::string text;
  ASSERT_EQ(WriteNistComment("NIST_COM 3\nPPI 250\nDEVICE\t scanner 7", 5, 6, 500, 0.75, text),
            kOk);
  EXPECT_EQ(text,
            "NIST_COM 10\nPPI 500\nDEVICE scanner 7\nPIX_WIDTH 5\nPIX_HEIGHT 6\nPIX_DEPTH 8\n"
            "LOSSY 1\nCOLORSPACE GRAY\nCOMPRESSION WSQ\nWSQ_BITRATE 0.750000");

  NistComment comment;
  EXPECT_EQ(comment.Parse("NIST_COM 2\nPPI " + std::string(511, '5')), kOk);
  EXPECT_EQ(comment.Parse("NIST_COM 2\nPPI " + std::string(512, '5')), kNistFieldTooLong);
  EXPECT_EQ(comment.Parse(std::string(512, 'N') + " 1"), kNistFieldTooLong);
  EXPECT_EQ(PpiFromNistComment("NIST_COM 2\nPPI 1000"), 1000);
  EXPECT_EQ(PpiFromNistComment("NIST_COM 2\nPPI -3"), kDefaultPpi);
  EXPECT_EQ(PpiFromNistComment("NIST_COM 1"), kDefaultPpi);
}

// Every call keeps its own tables: threads that encode and decode different
// images at once each get their own image back.
TEST(WsqThreads, EncodeAndDecodeOnSeveralThreadsAtOnce) {
  constexpr int kThreads = 4;
  std::vector<std::vector<uint8_t>> originals, files(kThreads), decoded(kThreads);
  for (int t = 0; t < kThreads; ++t) originals.push_back(RidgePicture(60 + 13 * t, 50 + 7 * t));
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      const int32_t width = 60 + 13 * t, height = 50 + 7 * t;
      for (int round = 0; round < 3; ++round) {
        files[t] = EncodeOrEmpty(originals[t], width, height, 1.0 + t);
        WsqInfo info;
        DecodeWsq(files[t], decoded[t], info);
      }
    });
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    ASSERT_EQ(decoded[t].size(), originals[t].size());
    EXPECT_GE(Psnr(decoded[t], originals[t]), 25.0);
  }
}

}  // namespace

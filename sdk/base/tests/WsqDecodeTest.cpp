#include <gtest/gtest.h>

#include <cstdlib>

#include "WsqTestFiles.h"
#include "wsq/WsqCodec.h"

namespace {

using namespace vela::wsq;
using vela::test::ReadBytes;
using vela::test::WsqDataDir;

#define REQUIRE_REFERENCE_FILES()                                                  \
  if (!std::filesystem::exists(WsqDataDir()))                                      \
  GTEST_SKIP() << "no reference WSQ files in " << WsqDataDir()

TEST(WsqReferenceFiles, DecodeWithinOneGreyLevelOfTheReferenceDecoder) {
  REQUIRE_REFERENCE_FILES();
  size_t exact = 0, total = 0;
  for (const char* name : vela::test::kReferenceWsqNames) {
    SCOPED_TRACE(name);
    const auto file = ReadBytes(WsqDataDir() / (std::string(name) + ".wsq"));
    const auto expected = ReadBytes(WsqDataDir() / (std::string(name) + ".decoded.raw"));
    std::vector<uint8_t> pixels;
    WsqInfo info;
    ASSERT_EQ(DecodeWsq(file, pixels, info), kOk);
    EXPECT_EQ(info.width, 248);
    EXPECT_EQ(info.height, 338);
    EXPECT_EQ(info.ppi, 500);
    ASSERT_EQ(pixels.size(), expected.size());
    int worst = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
      const int difference = std::abs(int(pixels[i]) - int(expected[i]));
      worst = std::max(worst, difference);
      exact += difference == 0;
    }
    total += pixels.size();
    EXPECT_LE(worst, 1);
  }
  std::printf("exact pixels: %zu of %zu\n", exact, total);
}

TEST(WsqReferenceFiles, NistCommentReadsBack) {
  REQUIRE_REFERENCE_FILES();
  const auto file = ReadBytes(WsqDataDir() / "f01_1.wsq");
  std::vector<std::string> texts;
  ASSERT_EQ(ReadWsqComment(file, texts), 1);
  EXPECT_EQ(texts[0],
            "NIST_COM 9\nPIX_WIDTH 248\nPIX_HEIGHT 338\nPIX_DEPTH 8\nPPI 500\nLOSSY 1\n"
            "COLORSPACE GRAY\nCOMPRESSION WSQ\nWSQ_BITRATE 0.750000");
  WsqInfo info;
  ASSERT_EQ(ReadWsqInfo(file, info), kOk);
  EXPECT_EQ(info.width, 248);
  EXPECT_EQ(info.height, 338);
  EXPECT_EQ(info.ppi, 500);
}

}  // namespace

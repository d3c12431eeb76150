// Broken WSQ files: each gives its negative status (and the factory its
// exception), never a read past the buffer or a crash.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "WsqTestFiles.h"
#include "vela/render.h"
#include "wsq/WsqCodec.h"
#include "wsq/WsqFormat.h"

namespace {

using namespace vela::wsq;
using File = std::vector<uint8_t>;

// Where each marker of a file stands, in file order; coded data is skipped.
std::multimap<uint16_t, size_t> Markers(const File& file) {
  std::multimap<uint16_t, size_t> markers;
  size_t at = 0;
  while (at + 1 < file.size()) {
    const uint16_t marker = uint16_t(file[at] << 8 | file[at + 1]);
    markers.emplace(marker, at);
    if (marker == kSoi) {
      at += 2;
      continue;
    }
    if (marker == kEoi || at + 3 >= file.size()) break;
    at += 2 + size_t(file[at + 2] << 8 | file[at + 3]);
    if (marker != kSob) continue;
    while (at + 1 < file.size() && !(file[at] == 0xFF && file[at + 1] != 0x00)) ++at;
  }
  return markers;
}

size_t First(const File& file, uint16_t marker) { return Markers(file).find(marker)->second; }

// A small file of our own with a plain comment: NISTCOM, comment, DTT, DQT,
// SOF, DHT, SOB, DHT, SOB, SOB, EOI.
File GoodFile() {
  return vela::test::EncodeOrEmpty(vela::test::RidgePicture(40, 30), 40, 30, 1.0, "note");
}

// Writes 0xFF, second a little way into the first block's coded data.
void PutIntoCodedData(File& file, uint8_t second) {
  size_t at = First(file, kSob) + 5 + 10;
  while (file[at - 1] == 0xFF) ++at;
  file[at] = 0xFF;
  file[at + 1] = second;
}

struct BrokenCase {
  const char* name;
  std::function<void(File&)> breakIt;
  int status;
};

TEST(WsqBrokenFiles, EachGivesItsStatus) {
  const BrokenCase cases[] = {
      {"not a WSQ file", [](File& f) { f = {'B', 'M', 0x36, 0, 0, 0, 0, 0}; }, kNoSoi},
      {"empty", [](File& f) { f.clear(); }, kNoSoi},
      {"no marker after SOI", [](File& f) { f[2] = 0x00; }, kNotAMarker},
      {"unknown marker before the frame",
       [](File& f) { f[First(f, kDtt) + 1] = 0xA7; }, kBadMarkerBeforeFrame},
      {"no transform table", [](File& f) { f[First(f, kDtt) + 1] = 0xA8; }, kNoLowPassFilter},
      {"even low-pass length", [](File& f) { f[First(f, kDtt) + 4] = 8; }, kNoLowPassFilter},
      {"even high-pass length", [](File& f) { f[First(f, kDtt) + 5] = 6; }, kNoHighPassFilter},
      {"no quantization table",
       [](File& f) { f[First(f, kDqt) + 1] = 0xA8; }, kNoQuantizationTable},
      {"segment longer than the data",
       [](File& f) { f[First(f, kDqt) + 2] = f[First(f, kDqt) + 3] = 0xFF; }, kBadSegmentLength},
      {"segment length below its own field",
       [](File& f) { f[First(f, kDqt) + 2] = 0; f[First(f, kDqt) + 3] = 1; }, kBadSegmentLength},
      {"width 0",
       [](File& f) { f[First(f, kSof) + 8] = f[First(f, kSof) + 9] = 0; }, kBadFrameSize},
      {"height 0",
       [](File& f) { f[First(f, kSof) + 6] = f[First(f, kSof) + 7] = 0; }, kBadFrameSize},
      {"frame smaller than the coded data",
       [](File& f) { f[First(f, kSof) + 7] = f[First(f, kSof) + 9] = 4; }, kTooManyCoefficients},
      {"bad table id", [](File& f) { f[First(f, kDht) + 4] = 9; }, kHuffmanTableTwice},
      {"undefined table", [](File& f) { f[First(f, kSob) + 4] = 5; }, kUndefinedHuffmanTable},
      {"counts summing to 257",
       [](File& f) {
         const size_t counts = First(f, kDht) + 5;
         std::fill(f.begin() + counts, f.begin() + counts + 16, 0);
         f[counts + 14] = 2;
         f[counts + 15] = 255;
       },
       kBadHuffmanTable},
      {"over-full code",
       [](File& f) {
         const size_t counts = First(f, kDht) + 5;
         int total = 0;
         for (int l = 0; l < 16; ++l) total += f[counts + l];
         std::fill(f.begin() + counts, f.begin() + counts + 16, 0);
         f[counts] = 3;
         f[counts + 15] = uint8_t(total - 3);
       },
       kBadHuffmanTable},
      {"table defined twice in one segment",
       [](File& f) {
         const File twice = {0xFF, 0xA6, 0, 2 + 2 * 18, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0,
                             0,    0,    0, 0,          0, 0, 0, 1, 0, 1, 0, 0, 0, 0,
                             0,    0,    0, 0,          0, 0, 0, 0, 0, 0, 1};
         f.insert(f.begin() + long(First(f, kDht)), twice.begin(), twice.end());
       },
       kHuffmanTableTwice},
      {"marker inside the coded data", [](File& f) { PutIntoCodedData(f, 0xA2); },
       kBadMarkerBeforeBlock},
      {"0xFF followed by neither 0x00 nor a marker", [](File& f) { PutIntoCodedData(f, 0x01); },
       kBadStuffing},
      {"no EOI", [](File& f) { f.resize(f.size() - 2); }, kEndOfCodedData},
      {"nothing after the frame header",
       [](File& f) { f.resize(First(f, kDht)); }, kEndOfData},
  };
  const File good = GoodFile();
  ASSERT_FALSE(good.empty());
  for (const BrokenCase& c : cases) {
    SCOPED_TRACE(c.name);
    File file = good;
    c.breakIt(file);
    // An exact-size copy, so that ASan sees any read past its end.
    const std::unique_ptr<uint8_t[]> exact(new uint8_t[file.size()]);
    std::copy(file.begin(), file.end(), exact.get());
    const std::span<const uint8_t> bytes(exact.get(), file.size());
    std::vector<uint8_t> pixels;
    WsqInfo info;
    EXPECT_EQ(DecodeWsq(bytes, pixels, info), c.status);
    std::vector<std::string> texts;
    ReadWsqComment(bytes, texts);
    ReadWsqInfo(bytes, info);
    EXPECT_THROW(vela::render::Create_WSQ_Image(
                     vela::base::smart_ptr<vela::base::InputStream>(Create_MemoryStream(
                         file.data(), static_cast<int32_t>(file.size())))),
                 vela::base::exceptions::base_exception);
  }
}

// A transform table that is well formed but absurd: a high-pass centre tap
// of 788485616 (its scale byte zeroed) overflows the reconstruction to
// infinities of both signs and on to NaN, which must still become grey
// levels without an undefined conversion.
TEST(WsqBrokenFiles, AbsurdTablesStillGiveGreyLevels) {
  File file = GoodFile();
  ASSERT_FALSE(file.empty());
  const size_t highPassCentre = First(file, kDtt) + 6 + 5 * 6;
  file[highPassCentre + 1] = 0;
  std::vector<uint8_t> pixels;
  WsqInfo info;
  EXPECT_EQ(DecodeWsq(file, pixels, info), kOk);
  EXPECT_EQ(pixels.size(), 40u * 30u);
}

TEST(WsqBrokenFiles, ACutAnywhereFails) {
  const File good = GoodFile();
  ASSERT_FALSE(good.empty());
  for (size_t length = 0; length < good.size(); ++length) {
    const std::unique_ptr<uint8_t[]> cut(new uint8_t[length + 1]);
    std::copy(good.begin(), good.begin() + long(length), cut.get());
    std::vector<uint8_t> pixels;
    WsqInfo info;
    EXPECT_LT(DecodeWsq(std::span<const uint8_t>(cut.get(), length), pixels, info), 0) << length;
  }
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "BmpFixtures.h"
#include "TestImages.h"
#include "vela/render.h"

namespace {

using vela::base::Image;
using vela::base::InputStream;
using vela::base::MemoryStream;
using vela::base::smart_ptr;
using vela::render::BMP_Image;
using vela::render::Create_BMP_Image;
using vela::test::BmpSpec;
using vela::test::GetU32;
using vela::test::MakeBmp;
using vela::test::PutU16;
using vela::test::PutU32;
namespace ex = vela::base::exceptions;

smart_ptr<BMP_Image> Read(const std::vector<uint8_t>& file) {
  return Create_BMP_Image(smart_ptr<InputStream>(
      Create_MemoryStream(file.data(), static_cast<int32_t>(file.size()))));
}

std::vector<uint8_t> Saved(const smart_ptr<BMP_Image>& image) {
  smart_ptr<MemoryStream> out = Create_MemoryStream(nullptr, 0);
  image->Save(out);
  std::vector<uint8_t> bytes(static_cast<size_t>(out->Size()));
  out->SetPosition(0);
  out->Read(bytes.data(), static_cast<int32_t>(bytes.size()));
  return bytes;
}

void ExpectPixels(const BmpSpec& spec, const Image& image) {
  ASSERT_EQ(image.GetWidth(), spec.width);
  ASSERT_EQ(image.GetHeight(), spec.height);
  ASSERT_EQ(image.GetBitsPerPixel(), 8);
  ASSERT_EQ(image.GetRowBytes(), spec.width);
  for (int32_t r = 0; r < spec.height; ++r)
    for (int32_t c = 0; c < spec.width; ++c)
      ASSERT_EQ(image.GetData()[r * spec.width + c], vela::test::ExpectedGrey(spec, r, c))
          << "row " << r << " column " << c;
}

TEST(BmpRead, OrdinaryGreyFile) {
  const BmpSpec spec;
  smart_ptr<BMP_Image> image = Read(MakeBmp(spec));
  ExpectPixels(spec, *image);
  EXPECT_EQ(image->GetXResolution(), 500);
  EXPECT_EQ(image->GetYResolution(), 500);
}

TEST(BmpRead, ColourPaletteReadsAsItsBlueComponent) {
  BmpSpec spec;
  spec.grey = false;
  ExpectPixels(spec, *Read(MakeBmp(spec)));
}

// The palette sits right after whatever header the file has, with as many
// entries as it declares; the pixels follow it.
TEST(BmpRead, PaletteFollowsTheHeaderSizeAndDeclaredColourCount) {
  const BmpSpec cases[] = {
      {.infoSize = 124},              // a version 5 header
      {.infoSize = 108, .colors = 16},
      {.colors = 2},
      {.width = 7, .height = 2, .colors = 256},
  };
  for (const BmpSpec& spec : cases) {
    SCOPED_TRACE(testing::Message() << "header " << spec.infoSize << " colours " << spec.colors);
    ExpectPixels(spec, *Read(MakeBmp(spec)));
  }
}

TEST(BmpRead, IndexBeyondTheDeclaredColoursReadsAsBlack) {
  BmpSpec spec{.width = 4, .height = 1, .colors = 2};
  std::vector<uint8_t> file = MakeBmp(spec);
  file[GetU32(file, 10)] = 200;
  EXPECT_EQ(Read(file)->GetData()[0], 0);
}

TEST(BmpRead, TopDownFileReadsTopRowFirst) {
  for (int32_t width : {1, 5, 8}) {
    BmpSpec spec{.width = width, .height = 4, .topDown = true};
    SCOPED_TRACE(width);
    ExpectPixels(spec, *Read(MakeBmp(spec)));
  }
}

TEST(BmpRead, ResolutionRoundsHalfUp) {
  const std::pair<int32_t, int32_t> cases[] = {
      {19685, 500}, {11811, 300}, {3937, 100}, {0, 0}, {1, 0}, {20, 1}, {19, 0}};
  for (auto [perMeter, dpi] : cases) {
    SCOPED_TRACE(perMeter);
    BmpSpec spec{.pixelsPerMeter = perMeter};
    EXPECT_EQ(Read(MakeBmp(spec))->GetXResolution(), dpi);
  }
}

struct Hostile {
  const char* name;
  std::function<void(std::vector<uint8_t>&)> damage;
};

// Every one of these must be refused with invalid_argument: no crash, no
// out-of-bounds read, no huge allocation (the sanitizers watch).
TEST(BmpRead, TruncatedAndHostileFilesAreRefused) {
  const std::vector<Hostile> cases = {
      {"empty", [](auto& f) { f.clear(); }},
      {"two bytes", [](auto& f) { f.resize(2); }},
      {"headers cut", [](auto& f) { f.resize(53); }},
      {"headers only", [](auto& f) { f.resize(54); }},
      {"palette cut", [](auto& f) { f.resize(54 + 1023); }},
      {"last pixel missing", [](auto& f) { f.pop_back(); }},
      {"half the rows", [](auto& f) { f.resize(1078 + 8); }},
      {"not BM", [](auto& f) { f[0] = 'M'; f[1] = 'B'; }},
      {"24 bits", [](auto& f) { PutU16(f, 28, 24); }},
      {"4 bits", [](auto& f) { PutU16(f, 28, 4); }},
      {"1 bit", [](auto& f) { PutU16(f, 28, 1); }},
      {"RLE8", [](auto& f) { PutU32(f, 30, 1); }},
      {"RLE4", [](auto& f) { PutU32(f, 30, 2); }},
      {"bit fields", [](auto& f) { PutU32(f, 30, 3); }},
      {"core header", [](auto& f) { PutU32(f, 14, 12); }},
      {"header past the end", [](auto& f) { PutU32(f, 14, 0xFFFFFFF0u); }},
      {"zero width", [](auto& f) { PutU32(f, 18, 0); }},
      {"negative width", [](auto& f) { PutU32(f, 18, uint32_t(-5)); }},
      {"zero height", [](auto& f) { PutU32(f, 22, 0); }},
      {"most negative height", [](auto& f) { PutU32(f, 22, 0x80000000u); }},
      {"top-down past the end", [](auto& f) { PutU32(f, 22, uint32_t(-300)); }},
      {"huge width", [](auto& f) { PutU32(f, 18, 0x7FFFFFFF); }},
      {"huge width and height",
       [](auto& f) { PutU32(f, 18, 0x7FFFFFFF); PutU32(f, 22, 0x7FFFFFFF); }},
      {"rows x stride wraps 32 bits",
       [](auto& f) { PutU32(f, 18, 0x10000); PutU32(f, 22, 0x10000); }},
      {"pixels past the end", [](auto& f) { PutU32(f, 10, 0xFFFFFFFFu); }},
      {"pixels start one byte late", [](auto& f) { PutU32(f, 10, GetU32(f, 10) + 1); }},
      {"too many colours", [](auto& f) { PutU32(f, 46, 257); }},
      {"colour count wraps", [](auto& f) { PutU32(f, 46, 0x40000001u); }},
  };
  const std::vector<uint8_t> good = MakeBmp(BmpSpec{});
  ASSERT_NO_THROW(Read(good));
  for (const Hostile& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> file = good;
    c.damage(file);
    try {
      Read(file);
      ADD_FAILURE() << "accepted";
    } catch (const ex::invalid_argument& e) {
      EXPECT_STREQ(e.what(), "Invalid argument");
    }
  }
}

// An input stream that cannot tell its size, like a pipe.
class SizelessStream : public vela::base::InputStream {
 public:
  int32_t Size() override { return -1; }
  int32_t Tell() override { return 0; }
  int32_t Seek(int32_t, vela::base::SeekOrigin origin) override { return int32_t(origin); }
  int32_t Read(void*, int32_t count) override {
    reads.push_back(count);
    throw ex::out_of_range();
  }
  std::vector<int32_t> reads;
};

TEST(BmpRead, UnknownStreamSizeIsRefusedBeforeAnyRead) {
  auto* raw = new SizelessStream;
  smart_ptr<SizelessStream> stream(raw);
  EXPECT_THROW(Create_BMP_Image(smart_ptr<InputStream>(stream)), ex::invalid_argument);
  EXPECT_TRUE(raw->reads.empty());
  EXPECT_THROW(Create_BMP_Image(smart_ptr<InputStream>()), ex::invalid_argument);
}

TEST(BmpRead, StreamNotAtItsStartFailsInRead) {
  const std::vector<uint8_t> file = MakeBmp(BmpSpec{});
  smart_ptr<MemoryStream> s = Create_MemoryStream(file.data(), int32_t(file.size()));
  s->SetPosition(1);
  EXPECT_THROW(Create_BMP_Image(smart_ptr<InputStream>(s)), ex::out_of_range);
}

// Rows are padded to four bytes in the file, never in memory.
TEST(BmpSave, SaveThenReadForWidthsOneToEight) {
  for (int32_t width = 1; width <= 8; ++width) {
    SCOPED_TRACE(width);
    const BmpSpec spec{.width = width, .height = 3};
    smart_ptr<BMP_Image> image = Read(MakeBmp(spec));
    const std::vector<uint8_t> file = Saved(image);
    const uint32_t fileRow = uint32_t(width + 3) / 4 * 4;
    ASSERT_EQ(file.size(), 1078 + fileRow * 3);
    EXPECT_EQ(GetU32(file, 2), file.size());
    EXPECT_EQ(GetU32(file, 10), 1078u);
    EXPECT_EQ(GetU32(file, 34), fileRow * 3);
    EXPECT_EQ(GetU32(file, 38), 19685u);
    for (uint32_t r = 0; r < 3; ++r)
      for (uint32_t pad = uint32_t(width); pad < fileRow; ++pad)
        EXPECT_EQ(file[1078 + r * fileRow + pad], 0) << "padding of file row " << r;
    ExpectPixels(spec, *Read(file));
  }
}

TEST(BmpSave, HeadersAndGreyPaletteOfAWidthFiveImage) {
  const std::vector<uint8_t> file = Saved(Read(MakeBmp(BmpSpec{.width = 5, .height = 2})));
  ASSERT_EQ(file.size(), 1078u + 8 * 2);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(GetU32(file, 6), 0u);
  EXPECT_EQ(GetU32(file, 14), 40u);
  EXPECT_EQ(GetU32(file, 18), 5u);
  EXPECT_EQ(GetU32(file, 22), 2u);
  EXPECT_EQ(file[26] | file[27] << 8, 1);
  EXPECT_EQ(file[28] | file[29] << 8, 8);
  EXPECT_EQ(GetU32(file, 30), 0u);
  EXPECT_EQ(GetU32(file, 46), 0u);
  EXPECT_EQ(GetU32(file, 50), 0u);
  for (uint32_t i = 0; i < 256; ++i)
    ASSERT_EQ(GetU32(file, 54 + 4 * i), i * 0x01010101u) << "palette entry " << i;
}

TEST(BmpSave, TwentyFourBitImageHasNoPaletteAndIsRefusedOnRead) {
  const BmpSpec spec{.width = 3, .height = 2};
  smart_ptr<BMP_Image> image = Read(MakeBmp(spec));
  image->ConvertTo24Bpp();
  const std::vector<uint8_t> file = Saved(image);
  EXPECT_EQ(GetU32(file, 10), 54u);
  EXPECT_EQ(file[28], 24);
  ASSERT_EQ(file.size(), 54u + 12 * 2);  // 9 bytes a row, padded to 12
  // File row 0 is the image's bottom row.
  EXPECT_EQ(file[54], vela::test::ExpectedGrey(spec, 1, 0));
  EXPECT_EQ(file[54 + 8], vela::test::ExpectedGrey(spec, 1, 2));
  EXPECT_EQ(file[54 + 9], 0);
  EXPECT_EQ(file[54 + 12], vela::test::ExpectedGrey(spec, 0, 0));
  EXPECT_THROW(Read(file), ex::invalid_argument);
}

TEST(BmpSave, OtherDepthsThrowInvalidArgumentAndWriteNothing) {
  smart_ptr<Image> source(new vela::test::StridedImage(2, 2, 32, 8));
  smart_ptr<BMP_Image> copy = Create_BMP_Image(source);
  smart_ptr<MemoryStream> out = Create_MemoryStream(nullptr, 0);
  try {
    copy->Save(out);
    FAIL();
  } catch (const ex::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "unimplemented bitmap format !");
  }
  EXPECT_EQ(out->Size(), 0);
  EXPECT_THROW(copy->Save(smart_ptr<vela::base::OutputStream>()), ex::invalid_argument);
}

TEST(BmpSave, ResolutionBecomesPixelsPerMeterTruncated) {
  const std::pair<int32_t, uint32_t> cases[] = {
      {500, 19685}, {250, 9842}, {300, 11811}, {1, 39}, {0, 0}, {-1, uint32_t(-39)}};
  for (auto [dpi, perMeter] : cases) {
    SCOPED_TRACE(dpi);
    smart_ptr<Image> source(new vela::test::StridedImage(1, 1, 8, 4, dpi, 500));
    const std::vector<uint8_t> file = Saved(Create_BMP_Image(source));
    EXPECT_EQ(GetU32(file, 38), perMeter);
    EXPECT_EQ(GetU32(file, 42), 19685u);
  }
}

// Copying and saving read each row at the source's own stride.
TEST(BmpCopy, HonoursTheSourceStride) {
  for (int32_t bpp : {8, 24}) {
    SCOPED_TRACE(bpp);
    const int32_t width = 3, height = 4, rowBytes = width * bpp / 8, stride = rowBytes + 5;
    smart_ptr<Image> source(new vela::test::StridedImage(width, height, bpp, stride));
    smart_ptr<BMP_Image> copy = Create_BMP_Image(source);
    EXPECT_EQ(copy->GetRowBytes(), rowBytes);
    EXPECT_EQ(copy->GetXResolution(), 500);
    EXPECT_EQ(copy->GetYResolution(), 250);
    for (int32_t r = 0; r < height; ++r)
      for (int32_t i = 0; i < rowBytes; ++i)
        ASSERT_EQ(copy->GetData()[r * rowBytes + i], vela::test::StridedImage::Value(r, i));
    const std::vector<uint8_t> file = Saved(copy);
    const uint32_t offBits = GetU32(file, 10);
    const uint32_t fileRow = uint32_t(rowBytes + 3) / 4 * 4;
    EXPECT_EQ(file[offBits + (height - 1) * fileRow + 1], vela::test::StridedImage::Value(0, 1));
  }
}

TEST(BmpCopy, RefusesImagesItCannotCopy) {
  struct Case {
    const char* name;
    int32_t width, height, bpp, stride;
  };
  const Case cases[] = {
      {"no width", 0, 2, 8, 4},
      {"no height", 2, 0, 8, 4},
      {"stride shorter than a row", 4, 2, 8, 3},
      {"depth not whole bytes", 4, 2, 12, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    smart_ptr<Image> source(new vela::test::StridedImage(c.width, c.height, c.bpp, c.stride));
    EXPECT_THROW(Create_BMP_Image(source), ex::invalid_argument);
  }
  EXPECT_THROW(Create_BMP_Image(smart_ptr<Image>()), ex::invalid_argument);
}

TEST(Conversions, GreyWeightsFirstByteAsRed) {
  struct Case {
    uint8_t b0, b1, b2, grey;
  };
  const Case cases[] = {
      {255, 255, 255, 255}, {0, 0, 0, 0},    {255, 0, 0, 76},  {0, 255, 0, 150},
      {0, 0, 255, 28},      {100, 150, 200, 140}, {0, 2, 0, 1},  {3, 0, 0, 0},
      {14, 14, 14, 13},  // the float sum falls just short of 14 and truncates
  };
  smart_ptr<Image> source(new vela::test::StridedImage(int32_t(std::size(cases)), 1, 24,
                                                       int32_t(std::size(cases)) * 3));
  smart_ptr<BMP_Image> image = Create_BMP_Image(source);
  for (size_t i = 0; i < std::size(cases); ++i) {
    image->GetData()[3 * i] = cases[i].b0;
    image->GetData()[3 * i + 1] = cases[i].b1;
    image->GetData()[3 * i + 2] = cases[i].b2;
  }
  image->ConvertTo8Bpp();
  EXPECT_EQ(image->GetBitsPerPixel(), 8);
  EXPECT_EQ(image->GetRowBytes(), int32_t(std::size(cases)));
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(image->GetData()[i], cases[i].grey) << "case " << i;
}

TEST(Conversions, GreyToColourRepeatsEachByteAndSameDepthChangesNothing) {
  smart_ptr<BMP_Image> image = Read(MakeBmp(BmpSpec{.width = 2, .height = 2}));
  const std::vector<uint8_t> grey(image->GetData(), image->GetData() + 4);
  image->ConvertTo8Bpp();
  EXPECT_EQ(std::vector<uint8_t>(image->GetData(), image->GetData() + 4), grey);
  image->ConvertTo24Bpp();
  ASSERT_EQ(image->GetBitsPerPixel(), 24);
  EXPECT_EQ(image->GetRowBytes(), 6);
  EXPECT_EQ(image->GetWidth(), 2);
  EXPECT_EQ(image->GetXResolution(), 500);
  const uint8_t* data = image->GetData();
  const std::vector<uint8_t> wide(data, data + 12);
  for (size_t i = 0; i < 4; ++i)
    for (size_t k = 0; k < 3; ++k) EXPECT_EQ(wide[3 * i + k], grey[i]);
  image->ConvertTo24Bpp();
  EXPECT_EQ(std::vector<uint8_t>(image->GetData(), image->GetData() + 12), wide);
  // Back to grey the weighted sum truncates, so a value may drop by one.
  image->ConvertTo8Bpp();
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_LE(image->GetData()[i], grey[i]);
    EXPECT_GE(image->GetData()[i] + 1, grey[i]);
  }
}

TEST(Conversions, OtherDepthsAreRefusedWithTheirTexts) {
  smart_ptr<BMP_Image> image =
      Create_BMP_Image(smart_ptr<Image>(new vela::test::StridedImage(2, 2, 32, 8)));
  try {
    image->ConvertTo8Bpp();
    FAIL();
  } catch (const ex::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "The image is not 24 bpp. Can't convert to 8bpp");
  }
  try {
    image->ConvertTo24Bpp();
    FAIL();
  } catch (const ex::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "The image is not 8 bpp. Can't convert to 24bpp");
  }
  EXPECT_EQ(image->GetBitsPerPixel(), 32);
}

class FingerprintFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(PV_SHARED_DATA_DIR) / "fingerprints";
    if (!std::filesystem::is_directory(dir_))
      GTEST_SKIP() << "shared test data not found at " << dir_;
  }
  std::filesystem::path dir_;
};

// Real files: 248 x 338, grey palette, 500 dpi. Saved back they are the
// same bytes, but for the colour counts that our writer leaves at 0.
TEST_F(FingerprintFiles, ReadAndSaveBackUnchanged) {
  int seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    if (entry.path().extension() != ".bmp") continue;
    SCOPED_TRACE(entry.path().string());
    ++seen;
    smart_ptr<BMP_Image> image = Create_BMP_Image(Create_IFileStream(entry.path().c_str()));
    EXPECT_EQ(image->GetWidth(), 248);
    EXPECT_EQ(image->GetHeight(), 338);
    EXPECT_EQ(image->GetBitsPerPixel(), 8);
    EXPECT_EQ(image->GetXResolution(), 500);
    EXPECT_EQ(image->GetYResolution(), 500);
    smart_ptr<InputStream> in = Create_IFileStream(entry.path().c_str());
    std::vector<uint8_t> original(static_cast<size_t>(in->Size()));
    in->Read(original.data(), static_cast<int32_t>(original.size()));
    std::vector<uint8_t> saved = Saved(image);
    ASSERT_EQ(saved.size(), original.size());
    std::fill(original.begin() + 46, original.begin() + 54, 0);
    EXPECT_EQ(saved, original);
  }
  EXPECT_EQ(seen, 48);
}

}  // namespace

// WSQ_Image as a client of the library sees it: made from streams and
// images, saved through streams, its failures thrown with their texts.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "TestImages.h"
#include "WsqTestFiles.h"
#include "vela/render.h"

namespace {

using vela::base::Image;
using vela::base::InputStream;
using vela::base::MemoryStream;
using vela::base::SeekOrigin;
using vela::base::smart_ptr;
using vela::render::Create_WSQ_Image;
using vela::render::WSQ_Image;
namespace ex = vela::base::exceptions;

smart_ptr<WSQ_Image> Read(const std::vector<uint8_t>& file) {
  return Create_WSQ_Image(smart_ptr<InputStream>(
      Create_MemoryStream(file.data(), static_cast<int32_t>(file.size()))));
}

std::vector<uint8_t> Saved(const smart_ptr<WSQ_Image>& image) {
  smart_ptr<MemoryStream> out = Create_MemoryStream(nullptr, 0);
  image->Save(out);
  std::vector<uint8_t> bytes(static_cast<size_t>(out->Size()));
  out->SetPosition(0);
  if (!bytes.empty()) out->Read(bytes.data(), static_cast<int32_t>(bytes.size()));
  return bytes;
}

// A grey image of the test picture, resolution 500 x 250 dpi.
smart_ptr<WSQ_Image> Picture(int32_t width, int32_t height) {
  const std::vector<uint8_t> grey = vela::test::RidgePicture(width, height);
  smart_ptr<vela::test::StridedImage> source(new vela::test::StridedImage(width, height, 8, width));
  std::memcpy(source->GetData(), grey.data(), grey.size());
  return Create_WSQ_Image(smart_ptr<Image>(source));
}

std::vector<uint8_t> Pixels(const Image& image) {
  return std::vector<uint8_t>(image.GetData(),
                              image.GetData() + size_t(image.GetWidth()) * size_t(image.GetHeight()));
}

template <typename Call>
std::string ThrownText(Call call) {
  try {
    call();
  } catch (const ex::base_exception& e) {
    return e.what();
  }
  return "(nothing thrown)";
}

TEST(WsqImage, ReadsAReferenceFile) {
  const auto file = vela::test::ReadBytes(vela::test::WsqDataDir() / "f01_1.wsq");
  if (file.empty()) GTEST_SKIP() << "no reference WSQ files in " << vela::test::WsqDataDir();
  const smart_ptr<WSQ_Image> image = Read(file);
  EXPECT_EQ(image->GetWidth(), 248);
  EXPECT_EQ(image->GetHeight(), 338);
  EXPECT_EQ(image->GetBitsPerPixel(), 8);
  EXPECT_EQ(image->GetRowBytes(), 248);
  EXPECT_EQ(image->GetXResolution(), 500);
  EXPECT_EQ(image->GetYResolution(), 500);
  // Only the NISTCOM list: no comment of its own.
  EXPECT_EQ(image->GetComment(), nullptr);
  EXPECT_EQ(image->GetBitrate(), 0.5);
}

TEST(WsqImage, SavedWithACommentReadsBackTheSame) {
  smart_ptr<WSQ_Image> image = Picture(120, 90);
  EXPECT_EQ(image->GetXResolution(), 375);  // (500 + 250) / 2
  image->SetComment("left thumb, second try");
  image->SetBitrate(1.5);
  const smart_ptr<WSQ_Image> back = Read(Saved(image));
  EXPECT_EQ(back->GetWidth(), 120);
  EXPECT_EQ(back->GetHeight(), 90);
  EXPECT_EQ(back->GetXResolution(), 375);
  ASSERT_NE(back->GetComment(), nullptr);
  EXPECT_STREQ(back->GetComment(), "left thumb, second try");
  EXPECT_GE(vela::test::Psnr(Pixels(*back), Pixels(*image)), 30.0);
}

TEST(WsqImage, ANewImageSavesAtHalfABitPerPixel) {
  const std::vector<uint8_t> file = Saved(Picture(64, 48));
  std::vector<std::string> texts;
  ASSERT_EQ(vela::wsq::ReadWsqComment(file, texts), 1);
  EXPECT_NE(texts[0].find("\nWSQ_BITRATE 0.500000"), std::string::npos) << texts[0];
  EXPECT_NE(texts[0].find("\nPPI 375\n"), std::string::npos) << texts[0];
}

// Found by renaming the NISTCOM tag of a saved file: without it the first
// comment is the image's comment and the resolution is the default.
TEST(WsqImage, FileWithoutNistCommentHasDefaultResolutionAndFirstComment) {
  smart_ptr<WSQ_Image> image = Picture(30, 20);
  image->SetComment("plain");
  std::vector<uint8_t> file = Saved(image);
  const auto tag = std::search(file.begin(), file.end(), std::begin("NIST_COM"),
                               std::end("NIST_COM") - 1);
  ASSERT_NE(tag, file.end());
  *tag = 'X';
  const smart_ptr<WSQ_Image> back = Read(file);
  EXPECT_EQ(back->GetXResolution(), 508);
  ASSERT_NE(back->GetComment(), nullptr);
  EXPECT_EQ(std::string(back->GetComment()).substr(0, 8), "XIST_COM");
}

TEST(WsqImage, CommentAndConversions) {
  smart_ptr<WSQ_Image> image = Picture(8, 8);
  EXPECT_EQ(image->GetComment(), nullptr);
  image->SetComment("x");
  EXPECT_STREQ(image->GetComment(), "x");
  image->SetComment("");
  EXPECT_EQ(image->GetComment(), nullptr);
  EXPECT_EQ(ThrownText([&] { image->ConvertTo8Bpp(); }), "Not implemented");
  EXPECT_THROW(image->ConvertTo24Bpp(), ex::not_implemented);
}

// Images under about 30 x 30 used to be unsavable: the buffer was only
// width x height bytes, smaller than the headers.
TEST(WsqImage, TinyImagesSaveAndReadBack) {
  for (const auto& [width, height] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{29, 3}}) {
    const smart_ptr<WSQ_Image> back = Read(Saved(Picture(width, height)));
    EXPECT_EQ(back->GetWidth(), width);
    EXPECT_EQ(back->GetHeight(), height);
  }
}

// A single row codes to more bytes than it has pixels at the higher rates, past the usual
// output capacity; such an image was refused.
TEST(WsqImage, ARowThatCodesLargerThanItsPixelsStillSaves) {
  for (double rate : {0.75, 2.25, 8.0}) {
    SCOPED_TRACE(rate);
    smart_ptr<WSQ_Image> image = Picture(4000, 1);
    image->SetBitrate(rate);
    if (rate == 2.25) {
      const std::vector<uint8_t> pixels = Pixels(*image);
      std::vector<uint8_t> usual(vela::wsq::EncodedCapacity(4000, 1, nullptr));
      size_t length = 0;
      const int status = vela::wsq::EncodeWsq(pixels.data(), 4000, 1, 500, nullptr, rate, usual.data(),
                                              usual.size(), length);
      EXPECT_TRUE(status == vela::wsq::kOutputFullByte || status == vela::wsq::kOutputFullWord) << status;
    }
    const smart_ptr<WSQ_Image> back = Read(Saved(image));
    EXPECT_EQ(back->GetWidth(), 4000);
    EXPECT_EQ(back->GetHeight(), 1);
  }
}

TEST(WsqImage, SaveFailsWithItsTextAndWritesNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double rate : {0.0, -1.0, 9.0, nan}) {
    smart_ptr<WSQ_Image> image = Picture(16, 16);
    image->SetBitrate(rate);
    smart_ptr<MemoryStream> out = Create_MemoryStream(nullptr, 0);
    EXPECT_EQ(ThrownText([&] { image->Save(out); }), "Fail to save WSQ Image!") << rate;
    EXPECT_EQ(out->Size(), 0) << rate;
  }
  smart_ptr<WSQ_Image> image = Picture(16, 16);
  image->SetComment(std::string(70000, 'c').c_str());
  EXPECT_EQ(ThrownText([&] { Saved(image); }), "Fail to save WSQ Image!");
}

// A stream that cannot tell its size.
class UnsizedStream : public InputStream {
 public:
  int32_t Size() override { return -1; }
  int32_t Tell() override { return 0; }
  int32_t Seek(int32_t offset, SeekOrigin) override { return offset; }
  int32_t Read(void*, int32_t) override { throw ex::out_of_range(); }
};

TEST(WsqImage, UnreadableStreamsFailWithTheirTexts) {
  const std::string info = "Failed to get WSQ Image info!";
  EXPECT_EQ(ThrownText([] { Read({'B', 'M', 0, 0, 0, 0}); }), info);
  EXPECT_EQ(ThrownText([] { Read({}); }), info);
  EXPECT_EQ(ThrownText([] { Create_WSQ_Image(smart_ptr<InputStream>(new UnsizedStream)); }), info);
  // A file cut inside its coded data has a header but no image.
  std::vector<uint8_t> file = Saved(Picture(40, 40));
  file.resize(file.size() - 40);
  EXPECT_EQ(ThrownText([&] { Read(file); }), "Failed to decode WSQ Image!");
  EXPECT_THROW(Create_WSQ_Image(smart_ptr<InputStream>()), ex::invalid_argument);
}

TEST(WsqImage, MadeFromImagesOfEveryDepthAtTheirStride) {
  // Grey is the truncated mean of a pixel's bytes.
  smart_ptr<vela::test::StridedImage> colour(new vela::test::StridedImage(2, 1, 24, 8));
  const uint8_t rgb[] = {10, 20, 31, 255, 255, 254};
  std::memcpy(colour->GetData(), rgb, sizeof rgb);
  smart_ptr<WSQ_Image> fromColour = Create_WSQ_Image(smart_ptr<Image>(colour));
  EXPECT_EQ(fromColour->GetData()[0], 20);
  EXPECT_EQ(fromColour->GetData()[1], 254);

  // Rows are taken at the source's stride, not packed together.
  for (const int32_t bitsPerPixel : {8, 24, 32}) {
    const int32_t width = 5, height = 4, stride = width * bitsPerPixel / 8 + 3;
    smart_ptr<vela::test::StridedImage> source(
        new vela::test::StridedImage(width, height, bitsPerPixel, stride));
    smart_ptr<WSQ_Image> image = Create_WSQ_Image(smart_ptr<Image>(source));
    ASSERT_EQ(image->GetRowBytes(), width);
    const int n = bitsPerPixel / 8;
    for (int32_t r = 0; r < height; ++r)
      for (int32_t c = 0; c < width; ++c) {
        unsigned sum = 0;
        for (int b = 0; b < n; ++b) sum += vela::test::StridedImage::Value(r, c * n + b);
        EXPECT_EQ(image->GetData()[r * width + c], sum / n) << bitsPerPixel << " bpp";
      }
  }

  for (const int32_t bitsPerPixel : {1, 16, 48}) {
    smart_ptr<vela::test::StridedImage> source(new vela::test::StridedImage(4, 4, bitsPerPixel, 32));
    EXPECT_THROW(Create_WSQ_Image(smart_ptr<Image>(source)), ex::invalid_argument) << bitsPerPixel;
  }
  EXPECT_THROW(Create_WSQ_Image(smart_ptr<Image>()), ex::invalid_argument);
}

}  // namespace

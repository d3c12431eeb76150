#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

#include "device/CaptureImage.h"

using vela::base::smart_ptr;
using vela::scan::CaptureImage;
using namespace std::chrono_literals;

namespace {

smart_ptr<CaptureImage> Make(int32_t width, int32_t height, int32_t rowBytes) {
  return smart_ptr<CaptureImage>(new CaptureImage(width, height, 8, 500, 490, rowBytes));
}

std::vector<uint8_t> Bytes(const CaptureImage& image) {
  const uint8_t* data = image.GetData();
  return {data, data + size_t(image.GetHeight()) * size_t(image.GetRowBytes())};
}

}  // namespace

TEST(CaptureImage, StartsZeroFilledWithTheGivenGeometry) {
  auto image = Make(3, 2, 4);
  EXPECT_EQ(image->GetWidth(), 3);
  EXPECT_EQ(image->GetHeight(), 2);
  EXPECT_EQ(image->GetBitsPerPixel(), 8);
  EXPECT_EQ(image->GetXResolution(), 500);
  EXPECT_EQ(image->GetYResolution(), 490);
  EXPECT_EQ(image->GetRowBytes(), 4);
  EXPECT_EQ(Bytes(*image), std::vector<uint8_t>(8, 0));
}

TEST(CaptureImage, RejectsImpossibleGeometry) {
  struct Case {
    int32_t width, height, bitsPerPixel, rowBytes;
  };
  const Case cases[] = {
      {-1, 2, 8, 4},          // negative width
      {2, -1, 8, 4},          // negative height
      {5, 2, 8, 4},           // rows shorter than the width
      {2, 2, 24, 4},          // rows shorter than three bytes a pixel
      {2, 2, 0, 4},           // no depth
      {65536, 65536, 8, 65536},  // more than the image can address
  };
  for (const Case& c : cases) {
    EXPECT_THROW(smart_ptr<CaptureImage>(
                     new CaptureImage(c.width, c.height, c.bitsPerPixel, 500, 500, c.rowBytes)),
                 vela::base::exceptions::invalid_argument)
        << c.width << " x " << c.height << " at " << c.bitsPerPixel << " bits, rows of " << c.rowBytes;
  }
}

TEST(CaptureImage, ConvertTo24BppRepeatsEachGreyByteOnce) {
  auto image = Make(2, 1, 2);
  image->GetData()[0] = 10;
  image->GetData()[1] = 20;
  image->ConvertTo24Bpp();
  EXPECT_EQ(image->GetBitsPerPixel(), 24);
  EXPECT_EQ(image->GetRowBytes(), 6);
  EXPECT_EQ(Bytes(*image), (std::vector<uint8_t>{10, 10, 10, 20, 20, 20}));
  image->ConvertTo24Bpp();
  EXPECT_EQ(image->GetBitsPerPixel(), 24);
  EXPECT_EQ(Bytes(*image), (std::vector<uint8_t>{10, 10, 10, 20, 20, 20}));
}

TEST(CaptureImage, ConvertTo24BppSkipsRowPadding) {
  auto image = Make(3, 2, 4);
  const uint8_t rows[] = {1, 2, 3, 99, 4, 5, 6, 99};
  std::copy(std::begin(rows), std::end(rows), image->GetData());
  image->ConvertTo24Bpp();
  EXPECT_EQ(image->GetRowBytes(), 9);
  EXPECT_EQ(Bytes(*image),
            (std::vector<uint8_t>{1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6}));
}

TEST(CaptureImage, ConvertTo8BppIsNotImplemented) {
  auto image = Make(2, 1, 2);
  EXPECT_THROW(image->ConvertTo8Bpp(), vela::base::exceptions::not_implemented);
}

TEST(CaptureImage, ReadersWaitWhileThePixelLockIsHeld) {
  auto image = Make(2, 1, 2);
  image->PixelLock().lock();
  std::future<uint8_t> read = std::async(std::launch::async, [&] { return image->GetData()[1]; });
  EXPECT_EQ(read.wait_for(50ms), std::future_status::timeout);
  image->GetData()[1] = 77;  // the holder gets in again
  image->PixelLock().unlock();
  EXPECT_EQ(read.get(), 77);
}

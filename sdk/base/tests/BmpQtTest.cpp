// BMP files written by another program (Qt's image writer) read as that
// program sees them, and our 24-bit files read back there unchanged.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <filesystem>
#include <vector>

#include "vela/render.h"

namespace {

using vela::base::InputStream;
using vela::base::MemoryStream;
using vela::base::smart_ptr;
using vela::render::BMP_Image;

QByteArray SaveWithQt(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, "BMP"));
  return bytes;
}

smart_ptr<BMP_Image> ReadBytes(const QByteArray& bytes) {
  return vela::render::Create_BMP_Image(
      smart_ptr<InputStream>(Create_MemoryStream(bytes.constData(), int32_t(bytes.size()))));
}

// The value our reader gives: the blue component of the pixel's palette entry.
int ExpectedGrey(const QImage& image, int x, int y) {
  return qBlue(image.color(image.pixelIndex(x, y)));
}

QImage IndexedImage(int width, int height, bool greyPalette) {
  QImage image(width, height, QImage::Format_Indexed8);
  QList<QRgb> palette;
  for (int i = 0; i < 256; ++i)
    palette.append(greyPalette ? qRgb(i, i, i) : qRgb(i / 2, 255 - i, (i * 7) & 255));
  image.setColorTable(palette);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, uint((x * 13 + y * 29) & 255));
  image.setDotsPerMeterX(19685);
  image.setDotsPerMeterY(11811);
  return image;
}

TEST(BmpFromQt, IndexedFilesOfManyWidths) {
  for (bool grey : {true, false}) {
    for (int width : {1, 2, 3, 4, 5, 7, 8, 31, 248}) {
      SCOPED_TRACE(testing::Message() << "width " << width << (grey ? " grey" : " colour"));
      const QImage source = IndexedImage(width, 9, grey);
      smart_ptr<BMP_Image> image = ReadBytes(SaveWithQt(source));
      ASSERT_EQ(image->GetWidth(), width);
      ASSERT_EQ(image->GetHeight(), 9);
      EXPECT_EQ(image->GetXResolution(), 500);
      EXPECT_EQ(image->GetYResolution(), 300);
      for (int y = 0; y < 9; ++y)
        for (int x = 0; x < width; ++x)
          ASSERT_EQ(image->GetData()[y * width + x], ExpectedGrey(source, x, y))
              << x << "," << y;
    }
  }
}

TEST(BmpFromQt, GreyscaleImage) {
  QImage source(10, 6, QImage::Format_Grayscale8);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x) source.scanLine(y)[x] = uchar(x * 20 + y);
  const QByteArray bytes = SaveWithQt(source);
  const QImage asQtReadsIt = QImage::fromData(bytes, "BMP");
  ASSERT_FALSE(asQtReadsIt.isNull());
  if (asQtReadsIt.depth() != 8) GTEST_SKIP() << "this Qt writes grey images as colour BMP";
  smart_ptr<BMP_Image> image = ReadBytes(bytes);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x)
      ASSERT_EQ(image->GetData()[y * 10 + x], x * 20 + y) << x << "," << y;
}

// Our 24-bit output, opened by Qt, shows the same grey pixels.
TEST(BmpToQt, TwentyFourBitFilesReadBackInQt) {
  for (int width : {1, 3, 5, 8}) {
    SCOPED_TRACE(width);
    const QImage source = IndexedImage(width, 4, true);
    smart_ptr<BMP_Image> image = ReadBytes(SaveWithQt(source));
    image->ConvertTo24Bpp();
    smart_ptr<MemoryStream> out = Create_MemoryStream(nullptr, 0);
    image->Save(out);
    std::vector<char> bytes(size_t(out->Size()));
    out->SetPosition(0);
    out->Read(bytes.data(), int32_t(bytes.size()));
    const QImage back = QImage::fromData(QByteArray(bytes.data(), qsizetype(bytes.size())), "BMP");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.dotsPerMeterX(), 19685);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < width; ++x)
        ASSERT_EQ(back.pixel(x, y), source.pixel(x, y)) << x << "," << y;
  }
}

TEST(BmpFromQt, FingerprintsReadAsQtReadsThem) {
  const std::filesystem::path dir = std::filesystem::path(PV_SHARED_DATA_DIR) / "fingerprints";
  if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "shared test data not found at " << dir;
  for (const char* name : {"f01_1.bmp", "f03_5.bmp", "f06_8.bmp"}) {
    SCOPED_TRACE(name);
    const std::string path = (dir / name).string();
    const QImage reference(QString::fromStdString(path));
    ASSERT_FALSE(reference.isNull());
    smart_ptr<BMP_Image> image = vela::render::Create_BMP_Image(Create_IFileStream(path.c_str()));
    ASSERT_EQ(image->GetWidth(), reference.width());
    ASSERT_EQ(image->GetHeight(), reference.height());
    for (int y = 0; y < reference.height(); ++y)
      for (int x = 0; x < reference.width(); ++x)
        ASSERT_EQ(image->GetData()[y * reference.width() + x], qBlue(reference.pixel(x, y)))
            << x << "," << y;
  }
}

}  // namespace

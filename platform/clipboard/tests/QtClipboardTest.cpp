// The desktop's clipboard through Qt on the offscreen platform: private bytes and UTF-8 text
// come back as they were put, an image Qt holds as an object is offered as PNG, and SVG
// drawings are rendered at their own size.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "clipboard/QtClipboard.h"
#include "forms/tests/QtTestApp.h"

PV_QT_TEST_APPLICATION();

namespace pv::clipboard {
namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(QtClipboard, PrivateBytesAndTextComeBackInTheirOrder) {
  TQtClipboard clip;
  const std::string own = RegisterClipboardFormat("VexaGraphics controls");
  const std::string text = "caf\xc3\xa9 \xe2\x82\xac";
  std::vector<uint8_t> binary(300);
  for (size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<uint8_t>(i);
  ASSERT_TRUE(clip.Open());
  clip.SetItems({{own, binary}, {kTextUtf8Mime, Bytes(text)}});
  clip.Close();
  EXPECT_TRUE(clip.HasFormat(own));
  EXPECT_EQ(binary, clip.Data(own));
  EXPECT_EQ(Bytes(text), clip.Data(kTextUtf8Mime));
  EXPECT_FALSE(clip.Data(kPngMime).has_value());
  // Text another program put there with Qt's own call is found as plain text.
  QGuiApplication::clipboard()->setText(QString::fromUtf8(text.c_str()));
  EXPECT_TRUE(clip.HasFormat(kTextMime));
  EXPECT_EQ(Bytes(text), clip.Data(kTextMime));
  EXPECT_FALSE(clip.HasFormat(own));
}

TEST(QtClipboard, AnImageHeldAsAnObjectIsOfferedAsPng) {
  TQtClipboard clip;
  QImage image(7, 5, QImage::Format_RGB32);
  image.fill(qRgb(10, 200, 30));
  QGuiApplication::clipboard()->setImage(image);
  const std::vector<std::string> formats = clip.Formats();
  ASSERT_NE(formats.end(), std::find(formats.begin(), formats.end(), kPngMime));
  const auto png = clip.Data(kPngMime);
  ASSERT_TRUE(png.has_value());
  QImage back;
  ASSERT_TRUE(back.loadFromData(reinterpret_cast<const uchar*>(png->data()), static_cast<int>(png->size()), "PNG"));
  EXPECT_EQ(QSize(7, 5), back.size());
  EXPECT_EQ(qRgb(10, 200, 30), back.pixel(3, 2));
}

TEST(QtClipboard, RendersSvgDrawingsAtTheirSizeAndRefusesBrokenOnes) {
  TQtClipboard clip;
  EXPECT_TRUE(clip.RendersPicture(kSvgMime));
  EXPECT_FALSE(clip.RendersPicture(kPngMime));
  const std::string svg =
      "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='10'>"
      "<rect x='0' y='0' width='10' height='10' fill='#ff0000'/></svg>";
  const auto bitmap = clip.RenderPicture(kSvgMime, Bytes(svg));
  ASSERT_TRUE(bitmap.has_value());
  EXPECT_EQ(20, bitmap->Width());
  EXPECT_EQ(10, bitmap->Height());
  EXPECT_EQ(0xFFFF0000u, bitmap->Row(5)[2]);           // opaque red, 0xAARRGGBB
  EXPECT_EQ(0u, bitmap->Row(5)[15] >> 24);             // clear where nothing is drawn
  for (const char* broken : {"<svg", "not a drawing", ""}) {
    EXPECT_FALSE(clip.RenderPicture(kSvgMime, Bytes(broken)).has_value()) << broken;
  }
  EXPECT_FALSE(clip.RenderPicture(kPngMime, Bytes(svg)).has_value());
}

}  // namespace
}  // namespace pv::clipboard

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "canvas/RecordingCanvas.h"
#include "picture/BmpCodec.h"
#include "picture/ByteReader.h"
#include "picture/Graphics.h"
#include "picture/IconCodec.h"
#include "picture/JpegCodec.h"
#include "picture/Picture.h"
#include "picture/PngCodec.h"
#include "picture/RecordingGraphic.h"

namespace pv::picture {
namespace {

Bitmap Noise(int w, int h, bool alpha, unsigned seed) {
  Bitmap b = alpha ? Bitmap::Argb(w, h, 0) : Bitmap(w, h);
  std::mt19937 random(seed);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) b.Row(y)[x] = alpha ? static_cast<uint32_t>(random()) : (random() & 0xFFFFFFu);
  }
  return b;
}

// A BMP file with a 40-byte header, a palette and rows as given.
std::vector<uint8_t> MakeBmp(int32_t w, int32_t h, uint16_t bits, const std::vector<uint32_t>& palette,
                             const std::vector<uint8_t>& rows) {
  std::vector<uint8_t> out{'B', 'M'};
  const uint32_t offBits = 14 + 40 + 4 * static_cast<uint32_t>(palette.size());
  PutU32(out, offBits + static_cast<uint32_t>(rows.size()));
  PutU32(out, 0);
  PutU32(out, offBits);
  PutU32(out, 40);
  PutU32(out, static_cast<uint32_t>(w));
  PutU32(out, static_cast<uint32_t>(h));
  PutU16(out, 1);
  PutU16(out, bits);
  for (int i = 0; i < 4; ++i) PutU32(out, 0);
  PutU32(out, static_cast<uint32_t>(palette.size()));
  PutU32(out, 0);
  for (uint32_t c : palette) PutU32(out, c);
  out.insert(out.end(), rows.begin(), rows.end());
  return out;
}

TEST(Bmp, RoundTripsOpaqueAndAlphaBitmaps) {
  for (bool alpha : {false, true}) {
    const Bitmap b = Noise(7, 5, alpha, 3);
    const Bitmap read = ReadBmp(WriteBmp(b));
    EXPECT_EQ(read.HasAlpha(), alpha);
    EXPECT_EQ(read, b);
  }
}

TEST(Bmp, ReadsPalettesBitFieldsAndTopDownRows) {
  // 8 bits, bottom-up, two rows of 3 pixels (rows padded to 4 bytes).
  const Bitmap eight = ReadBmp(MakeBmp(3, 2, 8, {0x000000FF, 0x0000FF00}, {1, 0, 1, 0, 0, 1, 0, 0}));
  EXPECT_EQ(eight.GetPixel(0, 1), 0x00FF00u);  // first stored row is the bottom one
  EXPECT_EQ(eight.GetPixel(0, 0), 0xFF0000u);
  EXPECT_EQ(eight.GetPixel(1, 1), 0xFF0000u);
  // 1 bit, top-down.
  const Bitmap one = ReadBmp(MakeBmp(9, -1, 1, {0x000000, 0xFFFFFF}, {0xA0, 0x80, 0, 0}));
  EXPECT_EQ(one.GetPixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(one.GetPixel(1, 0), 0u);
  EXPECT_EQ(one.GetPixel(8, 0), 0xFFFFFFu);
  // 16 bits, 5-5-5: pure red is 0x7C00.
  const Bitmap sixteen = ReadBmp(MakeBmp(1, 1, 16, {}, {0x00, 0x7C, 0, 0}));
  EXPECT_EQ(sixteen.GetPixel(0, 0), 0x0000FFu);
}

TEST(Bmp, BrokenFilesGiveClearErrors) {
  const std::vector<uint8_t> good = WriteBmp(Noise(4, 4, false, 1));
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* message;
  };
  auto patched = [&](size_t at, uint32_t value) {
    std::vector<uint8_t> b = good;
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return b;
  };
  std::vector<uint8_t> truncated(good.begin(), good.end() - 5);
  const Case cases[] = {
      {"empty", {}, "truncated"},
      {"not a bitmap", {'G', 'I', 'F', '8'}, "not a bitmap file"},
      {"rows cut short", truncated, "truncated"},
      {"header size", patched(14, 77), "unknown header size"},
      {"huge", patched(18, 0x7FFFFFFF), "bad image size"},
      {"zero width", patched(18, 0), "bad image size"},
      // 8 MB of one-bit rows would be 256 MB of pixels and more: refused before the rows are read.
      {"more pixels than a picture holds", MakeBmp(8193, 8192, 1, {0, 0xFFFFFF}, {}), "bad image size"},
      {"compression", patched(30, 1), "unsupported compression"},
      {"pixel offset past the end", patched(10, 0x7FFFFFF0), "truncated"},
  };
  for (const Case& c : cases) {
    try {
      ReadBmp(c.bytes);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const PictureError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
    }
  }
}

TEST(Png, RoundTripsOpaqueAndAlphaBitmaps) {
  for (bool alpha : {false, true}) {
    Bitmap b = Noise(9, 4, alpha, 5);
    // At least one pixel not opaque, or an alpha bitmap reads back as an opaque one.
    if (alpha) b.Row(0)[0] = 0x10203040u;
    const Bitmap read = ReadPng(WritePng(b));
    EXPECT_EQ(alpha, read.HasAlpha());
    EXPECT_EQ(b, read);
  }
  // An alpha bitmap that is opaque all over reads back without alpha.
  const Bitmap opaque = Bitmap::Argb(3, 3, 0xFF112233u);
  const Bitmap read = ReadPng(WritePng(opaque));
  EXPECT_FALSE(read.HasAlpha());
  EXPECT_EQ(0x00112233u, read.Row(1)[1]);
}

TEST(Png, BrokenFilesGiveClearErrors) {
  const std::vector<uint8_t> good = WritePng(Noise(16, 16, false, 2));
  std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
  std::vector<uint8_t> badCrc = good;
  badCrc[20] ^= 0xFF;  // inside the header chunk
  std::vector<uint8_t> huge = good;
  for (int i = 0; i < 4; ++i) huge[16 + i] = i == 0 ? 0x00 : 0xFF;  // width 0x00FFFFFF
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"empty", {}}, {"not a PNG", {'G', 'I', 'F', '8', '9', 'a', 0, 0}}, {"cut in half", cut},
      {"damaged header", badCrc}, {"huge", huge},
  };
  for (const auto& [name, bytes] : cases) {
    try {
      ReadPng(bytes);
      ADD_FAILURE() << name << ": no error";
    } catch (const PictureError& e) {
      EXPECT_EQ(0u, std::string(e.what()).find("PNG: ")) << name << ": " << e.what();
    }
  }
  EXPECT_THROW(WritePng(Bitmap()), PictureError);
}

// The CRC of a PNG chunk (type and data).
uint32_t ChunkCrc(const std::vector<uint8_t>& typeAndData) {
  uint32_t crc = 0xFFFFFFFFu;
  for (uint8_t byte : typeAndData) {
    crc ^= byte;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  const auto putBigEndian = [&](uint32_t v) {
    for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<uint8_t>(v >> shift));
  };
  std::vector<uint8_t> typeAndData(type, type + 4);
  typeAndData.insert(typeAndData.end(), data.begin(), data.end());
  putBigEndian(static_cast<uint32_t>(data.size()));
  out.insert(out.end(), typeAndData.begin(), typeAndData.end());
  putBigEndian(ChunkCrc(typeAndData));
}

// A one-bit grey PNG that claims the size given, with a few bytes of broken image data.
std::vector<uint8_t> PngHeaderOnly(uint32_t width, uint32_t height) {
  std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  for (uint32_t v : {width, height}) {
    for (int shift : {24, 16, 8, 0}) header.push_back(static_cast<uint8_t>(v >> shift));
  }
  header.insert(header.end(), {1, 0, 0, 0, 0});  // bit depth 1, grey, no interlace
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", {0x78, 0x9C, 0xFF, 0xFF});
  PutChunk(out, "IEND", {});
  return out;
}

TEST(Png, ImagesOfMorePixelsThanAPictureHoldsAreRefusedBeforeDecoding) {
  // Compressed one-bit rows of 16384 x 16384 take 33 KB; decoded, a gigabyte.
  const std::pair<uint32_t, uint32_t> sizes[] = {{16384, 16384}, {8193, 8192}, {1000000, 68}};
  for (const auto& [w, h] : sizes) {
    try {
      ReadPng(PngHeaderOnly(w, h));
      ADD_FAILURE() << w << " x " << h << ": no error";
    } catch (const PictureError& e) {
      EXPECT_STREQ(e.what(), "PNG: the image is too large") << w << " x " << h;
    }
  }
  // The same header at a small size is read as far as its missing data.
  try {
    ReadPng(PngHeaderOnly(16, 16));
    ADD_FAILURE() << "no error";
  } catch (const PictureError& e) {
    EXPECT_STRNE(e.what(), "PNG: the image is too large");
  }
}

// A JPEG whose frame header claims the size given, its data as the encoder left it.
std::vector<uint8_t> JpegClaiming(uint16_t width, uint16_t height) {
  std::vector<uint8_t> bytes = WriteJpeg(Noise(16, 16, false, 3), 90);
  for (size_t i = 2; i + 8 < bytes.size(); ++i) {
    if (bytes[i] != 0xFF || (bytes[i + 1] != 0xC0 && bytes[i + 1] != 0xC2)) continue;
    bytes[i + 5] = static_cast<uint8_t>(height >> 8);
    bytes[i + 6] = static_cast<uint8_t>(height);
    bytes[i + 7] = static_cast<uint8_t>(width >> 8);
    bytes[i + 8] = static_cast<uint8_t>(width);
    return bytes;
  }
  ADD_FAILURE() << "no frame header";
  return bytes;
}

TEST(Jpeg, TooLargeOrCutShortIsAnErrorNotABlankImage) {
  const std::pair<uint16_t, uint16_t> sizes[] = {{16384, 16384}, {8193, 8192}};
  for (const auto& [w, h] : sizes) {
    try {
      ReadJpeg(JpegClaiming(w, h));
      ADD_FAILURE() << w << " x " << h << ": no error";
    } catch (const PictureError& e) {
      EXPECT_STREQ(e.what(), "JPEG: the image is too large") << w << " x " << h;
    }
  }
  // Rows past the end of the data would be filled in grey; the picture is refused instead,
  // whether the frame claims more rows than the data holds or the file is cut.
  const std::vector<uint8_t> whole = WriteJpeg(Noise(64, 64, false, 7), 90);
  ASSERT_EQ(ReadJpeg(whole).Height(), 64);
  std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() * 3 / 4));
  for (const std::vector<uint8_t>& bytes : {cut, JpegClaiming(16, 4000)}) {
    try {
      ReadJpeg(bytes);
      ADD_FAILURE() << "no error";
    } catch (const PictureError& e) {
      EXPECT_STREQ(e.what(), "JPEG: the file ends before the image does");
    }
  }
}

TEST(Jpeg, EncodesDecodesAndReportsLibraryErrors) {
  Bitmap b(16, 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) b.Row(y)[x] = static_cast<uint32_t>((x * 16) << 16 | (y * 32) << 8 | 128);
  }
  const Bitmap decoded = ReadJpeg(WriteJpeg(b, 95));
  ASSERT_EQ(decoded.Width(), 16);
  ASSERT_EQ(decoded.Height(), 8);
  for (int shift : {0, 8, 16}) EXPECT_NEAR(static_cast<int>((decoded.Row(4)[9] >> shift) & 0xFF), (b.Row(4)[9] >> shift) & 0xFF, 12);
  try {
    ReadJpeg(std::vector<uint8_t>{0xFF, 0xD8, 0x00, 0x12, 0x34, 0x56});
    ADD_FAILURE() << "no error";
  } catch (const PictureError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("JPEG error #", 0), 0u) << e.what();
  }
  EXPECT_THROW(ReadJpeg(std::vector<uint8_t>{1, 2}), PictureError);
  // A file cut in the middle decodes what is there or fails cleanly.
  std::vector<uint8_t> cut = WriteJpeg(b, 95);
  cut.resize(cut.size() / 2);
  try {
    EXPECT_EQ(ReadJpeg(cut).Width(), 16);
  } catch (const PictureError&) {
  }
}

TEST(Icon, KeepsAlphaOrTheMask) {
  Bitmap b = Bitmap::Argb(5, 3, 0xFF112233u);
  b.Row(1)[2] = 0;
  const Bitmap read = ReadIco(WriteIco(b));
  EXPECT_EQ(read, b);
  // A 24-bit image: transparency from its mask.
  std::vector<uint8_t> ico;
  PutU16(ico, 0);
  PutU16(ico, 1);
  PutU16(ico, 1);
  ico.insert(ico.end(), {2, 1, 0, 0});
  PutU16(ico, 1);
  PutU16(ico, 24);
  PutU32(ico, 40 + 8 + 4);
  PutU32(ico, 22);
  PutU32(ico, 40);
  PutU32(ico, 2);
  PutU32(ico, 2);  // one row of image and one of mask
  PutU16(ico, 1);
  PutU16(ico, 24);
  for (int i = 0; i < 6; ++i) PutU32(ico, 0);
  ico.insert(ico.end(), {0, 0, 255, 0, 255, 0, 0, 0});  // red, green, padding
  ico.insert(ico.end(), {0x40, 0, 0, 0});               // the second pixel is clear
  const Bitmap masked = ReadIco(ico);
  EXPECT_EQ(masked.Row(0)[0], 0xFFFF0000u);
  EXPECT_EQ(masked.Row(0)[1] >> 24, 0u);
  ico.resize(30);
  EXPECT_THROW(ReadIco(ico), PictureError);
  EXPECT_THROW(ReadIco(std::vector<uint8_t>{0, 0, 1, 0, 0, 0}), PictureError);  // no images
}

std::vector<uint8_t> PlaceableMetafile() {
  std::vector<uint8_t> m;
  PutU32(m, 0x9AC6CDD7);
  PutU16(m, 0);
  for (uint16_t v : {0, 0, 2880, 1440}) PutU16(m, v);
  PutU16(m, 1440);  // units per inch
  PutU32(m, 0);
  PutU16(m, 0);
  PutU16(m, 1);  // the plain header that follows
  PutU16(m, 9);
  return m;
}

TEST(Metafile, KeepsTheBytesTakesTheSizeFromTheHeaderAndDrawsAPlaceholder) {
  MetafileGraphic placeable;
  placeable.LoadFromBytes(PlaceableMetafile());
  EXPECT_EQ(placeable.Width(), 192);
  EXPECT_EQ(placeable.Height(), 96);
  EXPECT_EQ(placeable.SaveToBytes(), PlaceableMetafile());

  std::vector<uint8_t> emf;
  PutU32(emf, 1);
  PutU32(emf, 88);
  for (int i = 0; i < 4; ++i) PutU32(emf, 0);  // bounds in pixels
  for (uint32_t v : {0u, 0u, 2540u, 5080u}) PutU32(emf, v);
  PutU32(emf, 0x464D4520);
  MetafileGraphic enhanced;
  enhanced.LoadFromBytes(emf);
  EXPECT_TRUE(enhanced.Enhanced());
  EXPECT_EQ(enhanced.Width(), 96);
  EXPECT_EQ(enhanced.Height(), 192);

  MetafileGraphic plain;
  plain.LoadFromBytes(std::vector<uint8_t>{1, 0, 9, 0, 0, 3});
  EXPECT_FALSE(plain.Empty());
  EXPECT_EQ(plain.Width(), 0);
  EXPECT_THROW(plain.LoadFromBytes(std::vector<uint8_t>{7, 7, 7, 7}), PictureError);
  EXPECT_FALSE(plain.Empty());  // unchanged after a failed load

  canvas::RecordingCanvas rec;
  placeable.Draw(rec, {0, 0, 20, 10});
  EXPECT_EQ(rec.Count(canvas::CanvasOp::Rectangle), 1u);
  EXPECT_EQ(rec.Count(canvas::CanvasOp::LineTo), 2u);
}

TEST(Picture, EachKindRoundTripsThroughTheStreamForm) {
  RegisterStandardGraphics();
  std::vector<std::unique_ptr<Graphic>> graphics;
  graphics.push_back(std::make_unique<BitmapGraphic>(Noise(6, 4, false, 9)));
  auto jpeg = std::make_unique<JpegGraphic>();
  jpeg->Assign(Noise(8, 8, false, 2));
  graphics.push_back(std::move(jpeg));
  auto icon = std::make_unique<IconGraphic>();
  icon->LoadFromBytes(WriteIco(Bitmap::Argb(4, 4, 0xFF00FF00u)));
  graphics.push_back(std::move(icon));
  auto metafile = std::make_unique<MetafileGraphic>();
  metafile->LoadFromBytes(PlaceableMetafile());
  graphics.push_back(std::move(metafile));

  for (const auto& graphic : graphics) {
    Picture picture;
    picture.SetGraphic(graphic.get());
    const std::vector<uint8_t> stream = picture.SaveToStream();
    const std::string name = graphic->ClassName();
    ASSERT_EQ(stream[0], name.size());
    EXPECT_EQ(std::string(stream.begin() + 1, stream.begin() + 1 + static_cast<long>(name.size())), name);
    Picture back;
    back.LoadFromStream(stream);
    ASSERT_NE(back.GetGraphic(), nullptr);
    EXPECT_STREQ(back.GetGraphic()->ClassName(), graphic->ClassName());
    EXPECT_EQ(back.Width(), graphic->Width());
    EXPECT_EQ(back.Height(), graphic->Height());
    EXPECT_EQ(back.SaveToStream(), stream) << name;
  }
}

TEST(Picture, BadStreamsLeaveThePictureAsItWas) {
  RegisterStandardGraphics();
  Picture picture;
  picture.SetGraphic(std::make_unique<BitmapGraphic>(Noise(2, 2, false, 1)));
  const std::vector<uint8_t> before = picture.SaveToStream();
  std::vector<uint8_t> unknown{5, 'T', 'N', 'o', 'n', 'e', 1, 2};
  EXPECT_THROW(picture.LoadFromStream(unknown), PictureError);
  std::vector<uint8_t> badBody{7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 'B', 'M', 0};
  EXPECT_THROW(picture.LoadFromStream(badBody), PictureError);
  EXPECT_THROW(picture.LoadFromStream(std::vector<uint8_t>{40, 'T'}), PictureError);
  EXPECT_EQ(picture.SaveToStream(), before);
  picture.LoadFromStream({});
  EXPECT_TRUE(picture.Empty());
  EXPECT_TRUE(picture.SaveToStream().empty());
}

TEST(Picture, OtherRegisteredClassesStreamTheirOwnBytes) {
  RegisterGraphicClass("TRecordingGraphic", {"rec"}, [] { return std::make_unique<RecordingGraphic>(); });
  RecordingGraphic graphic(4, 3);
  graphic.LoadFromBytes(std::vector<uint8_t>{9, 8, 7});
  Picture picture;
  picture.SetGraphic(&graphic);
  const std::vector<uint8_t> stream = picture.SaveToStream();
  EXPECT_EQ(stream, (std::vector<uint8_t>{17, 'T', 'R', 'e', 'c', 'o', 'r', 'd', 'i', 'n', 'g', 'G', 'r', 'a', 'p',
                                          'h', 'i', 'c', 9, 8, 7}));
  Picture back;
  back.LoadFromStream(stream);
  canvas::RecordingCanvas rec;
  back.GetGraphic()->Draw(rec, {1, 2, 3, 4});
  EXPECT_EQ(static_cast<const RecordingGraphic*>(back.GetGraphic())->draws, (std::vector<TRect>{{1, 2, 3, 4}}));
  EXPECT_EQ(rec.Lines(), (std::vector<std::string>{"FillRect 1,2,3,4"}));
}

TEST(Picture, LoadsFilesByTheirExtension) {
  RegisterStandardGraphics();
  const auto dir = std::filesystem::temp_directory_path();
  const auto path = dir / "pv_picture_test.JPG";
  {
    std::ofstream out(path, std::ios::binary);
    const auto bytes = WriteJpeg(Noise(3, 3, false, 4));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  Picture picture;
  picture.LoadFromFile(path.string());
  EXPECT_STREQ(picture.GetGraphic()->ClassName(), "TJPEGImage");
  std::filesystem::remove(path);
  EXPECT_THROW(picture.LoadFromFile((dir / "x.png").string()), PictureError);
  EXPECT_THROW(picture.LoadFromFile((dir / "pv_missing_file.bmp").string()), PictureError);
  EXPECT_STREQ(picture.GetGraphic()->ClassName(), "TJPEGImage");
}

}  // namespace
}  // namespace pv::picture

// Blocks, features and images for the object-layer tests, built by hand.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "base/ByteOrder.h"
#include "engine/records/FingerEntry.h"
#include "engine/records/ImpressionRecord.h"
#include "engine/records/compact/CompactEntry.h"
#include "vela/math.h"
#include "vela/render.h"

namespace vela::math::testing {


// A valid impression: n minutiae, blocks in every direction, some background.
inline engine::Impression MakeImpression(int32_t kind, uint8_t quality, uint8_t byte9, uint8_t count,
                                         int seed = 0) {
  engine::Impression r;
  r.kind = kind;
  r.quality = quality;
  r.fingerCode = byte9;
  r.count = count;
  for (size_t i = 0; i < r.blocks.size(); ++i)
    r.blocks[i] = (i % 18 == 0) ? engine::kNoDirection : uint8_t((i + size_t(seed)) % 60);
  for (int i = 0; i < count; ++i) {
    r.x[size_t(i)] = uint8_t(10 + (i * 7 + seed) % 120);
    r.y[size_t(i)] = uint8_t(10 + (i * 11 + seed) % 180);
    r.direction[size_t(i)] = uint8_t((i + seed) % 24);
  }
  return r;
}

inline void AppendImpression(std::vector<uint8_t>& block, const engine::Impression& r) {
  const size_t at = block.size();
  block.resize(at + engine::impression::kSize);
  engine::WriteImpression(r, block.data() + at, engine::impression::kSize);
}

inline void FinishBlock(std::vector<uint8_t>& block, int32_t dataId) {
  WriteLe<int32_t>(block.data(), int32_t(block.size()));
  WriteLe<int32_t>(block.data() + 4, dataId);
}

// A type-1 block of `impressions` plain records.
inline std::vector<uint8_t> MakeType1Block(int impressions, uint8_t count = 12) {
  std::vector<uint8_t> block(8);
  for (int i = 0; i < impressions; ++i)
    AppendImpression(block, MakeImpression(engine::impression::kPlain, uint8_t(60 + i), 18, count, i));
  FinishBlock(block, 1);
  return block;
}

// A type-150 block with one finger entry for each code.
inline std::vector<uint8_t> MakeType150Block(const std::vector<uint8_t>& fingerCodes) {
  std::vector<uint8_t> block(8);
  int seed = 0;
  for (uint8_t code : fingerCodes)
    for (size_t v = 0; v < engine::finger_entry::kImpressions; ++v)
      AppendImpression(block, MakeImpression(engine::impression::kInFingerEntry, 70, code, 9, seed++));
  FinishBlock(block, 150);
  return block;
}

// A type-165 block with one compact entry for each code.
inline std::vector<uint8_t> MakeType165Block(const std::vector<uint8_t>& fingerCodes) {
  std::vector<uint8_t> block(8);
  for (uint8_t code : fingerCodes) {
    const size_t at = block.size();
    block.resize(at + 364);
    const engine::Impression r = MakeImpression(engine::impression::kInFingerEntry, 55, code, 8, code);
    engine::PackCompactEntry(165, code, 0, 0, r, r, block.data() + at, 364);
  }
  FinishBlock(block, 165);
  return block;
}

// A 2,644-byte features record with the given minutiae (x, y, angle) and
// every block direction set to `blockDirection`.
struct Minutia {
  int32_t x, y, angle;
};
inline std::vector<uint8_t> MakeFeatures(const std::vector<Minutia>& minutiae,
                                         int32_t blockDirection = 180) {
  std::vector<uint8_t> features(2644, 0);
  WriteLe<int32_t>(features.data(), int32_t(minutiae.size()));
  for (size_t i = 0; i < minutiae.size(); ++i) {
    WriteLe<int32_t>(features.data() + 4 + 4 * i, minutiae[i].x);
    WriteLe<int32_t>(features.data() + 284 + 4 * i, minutiae[i].y);
    WriteLe<int32_t>(features.data() + 564 + 4 * i, minutiae[i].angle);
  }
  for (size_t i = 0; i < 450; ++i) WriteLe<int32_t>(features.data() + 844 + 4 * i, blockDirection);
  return features;
}

// An image that is not the library's own: rows `stride` bytes apart, with
// padding bytes that must never reach a template.
class StridedImage final : public virtual base::Image {
 public:
  StridedImage(int32_t width, int32_t height, int32_t bitsPerPixel, int32_t stride)
      : width(width), height(height), bpp(bitsPerPixel), stride(stride),
        pixels(size_t(stride) * size_t(height), 0xEE) {}
  int32_t GetWidth() const override { return width; }
  int32_t GetHeight() const override { return height; }
  int32_t GetBitsPerPixel() const override { return bpp; }
  int32_t GetXResolution() const override { return 500; }
  int32_t GetYResolution() const override { return 500; }
  int32_t GetRowBytes() const override { return stride; }
  const uint8_t* GetData() const override {
    ++reads;
    return pixels.data();
  }
  uint8_t* GetData() override {
    ++reads;
    return pixels.data();
  }
  void ConvertTo24Bpp() override { throw base::exceptions::not_implemented(); }
  void ConvertTo8Bpp() override { throw base::exceptions::not_implemented(); }

  uint8_t* Row(int32_t r) { return pixels.data() + size_t(r) * size_t(stride); }
  mutable int reads = 0;  // how often the pixels were fetched

 private:
  ~StridedImage() override = default;
  int32_t width, height, bpp, stride;
  std::vector<uint8_t> pixels;
};

// A grey image whose pixel (x, y) is x + 3y (mod 256).
inline base::smart_ptr<StridedImage> MakeRampImage(int32_t width, int32_t height, int32_t stride) {
  base::smart_ptr<StridedImage> image(new StridedImage(width, height, 8, stride));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) image->Row(y)[x] = uint8_t(x + 3 * y);
  return image;
}

// The pixel rows of an 8-bit BMP file as top-down, unpadded rows.
struct BmpPixels {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> rows;
};
inline BmpPixels ReadBmpPixels(const std::vector<uint8_t>& file) {
  base::smart_ptr<base::MemoryStream> stream =
      Create_MemoryStream(file.data(), int32_t(file.size()));
  base::smart_ptr<render::BMP_Image> image = render::Create_BMP_Image(stream);
  BmpPixels out{image->GetWidth(), image->GetHeight(), {}};
  const uint8_t* data = image->GetData();
  for (int32_t r = 0; r < out.height; ++r)
    out.rows.insert(out.rows.end(), data + size_t(r) * size_t(image->GetRowBytes()),
                    data + size_t(r) * size_t(image->GetRowBytes()) + size_t(out.width));
  return out;
}

inline std::vector<uint8_t> StreamBytes(const base::smart_ptr<base::MemoryStream>& stream) {
  stream->Seek(0, base::SeekOrigin::Begin);
  std::vector<uint8_t> bytes(size_t(stream->Size()));
  if (!bytes.empty()) stream->Read(bytes.data(), int32_t(bytes.size()));
  return bytes;
}

inline base::smart_ptr<base::InputStream> InputOf(const std::vector<uint8_t>& bytes) {
  return Create_MemoryStream(bytes.data(), int32_t(bytes.size()));
}

// TC part builder for hand-made streams.
struct TcBuilder {
  std::vector<uint8_t> bytes;
  explicit TcBuilder(uint16_t version) {
    bytes = {'T', 'C', uint8_t(version), uint8_t(version >> 8)};
  }
  TcBuilder& Record(uint8_t tag, const std::vector<uint8_t>& payload) {
    bytes.push_back(0);
    bytes.push_back(tag);
    bytes.push_back(uint8_t(payload.size()));
    bytes.push_back(uint8_t(payload.size() >> 8));
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return *this;
  }
  std::vector<uint8_t> End() {
    std::vector<uint8_t> out = bytes;
    out.insert(out.end(), {0xFF, 0, 0, 0});
    return out;
  }
};

inline std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline std::vector<uint8_t> FloatBytes(std::initializer_list<float> values) {
  std::vector<uint8_t> out;
  for (float v : values) {
    uint8_t b[4];
    WriteLe<float>(b, v);
    out.insert(out.end(), b, b + 4);
  }
  return out;
}

inline std::vector<uint8_t> IntBytes(std::initializer_list<int32_t> values) {
  std::vector<uint8_t> out;
  for (int32_t v : values) {
    uint8_t b[4];
    WriteLe<int32_t>(b, v);
    out.insert(out.end(), b, b + 4);
  }
  return out;
}

}  // namespace vela::math::testing

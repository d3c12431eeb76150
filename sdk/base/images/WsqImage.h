// The library's WSQ image: decoded grey pixels in memory, compressed again
// by Save.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "vela/render.h"

namespace vela::render {

// A WSQ file of width x height grey bytes (rows unpadded); throws
// base_exception when the encoder refuses them.
std::vector<uint8_t> EncodeWsqFile(const uint8_t* pixels, int32_t width, int32_t height, int32_t ppi,
                                   const char* comment, double bitrate);

// The comment a WSQ file carries for its image (empty when it has none).
std::string WsqImageComment(std::span<const uint8_t> file);

class WsqImage final : public virtual WSQ_Image {
 public:
  // pixels: width x height grey bytes, rows top-down, unpadded.
  WsqImage(int32_t width, int32_t height, int32_t ppi, std::vector<uint8_t> pixels,
           std::string comment);

  int32_t GetWidth() const override { return width; }
  int32_t GetHeight() const override { return height; }
  int32_t GetBitsPerPixel() const override { return 8; }
  int32_t GetXResolution() const override { return ppi; }
  int32_t GetYResolution() const override { return ppi; }
  int32_t GetRowBytes() const override { return width; }
  const uint8_t* GetData() const override { return pixels.data(); }
  uint8_t* GetData() override { return pixels.data(); }
  void ConvertTo24Bpp() override;
  void ConvertTo8Bpp() override;

  void Save(vela::base::smart_ptr<vela::base::OutputStream> stream) override;
  void SetBitrate(double value) override { bitrate = value; }
  double GetBitrate() const override { return bitrate; }
  void SetComment(const char* text) override { comment = text ? text : ""; }
  const char* GetComment() const override { return comment.empty() ? nullptr : comment.c_str(); }

 protected:
  ~WsqImage() override;

 private:
  int32_t width;
  int32_t height;
  int32_t ppi;
  double bitrate = 0.5;
  std::string comment;
  std::vector<uint8_t> pixels;
};

}  // namespace vela::render

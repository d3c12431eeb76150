#pragma once
// A test double of a graphic: a size, bytes kept as given, and a log of where it was drawn.

#include "picture/Graphic.h"

namespace pv::picture {

class RecordingGraphic : public Graphic {
 public:
  RecordingGraphic(int32_t width = 10, int32_t height = 10) : width_(width), height_(height) {}
  const char* ClassName() const override { return "TRecordingGraphic"; }
  std::unique_ptr<Graphic> Clone() const override { return std::make_unique<RecordingGraphic>(*this); }
  bool Empty() const override { return width_ == 0 || height_ == 0; }
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  void Draw(Canvas& canvas, const TRect& rect) const override {
    draws.push_back(rect);
    canvas.FillRect(rect);
  }
  void LoadFromBytes(std::span<const uint8_t> bytes) override { bytes_.assign(bytes.begin(), bytes.end()); }
  std::vector<uint8_t> SaveToBytes() const override { return bytes_; }

  mutable std::vector<TRect> draws;

 private:
  int32_t width_;
  int32_t height_;
  std::vector<uint8_t> bytes_;
};

}  // namespace pv::picture

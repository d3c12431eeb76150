// The read-only views of a template: minutiae, block directions and the
// engine's measures of the image it was made from.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "vela/math.h"

namespace vela::math {

class MinutiaeViewImpl final : public virtual MinutiaeView {
 public:
  MinutiaeViewImpl(std::vector<FloatPair> points, std::vector<FloatPair> directions);
  int32_t Count() const override;
  FloatPair GetPoint(int32_t index) const override;
  FloatPair GetDirection(int32_t index) const override;

 private:
  ~MinutiaeViewImpl() override;
  std::vector<FloatPair> points;
  std::vector<FloatPair> directions;
};

class DirectionFieldViewImpl final : public virtual DirectionFieldView {
 public:
  DirectionFieldViewImpl(int32_t rows, int32_t columns, int32_t blockWidth, int32_t blockHeight,
                         std::vector<FloatPair> directions);
  int32_t GetRows() const override { return rows; }
  int32_t GetColumns() const override { return columns; }
  int32_t GetBlockWidth() const override { return blockWidth; }
  int32_t GetBlockHeight() const override { return blockHeight; }
  FloatPair GetDirection(int32_t column, int32_t row) const override;

 private:
  ~DirectionFieldViewImpl() override;
  int32_t rows;
  int32_t columns;
  int32_t blockWidth;
  int32_t blockHeight;
  std::vector<FloatPair> directions;
};

// The values an image information view carries; `full` tells whether the
// Q values are there.
struct ImageInfo {
  std::array<float, 4> parameters{};
  float p1 = 0;
  float p2 = 0;
  bool full = false;
  std::array<int32_t, 6> q{};
};

class ImageInfoViewImpl final : public virtual ImageInfoView {
 public:
  explicit ImageInfoViewImpl(const ImageInfo& info);
  const float* GetParameters() const override { return info.parameters.data(); }
  float GetP1() const override { return info.p1; }
  float GetP2() const override { return info.p2; }
  int32_t GetQ1() const override { return Q(0); }
  int32_t GetQ2() const override { return Q(1); }
  int32_t GetQ3() const override { return Q(2); }
  int32_t GetQ4() const override { return Q(3); }
  int32_t GetQ5() const override { return Q(4); }
  int32_t GetQ6() const override { return Q(5); }

 private:
  ~ImageInfoViewImpl() override;
  int32_t Q(int index) const;
  ImageInfo info;
};

// The view, or not_supported when there is none.
template <class View>
base::smart_ptr<View> RequireView(const base::smart_ptr<View>& view) {
  if (!view) throw base::exceptions::not_supported();
  return view;
}

// Views made from a 2,644-byte BiometricFeatures record.
base::smart_ptr<MinutiaeView> BuildMinutiaeView(std::span<const uint8_t> features);
base::smart_ptr<DirectionFieldView> BuildDirectionFieldView(std::span<const uint8_t> features);

// The full-form view of an image from its 140-byte header entry after the
// engine call.
base::smart_ptr<ImageInfoView> BuildImageInfoView(std::span<const uint8_t> headerEntry);

// The values of a view, read through its interface (the Q values only when
// the view has them).
ImageInfo ReadImageInfo(const ImageInfoView& view);

}  // namespace vela::math

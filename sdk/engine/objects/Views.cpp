#include "engine/objects/Views.h"

#include <algorithm>
#include <cmath>

#include "engine/records/BiometricFeatures.h"
#include "base/ByteOrder.h"
#include "engine/records/EngineGeometry.h"
#include "engine/objects/EngineAdapter.h"

namespace vela::math {

using base::smart_ptr;

MinutiaeView::~MinutiaeView() = default;
DirectionFieldView::~DirectionFieldView() = default;
ImageInfoView::~ImageInfoView() = default;

namespace {

constexpr double kRadiansPerDegree = 0.017453292;
constexpr int32_t kNoBlockDirection = 180;

// The unit vector (-sin a, cos a) of an angle in degrees, the angle taken to
// single precision in radians first.
FloatPair DirectionVector(double degrees) {
  const float radians = static_cast<float>(degrees * kRadiansPerDegree);
  return {static_cast<float>(-std::sin(double(radians))),
          static_cast<float>(std::cos(double(radians)))};
}

int32_t FeatureInt(std::span<const uint8_t> features, size_t offset, size_t index) {
  return ReadLe<int32_t>(features.data() + offset + 4 * index);
}

void RequireIndex(int32_t index, size_t count) {
  if (index < 0 || size_t(index) >= count) throw base::exceptions::out_of_range();
}

}  // namespace

MinutiaeViewImpl::MinutiaeViewImpl(std::vector<FloatPair> points,
                                   std::vector<FloatPair> directions)
    : points(std::move(points)), directions(std::move(directions)) {}
MinutiaeViewImpl::~MinutiaeViewImpl() = default;

int32_t MinutiaeViewImpl::Count() const { return int32_t(points.size()); }

FloatPair MinutiaeViewImpl::GetPoint(int32_t index) const {
  RequireIndex(index, points.size());
  return points[size_t(index)];
}

FloatPair MinutiaeViewImpl::GetDirection(int32_t index) const {
  RequireIndex(index, directions.size());
  return directions[size_t(index)];
}

DirectionFieldViewImpl::DirectionFieldViewImpl(int32_t rows, int32_t columns, int32_t blockWidth,
                                               int32_t blockHeight,
                                               std::vector<FloatPair> directions)
    : rows(rows),
      columns(columns),
      blockWidth(blockWidth),
      blockHeight(blockHeight),
      directions(std::move(directions)) {}
DirectionFieldViewImpl::~DirectionFieldViewImpl() = default;

FloatPair DirectionFieldViewImpl::GetDirection(int32_t column, int32_t row) const {
  if (column < 0 || column >= columns || row < 0 || row >= rows)
    throw base::exceptions::out_of_range();
  return directions[size_t(column) + size_t(row) * size_t(columns)];
}

ImageInfoViewImpl::ImageInfoViewImpl(const ImageInfo& info) : info(info) {}
ImageInfoViewImpl::~ImageInfoViewImpl() = default;

int32_t ImageInfoViewImpl::Q(int index) const {
  if (!info.full) throw base::exceptions::not_supported();
  return info.q[size_t(index)];
}

smart_ptr<MinutiaeView> BuildMinutiaeView(std::span<const uint8_t> features) {
  namespace f = engine::biometric_features;
  if (features.size() < f::kSize) throw base::exceptions::invalid_argument();
  // The engine never reports more than 70; a count outside 0..70 gives none.
  int32_t count = FeatureInt(features, f::kCountOffset, 0);
  if (count < 0 || count > engine::kMaxMinutiae) count = 0;
  std::vector<FloatPair> points;
  std::vector<FloatPair> directions;
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t x = uint32_t(FeatureInt(features, f::kXOffset, size_t(i)));
    const uint32_t y = uint32_t(FeatureInt(features, f::kYOffset, size_t(i)));
    points.push_back({static_cast<float>(y), static_cast<float>(x)});
    directions.push_back(DirectionVector(FeatureInt(features, f::kAngleOffset, size_t(i))));
  }
  return smart_ptr<MinutiaeView>(new MinutiaeViewImpl(std::move(points), std::move(directions)));
}

smart_ptr<DirectionFieldView> BuildDirectionFieldView(std::span<const uint8_t> features) {
  namespace f = engine::biometric_features;
  if (features.size() < f::kSize) throw base::exceptions::invalid_argument();
  std::vector<FloatPair> directions;
  directions.reserve(engine::kBlockCount);
  for (int32_t i = 0; i < engine::kBlockCount; ++i) {
    const int32_t value = FeatureInt(features, f::kBlockDirectionOffset, size_t(i));
    if (value == kNoBlockDirection)
      directions.push_back({0.0f, 0.0f});
    else
      directions.push_back(DirectionVector(double(uint32_t(value))));
  }
  return smart_ptr<DirectionFieldView>(
      new DirectionFieldViewImpl(engine::kBlockRows, engine::kBlockColumns, engine::kBlockSide,
                                 engine::kBlockSide, std::move(directions)));
}

smart_ptr<ImageInfoView> BuildImageInfoView(std::span<const uint8_t> headerEntry) {
  if (headerEntry.size() < image_header::kSize) throw base::exceptions::invalid_argument();
  const uint8_t* h = headerEntry.data();
  ImageInfo info;
  info.parameters = {static_cast<float>(ReadLe<int32_t>(h + 104)),
                     static_cast<float>(ReadLe<int32_t>(h + 108)),
                     static_cast<float>(ReadLe<double>(h + 112)),
                     static_cast<float>(ReadLe<double>(h + 120))};
  info.p1 = static_cast<float>(ReadLe<uint32_t>(h + 72));
  info.p2 = static_cast<float>(ReadLe<int32_t>(h + 80));
  info.full = true;
  constexpr size_t kQOffsets[] = {76, 84, 88, 92, 96, 100};
  for (size_t i = 0; i < 6; ++i) info.q[i] = ReadLe<int32_t>(h + kQOffsets[i]);
  return smart_ptr<ImageInfoView>(new ImageInfoViewImpl(info));
}

ImageInfo ReadImageInfo(const ImageInfoView& view) {
  ImageInfo info;
  std::copy_n(view.GetParameters(), 4, info.parameters.begin());
  info.p1 = view.GetP1();
  info.p2 = view.GetP2();
  try {
    info.q = {view.GetQ1(), view.GetQ2(), view.GetQ3(), view.GetQ4(), view.GetQ5(), view.GetQ6()};
    info.full = true;
  } catch (const base::exceptions::not_supported&) {
    info.full = false;
  }
  return info;
}

}  // namespace vela::math

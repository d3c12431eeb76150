// Fingers (a finger code with its images) and sets of fingers.
#pragma once

#include <vector>

#include "vela/math.h"

namespace vela::math {

inline constexpr int32_t kMaxImagesPerFinger = 10;
inline constexpr int32_t kMaxFingersPerSet = 10;

class FingerImpl final : public virtual Finger {
 public:
  FingerImpl(int32_t fingerCode, base::smart_ptr<base::ImageSet> images);
  void AddImage(base::smart_ptr<base::Image> image) override;
  int32_t Count() const override;
  base::smart_ptr<base::Image> GetFingerImage(int32_t index) const override;
  int32_t GetFingerCode() const override { return fingerCode; }

 private:
  ~FingerImpl() override;
  base::smart_ptr<base::ImageSet> images;
  int32_t fingerCode;
};

class FingerSetImpl final : public virtual FingerSet {
 public:
  FingerSetImpl();
  int32_t Count() const override { return int32_t(fingers.size()); }
  base::smart_ptr<Finger> GetByIndex(int32_t index) const override;
  void Add(base::smart_ptr<Finger> finger) override;

 private:
  ~FingerSetImpl() override;
  std::vector<base::smart_ptr<Finger>> fingers;
};

}  // namespace vela::math

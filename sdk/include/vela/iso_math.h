// Finger minutiae records made from ISO/IEC 19794-4 finger image records,
// and their comparison.
#pragma once

#include <cstdint>

#include "vela/base.h"
#include "vela/incits378.h"
#include "vela/iso.h"
#include "vela/math.h"

namespace vela::iso_math {

using vela::incits378::SimpleMatchResult;

class VELA_API ImageProcessor : public virtual vela::base::BaseRefCounter {
 public:
  // One or two image views of 8 bits per pixel, all of one size.
  virtual vela::base::smart_ptr<vela::iso::FingerMinutiaeRecord> CreateTemplate(
      vela::base::smart_ptr<vela::iso::FingerImageData> record) = 0;
  // Not implemented.
  virtual vela::base::smart_ptr<vela::iso::FingerMinutiaeRecord> CreateTemplate(
      vela::base::smart_ptr<vela::base::ImageSet> images) = 0;
  // Not implemented.
  virtual vela::base::smart_ptr<vela::iso::FingerMinutiaeRecord> CreateTemplate(
      vela::base::smart_ptr<vela::base::Image> image) = 0;

 protected:
  ~ImageProcessor() override;
};

// Verify compares the score of Match (0..3000) with the level's threshold:
// 1400 (low), 1600 (medium), 2100 (high); a matcher created with another
// level uses 1600.
class VELA_API Matcher : public virtual vela::base::BaseRefCounter {
 public:
  // Levels other than 1, 2 and 3 are stored but keep the threshold.
  virtual void SetSecurityLevel(int32_t level) = 0;
  virtual int32_t GetSecurityLevel() const = 0;
  virtual bool Verify(vela::base::smart_ptr<vela::iso::FingerMinutiaeRecord> a,
                      vela::base::smart_ptr<vela::iso::FingerMinutiaeRecord> b) = 0;
  // math_error for records the comparison cannot read.
  virtual vela::base::smart_ptr<SimpleMatchResult> Match(vela::base::smart_ptr<vela::iso::FingerMinutiaeRecord> a,
                                                         vela::base::smart_ptr<vela::iso::FingerMinutiaeRecord> b) = 0;

 protected:
  ~Matcher() override;
};

VELA_API vela::base::smart_ptr<ImageProcessor> Create_ImageProcessor();
VELA_API vela::base::smart_ptr<Matcher> Create_Matcher(vela::math::SecurityLevel level);

}  // namespace vela::iso_math

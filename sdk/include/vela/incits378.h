// INCITS 378 finger minutiae records made from images of up to ten fingers,
// and their comparison.
#pragma once

#include <cstdint>

#include "vela/base.h"
#include "vela/image.h"
#include "vela/math.h"
#include "vela/streams.h"

namespace vela::incits378 {

// The outcome of comparing two standard templates.
class VELA_API SimpleMatchResult : public virtual vela::base::BaseRefCounter {
 public:
  virtual int32_t GetScore() const = 0;

 protected:
  ~SimpleMatchResult() override;
};

// An INCITS 378 record.
class VELA_API Template : public virtual vela::base::BaseRefCounter {
 public:
  // Writes the record bytes unchanged.
  virtual void Save(vela::base::smart_ptr<vela::base::OutputStream> stream) = 0;

 protected:
  ~Template() override;

 public:
  // 0 for every template made or read by the library.
  virtual float GetValue() const = 0;
};

// Makes records from 8- or 24-bit grey images of one size and resolution.
// Failures of the engine are incits378_error with the engine's reason.
class VELA_API ImageProcessor : public virtual vela::base::BaseRefCounter {
 public:
  virtual vela::base::smart_ptr<Template> CreateTemplate(int32_t fingerCode,
                                                         vela::base::smart_ptr<vela::base::ImageSet> images) = 0;
  virtual vela::base::smart_ptr<Template> CreateTemplate(int32_t fingerCode,
                                                         vela::base::smart_ptr<vela::base::Image> image) = 0;
  virtual vela::base::smart_ptr<Template> CreateTemplate(vela::base::smart_ptr<vela::math::Finger> finger) = 0;
  // One view per image, fingers in set order; an empty set gives an empty
  // pointer, more than 10 fingers invalid_argument.
  virtual vela::base::smart_ptr<Template> CreateTemplate(vela::base::smart_ptr<vela::math::FingerSet> fingers) = 0;

 protected:
  ~ImageProcessor() override;
};

class VELA_API Matcher : public virtual vela::base::BaseRefCounter {
 public:
  // Score 0..1000 of the best pair of views that may show one finger.
  virtual vela::base::smart_ptr<SimpleMatchResult> Match(vela::base::smart_ptr<Template> a,
                                                         vela::base::smart_ptr<Template> b) = 0;

 protected:
  ~Matcher() override;
};

VELA_API vela::base::smart_ptr<ImageProcessor> Create_ImageProcessor();
VELA_API vela::base::smart_ptr<Matcher> Create_Matcher();
// Every byte from the stream's position to its end, unchecked.
VELA_API vela::base::smart_ptr<Template> Create_Template(vela::base::smart_ptr<vela::base::InputStream> stream);

}  // namespace vela::incits378

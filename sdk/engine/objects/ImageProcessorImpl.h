// math::ImageProcessor: templates and extended templates from images.
#pragma once

#include "vela/math.h"

namespace vela::math {

// The data id a processor type makes; base_exception for any other type.
int32_t GetRecID(int32_t processorType);

class ImageProcessorImpl final : public virtual ImageProcessor {
 public:
  explicit ImageProcessorImpl(int32_t processorType);

  base::smart_ptr<Template> CreateTemplate(base::smart_ptr<base::ImageSet> images,
                                           int32_t fingerCode) override;
  base::smart_ptr<Template> CreateTemplate(base::smart_ptr<base::Image> image,
                                           int32_t fingerCode) override;
  int32_t GetImageQuality(base::smart_ptr<base::Image> image) override;
  base::smart_ptr<ImageInfoView> GetImageInfo(base::smart_ptr<base::Image> image) override;
  base::smart_ptr<XTemplate> CreateXTemplate(int32_t fingerCode,
                                             base::smart_ptr<base::ImageSet> images) override;
  base::smart_ptr<XTemplate> CreateXTemplate(int32_t fingerCode,
                                             base::smart_ptr<base::Image> image) override;
  base::smart_ptr<XTemplate> CreateXTemplate(base::smart_ptr<Finger> finger) override;
  base::smart_ptr<XTemplate> CreateXTemplate(base::smart_ptr<FingerSet> fingers) override;

 private:
  ~ImageProcessorImpl() override;
  int32_t processorType;
};

}  // namespace vela::math

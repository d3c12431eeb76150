#include <vector>

#include "vela/image.h"

namespace vela::base {
namespace {

class ImageList final : public virtual ImageSet {
 public:
  void Add(smart_ptr<Image> image) override { images.push_back(std::move(image)); }

  int32_t Count() const override { return static_cast<int32_t>(images.size()); }

  smart_ptr<Image> Get(int32_t index) const override {
    if (index < 0 || index >= Count()) throw exceptions::out_of_range();
    return images[static_cast<size_t>(index)];
  }

 protected:
  ~ImageList() override = default;

 private:
  std::vector<smart_ptr<Image>> images;
};

}  // namespace

Image::~Image() = default;
ImageSet::~ImageSet() = default;

smart_ptr<ImageSet> Create_ImageSet() { return smart_ptr<ImageSet>(new ImageList); }

smart_ptr<ImageSet> Create_ImageSet(smart_ptr<Image> image) {
  smart_ptr<ImageSet> set(new ImageList);
  set->Add(std::move(image));
  return set;
}

}  // namespace vela::base

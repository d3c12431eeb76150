#include "engine/objects/Fingers.h"

namespace vela::math {

using base::smart_ptr;

Finger::~Finger() = default;
FingerSet::~FingerSet() = default;

FingerImpl::FingerImpl(int32_t fingerCode, smart_ptr<base::ImageSet> images)
    : images(std::move(images)), fingerCode(fingerCode) {}
FingerImpl::~FingerImpl() = default;

void FingerImpl::AddImage(smart_ptr<base::Image> image) { images->Add(std::move(image)); }
int32_t FingerImpl::Count() const { return images->Count(); }
smart_ptr<base::Image> FingerImpl::GetFingerImage(int32_t index) const {
  return images->Get(index);
}

FingerSetImpl::FingerSetImpl() = default;
FingerSetImpl::~FingerSetImpl() = default;

smart_ptr<Finger> FingerSetImpl::GetByIndex(int32_t index) const {
  if (index < 0 || index >= Count()) throw base::exceptions::out_of_range();
  return fingers[size_t(index)];
}

void FingerSetImpl::Add(smart_ptr<Finger> finger) {
  const int32_t code = finger->GetFingerCode();
  for (const smart_ptr<Finger>& held : fingers)
    if (held->GetFingerCode() == code)
      throw base::exceptions::invalid_argument("Finger with such code already exists in FingerSet");
  fingers.push_back(std::move(finger));
}

smart_ptr<Finger> Create_Finger(finger_code code) {
  return smart_ptr<Finger>(new FingerImpl(code, base::Create_ImageSet()));
}

smart_ptr<Finger> Create_Finger(finger_code code, smart_ptr<base::Image> image) {
  return smart_ptr<Finger>(new FingerImpl(code, base::Create_ImageSet(std::move(image))));
}

smart_ptr<Finger> Create_Finger(finger_code code, smart_ptr<base::ImageSet> images) {
  return smart_ptr<Finger>(new FingerImpl(code, std::move(images)));
}

}  // namespace vela::math

vela::base::smart_ptr<vela::math::FingerSet> Create_FingerSet() {
  return vela::base::smart_ptr<vela::math::FingerSet>(new vela::math::FingerSetImpl());
}

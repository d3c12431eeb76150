#include "collection/ScannerCollection.h"

#include <stdexcept>

#include "device/DeviceType.h"

namespace vela::scan {

using vela::base::smart_ptr;

Descriptor::Descriptor(int32_t id, std::string name, std::string description)
    : id(id), name(std::move(name)), description(std::move(description)) {}

Descriptor::~Descriptor() = default;

void DescriptorList::Append(smart_ptr<DeviceDescriptor> descriptor) {
  descriptors.push_back(std::move(descriptor));
}

int32_t DescriptorList::Count() const { return static_cast<int32_t>(descriptors.size()); }

smart_ptr<DeviceDescriptor> DescriptorList::GetByIndex(int32_t index) const {
  if (index < 0 || index >= Count()) throw vela::base::exceptions::out_of_range();
  return descriptors[size_t(index)];
}

DescriptorList::~DescriptorList() = default;

ScannerCollection::ScannerCollection(std::span<const Make> makes) : makes(makes) {
  smart_ptr<DescriptorList> list(new DescriptorList);
  for (const Make& make : makes) {
    if (!make.enumerate) continue;
    std::vector<uint16_t> indices;
    try {
      indices = make.enumerate();
    } catch (...) {
      continue;  // a failing probe only means no device of that make
    }
    if (indices.empty()) continue;
    auto append = [&](uint16_t index) {
      list->Append(smart_ptr<DeviceDescriptor>(
          new Descriptor(DeviceId(make.type, index), make.name, make.description)));
    };
    if (make.listing == Listing::OneDevice) {
      append(0);
      continue;
    }
    for (uint16_t index : indices) append(index);
  }
  devices = list;
}

ScannerCollection::~ScannerCollection() = default;

smart_ptr<Scanner> ScannerCollection::GetDevice(smart_ptr<DeviceDescriptor> descriptor) {
  const int32_t id = descriptor->GetId();
  const int32_t type = TypeOfDeviceId(id);
  for (const Make& make : makes) {
    if (make.type != type) continue;
    // A make whose binding is not part of this build fails as if its
    // vendor library were missing.
    if (!make.open) throw std::runtime_error("Failed to LoadLibrary");
    return make.open(id);
  }
  throw std::runtime_error("BioScanners::GetDevice wrong type");
}

smart_ptr<BioScanners> Create_BioScanners() {
  return smart_ptr<BioScanners>(new ScannerCollection(SupportedMakes()));
}

}  // namespace vela::scan

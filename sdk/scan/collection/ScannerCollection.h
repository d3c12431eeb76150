#pragma once

#include <span>
#include <string>
#include <vector>

#include "collection/Makes.h"

namespace vela::scan {

class Descriptor final : public DeviceDescriptor {
 public:
  Descriptor(int32_t id, std::string name, std::string description);

  int32_t GetId() const override { return id; }
  const char* GetName() const override { return name.c_str(); }
  const char* GetDescription() const override { return description.c_str(); }

 protected:
  ~Descriptor() override;

 private:
  int32_t id;
  std::string name;
  std::string description;
};

class DescriptorList final : public DeviceDescriptorList {
 public:
  void Append(vela::base::smart_ptr<DeviceDescriptor> descriptor);

  int32_t Count() const override;
  vela::base::smart_ptr<DeviceDescriptor> GetByIndex(int32_t index) const override;

 protected:
  ~DescriptorList() override;

 private:
  std::vector<vela::base::smart_ptr<DeviceDescriptor>> descriptors;
};

// Probes the makes once, in the table's order, and keeps what it found.
class ScannerCollection final : public BioScanners {
 public:
  explicit ScannerCollection(std::span<const Make> makes);

  vela::base::smart_ptr<DeviceDescriptorList> GetDevices() override { return devices; }
  vela::base::smart_ptr<Scanner> GetDevice(vela::base::smart_ptr<DeviceDescriptor> descriptor) override;

 protected:
  ~ScannerCollection() override;

 private:
  std::span<const Make> makes;
  vela::base::smart_ptr<DeviceDescriptorList> devices;
};

}  // namespace vela::scan

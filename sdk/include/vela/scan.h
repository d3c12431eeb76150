// Fingerprint scanners: the collection of attached devices, the devices
// themselves and what they hand out.
#pragma once

#include <cstdint>

#include "vela/base.h"
#include "vela/image.h"

namespace vela::scan {

// What a device tells about itself.
class VELA_API DeviceInfo : public virtual vela::base::BaseRefCounter {
 public:
  virtual int32_t GetSerialNumber() const = 0;
  virtual const char* GetVendor() const = 0;
  virtual const char* GetSecondText() const = 0;
  virtual int32_t GetNumber1() const = 0;
  virtual int32_t GetNumber2() const = 0;
  // The make's type number (as in the bits 16-23 of a device id).
  virtual int32_t GetDeviceType() const = 0;

 protected:
  ~DeviceInfo() override;
};

// An opened scanner. A failed operation throws a std::exception whose text
// is the operation's name ("AcquireImage", "GetGain", ...); an operation that
// has failed once keeps failing on that device object.
class VELA_API Scanner : public virtual vela::base::BaseRefCounter {
 public:
  virtual vela::base::smart_ptr<DeviceInfo> GetDeviceInfo() = 0;
  // Returns as soon as the capture has started; the image's GetData waits
  // until its pixels are complete.
  virtual vela::base::smart_ptr<vela::base::Image> AcquireImage() = 0;
  virtual int32_t GetBrightness() = 0;
  virtual void SetBrightness(int32_t value) = 0;
  virtual int32_t GetContrast() = 0;
  virtual void SetContrast(int32_t value) = 0;
  virtual int32_t GetGain() = 0;
  virtual void SetGain(int32_t value) = 0;

 protected:
  ~Scanner() override;
};

// One attached device. Its id holds the make's type in bits 16-23 and the
// device's index within the make in the low 16 bits.
class VELA_API DeviceDescriptor : public virtual vela::base::BaseRefCounter {
 public:
  virtual int32_t GetId() const = 0;
  virtual const char* GetName() const = 0;
  virtual const char* GetDescription() const = 0;

 protected:
  ~DeviceDescriptor() override;
};

class VELA_API DeviceDescriptorList : public virtual vela::base::BaseRefCounter {
 public:
  virtual int32_t Count() const = 0;
  // out_of_range unless 0 <= index < Count().
  virtual vela::base::smart_ptr<DeviceDescriptor> GetByIndex(int32_t index) const = 0;

 protected:
  ~DeviceDescriptorList() override;
};

// The devices found when the collection was created; the list never changes.
class VELA_API BioScanners : public virtual vela::base::BaseRefCounter {
 public:
  virtual vela::base::smart_ptr<DeviceDescriptorList> GetDevices() = 0;
  // Opens the device; throws the device's open failure, or
  // "BioScanners::GetDevice wrong type" for an id of no known make.
  virtual vela::base::smart_ptr<Scanner> GetDevice(vela::base::smart_ptr<DeviceDescriptor> descriptor) = 0;

 protected:
  ~BioScanners() override;
};

// Probes every supported make once and lists the devices found.
VELA_API vela::base::smart_ptr<BioScanners> Create_BioScanners();

}  // namespace vela::scan

#pragma once

#include <cstdint>

#include "vela/scan.h"

namespace vela::scan {

// The device information of every make: the make decides the vendor text;
// serial number and the two numbers come from the device where it has them.
class StandardDeviceInfo final : public DeviceInfo {
 public:
  StandardDeviceInfo(int32_t type, int32_t serialNumber, int32_t number1, int32_t number2);

  int32_t GetSerialNumber() const override { return serialNumber; }
  const char* GetVendor() const override { return vendor; }
  const char* GetSecondText() const override { return ""; }
  int32_t GetNumber1() const override { return number1; }
  int32_t GetNumber2() const override { return number2; }
  int32_t GetDeviceType() const override { return type; }

 protected:
  ~StandardDeviceInfo() override;

 private:
  int32_t type;
  int32_t serialNumber;
  int32_t number1;
  int32_t number2;
  const char* vendor;
};

vela::base::smart_ptr<DeviceInfo> CreateDeviceInfo(int32_t type, int32_t serialNumber = 0,
                                                   int32_t number1 = -1, int32_t number2 = -1);

}  // namespace vela::scan

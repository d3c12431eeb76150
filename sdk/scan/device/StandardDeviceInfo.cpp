#include "device/StandardDeviceInfo.h"

#include "device/DeviceType.h"

namespace vela::scan {
namespace {

const char* VendorOf(int32_t type) {
  switch (type) {
    case IzzixType: return "DIGENT";
    case CrossMatchType: return "CrossMATCH Technologies Inc.";
    case NitgenType: return "SecuGen Corporation";
    case UpekType: return "UPEK";
    default: return "Quillon";
  }
}

}  // namespace

StandardDeviceInfo::StandardDeviceInfo(int32_t type, int32_t serialNumber, int32_t number1,
                                       int32_t number2)
    : type(type), serialNumber(serialNumber), number1(number1), number2(number2), vendor(VendorOf(type)) {}

StandardDeviceInfo::~StandardDeviceInfo() = default;

vela::base::smart_ptr<DeviceInfo> CreateDeviceInfo(int32_t type, int32_t serialNumber, int32_t number1,
                                                   int32_t number2) {
  return vela::base::smart_ptr<DeviceInfo>(new StandardDeviceInfo(type, serialNumber, number1, number2));
}

}  // namespace vela::scan

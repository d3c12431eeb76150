// Stand-in for the Nitgen library. Script: "SecuAPI_Init",
// "SecuAPI_OpenDevice", "SecuAPI_GetDeviceInfo", "SecuAPI_GetVersion"
// (0 = success), "devices" (how many ids the enumeration lists, from
// "firstId"), "width", "height", "byteCount" (of the delivered image),
// "noCallback". The capture calls back from a thread of its own with pixel
// i = i + 1.
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "StandIn.h"
#include "bindings/nitgen/NitgenAbi.h"

using namespace vela::scan::nitgen;
using standin::Log;
using standin::Value;

namespace {
thread_local std::vector<uint16_t> ids;  // one list per enumerating thread

int32_t Answer(const std::string& call, const char* key) {
  Log(call);
  return int32_t(Value(key, 0));
}
}  // namespace

STANDIN_EXPORT int32_t SecuAPI_Init(ApiHandle* api) {
  if (const int32_t answer = Answer("SecuAPI_Init", "SecuAPI_Init")) return answer;
  *api = 77;
  standin::Opened();
  return 0;
}

STANDIN_EXPORT int32_t SecuAPI_EnumerateDevice(ApiHandle, int32_t* count, const uint16_t** list) {
  Log("SecuAPI_EnumerateDevice");
  ids.clear();
  for (int64_t i = 0; i < Value("devices", 2); ++i) ids.push_back(uint16_t(Value("firstId", 0) + i));
  *count = int32_t(ids.size());
  *list = ids.data();
  return 0;
}

STANDIN_EXPORT int32_t SecuAPI_OpenDevice(ApiHandle, uint16_t id) {
  if (const int32_t answer = Answer("SecuAPI_OpenDevice(" + std::to_string(id) + ")", "SecuAPI_OpenDevice"))
    return answer;
  standin::Opened();
  return 0;
}

STANDIN_EXPORT int32_t SecuAPI_GetDeviceInfo(ApiHandle, uint16_t, int32_t, DeviceInformation* information) {
  information->values[Width] = int32_t(Value("width", 3));
  information->values[Height] = int32_t(Value("height", 2));
  information->values[Brightness] = 40;
  information->values[Contrast] = 50;
  information->values[Gain] = 60;
  return Answer("SecuAPI_GetDeviceInfo", "SecuAPI_GetDeviceInfo");
}

STANDIN_EXPORT int32_t SecuAPI_SetDeviceInfo(ApiHandle, uint16_t, int32_t, const DeviceInformation* information) {
  Log("SecuAPI_SetDeviceInfo(" + std::to_string(information->values[Brightness]) + "," +
      std::to_string(information->values[Contrast]) + "," + std::to_string(information->values[Gain]) + ")");
  return 0;
}

STANDIN_EXPORT int32_t SecuAPI_GetVersion(ApiHandle, int32_t* version) {
  *version = 3;
  return Answer("SecuAPI_GetVersion", "SecuAPI_GetVersion");
}

STANDIN_EXPORT int32_t SecuAPI_Capture(ApiHandle, int32_t, void**, int32_t timeout, int32_t,
                                       const CaptureParameters* parameters) {
  Log("SecuAPI_Capture(" + std::to_string(timeout) + ")");
  if (Value("noCallback", 0)) return 1;
  const int64_t size = Value("width", 3) * Value("height", 2);
  std::vector<uint8_t> pixels(size_t(size) + 16);
  const standin::Pixels scripted;
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = scripted.At(i, uint8_t(i + 1));
  const CaptureData data{int32_t(Value("byteCount", size)), pixels.data()};
  std::thread caller([&] { parameters->callback(&data, parameters->context); });
  caller.join();
  return 0;
}

STANDIN_EXPORT int32_t SecuAPI_CloseDevice(ApiHandle, uint16_t id) {
  Log("SecuAPI_CloseDevice(" + std::to_string(id) + ")");
  standin::Closed();
  return 0;
}

STANDIN_EXPORT int32_t SecuAPI_Terminate(ApiHandle) {
  Log("SecuAPI_Terminate");
  standin::Closed();
  return 0;
}

STANDIN_MATCHES(SecuAPI_Init, Init_t);
STANDIN_MATCHES(SecuAPI_EnumerateDevice, EnumerateDevice_t);
STANDIN_MATCHES(SecuAPI_OpenDevice, OpenDevice_t);
STANDIN_MATCHES(SecuAPI_GetDeviceInfo, GetDeviceInfo_t);
STANDIN_MATCHES(SecuAPI_SetDeviceInfo, SetDeviceInfo_t);
STANDIN_MATCHES(SecuAPI_GetVersion, GetVersion_t);
STANDIN_MATCHES(SecuAPI_Capture, Capture_t);
STANDIN_MATCHES(SecuAPI_CloseDevice, CloseDevice_t);
STANDIN_MATCHES(SecuAPI_Terminate, Terminate_t);

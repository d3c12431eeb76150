// Stand-in for the CrossMatch library. Script: "USB_Initialize" and
// "USB_GetCroppedStillImage" (0 = success), "brightness", "contrast", "gain"
// (what the device reports at open). The still image's pixel i is i % 253,
// behind a header of 0xAB bytes; the serial number fills the whole buffer
// without a terminating zero.
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "StandIn.h"
#include "bindings/crossmatch/CrossMatchAbi.h"

using namespace vela::scan::crossmatch;
using standin::Log;
using standin::Value;

namespace {
bool initialized = false;
std::vector<uint8_t> still;

int32_t SetByte(const char* name, uint8_t value) {
  Log(std::string(name) + "(" + std::to_string(value) + ")");
  return 0;
}
int32_t GetByte(const char* name, const char* key, int64_t fallback, uint8_t* value) {
  Log(name);
  *value = uint8_t(Value(key, fallback));
  return 0;
}
int32_t SetFlag(const char* name, int32_t on) {
  Log(std::string(name) + "(" + std::to_string(on) + ")");
  return 0;
}
}  // namespace

STANDIN_EXPORT int32_t USB_Initialize(int32_t a, int32_t b, int32_t c) {
  Log("USB_Initialize(" + std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + ")");
  const int32_t answer = int32_t(Value("USB_Initialize", 0));
  if (answer == 0 && !initialized) {
    initialized = true;
    standin::Opened();
  }
  return answer;
}

STANDIN_EXPORT int32_t USB_Reset() {
  Log("USB_Reset");
  return 0;
}

STANDIN_EXPORT int32_t USB_Uninitialize() {
  Log("USB_Uninitialize");
  if (initialized) standin::Closed();
  initialized = false;
  return 0;
}

STANDIN_EXPORT int32_t USB_SetBrightness(uint8_t value) { return SetByte("USB_SetBrightness", value); }
STANDIN_EXPORT int32_t USB_SetContrast(uint8_t value) { return SetByte("USB_SetContrast", value); }
STANDIN_EXPORT int32_t USB_SetGain(uint8_t value) { return SetByte("USB_SetGain", value); }
STANDIN_EXPORT int32_t USB_SetFlipVertical(int32_t on) { return SetFlag("USB_SetFlipVertical", on); }
STANDIN_EXPORT int32_t USB_SetLiveMode(int32_t on) { return SetFlag("USB_SetLiveMode", on); }

STANDIN_EXPORT int32_t USB_SetImageSize(int32_t width, int32_t height) {
  Log("USB_SetImageSize(" + std::to_string(width) + "," + std::to_string(height) + ")");
  return 0;
}

STANDIN_EXPORT int32_t USB_GetBrightness(uint8_t* value) { return GetByte("USB_GetBrightness", "brightness", 10, value); }
STANDIN_EXPORT int32_t USB_GetContrast(uint8_t* value) { return GetByte("USB_GetContrast", "contrast", 20, value); }
STANDIN_EXPORT int32_t USB_GetGain(uint8_t* value) { return GetByte("USB_GetGain", "gain", 30, value); }

STANDIN_EXPORT int32_t USB_GetCroppedStillImage(uint8_t** block, int32_t quality, int32_t flag, int32_t width,
                                                int32_t height) {
  Log("USB_GetCroppedStillImage(" + std::to_string(quality) + "," + std::to_string(flag) + "," +
      std::to_string(width) + "," + std::to_string(height) + ")");
  still.assign(size_t(blockHeader), 0xAB);
  const standin::Pixels pixels;
  for (int32_t i = 0; i < width * height; ++i) still.push_back(pixels.At(size_t(i), uint8_t(i % 253)));
  *block = still.data();
  return int32_t(Value("USB_GetCroppedStillImage", 0));
}

STANDIN_EXPORT int32_t USB_GetScannerSerialNumber(char* text, int32_t length) {
  Log("USB_GetScannerSerialNumber(" + std::to_string(length) + ")");
  std::memset(text, 'S', size_t(length));
  return 0;
}

STANDIN_EXPORT int32_t USB_GetProductCode(int32_t* code) {
  Log("USB_GetProductCode");
  *code = 7;
  return 0;
}

STANDIN_MATCHES(USB_Initialize, Initialize_t);
STANDIN_MATCHES(USB_Reset, Reset_t);
STANDIN_MATCHES(USB_Uninitialize, Uninitialize_t);
STANDIN_MATCHES(USB_SetGain, SetByte_t);
STANDIN_MATCHES(USB_GetGain, GetByte_t);
STANDIN_MATCHES(USB_SetLiveMode, SetFlag_t);
STANDIN_MATCHES(USB_SetImageSize, SetImageSize_t);
STANDIN_MATCHES(USB_GetCroppedStillImage, GetCroppedStillImage_t);
STANDIN_MATCHES(USB_GetScannerSerialNumber, GetScannerSerialNumber_t);
STANDIN_MATCHES(USB_GetProductCode, GetProductCode_t);

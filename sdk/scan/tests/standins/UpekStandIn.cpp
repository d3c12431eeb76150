// Stand-in for the UPEK library. Blocks are allocated through the caller's
// memory functions and counted. A second initialisation without terminating
// fails, as the library's own does. Script: "IAInitialize", "IAOpen",
// "IAGrab", "IAInfo" (0 or an error code), "devices" (1), "width" (5),
// "height" (3), "serial", "number1", "grabBytes" (bytes in a grab, by
// default width x height), "stateCode" (the question asked during a grab).
// Grabbed byte i is i + 1.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>

#include "StandIn.h"
#include "bindings/upek/UpekAbi.h"

using namespace vela::scan::upek;
using standin::Log;
using standin::Value;

namespace {
const MemoryFunctions* memory = nullptr;
StateCallback stateCallback = nullptr;
void* stateContext = nullptr;

void* Allocate(size_t size) {
  void* block = memory->allocate(size);
  std::memset(block, 0, size);
  standin::Allocated();
  return block;
}
}  // namespace

STANDIN_EXPORT int32_t IAInitialize(const MemoryFunctions* functions) {
  Log("IAInitialize");
  if (memory) return -1003;
  if (const int64_t answer = Value("IAInitialize", 0)) return int32_t(answer);
  memory = functions;
  standin::Opened();
  return 0;
}

STANDIN_EXPORT int32_t IATerminate() {
  Log("IATerminate");
  if (!memory) return -1002;
  memory = nullptr;
  standin::Closed();
  return 0;
}

STANDIN_EXPORT int32_t IAGlobalInfo(void*) { return 0; }

STANDIN_EXPORT int32_t IAEnumerateDevices(const char* bus, DeviceList** list) {
  Log(std::string("IAEnumerateDevices(") + bus + ")");
  if (!memory) return -1002;
  const int32_t count = int32_t(Value("devices", 1));
  auto* devices = static_cast<DeviceList*>(Allocate(4 + sizeof(DeviceEntry) * size_t(count)));
  devices->count = count;
  for (int32_t i = 0; i < count; ++i) std::snprintf(devices->entries[i].name, 16, "dev%d", i);
  *list = devices;
  return 0;
}

STANDIN_EXPORT int32_t IAFree(void* block) {
  Log("IAFree");
  memory->release(block);
  standin::Freed();
  return 0;
}

STANDIN_EXPORT int32_t IAOpen(const char* name, Handle* handle) {
  Log(std::string("IAOpen(") + name + ")");
  if (const int64_t answer = Value("IAOpen", 0)) return int32_t(answer);
  *handle = 0x55;
  standin::Opened();
  return 0;
}

STANDIN_EXPORT int32_t IAClose(Handle) {
  Log("IAClose");
  standin::Closed();
  return 0;
}

STANDIN_EXPORT int32_t IASetGUICallbacks(Handle, StateCallback callback, void* context) {
  Log("IASetGUICallbacks");
  stateCallback = callback;
  stateContext = context;
  return 0;
}

STANDIN_EXPORT int32_t IAInfo(Handle, Info** info) {
  Log("IAInfo");
  if (const int64_t answer = Value("IAInfo", 0)) return int32_t(answer);
  auto* block = static_cast<Info*>(Allocate(sizeof(Info)));
  block->imageWidth = uint16_t(Value("width", 5));
  block->imageHeight = uint16_t(Value("height", 3));
  block->serialNumber = uint32_t(Value("serial", 123456));
  block->number1 = uint32_t(Value("number1", 0x0304));
  *info = block;
  return 0;
}

STANDIN_EXPORT int32_t IAGrab(Handle, int32_t purpose, int32_t timeout, int32_t flag, GrabResult** result, void*,
                              void*) {
  Log("IAGrab(" + std::to_string(purpose) + "," + std::to_string(timeout) + "," + std::to_string(flag) + ")");
  uint8_t response = 0xFF;
  const int32_t code = int32_t(Value("stateCode", 12));
  const int32_t answer = stateCallback(code, &response, stateContext);
  Log("state(" + std::to_string(code) + ")=" + std::to_string(response) + "," + std::to_string(answer));
  if (const int64_t failure = Value("IAGrab", 0)) return int32_t(failure);
  const int32_t bytes = int32_t(Value("grabBytes", Value("width", 5) * Value("height", 3)));
  // A negative count (a broken reply) still comes with a block of its own.
  auto* block = static_cast<GrabResult*>(Allocate(4 + size_t(std::max(bytes, 0))));
  block->byteCount = bytes;
  const standin::Pixels pixels;
  for (int32_t i = 0; i < bytes; ++i) block->rows[i] = pixels.At(size_t(i), uint8_t(i + 1));
  *result = block;
  return 0;
}

STANDIN_MATCHES(IAInitialize, Initialize_t);
STANDIN_MATCHES(IATerminate, Terminate_t);
STANDIN_MATCHES(IAGlobalInfo, GlobalInfo_t);
STANDIN_MATCHES(IAEnumerateDevices, EnumerateDevices_t);
STANDIN_MATCHES(IAFree, Free_t);
STANDIN_MATCHES(IAOpen, Open_t);
STANDIN_MATCHES(IAClose, Close_t);
STANDIN_MATCHES(IASetGUICallbacks, SetGUICallbacks_t);
STANDIN_MATCHES(IAInfo, Info_t);
STANDIN_MATCHES(IAGrab, Grab_t);

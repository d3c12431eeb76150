// Stand-in for the network scanner library. Script: "QnCorvidCreateA",
// "QueryInterface", "OpenDevice", "GetImageInfo", "GetImage" (0 = success,
// else the code returned), "count" (devices the enumeration reports, keys
// 1000, 1001, ...), "width", "height" (2 x 2), "reply" (bytes of the reply;
// by default a BMP whose stored row k holds k * width + j + 1), "received"
// (the length reported, by default the reply's), "CanBeUnload".
#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "StandIn.h"
#include "bindings/network/CorvidAbi.h"

using namespace vela::scan::corvid;
using standin::Log;
using standin::Value;

namespace {

bool Same(const Guid* a, const Guid& b) { return a && std::memcmp(a, &b, sizeof b) == 0; }

std::vector<uint8_t> DefaultReply(int32_t width, int32_t height) {
  std::vector<uint8_t> reply(1078, 0);
  auto put32 = [&](size_t at, uint32_t value) { std::memcpy(&reply[at], &value, 4); };
  reply[0] = 'B';
  reply[1] = 'M';
  put32(2, uint32_t(1078 + width * height));
  put32(10, 1078);
  put32(14, 40);
  put32(18, uint32_t(width));
  put32(22, uint32_t(height));
  reply[26] = 1;
  reply[28] = 8;
  for (int32_t i = 0; i < width * height; ++i) reply.push_back(uint8_t(i + 1));
  return reply;
}

struct StandInDevice : CorvidDevice {
  uint32_t key;
};

int32_t ReleaseDevice(CorvidDevice* self) {
  Log("ICorvidDevice.Release");
  delete static_cast<StandInDevice*>(self);
  standin::Closed();
  return 0;
}

int32_t GetImageInfo(CorvidDevice*, int32_t* width, int32_t* height, int32_t* third, int32_t* fourth, int32_t) {
  Log("ICorvidDevice.GetImageInfo");
  *width = int32_t(Value("width", 2));
  *height = int32_t(Value("height", 2));
  *third = *fourth = 0;
  return int32_t(Value("GetImageInfo", 0));
}

int32_t GetImage(CorvidDevice*, uint8_t* buffer, int32_t size, int32_t* received, int32_t timeout) {
  Log("ICorvidDevice.GetImage(" + std::to_string(size) + "," + std::to_string(timeout) + ")");
  if (const int64_t failure = Value("GetImage", 0)) return int32_t(failure);
  std::vector<uint8_t> reply = standin::Bytes("reply");
  if (reply.empty()) reply = DefaultReply(int32_t(Value("width", 2)), int32_t(Value("height", 2)));
  std::memcpy(buffer, reply.data(), std::min(reply.size(), size_t(size)));
  *received = int32_t(Value("received", int64_t(reply.size())));
  return 0;
}

const CorvidDeviceTable deviceTable{{}, ReleaseDevice, GetImageInfo, GetImage};

int32_t ReleaseEnum(CorvidEnum* self) {
  Log("ICorvidEnum.Release");
  delete self;
  standin::Closed();
  return 0;
}

int32_t Enumerate(CorvidEnum*, EnumerationRecord* record, int32_t size) {
  Log("ICorvidEnum.Enumerate(" + std::to_string(size) + ")");
  record->count = int32_t(Value("count", 2));
  for (int32_t i = 0; i < std::min(record->count, maxEntries); ++i) record->entries[i].deviceKey = uint32_t(1000 + i);
  return 0;
}

int32_t OpenDevice(CorvidEnum*, void** result, const Guid* interfaceId, uint32_t key) {
  Log("ICorvidEnum.OpenDevice(" + std::to_string(key) + ")");
  if (!Same(interfaceId, deviceInterface)) return -2;
  if (const int64_t failure = Value("OpenDevice", 0)) return int32_t(failure);
  auto* device = new StandInDevice;
  device->table = &deviceTable;
  device->key = key;
  *result = static_cast<CorvidDevice*>(device);
  standin::Opened();
  return 0;
}

const CorvidEnumTable enumTable{{}, ReleaseEnum, Enumerate, {}, OpenDevice};

int32_t ReleaseCorvid(Corvid* self) {
  Log("ICorvid.Release");
  delete self;
  standin::Closed();
  return 0;
}

int32_t QueryInterface(Corvid*, void** result, const Guid* classId, const Guid* interfaceId) {
  Log("ICorvid.QueryInterface");
  if (!Same(classId, enumeratorClass) || !Same(interfaceId, enumeratorInterface)) return -2;
  if (const int64_t failure = Value("QueryInterface", 0)) return int32_t(failure);
  *result = new CorvidEnum{&enumTable};
  standin::Opened();
  return 0;
}

const CorvidTable corvidTable{{}, ReleaseCorvid, QueryInterface};

}  // namespace

STANDIN_EXPORT int32_t QnCorvidCreateA(int32_t, int32_t, Corvid** result) {
  Log("QnCorvidCreateA");
  if (const int64_t failure = Value("QnCorvidCreateA", 0)) return int32_t(failure);
  *result = new Corvid{&corvidTable};
  standin::Opened();
  return 0;
}

STANDIN_EXPORT int32_t CanBeUnload(int32_t timeout) {
  Log("CanBeUnload(" + std::to_string(timeout) + ")");
  return int32_t(Value("CanBeUnload", 0));
}

STANDIN_MATCHES(QnCorvidCreateA, CreateA_t);
STANDIN_MATCHES(CanBeUnload, CanBeUnload_t);

#include "bindings/network/NetworkScanner.h"

#include <algorithm>
#include <stdexcept>

#include "bindings/network/NetworkReply.h"
#include "device/DeviceType.h"
#include "device/StandardDeviceInfo.h"

namespace vela::scan {

using namespace corvid;
using vela::base::smart_ptr;

namespace {

constexpr const char* deviceFailure = "Failed to create ICorvidDevice interface";
constexpr const char* imageInfoFailure = "m_iCorvidDevice->GetImageInfo";
// Sizes from the device are bounded before any buffer size is worked out.
constexpr int32_t largestSide = 4096;
constexpr int32_t replySlack = 2048;  // room for the headers and palette of the reply

}  // namespace

NetworkScanner::NetworkScanner(uint16_t deviceIndex) {
  CorvidEnum* enumerator = manager.Library().CreateEnumerator();
  const std::optional<uint32_t> key = NetworkScannerManager::DeviceKey(deviceIndex);
  void* opened = nullptr;
  const int32_t result = key ? enumerator->table->OpenDevice(enumerator, &opened, &deviceInterface, *key) : -1;
  enumerator->table->Release(enumerator);
  if (result != 0 || !opened) throw std::runtime_error(deviceFailure);
  device = static_cast<CorvidDevice*>(opened);
  deviceKey = *key;
  int32_t third = 0, fourth = 0;
  if (device->table->GetImageInfo(device, &width, &height, &third, &fourth, 0) != 0 || width <= 0 ||
      height <= 0 || width > largestSide || height > largestSide) {
    device->table->Release(device);
    throw std::runtime_error(imageInfoFailure);
  }
}

NetworkScanner::~NetworkScanner() { device->table->Release(device); }

smart_ptr<DeviceInfo> NetworkScanner::GetDeviceInfo() { return CreateDeviceInfo(NetworkType, int32_t(deviceKey)); }

smart_ptr<vela::base::Image> NetworkScanner::AcquireImage() {
  image = smart_ptr<CaptureImage>(new CaptureImage(width, height, 8, 529, 538, width));
  std::vector<uint8_t> reply(size_t(width) * size_t(height) + replySlack);
  int32_t received = 0;
  const int32_t result =
      device->table->GetImage(device, reply.data(), int32_t(reply.size()), &received, getImageTimeout);
  if (result == getImageTimedOut) throw scan_timeout_exception("GetImage timed out");
  // A device that claims more bytes than the buffer holds has overrun it or
  // miscounted: either way its reply cannot be trusted.
  if (result != 0 || received < 0 || size_t(received) > reply.size() ||
      !ParseNetworkReply(std::span(reply.data(), size_t(received)), width, height, image->GetData(),
                         size_t(image->GetRowBytes())))
    throw scan_exception("GetImage failed");
  return image;
}

int32_t NetworkScanner::GetBrightness() { throw vela::base::exceptions::not_implemented(); }
void NetworkScanner::SetBrightness(int32_t) { throw vela::base::exceptions::not_implemented(); }
int32_t NetworkScanner::GetContrast() { throw vela::base::exceptions::not_implemented(); }
void NetworkScanner::SetContrast(int32_t) { throw vela::base::exceptions::not_implemented(); }
int32_t NetworkScanner::GetGain() { throw vela::base::exceptions::not_implemented(); }
void NetworkScanner::SetGain(int32_t) { throw vela::base::exceptions::not_implemented(); }

smart_ptr<Scanner> CreateNetworkScanner(int32_t deviceId) {
  return smart_ptr<Scanner>(new NetworkScanner(IndexOfDeviceId(deviceId)));
}

std::vector<uint32_t> DeviceKeysOf(const EnumerationRecord& record) {
  std::vector<uint32_t> keys;
  const int32_t count = std::clamp(record.count, 0, maxEntries);
  for (int32_t i = 0; i < count; ++i) keys.push_back(record.entries[i].deviceKey);
  return keys;
}

std::vector<uint16_t> EnumerateNetwork() {
  std::vector<uint32_t> keys;
  try {
    NetworkScannerManager manager;
    CorvidEnum* enumerator = manager.Library().CreateEnumerator();
    NetworkScannerManager::SetDeviceKeys({});
    EnumerationRecord record{};
    if (enumerator->table->Enumerate(enumerator, &record, int32_t(sizeof record)) == 0) keys = DeviceKeysOf(record);
    enumerator->table->Release(enumerator);
  } catch (const std::exception&) {
    // what was found before the failure stays listed
  }
  std::vector<uint16_t> indices;
  for (size_t i = 0; i < keys.size(); ++i) indices.push_back(uint16_t(i));
  if (!keys.empty()) NetworkScannerManager::SetDeviceKeys(std::move(keys));
  return indices;
}

}  // namespace vela::scan

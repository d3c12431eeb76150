#include "bindings/network/CorvidLibrary.h"

#include <mutex>
#include <stdexcept>

namespace vela::scan {

using namespace corvid;

namespace {

struct Shared {
  std::mutex mutex;
  std::unique_ptr<CorvidLibrary> library;
  int count = 0;
  std::vector<uint32_t> deviceKeys;
};

Shared& shared() {
  static Shared s;
  return s;
}

}  // namespace

CorvidLibrary::CorvidLibrary() {
  try {
    library.emplace(VendorLibraryFile(libraryName));
  } catch (const std::runtime_error&) {
    throw std::runtime_error("Failed to load library QnCorvidApi.dll");
  }
}

CorvidLibrary::~CorvidLibrary() {
  try {
    if (GetProc<CanBeUnload_t>("CanBeUnload")(unloadTimeout) != 0) library->KeepLoaded();
  } catch (const std::exception&) {
    library->KeepLoaded();  // a library that cannot be asked stays
  }
}

void* CorvidLibrary::GetEntry(const char* name) const {
  try {
    return library->GetProc(name);
  } catch (const std::runtime_error&) {
    throw std::runtime_error("Failed GetProcAddress");
  }
}

CorvidEnum* CorvidLibrary::CreateEnumerator() const {
  Corvid* corvid = nullptr;
  if (GetProc<CreateA_t>("QnCorvidCreateA")(0, 0, &corvid) != 0 || !corvid)
    throw std::runtime_error("Failed to create ICorvid interface");
  void* enumerator = nullptr;
  const int32_t result = corvid->table->QueryInterface(corvid, &enumerator, &enumeratorClass, &enumeratorInterface);
  corvid->table->Release(corvid);
  if (result != 0 || !enumerator) throw std::runtime_error("Failed to create ICorvidEnum interface");
  return static_cast<CorvidEnum*>(enumerator);
}

NetworkScannerManager::NetworkScannerManager() {
  std::lock_guard lock(shared().mutex);
  if (!shared().library) shared().library = std::make_unique<CorvidLibrary>();
  ++shared().count;
  library = shared().library.get();
}

NetworkScannerManager::~NetworkScannerManager() {
  std::lock_guard lock(shared().mutex);
  if (--shared().count == 0) shared().library.reset();
}

void NetworkScannerManager::SetDeviceKeys(std::vector<uint32_t> keys) {
  std::lock_guard lock(shared().mutex);
  shared().deviceKeys = std::move(keys);
}

std::optional<uint32_t> NetworkScannerManager::DeviceKey(size_t index) {
  std::lock_guard lock(shared().mutex);
  if (index >= shared().deviceKeys.size()) return std::nullopt;
  return shared().deviceKeys[index];
}

}  // namespace vela::scan

#pragma once
// The network scanner library, loaded once for the whole process and shared
// by every network enumeration and device through a counted manager.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "bindings/DynamicLibrary.h"
#include "bindings/network/CorvidAbi.h"

namespace vela::scan {

class CorvidLibrary {
 public:
  // Throws std::runtime_error "Failed to load library QnCorvidApi.dll".
  CorvidLibrary();
  // Unloads the library only when it agrees (CanBeUnload answers 0).
  ~CorvidLibrary();
  CorvidLibrary(const CorvidLibrary&) = delete;
  CorvidLibrary& operator=(const CorvidLibrary&) = delete;

  // Throws std::runtime_error "Failed GetProcAddress".
  template <class Function>
  Function GetProc(const char* name) const {
    return reinterpret_cast<Function>(GetEntry(name));
  }

  // An enumerator interface for this library; the caller releases it.
  // Throws "Failed to create ICorvid interface" or "Failed to create ICorvidEnum interface".
  corvid::CorvidEnum* CreateEnumerator() const;

 private:
  void* GetEntry(const char* name) const;

  std::optional<DynamicLibrary> library;
};

// One counted reference to the process's CorvidLibrary: the first creates
// it, the last destroys it. A library that fails to load raises no count.
class NetworkScannerManager {
 public:
  NetworkScannerManager();
  ~NetworkScannerManager();
  NetworkScannerManager(const NetworkScannerManager&) = delete;
  NetworkScannerManager& operator=(const NetworkScannerManager&) = delete;

  CorvidLibrary& Library() const { return *library; }

  // The device keys of the process's latest network enumeration.
  static void SetDeviceKeys(std::vector<uint32_t> keys);
  // The key of a descriptor index; none for an index the list lacks.
  static std::optional<uint32_t> DeviceKey(size_t index);

 private:
  CorvidLibrary* library;
};

}  // namespace vela::scan

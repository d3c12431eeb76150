#pragma once
// How a make's enumerator probes: with the make's library loaded for the
// probe only, and every failure (a missing library or entry point, the
// library's own error) taken as "no device".

#include <cstdint>
#include <functional>
#include <type_traits>
#include <vector>

#include "bindings/DynamicLibrary.h"

namespace vela::scan {

using DeviceIndices = std::vector<uint16_t>;

// Loads the library (by its Windows name), runs the probe on it and unloads
// it; no device when anything fails.
DeviceIndices ProbeLibrary(const char* windowsLibraryName,
                           const std::function<DeviceIndices(const DynamicLibrary&)>& probe);

// [0] when opening the library's device (open (argument)) gives anything but
// `failed`; the device is closed again at once.
template <class Open, class Close>
DeviceIndices ProbeByOpening(const char* windowsLibraryName, const char* openName, const char* closeName,
                             int32_t argument, std::invoke_result_t<Open, int32_t> failed) {
  return ProbeLibrary(windowsLibraryName, [&](const DynamicLibrary& library) -> DeviceIndices {
    const Open open = library.GetProc<Open>(openName);
    const Close close = library.GetProc<Close>(closeName);
    const auto device = open(argument);
    if (device == failed) return {};
    close(device);
    return {0};
  });
}

}  // namespace vela::scan

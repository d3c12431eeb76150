#include "bindings/Probe.h"

#include <exception>

namespace vela::scan {

DeviceIndices ProbeLibrary(const char* windowsLibraryName,
                           const std::function<DeviceIndices(const DynamicLibrary&)>& probe) {
  try {
    DynamicLibrary library(VendorLibraryFile(windowsLibraryName));
    return probe(library);
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace vela::scan

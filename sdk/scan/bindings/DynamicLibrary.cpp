#include "bindings/DynamicLibrary.h"

#include <dlfcn.h>

#include <array>
#include <stdexcept>
#include <strings.h>
#include <utility>

namespace vela::scan {
namespace {

constexpr std::array<std::pair<const char*, const char*>, 9> libraryFiles{{
    {"IZZIX.dll", "libizzix.so"},
    {"Qnusbapi.dll", "libqnusbapi.so"},
    {"ftrScanAPI.dll", "libftrscanapi.so"},
    {"Usb4xx.dll", "libusb4xx.so"},
    {"FM200API.DLL", "libfm200api.so"},
    {"SECUBSP.dll", "libsecubsp.so"},
    {"smz_api.dll", "libsmz_api.so"},
    {"iaapi.dll", "libiaapi.so"},
    {"QnCorvidApi.dll", "libqncorvidapi.so"},
}};

// Entry names that carry Windows call decorations (a leading underscore and
// the argument bytes after "@"); the Linux libraries export them plain.
constexpr std::array<std::pair<const char*, const char*>, 1> decoratedEntries{{
    {"_QNUSBOpenEx@8", "QNUSBOpenEx"},
}};

}  // namespace

const char* VendorEntryName(const char* windowsName) {
  if (!windowsName) return nullptr;
  for (const auto& [windows, linuxName] : decoratedEntries)
    if (std::string_view(windows) == windowsName) return linuxName;
  return windowsName;
}

std::string VendorLibraryFile(std::string_view windowsName) {
  for (const auto& [windows, linuxFile] : libraryFiles) {
    std::string_view candidate(windows);
    if (candidate.size() == windowsName.size() &&
        strncasecmp(candidate.data(), windowsName.data(), candidate.size()) == 0)
      return linuxFile;
  }
  throw std::runtime_error("Failed to LoadLibrary");
}

DynamicLibrary::DynamicLibrary(const std::string& fileName)
    : module(dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL)), libraryName(fileName) {
  if (!module) throw std::runtime_error("Failed to LoadLibrary");
}

DynamicLibrary::~DynamicLibrary() {
  if (module) dlclose(module);
}

void* DynamicLibrary::GetProc(const char* name) const {
  const char* entryName = VendorEntryName(name);
  void* entry = module && entryName ? dlsym(module, entryName) : nullptr;
  if (!entry) throw std::runtime_error("Failed to GetProcAddress");
  return entry;
}

}  // namespace vela::scan

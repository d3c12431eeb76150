#include "bindings/upek/UpekDevice.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "bindings/CaptureTarget.h"
#include "bindings/Probe.h"
#include "bindings/upek/UpekErrors.h"
#include "device/DeviceType.h"
#include "device/StandardDeviceInfo.h"

namespace vela::scan {

using namespace upek;

namespace {

constexpr int32_t unexpectedResponse = -1037;

void* Allocate(size_t byteCount) { return std::malloc(byteCount); }
void Release(void* block) { std::free(block); }
constexpr MemoryFunctions memoryFunctions{Allocate, Release};

// The names of the library's devices, the list given back at once.
std::vector<std::string> ListDevices(EnumerateDevices_t enumerateDevices, Free_t free) {
  DeviceList* list = nullptr;
  CheckUpekResult(enumerateDevices(bus, &list));
  std::vector<std::string> names;
  if (!list) return names;
  for (int32_t i = 0; i < list->count; ++i) {
    const char* name = list->entries[i].name;
    names.emplace_back(name, strnlen(name, sizeof list->entries[i].name));
  }
  free(list);
  return names;
}

}  // namespace

int32_t UpekStateCallback(int32_t code, uint8_t* response, void*) {
  const bool refused = (code >= 2 && code <= 11) || (code >= 28 && code <= 30);
  if (response) *response = refused ? 0 : 1;
  return refused ? -1062 : 0;
}

UpekDevice::Entries UpekDevice::LookUp(const DynamicLibrary& library) {
  library.GetProc("IAGlobalInfo");
  return {library.GetProc<Initialize_t>("IAInitialize"),
          library.GetProc<Terminate_t>("IATerminate"),
          library.GetProc<Open_t>("IAOpen"),
          library.GetProc<Close_t>("IAClose"),
          library.GetProc<EnumerateDevices_t>("IAEnumerateDevices"),
          library.GetProc<Free_t>("IAFree"),
          library.GetProc<Grab_t>("IAGrab"),
          library.GetProc<Info_t>("IAInfo"),
          library.GetProc<SetGUICallbacks_t>("IASetGUICallbacks")};
}

UpekDevice::UpekDevice(uint16_t index) : library(VendorLibraryFile(libraryName)), entries(LookUp(library)) {
  try {
    Open(index);
  } catch (...) {
    Close();
    throw;
  }
}

void UpekDevice::Open(uint16_t index) {
  CheckUpekResult(entries.initialize(&memoryFunctions));
  initialized = true;
  const std::vector<std::string> names = ListDevices(entries.enumerateDevices, entries.free);
  if (index >= names.size()) throw vela::base::exceptions::invalid_argument("Invalid device index!");
  CheckUpekResult(entries.open(names[index].c_str(), &handle));
  handleOpen = true;
  deviceIndex = index;
  CheckUpekResult(entries.setGUICallbacks(handle, UpekStateCallback, this));
  CheckUpekResult(entries.info(handle, &info));
  // Grabbed rows are counted by this width: a device without one has no image, and a side
  // past the largest is no size to make an image of.
  if (!info || !WithinLargestSide(info->imageWidth, info->imageHeight)) CheckUpekResult(unexpectedResponse);
  imageWidth = info->imageWidth;
}

UpekDevice::~UpekDevice() { Close(); }

void UpekDevice::Close() {
  if (info) entries.free(info);
  if (handleOpen) entries.close(handle);
  if (initialized) entries.terminate();
  info = nullptr;
  handleOpen = initialized = false;
}

vela::base::smart_ptr<CaptureImage> UpekDevice::NewImage() {
  const int32_t rowBytes = (imageWidth + 3) / 4 * 4;
  target = vela::base::smart_ptr<CaptureImage>(new CaptureImage(imageWidth, info->imageHeight, 8, 508, 508, rowBytes));
  return target;
}

void UpekDevice::Capture() {
  GrabResult* result = nullptr;
  try {
    CheckUpekResult(entries.grab(handle, grabPurpose, grabTimeout, 1, &result, nullptr, nullptr));
    if (result) {
      const int32_t rows = std::min(std::max(result->byteCount, 0) / imageWidth, target->GetHeight());
      uint8_t* pixels = target->GetData();
      for (int32_t i = 0; i < rows; ++i)
        std::memcpy(pixels + size_t(i) * size_t(target->GetRowBytes()), result->rows + size_t(i) * imageWidth,
                    imageWidth);
    }
  } catch (...) {
    // A swipe that failed leaves a blank image; the next one grabs again.
  }
  if (result) entries.free(result);
}

vela::base::smart_ptr<DeviceInfo> UpekDevice::GetDeviceInfo() {
  return CreateDeviceInfo(UpekType, int32_t(info->serialNumber), int32_t(info->number1), 0);
}

std::vector<uint16_t> EnumerateUpek() {
  return ProbeLibrary(libraryName, [](const DynamicLibrary& library) -> DeviceIndices {
    auto initialize = library.GetProc<Initialize_t>("IAInitialize");
    auto terminate = library.GetProc<Terminate_t>("IATerminate");
    auto enumerateDevices = library.GetProc<EnumerateDevices_t>("IAEnumerateDevices");
    auto free = library.GetProc<Free_t>("IAFree");
    CheckUpekResult(initialize(&memoryFunctions));
    DeviceIndices indices;
    try {
      const size_t count = ListDevices(enumerateDevices, free).size();
      for (size_t i = 0; i < count && i <= 0xFFFF; ++i) indices.push_back(uint16_t(i));
    } catch (const std::exception&) {
      indices.clear();  // the library is terminated all the same
    }
    terminate();
    return indices;
  });
}

}  // namespace vela::scan

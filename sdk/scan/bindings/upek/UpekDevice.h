#pragma once
// The UPEK swipe scanner binding: several devices by index; every library
// result passes the error check.

#include <cstdint>
#include <string>
#include <vector>

#include "bindings/DynamicLibrary.h"
#include "bindings/upek/UpekAbi.h"
#include "device/DeviceBinding.h"

namespace vela::scan {

class UpekDevice : public WithoutSettings {
 public:
  // Throws the error table's texts, or invalid_argument "Invalid device index!"; "TFM has
  // returned wrong or unexpected response!" for an image side past 4096 (or below 1).
  explicit UpekDevice(uint16_t deviceIndex);
  ~UpekDevice();
  UpekDevice(const UpekDevice&) = delete;
  UpekDevice& operator=(const UpekDevice&) = delete;

  vela::base::smart_ptr<CaptureImage> NewImage();
  // Never fails: a grab that fails leaves the image blank and the device usable.
  void Capture();
  vela::base::smart_ptr<DeviceInfo> GetDeviceInfo();

 private:
  void Open(uint16_t index);
  // Gives back what the open got so far; a failed open ends here too, so
  // that the library can be initialised again.
  void Close();

  struct Entries {
    upek::Initialize_t initialize;
    upek::Terminate_t terminate;
    upek::Open_t open;
    upek::Close_t close;
    upek::EnumerateDevices_t enumerateDevices;
    upek::Free_t free;
    upek::Grab_t grab;
    upek::Info_t info;
    upek::SetGUICallbacks_t setGUICallbacks;
  };
  static Entries LookUp(const DynamicLibrary& library);

  DynamicLibrary library;
  Entries entries;
  bool initialized = false;
  bool handleOpen = false;
  upek::Handle handle = 0;
  uint16_t deviceIndex = 0;
  upek::Info* info = nullptr;
  uint16_t imageWidth = 0;
  vela::base::smart_ptr<CaptureImage> target;
};

// 0 to count - 1 for the devices the library lists on its bus.
std::vector<uint16_t> EnumerateUpek();

// The answer to the library's state questions: codes 2-11 and 28-30 are
// refused (response 0, result -1062), every other one accepted (1, 0).
int32_t UpekStateCallback(int32_t code, uint8_t* response, void* context);

}  // namespace vela::scan

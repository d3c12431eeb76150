#include "bindings/crossmatch/CrossMatchDevice.h"

#include <stdexcept>

#include "bindings/CaptureTarget.h"
#include "bindings/Probe.h"
#include "device/DeviceType.h"
#include "device/StandardDeviceInfo.h"

namespace vela::scan {

using namespace crossmatch;

namespace {
constexpr const char* openFailure = "Failed to create Ferrule interface";
}

struct CrossMatchDevice::Entries {
  Initialize_t initialize;
  Uninitialize_t uninitialize;
  SetByte_t setBrightness, setContrast, setGain;
  SetFlag_t setFlipVertical, setLiveMode;
  SetImageSize_t setImageSize;
  GetByte_t getBrightness, getContrast, getGain;
  GetCroppedStillImage_t getCroppedStillImage;
  GetScannerSerialNumber_t getScannerSerialNumber;
  GetProductCode_t getProductCode;
};

CrossMatchDevice::Entries CrossMatchDevice::LookUp(const DynamicLibrary& library) {
  try {
    library.GetProc("USB_Reset");
    return {library.GetProc<Initialize_t>("USB_Initialize"),
            library.GetProc<Uninitialize_t>("USB_Uninitialize"),
            library.GetProc<SetByte_t>("USB_SetBrightness"),
            library.GetProc<SetByte_t>("USB_SetContrast"),
            library.GetProc<SetByte_t>("USB_SetGain"),
            library.GetProc<SetFlag_t>("USB_SetFlipVertical"),
            library.GetProc<SetFlag_t>("USB_SetLiveMode"),
            library.GetProc<SetImageSize_t>("USB_SetImageSize"),
            library.GetProc<GetByte_t>("USB_GetBrightness"),
            library.GetProc<GetByte_t>("USB_GetContrast"),
            library.GetProc<GetByte_t>("USB_GetGain"),
            library.GetProc<GetCroppedStillImage_t>("USB_GetCroppedStillImage"),
            library.GetProc<GetScannerSerialNumber_t>("USB_GetScannerSerialNumber"),
            library.GetProc<GetProductCode_t>("USB_GetProductCode")};
  } catch (const std::runtime_error&) {
    throw std::runtime_error(openFailure);
  }
}

vela::base::smart_ptr<CaptureImage> CrossMatchDevice::BlankImage() {
  return vela::base::smart_ptr<CaptureImage>(new CaptureImage(width, height, 8, 500, 500, width));
}

CrossMatchDevice::CrossMatchDevice(uint16_t) : target(BlankImage()), library(VendorLibraryFile(libraryName)) {
  const Entries entries = LookUp(library);
  uninitialize = entries.uninitialize;
  setBrightness = entries.setBrightness;
  setContrast = entries.setContrast;
  setGain = entries.setGain;
  setLiveMode = entries.setLiveMode;
  getCroppedStillImage = entries.getCroppedStillImage;
  if (entries.initialize(0, 0, 0) != 0) throw std::runtime_error(openFailure);
  entries.setImageSize(640, 480);
  entries.setFlipVertical(1);
  setLiveMode(1);
  entries.getBrightness(&brightness);
  entries.getContrast(&contrast);
  entries.getGain(&gain);
  // The library need not end the text: the last byte stays 0 whatever it writes.
  char text[serialNumberLength + 1] = {};
  entries.getScannerSerialNumber(text, serialNumberLength);
  text[serialNumberLength] = '\0';
  serialNumberText = text;
  entries.getProductCode(&productCode);
}

CrossMatchDevice::~CrossMatchDevice() {
  setLiveMode(0);
  uninitialize();
}

vela::base::smart_ptr<CaptureImage> CrossMatchDevice::NewImage() {
  target = BlankImage();
  return target;
}

void CrossMatchDevice::Capture() {
  setBrightness(brightness);
  setContrast(contrast);
  setGain(gain);
  uint8_t* block = nullptr;
  if (getCroppedStillImage(&block, stillQuality, 0, width, height) != 0 || !block)
    throw std::runtime_error("Error: USB_GetStillImage");
  CopyRows(*target, block + blockHeader, width, RowOrder::TopDown);
}

vela::base::smart_ptr<DeviceInfo> CrossMatchDevice::GetDeviceInfo() { return CreateDeviceInfo(CrossMatchType); }

std::vector<uint16_t> EnumerateCrossMatch() {
  return ProbeLibrary(libraryName, [](const DynamicLibrary& library) -> DeviceIndices {
    auto initialize = library.GetProc<Initialize_t>("USB_Initialize");
    auto reset = library.GetProc<Reset_t>("USB_Reset");
    auto uninitialize = library.GetProc<Uninitialize_t>("USB_Uninitialize");
    reset();
    const bool found = initialize(0, 0, 0) == 0;
    uninitialize();
    if (found) return {0};
    return {};
  });
}

}  // namespace vela::scan

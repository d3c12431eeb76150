#include "bindings/tavixusb/TavixUsbDevice.h"

#include <stdexcept>

#include "bindings/CaptureTarget.h"
#include "bindings/Probe.h"
#include "device/DeviceType.h"
#include "device/StandardDeviceInfo.h"

namespace vela::scan {

using namespace tavixusb;

namespace {
constexpr const char* captureFailure = "_pIQnusb->GetImage";
}

TavixUsbDevice::TavixUsbDevice(uint16_t) : library(VendorLibraryFile(libraryName)) {
  if (library.GetProc<OpenEx_t>(openEntry)(0, &usbInterface) != 0 || !usbInterface)
    throw std::runtime_error("Failed to create Tavix interface");
}

TavixUsbDevice::~TavixUsbDevice() {
  if (usbInterface) usbInterface->table->Release(usbInterface);
}

ImageFormat TavixUsbDevice::Format() const {
  const ImageFormat* format = usbInterface->table->GetImageFormat(usbInterface);
  if (!format) throw std::runtime_error(captureFailure);
  return *format;
}

// The raw image lies on its side: its rows become the image's columns.
vela::base::smart_ptr<CaptureImage> TavixUsbDevice::NewImage() {
  const ImageFormat format = Format();
  RequireReportedSize(format.rawRows, format.rawColumns, captureFailure);
  target = vela::base::smart_ptr<CaptureImage>(
      new CaptureImage(format.rawRows, format.rawColumns, 8, 454, 410, format.rawRows));
  return target;
}

void TavixUsbDevice::Capture() {
  const ImageFormat format = Format();
  RequireTargetSize(*target, format.rawRows, format.rawColumns, format.rawByteCount, captureFailure);
  std::vector<uint8_t> raw(size_t(format.rawByteCount));
  if (usbInterface->table->GetImage(usbInterface, imageMode, raw.data()) != 0)
    throw std::runtime_error(captureFailure);
  const size_t rows = size_t(format.rawRows), columns = size_t(format.rawColumns);
  const size_t rowBytes = size_t(target->GetRowBytes());
  uint8_t* pixels = target->GetData();
  for (size_t i = 0; i < rows; ++i)
    for (size_t j = 0; j < columns; ++j) pixels[j * rowBytes + (rows - 1 - i)] = uint8_t(255 - raw[i * columns + j]);
}

vela::base::smart_ptr<DeviceInfo> TavixUsbDevice::GetDeviceInfo() { return CreateDeviceInfo(TavixUsbType); }

std::vector<uint16_t> EnumerateTavixUsb() {
  return ProbeLibrary(libraryName, [](const DynamicLibrary& library) -> DeviceIndices {
    Interface* usbInterface = nullptr;
    if (library.GetProc<OpenEx_t>(openEntry)(0, &usbInterface) != 0 || !usbInterface) return {};
    usbInterface->table->Release(usbInterface);
    return {0};
  });
}

}  // namespace vela::scan

// The IZZIX, Tavix USB, Tavix3.5 and CrossMatch bindings against stand-ins of
// their libraries: the calls they make in order, the pixels they deliver,
// their failures, and that every open handle is closed again.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "BindingTestSupport.h"
#include "FailureOf.h"
#include "StandInControl.h"
#include "bindings/crossmatch/CrossMatchDevice.h"
#include "bindings/izzix/IzzixDevice.h"
#include "bindings/tavix35/Tavix35Device.h"
#include "bindings/tavixusb/TavixUsbDevice.h"
#include "device/DeviceType.h"
#include "device/ScannerDriver.h"

using namespace vela::scan;
using vela::base::smart_ptr;

TEST(IzzixBinding, OpensCapturesAndClosesHandleZero) {
  StandInControl izzix("libizzix.so");
  {
    IzzixDevice device(3);
    EXPECT_EQ(izzix.TakeCalls(), "DFP_Open(0)") << "the device index is not passed";
    EXPECT_EQ(izzix.OpenHandles(), 1);
    smart_ptr<CaptureImage> image = device.NewImage();
    ASSERT_EQ(image->GetWidth(), 280);
    ASSERT_EQ(image->GetHeight(), 320);
    EXPECT_EQ(image->GetXResolution(), 500);
    device.Capture();
    EXPECT_EQ(izzix.TakeCalls(), "DFP_Capture(0,50) DFP_CorrectImage");
    const std::vector<uint8_t> pixels = Rows(*image);
    for (size_t i : {size_t(0), size_t(1), size_t(280), size_t(89599)})
      EXPECT_EQ(pixels[i], (120799 - i) % 251) << i;
    EXPECT_EQ(device.GetDeviceInfo()->GetDeviceType(), IzzixType);
  }
  EXPECT_EQ(izzix.TakeCalls(), "DFP_Close(0)") << "handle 0 is a handle like any other";
  EXPECT_EQ(izzix.OpenHandles(), 0);
}

TEST(IzzixBinding, FailuresAndEnumeration) {
  StandInControl izzix("libizzix.so");
  izzix.Set("DFP_Open", 7);
  EXPECT_EQ(EnumerateIzzix(), std::vector<uint16_t>{0});
  EXPECT_EQ(izzix.TakeCalls(), "DFP_Open(0) DFP_Close(7)");
  {
    IzzixDevice device(0);
    device.NewImage();
    izzix.Set("DFP_Capture", 0);
    EXPECT_EQ(FailureOf([&] { device.Capture(); }), "DFP_Capture");
  }
  izzix.Set("DFP_Open", -1);
  EXPECT_TRUE(EnumerateIzzix().empty());
  EXPECT_EQ(FailureOf([] { IzzixDevice device(0); }), "Failed to create IZZIX interface");
  EXPECT_EQ(izzix.OpenHandles(), 0);
}

TEST(IzzixBinding, EachDeviceKeepsItsOwnEntryPoints) {
  StandInControl izzix("libizzix.so");
  izzix.Set("DFP_Open", 1);
  std::optional<IzzixDevice> first(std::in_place, 0);
  izzix.Set("DFP_Open", 2);
  IzzixDevice second(0);
  EXPECT_EQ(EnumerateIzzix(), std::vector<uint16_t>{0});
  first.reset();
  izzix.TakeCalls();
  second.NewImage();
  second.Capture();
  EXPECT_EQ(izzix.TakeCalls(), "DFP_Capture(2,50) DFP_CorrectImage");
}

TEST(TavixUsbBinding, TurnsTheRawImageAQuarterAndInvertsIt) {
  StandInControl usb("libqnusbapi.so");
  {
    TavixUsbDevice device(0);
    smart_ptr<CaptureImage> image = device.NewImage();
    ASSERT_EQ(image->GetWidth(), 3);
    ASSERT_EQ(image->GetHeight(), 2);
    EXPECT_EQ(image->GetXResolution(), 454);
    EXPECT_EQ(image->GetYResolution(), 410);
    device.Capture();
    EXPECT_EQ(Rows(*image), (std::vector<uint8_t>{251, 253, 255, 250, 252, 254}));
    EXPECT_EQ(usb.TakeCalls(), "QNUSBOpenEx(0) GetImageFormat GetImageFormat GetImage(3)");
  }
  EXPECT_EQ(usb.TakeCalls(), "Release");
  EXPECT_EQ(usb.OpenHandles(), 0);
  EXPECT_EQ(EnumerateTavixUsb(), std::vector<uint16_t>{0});
  EXPECT_EQ(usb.TakeCalls(), "QNUSBOpenEx(0) Release");
}

TEST(TavixUsbBinding, CaptureFailsWhenTheDeviceDisagreesWithItsImage) {
  StandInControl usb("libqnusbapi.so");
  struct Case {
    const char* key;
    int64_t value;
  } cases[] = {{"GetImage", 4}, {"rows", 4}, {"columns", 1}, {"byteCount", 5}};
  for (const Case& c : cases) {
    usb.Reset();
    TavixUsbDevice device(0);
    device.NewImage();
    usb.Set(c.key, c.value);
    EXPECT_EQ(FailureOf([&] { device.Capture(); }), "_pIQnusb->GetImage") << c.key;
  }
  usb.Set("QNUSBOpenEx", 1);
  EXPECT_EQ(FailureOf([] { TavixUsbDevice device(0); }), "Failed to create Tavix interface");
  EXPECT_TRUE(EnumerateTavixUsb().empty());
  EXPECT_EQ(usb.OpenHandles(), 0);
}

TEST(Tavix35Binding, ListsInterfacesWithADevice) {
  StandInControl ftr("libftrscanapi.so");
  std::vector<uint8_t> statuses(128, 1);
  statuses[0] = statuses[5] = 0;
  ftr.SetBytes("statuses", statuses);
  EXPECT_EQ(EnumerateTavix35(), (std::vector<uint16_t>{0, 5}));
  ftr.Set("ftrScanGetInterfaces", 0);
  EXPECT_TRUE(EnumerateTavix35().empty());
}

TEST(Tavix35Binding, SerialNumberFromTheSevenBytes) {
  EXPECT_EQ(Tavix35SerialNumber({0, 0x59, 0x02, 0x02, 0x01, 0, 0}), 6010258) << "first word 601";
  EXPECT_EQ(Tavix35SerialNumber({0, 0x02, 0x01, 0x04, 0x03, 0, 0}), 5131027) << "0x0201 * 10000 + 0x0403";
}

TEST(Tavix35Binding, OpensOnItsIndexAndDeliversInvertedPixels) {
  StandInControl ftr("libftrscanapi.so");
  for (int flags : {0, 1}) {
    ftr.Set("flags", flags);
    {
      Tavix35Device device(5);
      smart_ptr<CaptureImage> image = device.NewImage();
      EXPECT_EQ(image->GetXResolution(), flags ? 529 : 533);
      EXPECT_EQ(image->GetYResolution(), flags ? 538 : 587);
      device.Capture();
      EXPECT_EQ(Rows(*image), (std::vector<uint8_t>{255, 254, 253, 252, 251, 250, 249, 248}));
      ftr.SetBytes("serial", {9, 0x59, 0x02, 0x02, 0x01, 0, 0});
      smart_ptr<DeviceInfo> info = device.GetDeviceInfo();
      EXPECT_EQ(info->GetSerialNumber(), 6010258);
      EXPECT_EQ(info->GetNumber1(), 601);
      EXPECT_EQ(info->GetNumber2(), 0);
      EXPECT_EQ(info->GetDeviceType(), Tavix35Type);
    }
    EXPECT_EQ(ftr.TakeCalls(),
              "ftrScanOpenDeviceOnInterface(5) ftrScanGetDeviceInfo ftrScanGetImageSize ftrScanGetImageSize "
              "ftrScanGetImage(3) ftrScanRestore7Bytes ftrScanCloseDevice(5)");
    EXPECT_EQ(ftr.OpenHandles(), 0);
  }
}

TEST(Tavix35Binding, FailureTexts) {
  StandInControl ftr("libftrscanapi.so");
  {
    Tavix35Device device(0);
    ftr.Set("ftrScanGetImageSize", 0);
    EXPECT_EQ(FailureOf([&] { device.NewImage(); }), "Failed to call ftrScanGetImageSize");
    ftr.Set("ftrScanGetImageSize", 1);
    device.NewImage();
    ftr.Set("ftrScanGetImage", 0);
    EXPECT_EQ(FailureOf([&] { device.Capture(); }), "Failed to call ftrScanGetImage");
    ftr.Set("width", 5);
    EXPECT_EQ(FailureOf([&] { device.Capture(); }), "Failed to call ftrScanGetImageSize")
        << "a size that changed since the image was made";
  }
  ftr.Set("openFails", 1);
  EXPECT_EQ(FailureOf([] { Tavix35Device device(0); }), "Failed to create Tavix3.5 interface");
  EXPECT_EQ(ftr.OpenHandles(), 0);
}

TEST(CrossMatchBinding, OpenReadsTheDeviceAndCaptureSendsTheSettings) {
  StandInControl usb("libusb4xx.so");
  {
    CrossMatchDevice device(0);
    EXPECT_EQ(usb.TakeCalls(),
              "USB_Initialize(0,0,0) USB_SetImageSize(640,480) USB_SetFlipVertical(1) USB_SetLiveMode(1) "
              "USB_GetBrightness USB_GetContrast USB_GetGain USB_GetScannerSerialNumber(255) USB_GetProductCode");
    EXPECT_EQ(device.GetBrightness(), 10);
    EXPECT_EQ(device.GetContrast(), 20);
    EXPECT_EQ(device.SerialNumberText(), std::string(255, 'S')) << "an unterminated serial number ends at 255";
    EXPECT_EQ(device.ProductCode(), 7);
    device.SetGain(0x1FF);
    device.SetContrast(300);
    EXPECT_EQ(device.GetContrast(), 44);
    smart_ptr<CaptureImage> image = device.NewImage();
    device.Capture();
    EXPECT_EQ(usb.TakeCalls(),
              "USB_SetBrightness(10) USB_SetContrast(44) USB_SetGain(255) USB_GetCroppedStillImage(100,0,440,480)");
    const std::vector<uint8_t> pixels = Rows(*image);
    ASSERT_EQ(pixels.size(), 211200u);
    for (size_t i : {size_t(0), size_t(1), size_t(440), size_t(211199)}) EXPECT_EQ(pixels[i], i % 253) << i;
    usb.Set("USB_GetCroppedStillImage", 3);
    EXPECT_EQ(FailureOf([&] { device.Capture(); }), "Error: USB_GetStillImage");
  }
  EXPECT_EQ(usb.TakeCalls(),
            "USB_SetBrightness(10) USB_SetContrast(44) USB_SetGain(255) USB_GetCroppedStillImage(100,0,440,480) "
            "USB_SetLiveMode(0) USB_Uninitialize");
  EXPECT_EQ(usb.OpenHandles(), 0);
}

TEST(CrossMatchBinding, FailedInitialisationAndEnumeration) {
  StandInControl usb("libusb4xx.so");
  EXPECT_EQ(EnumerateCrossMatch(), std::vector<uint16_t>{0});
  EXPECT_EQ(usb.TakeCalls(), "USB_Reset USB_Initialize(0,0,0) USB_Uninitialize");
  usb.Set("USB_Initialize", 1);
  EXPECT_TRUE(EnumerateCrossMatch().empty());
  EXPECT_EQ(FailureOf([] { CrossMatchDevice device(0); }), "Failed to create Ferrule interface");
  EXPECT_EQ(usb.OpenHandles(), 0);
}

TEST(FirstGroupDrivers, RunOnTheirWorkersWithTheFrameworksTexts) {
  StandInControl izzix("libizzix.so");
  StandInControl usb("libusb4xx.so");
  {
    smart_ptr<Scanner> device = CreateScannerDriver<IzzixDevice>(DeviceId(IzzixType, 0));
    smart_ptr<vela::base::Image> image = device->AcquireImage();
    EXPECT_EQ(image->GetData()[0], 120799 % 251);
    EXPECT_EQ(FailureOf([&] { device->GetGain(); }), "GetGain");
    EXPECT_STREQ(device->GetDeviceInfo()->GetVendor(), "DIGENT");
  }
  EXPECT_EQ(izzix.OpenHandles(), 0);
  {
    smart_ptr<Scanner> device = CreateScannerDriver<CrossMatchDevice>(DeviceId(CrossMatchType, 0));
    device->SetContrast(300);
    EXPECT_EQ(device->GetContrast(), 44);
    usb.Set("USB_GetCroppedStillImage", 3);
    device->AcquireImage();
    EXPECT_EQ(FailureOf([&] { device->AcquireImage(); }), "AcquireImage") << "a failed capture marks the device";
  }
  izzix.Set("DFP_Open", -1);
  EXPECT_EQ(FailureOf([] { CreateScannerDriver<IzzixDevice>(DeviceId(IzzixType, 0)); }),
            "Failed to create IZZIX interface");
  EXPECT_EQ(izzix.OpenHandles() + usb.OpenHandles(), 0);
}

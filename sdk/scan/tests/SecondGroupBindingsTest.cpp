// The Tavix3, Nitgen, Tavix Mouse and UPEK bindings against stand-ins of
// their libraries: call sequences, pixels, failures, and that handles and
// the library's blocks are all given back.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "BindingTestSupport.h"
#include "FailureOf.h"
#include "StandInControl.h"
#include "bindings/nitgen/NitgenDevice.h"
#include "bindings/tavix3/Tavix3Device.h"
#include "bindings/tavixmouse/TavixMouseDevice.h"
#include "bindings/upek/UpekDevice.h"
#include "bindings/upek/UpekErrors.h"
#include "device/DeviceType.h"
#include "device/ScannerDriver.h"

using namespace vela::scan;
using vela::base::smart_ptr;

TEST(Tavix3Binding, PaintsIntoItsBitmapAndTurnsItUpright) {
  StandInControl fm("libfm200api.so");
  {
    Tavix3Device device(0);
    EXPECT_EQ(fm.TakeCalls(), "FP_ConnectCaptureDriver(0) FP_CreateCaptureHandle(11) FP_CreateImageHandle(8,10)");
    smart_ptr<CaptureImage> image = device.NewImage();
    ASSERT_EQ(image->GetWidth(), 256);
    EXPECT_EQ(image->GetXResolution(), 508);
    device.Capture();
    EXPECT_EQ(fm.TakeCalls(), "FP_Snap FP_GetImage(31) FP_DisplayImage(0,0,256,256)");
    const uint8_t* pixels = image->GetData();
    for (int r : {0, 1, 128, 255}) EXPECT_EQ(pixels[r * 256 + 17], 255 - r) << "stored row n is image row 255 - n";
  }
  EXPECT_EQ(fm.TakeCalls(), "FP_DestroyImageHandle(31) FP_DestroyCaptureHandle(21) FP_DisconnectCaptureDriver(11)");
  EXPECT_EQ(fm.OpenHandles(), 0);
  EXPECT_EQ(EnumerateTavix3(), std::vector<uint16_t>{0});
  EXPECT_EQ(fm.TakeCalls(), "FP_ConnectCaptureDriver(0) FP_DisconnectCaptureDriver(11)");
}

TEST(Tavix3Binding, FailedStepsGiveBackWhatWasOpened) {
  StandInControl fm("libfm200api.so");
  struct Case {
    const char* key;
    const char* failure;
  } cases[] = {{"FP_ConnectCaptureDriver", "Failed Tavix3::FP_ConnectCaptureDriver"},
               {"FP_CreateCaptureHandle", "Failed Tavix3::FP_CreateCaptureHandle"},
               {"FP_CreateImageHandle", "Failed Tavix3::FP_CreateImageHandle"}};
  for (const Case& c : cases) {
    fm.Reset();
    fm.Set(c.key, 0);
    EXPECT_EQ(FailureOf([] { Tavix3Device device(0); }), c.failure);
    EXPECT_EQ(fm.OpenHandles(), 0) << c.key;
  }
  fm.Set("FP_ConnectCaptureDriver", 0);
  EXPECT_TRUE(EnumerateTavix3().empty());
  fm.Reset();
  Tavix3Device device(0);
  device.NewImage();
  fm.Set("FP_GetImage", 2);
  EXPECT_EQ(FailureOf([&] { device.Capture(); }), "_fm_api.GetImage(_hConnect, _hImage)");
  fm.Set("FP_Snap", -1);
  EXPECT_EQ(FailureOf([&] { device.Capture(); }), "_fm_api.Snap(_hConnect)");
}

TEST(Tavix3Binding, AFailedSnapLeavesABlankImageAndFailsLaterAcquisitions) {
  StandInControl fm("libfm200api.so");
  fm.Set("FP_Snap", -1);
  smart_ptr<Scanner> device = CreateScannerDriver<Tavix3Device>(DeviceId(Tavix3Type, 0));
  smart_ptr<vela::base::Image> image = device->AcquireImage();
  EXPECT_EQ(image->GetData()[0], 0);
  EXPECT_EQ(FailureOf([&] { device->AcquireImage(); }), "AcquireImage");
}

TEST(NitgenBinding, ListsTheLibrarysIds) {
  StandInControl secu("libsecubsp.so");
  EXPECT_EQ(EnumerateNitgen(), (std::vector<uint16_t>{0, 1}));
  EXPECT_EQ(secu.TakeCalls(), "SecuAPI_Init SecuAPI_EnumerateDevice SecuAPI_Terminate");
  secu.Set("firstId", 4);
  EXPECT_EQ(EnumerateNitgen(), (std::vector<uint16_t>{4, 5}));
  secu.Set("SecuAPI_Init", 1);
  EXPECT_TRUE(EnumerateNitgen().empty());
  EXPECT_EQ(secu.OpenHandles(), 0);
}

TEST(NitgenBinding, CapturesThroughTheCallbackAndSendsSettings) {
  StandInControl secu("libsecubsp.so");
  {
    NitgenDevice device(1);
    EXPECT_EQ(secu.TakeCalls(), "SecuAPI_Init SecuAPI_OpenDevice(1) SecuAPI_GetDeviceInfo SecuAPI_GetVersion");
    smart_ptr<CaptureImage> image = device.NewImage();
    ASSERT_EQ(image->GetWidth(), 3);
    ASSERT_EQ(image->GetHeight(), 2);
    device.Capture();
    EXPECT_EQ(Rows(*image), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(secu.TakeCalls(), "SecuAPI_Capture(-1)");
    device.SetGain(7);
    EXPECT_EQ(device.GetGain(), 7);
    EXPECT_EQ(device.GetBrightness(), 40);
    EXPECT_EQ(secu.TakeCalls(), "SecuAPI_SetDeviceInfo(40,50,7)") << "a Get asks the library nothing";
    EXPECT_EQ(device.GetDeviceInfo()->GetSerialNumber(), 1);
    EXPECT_STREQ(device.GetDeviceInfo()->GetVendor(), "SecuGen Corporation");
  }
  EXPECT_EQ(secu.TakeCalls(), "SecuAPI_CloseDevice(1) SecuAPI_Terminate");
  EXPECT_EQ(secu.OpenHandles(), 0);
}

TEST(NitgenBinding, OpenFailuresAndCapturesThatBringNoImage) {
  StandInControl secu("libsecubsp.so");
  struct Case {
    const char* key;
    const char* failure;
  } cases[] = {{"SecuAPI_Init", "Failed to create Nitgen interface"},
               {"SecuAPI_OpenDevice", "Nitgen:: Failed to OpenDevice"},
               {"SecuAPI_GetDeviceInfo", "Nitgen:: Failed to GetDeviceInfo"},
               {"SecuAPI_GetVersion", "Nitgen:: Failed to GetVersion"}};
  for (const Case& c : cases) {
    secu.Reset();
    secu.Set(c.key, 9);
    EXPECT_EQ(FailureOf([] { NitgenDevice device(0); }), c.failure);
    EXPECT_EQ(secu.OpenHandles(), 0) << c.key;
  }
  secu.Reset();
  NitgenDevice device(0);
  smart_ptr<CaptureImage> image = device.NewImage();
  secu.Set("noCallback", 1);
  device.Capture();
  EXPECT_EQ(Rows(*image), std::vector<uint8_t>(6, 0)) << "no image delivered: the image stays blank";
  secu.Set("noCallback", 0);
  secu.Set("byteCount", 5);
  EXPECT_EQ(FailureOf([&] { device.Capture(); }), "Nitgen:: Failed to Capture") << "an image shorter than the target";
}

// The stand-in calls back from a thread of its own while the worker holds
// the image's lock; and one thread enumerates while another opens and
// captures. ThreadSanitizer checks both in CI.
TEST(NitgenBinding, CallbackFromTheLibrarysThreadAndEnumerationBesideAnOpenDevice) {
  StandInControl secu("libsecubsp.so");
  std::atomic<bool> stop{false};
  std::thread enumerating([&] {
    while (!stop) EXPECT_EQ(EnumerateNitgen(), (std::vector<uint16_t>{0, 1}));
  });
  for (int round = 0; round < 5; ++round) {
    smart_ptr<Scanner> device = CreateScannerDriver<NitgenDevice>(DeviceId(NitgenType, 1));
    smart_ptr<vela::base::Image> image = device->AcquireImage();
    EXPECT_EQ(Rows(*image), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
    device->SetGain(7);
    EXPECT_EQ(device->GetGain(), 7);
  }
  stop = true;
  enumerating.join();
  EXPECT_EQ(secu.OpenHandles(), 0);
}

TEST(TavixMouseBinding, DeliversRowsBottomUp) {
  StandInControl smz("libsmz_api.so");
  {
    TavixMouseDevice device(0);
    EXPECT_EQ(smz.TakeCalls(), "SMZ_InitDriver(1) SMZ_GetImageSize(0)");
    smart_ptr<CaptureImage> image = device.NewImage();
    EXPECT_EQ(image->GetRowBytes(), 3);
    EXPECT_EQ(image->GetXResolution(), 508);
    device.Capture();
    EXPECT_EQ(Rows(*image), (std::vector<uint8_t>{3, 4, 5, 0, 1, 2}));
    EXPECT_EQ(smz.TakeCalls(), "SMZ_InitCapture SMZ_Capture(0) SMZ_EndCapture SMZ_GetImage(4)");
  }
  EXPECT_EQ(smz.TakeCalls(), "SMZ_TerminateDriver(5)");
  EXPECT_EQ(smz.OpenHandles(), 0);
  EXPECT_EQ(EnumerateTavixMouse(), std::vector<uint16_t>{0});
  EXPECT_EQ(smz.TakeCalls(), "SMZ_InitDriver(1) SMZ_TerminateDriver(5)");
}

TEST(TavixMouseBinding, Failures) {
  StandInControl smz("libsmz_api.so");
  for (const char* key : {"SMZ_InitCapture", "SMZ_EndCapture", "SMZ_GetImage"}) {
    smz.Reset();
    TavixMouseDevice device(0);
    device.NewImage();
    smz.Set(key, 1);
    EXPECT_EQ(FailureOf([&] { device.Capture(); }), "GetImage failed") << key;
  }
  smz.Reset();
  smz.Set("SMZ_GetImageSize", 1);
  EXPECT_EQ(FailureOf([] { TavixMouseDevice device(0); }), "Failed to create Tavix Mouse 4.0 interface");
  EXPECT_EQ(smz.OpenHandles(), 0) << "the driver is terminated again";
  smz.Set("SMZ_InitDriver", 0);
  EXPECT_EQ(FailureOf([] { TavixMouseDevice device(0); }), "Failed to create Tavix Mouse 4.0 interface");
  EXPECT_TRUE(EnumerateTavixMouse().empty());
}

TEST(UpekBinding, ErrorTableAndStateAnswers) {
  struct Case {
    int32_t code;
    const char* text;
    bool timeout;
  } cases[] = {{-1001, "General error!", false},
               {-1010, "There is more data to return than the supplied buffer can contain!", false},
               {-1041, "Timeout elapsed!", true},
               {-1050, "Timeout for biometric operation has expired!", true},
               {-1062, "Finger swipe is too bad for image reconstruction!", false},
               {-1100, "Unknown error!", false},
               {5, "Unknown error!", false}};
  for (const Case& c : cases) {
    try {
      CheckUpekResult(c.code);
      ADD_FAILURE() << c.code;
    } catch (const scan_timeout_exception& e) {
      EXPECT_TRUE(c.timeout) << c.code;
      EXPECT_STREQ(e.what(), c.text);
    } catch (const scan_exception& e) {
      EXPECT_FALSE(c.timeout) << c.code;
      EXPECT_STREQ(e.what(), c.text);
    }
  }
  EXPECT_NO_THROW(CheckUpekResult(0));
  struct Answer {
    int32_t code;
    int32_t result;
    uint8_t response;
  } answers[] = {{1, 0, 1},     {2, -1062, 0},  {11, -1062, 0}, {12, 0, 1},
                 {27, 0, 1},    {28, -1062, 0}, {30, -1062, 0}, {31, 0, 1}};
  for (const Answer& a : answers) {
    uint8_t response = 0xFF;
    EXPECT_EQ(UpekStateCallback(a.code, &response, nullptr), a.result) << a.code;
    EXPECT_EQ(response, a.response) << a.code;
  }
}

TEST(UpekBinding, OpensGrabsAndGivesEverythingBack) {
  StandInControl ia("libiaapi.so");
  ia.Set("devices", 2);
  EXPECT_EQ(EnumerateUpek(), (std::vector<uint16_t>{0, 1}));
  EXPECT_EQ(ia.TakeCalls(), "IAInitialize IAEnumerateDevices(usb) IAFree IATerminate");
  for (int open = 0; open < 2; ++open) {  // closing terminates the library, so it opens again
    {
      UpekDevice device(1);
      EXPECT_EQ(ia.TakeCalls(), "IAInitialize IAEnumerateDevices(usb) IAFree IAOpen(dev1) IASetGUICallbacks IAInfo");
      smart_ptr<CaptureImage> image = device.NewImage();
      EXPECT_EQ(image->GetWidth(), 5);
      EXPECT_EQ(image->GetHeight(), 3);
      EXPECT_EQ(image->GetRowBytes(), 8);
      device.Capture();
      EXPECT_EQ(ia.TakeCalls(), "IAGrab(18,3000,1) state(12)=1,0 IAFree");
      EXPECT_EQ(Rows(*image), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
      smart_ptr<DeviceInfo> info = device.GetDeviceInfo();
      EXPECT_EQ(info->GetSerialNumber(), 123456);
      EXPECT_EQ(info->GetNumber1(), 0x0304);
      EXPECT_EQ(info->GetNumber2(), 0);
      EXPECT_STREQ(info->GetVendor(), "UPEK");
    }
    EXPECT_EQ(ia.TakeCalls(), "IAFree IAClose IATerminate");
    EXPECT_EQ(ia.OpenHandles(), 0);
    EXPECT_EQ(ia.Allocations(), 0);
  }
}

TEST(UpekBinding, GrabsKeepWithinTheImageAndFailedGrabsLeaveItBlank) {
  StandInControl ia("libiaapi.so");
  UpekDevice device(0);
  struct Case {
    int64_t grabBytes;
    std::vector<uint8_t> rows;
  } cases[] = {{7, {1, 2, 3, 4, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
               {50, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
               {-3, std::vector<uint8_t>(15, 0)}};
  for (const Case& c : cases) {
    ia.Set("grabBytes", c.grabBytes);
    smart_ptr<CaptureImage> image = device.NewImage();
    device.Capture();
    EXPECT_EQ(Rows(*image), c.rows) << c.grabBytes;
  }
  ia.Set("IAGrab", -1041);
  smart_ptr<CaptureImage> image = device.NewImage();
  EXPECT_NO_THROW(device.Capture());
  EXPECT_EQ(Rows(*image), std::vector<uint8_t>(15, 0));
  EXPECT_EQ(ia.Allocations(), 1) << "only the information block is still out";
}

TEST(UpekBinding, OpenFailuresTerminateTheLibrary) {
  StandInControl ia("libiaapi.so");
  ia.Set("devices", 2);
  EXPECT_EQ(FailureOf<vela::base::exceptions::invalid_argument>([] { UpekDevice device(2); }),
            "Invalid device index!");
  EXPECT_EQ(ia.OpenHandles() + ia.Allocations(), 0) << "the list is freed and the library terminated";
  struct Case {
    const char* key;
    int64_t value;
    const char* failure;
  } cases[] = {{"IAOpen", -1041, "Timeout elapsed!"},
               {"IAOpen", -1100, "Unknown error!"},
               {"IAInfo", -1005, "Invalid handle!"},
               {"width", 0, "TFM has returned wrong or unexpected response!"}};
  for (const Case& c : cases) {
    ia.Set(c.key, c.value);
    EXPECT_EQ(FailureOf<scan_exception>([] { UpekDevice device(0); }), c.failure) << c.key;
    EXPECT_EQ(ia.OpenHandles(), 0) << c.key;
    EXPECT_EQ(ia.Allocations(), 0) << c.key;
    ia.Reset();
  }

  ia.Set("IAOpen", -1041);
  EXPECT_EQ(FailureOf([] { CreateScannerDriver<UpekDevice>(DeviceId(UpekType, 0)); }), "Timeout elapsed!")
      << "only the text crosses to the caller";
  ia.Reset();
  ia.Set("IAGrab", -1041);
  smart_ptr<Scanner> device = CreateScannerDriver<UpekDevice>(DeviceId(UpekType, 0));
  EXPECT_EQ(device->AcquireImage()->GetData()[0], 0);
  ia.Set("IAGrab", 0);
  EXPECT_EQ(device->AcquireImage()->GetData()[0], 1) << "a failed grab does not mark the device";
}

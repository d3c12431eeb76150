#include <dirent.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

#include "FailureOf.h"
#include "bindings/DynamicLibrary.h"
#include "device/DeviceType.h"
#include "device/ScannerDriver.h"
#include "device/StandardDeviceInfo.h"

using namespace vela::scan;
using vela::base::smart_ptr;
using namespace std::chrono_literals;

namespace {

// What the stand-in binding does, set by each test before it opens a device.
struct StandIn {
  std::function<void(uint16_t)> open = [](uint16_t) {};
  std::function<void(uint8_t*)> capture = [](uint8_t* pixels) { pixels[0] = 1; };
  std::atomic<int> closes{0};
  std::atomic<int> captures{0};
};
StandIn* standIn = nullptr;

class StandInBinding : public WithoutSettings {
 public:
  explicit StandInBinding(uint16_t index) { standIn->open(index); }
  ~StandInBinding() { ++standIn->closes; }

  smart_ptr<CaptureImage> NewImage() {
    target = smart_ptr<CaptureImage>(new CaptureImage(4, 2, 8, 500, 500, 4));
    return target;
  }
  void Capture() {
    ++standIn->captures;
    standIn->capture(target->GetData());
  }
  smart_ptr<DeviceInfo> GetDeviceInfo() { return CreateDeviceInfo(CrossMatchType); }

 private:
  smart_ptr<CaptureImage> target;
};

// Settings kept as one byte each, like a make that sends them with the capture.
class StandInWithSettings : public StandInBinding {
 public:
  using StandInBinding::StandInBinding;
  int32_t GetBrightness() { return brightness; }
  void SetBrightness(int32_t value) { brightness = static_cast<uint8_t>(value); }
  int32_t GetContrast() { return contrast; }
  void SetContrast(int32_t value) { contrast = static_cast<uint8_t>(value); }
  int32_t GetGain() { return gain; }
  void SetGain(int32_t value) { gain = static_cast<uint8_t>(value); }

 private:
  uint8_t brightness = 0, contrast = 0, gain = 0;
};

// Loads its library first, then misses an entry point: the open fails after
// the library was loaded.
class MissingEntryBinding : public StandInBinding {
 public:
  explicit MissingEntryBinding(uint16_t index) : StandInBinding(index), library(STUB_VENDOR_LIBRARY) {
    library.GetProc("no_such_entry");
  }

 private:
  DynamicLibrary library;
};

class MissingLibraryBinding : public StandInBinding {
 public:
  explicit MissingLibraryBinding(uint16_t index)
      : StandInBinding(index), library("libvela_no_such_vendor.so") {}

 private:
  DynamicLibrary library;
};

int ThreadCount() {
  int count = 0;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (dirent* entry = readdir(tasks)) count += entry->d_name[0] != '.';
    closedir(tasks);
  }
  return count;
}

bool StubLibraryLoaded() {
  void* handle = dlopen(STUB_VENDOR_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle != nullptr;
}

class ScannerDriverTest : public ::testing::Test {
 protected:
  void SetUp() override { standIn = &state; }
  void TearDown() override { standIn = nullptr; }
  StandIn state;
};

}  // namespace

TEST_F(ScannerDriverTest, OpensOnItsWorkerWithTheIndexOfTheId) {
  std::thread::id openedOn;
  uint16_t openedIndex = 0;
  state.open = [&](uint16_t index) {
    openedOn = std::this_thread::get_id();
    openedIndex = index;
  };
  smart_ptr<Scanner> device = CreateScannerDriver<StandInBinding>(DeviceId(NitgenType, 3));
  EXPECT_EQ(openedIndex, 3);
  EXPECT_NE(openedOn, std::this_thread::get_id());

  smart_ptr<DeviceInfo> info = device->GetDeviceInfo();
  EXPECT_EQ(info->GetDeviceType(), CrossMatchType);
  EXPECT_STREQ(info->GetVendor(), "CrossMATCH Technologies Inc.");
}

TEST_F(ScannerDriverTest, AFastOpenIsNeverMissedByItsCaller) {
  // An open that ends before the caller has posted its request must still
  // reach the caller; a lost answer leaves this loop waiting for ever.
  for (int i = 0; i < 200; ++i) CreateScannerDriver<StandInBinding>(DeviceId(FakeScanType, 0));
  EXPECT_EQ(state.closes.load(), 200);
}

TEST_F(ScannerDriverTest, AcquireReturnsAtOnceAndGetDataWaitsForTheCapture) {
  std::promise<void> captureStarted;
  std::promise<void> releaseCapture;
  std::shared_future<void> released = releaseCapture.get_future().share();
  std::atomic<bool> waitedTooLong{false};
  state.capture = [&](uint8_t* pixels) {
    captureStarted.set_value();
    // Bounded, so that a wrong order fails the test instead of hanging it.
    if (released.wait_for(10s) != std::future_status::ready) waitedTooLong = true;
    pixels[0] = 0x5A;
  };
  smart_ptr<Scanner> device = CreateScannerDriver<StandInBinding>(DeviceId(FakeScanType, 0));

  smart_ptr<vela::base::Image> image = device->AcquireImage();
  captureStarted.get_future().wait();
  std::future<uint8_t> firstPixel =
      std::async(std::launch::async, [&] { return image->GetData()[0]; });
  EXPECT_EQ(firstPixel.wait_for(50ms), std::future_status::timeout) << "GetData did not wait";
  releaseCapture.set_value();
  EXPECT_EQ(firstPixel.get(), 0x5A);
  EXPECT_FALSE(waitedTooLong.load()) << "AcquireImage waited for the capture";
}

TEST_F(ScannerDriverTest, FailedCaptureLeavesZerosAndFailsLaterAcquisitions) {
  state.capture = [](uint8_t*) { throw std::runtime_error("capture failed"); };
  smart_ptr<Scanner> device = CreateScannerDriver<StandInBinding>(DeviceId(FakeScanType, 0));
  smart_ptr<vela::base::Image> image = device->AcquireImage();
  const uint8_t* pixels = image->GetData();
  EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + 8), std::vector<uint8_t>(8, 0));
  EXPECT_EQ(FailureOf([&] { device->AcquireImage(); }), "AcquireImage");
  EXPECT_EQ(FailureOf([&] { device->AcquireImage(); }), "AcquireImage");
  EXPECT_EQ(state.captures.load(), 1) << "a marked device does not capture again";

  state.capture = [](uint8_t* pixels) { pixels[0] = 3; };
  smart_ptr<Scanner> reopened = CreateScannerDriver<StandInBinding>(DeviceId(FakeScanType, 0));
  EXPECT_EQ(reopened->AcquireImage()->GetData()[0], 3);
}

TEST_F(ScannerDriverTest, SettingsOfAMakeWithoutThemFailWithTheOperationsName) {
  smart_ptr<Scanner> device = CreateScannerDriver<StandInBinding>(DeviceId(IzzixType, 0));
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"GetBrightness", [&] { device->GetBrightness(); }},
      {"SetBrightness", [&] { device->SetBrightness(1); }},
      {"GetContrast", [&] { device->GetContrast(); }},
      {"SetContrast", [&] { device->SetContrast(1); }},
      {"GetGain", [&] { device->GetGain(); }},
      {"SetGain", [&] { device->SetGain(1); }},
  };
  for (const auto& [name, call] : cases) EXPECT_EQ(FailureOf(call), name);
  EXPECT_NE(device->AcquireImage().get(), nullptr) << "the device itself still works";
}

TEST_F(ScannerDriverTest, SettingsReachTheBindingAndBack) {
  smart_ptr<Scanner> device = CreateScannerDriver<StandInWithSettings>(DeviceId(CrossMatchType, 0));
  device->SetContrast(300);
  device->SetGain(0x1FF);
  device->SetBrightness(7);
  EXPECT_EQ(device->GetContrast(), 44);
  EXPECT_EQ(device->GetGain(), 255);
  EXPECT_EQ(device->GetBrightness(), 7);
}

TEST_F(ScannerDriverTest, TwoCallersOnOneDeviceAreBothServed) {
  smart_ptr<Scanner> device = CreateScannerDriver<StandInWithSettings>(DeviceId(CrossMatchType, 0));
  constexpr int rounds = 300;
  auto caller = [&](int32_t gain) {
    for (int i = 0; i < rounds; ++i) {
      device->SetGain(gain);
      int32_t seen = device->GetGain();
      if (seen != 10 && seen != 20) return false;
      if (device->AcquireImage()->GetData()[0] != 1) return false;
    }
    return true;
  };
  std::future<bool> first = std::async(std::launch::async, caller, 10);
  std::future<bool> second = std::async(std::launch::async, caller, 20);
  EXPECT_TRUE(first.get());
  EXPECT_TRUE(second.get());
  EXPECT_EQ(state.captures.load(), 2 * rounds);
}

TEST_F(ScannerDriverTest, FailedOpenThrowsTheBindingsTextAndLeavesNothingBehind) {
  const int threadsBefore = ThreadCount();
  state.open = [](uint16_t) { throw std::runtime_error("Failed to create Stand-in interface"); };
  EXPECT_EQ(FailureOf([] { CreateScannerDriver<StandInBinding>(DeviceId(IzzixType, 0)); }),
            "Failed to create Stand-in interface");

  state.open = [](uint16_t) { throw 42; };
  EXPECT_EQ(FailureOf([] { CreateScannerDriver<StandInBinding>(DeviceId(IzzixType, 0)); }),
            "Failed to create object");

  state.open = [](uint16_t) {};
  EXPECT_EQ(FailureOf([] { CreateScannerDriver<MissingLibraryBinding>(DeviceId(IzzixType, 0)); }),
            "Failed to LoadLibrary");
  EXPECT_EQ(FailureOf([] { CreateScannerDriver<MissingEntryBinding>(DeviceId(IzzixType, 0)); }),
            "Failed to GetProcAddress");
  EXPECT_FALSE(StubLibraryLoaded()) << "the failed open left its library loaded";
  EXPECT_EQ(ThreadCount(), threadsBefore) << "a worker outlived its failed open";
}

TEST_F(ScannerDriverTest, ReleasingTheDeviceClosesTheBindingAndEndsTheWorker) {
  const int threadsBefore = ThreadCount();
  smart_ptr<Scanner> device = CreateScannerDriver<StandInBinding>(DeviceId(FakeScanType, 0));
  smart_ptr<vela::base::Image> image = device->AcquireImage();
  EXPECT_EQ(ThreadCount(), threadsBefore + 1);
  device.reset();
  EXPECT_EQ(state.closes.load(), 1);
  EXPECT_EQ(ThreadCount(), threadsBefore);
  EXPECT_EQ(image->GetData()[0], 1) << "the image outlives its device";
}

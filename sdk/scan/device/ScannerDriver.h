#pragma once
// The device object of every locally attached make: one worker thread opens
// the make's binding and serves the Scanner operations posted to it through
// call slots, so the vendor library is only ever called from that thread.

#include <cstdint>
#include <optional>

#include <vela/concurrency.h>

#include "concurrency/CallSlot.h"
#include "concurrency/WaitSet.h"
#include "concurrency/WorkerThread.h"
#include "device/DeviceBinding.h"
#include "device/DeviceType.h"

namespace vela::scan {

template <DeviceBinding Binding>
class ScannerDriver final : public concurrency::WorkerThread, public Scanner {
 public:
  // Opens the device on a new worker thread; throws the open failure's text
  // (std::runtime_error) after the worker has ended.
  explicit ScannerDriver(int32_t deviceId) : deviceIndex(IndexOfDeviceId(deviceId)) {
    start();
    try {
      openSlot.call(0);
    } catch (...) {
      stop(concurrency::infinite);
      throw;
    }
  }

  vela::base::smart_ptr<DeviceInfo> GetDeviceInfo() override { return getDeviceInfoSlot.call(); }
  vela::base::smart_ptr<vela::base::Image> AcquireImage() override { return acquireImageSlot.call(); }
  int32_t GetBrightness() override { return getBrightnessSlot.call(); }
  void SetBrightness(int32_t value) override { setBrightnessSlot.call(value); }
  int32_t GetContrast() override { return getContrastSlot.call(); }
  void SetContrast(int32_t value) override { setContrastSlot.call(value); }
  int32_t GetGain() override { return getGainSlot.call(); }
  void SetGain(int32_t value) override { setGainSlot.call(value); }

 protected:
  ~ScannerDriver() override {
    stopEvent.Set();
    stop(concurrency::infinite);
  }

  int run() override {
    // Answering before the open request has been posted would let the
    // caller's reset of the done event swallow the answer.
    concurrency::wait_for_event(openSlot.request(), concurrency::infinite);
    std::optional<Binding> binding;
    try {
      binding.emplace(deviceIndex);
    } catch (const std::exception& e) {
      openSlot.SetError(e.what());
      return 1;
    } catch (...) {
      openSlot.SetError("Failed to create object");
      return 1;
    }
    openSlot.succeed();
    try {
      serve(*binding);
    } catch (const concurrency::exceptions::failed& e) {
      openSlot.SetError(e.what());
      return 1;
    }
    return 0;
  }

 private:
  using ImageSlot = concurrency::ObjectResultSlot<vela::base::smart_ptr<CaptureImage>>;
  using InfoSlot = concurrency::ObjectResultSlot<vela::base::smart_ptr<DeviceInfo>>;

  void serve(Binding& binding) {
    concurrency::WaitSet requests(stopEvent, acquireImageSlot.request());
    requests.add(setBrightnessSlot.request());
    requests.add(getBrightnessSlot.request());
    requests.add(setContrastSlot.request());
    requests.add(getContrastSlot.request());
    requests.add(setGainSlot.request());
    requests.add(getGainSlot.request());
    requests.add(getDeviceInfoSlot.request());
    for (;;) {
      switch (requests.wait(false, concurrency::infinite)) {
        case 0: return;
        case 1: acquire(binding); break;
        case 2: set(setBrightnessSlot, "SetBrightness", [&](int32_t v) { binding.SetBrightness(v); }); break;
        case 3: get(getBrightnessSlot, "GetBrightness", [&] { return binding.GetBrightness(); }); break;
        case 4: set(setContrastSlot, "SetContrast", [&](int32_t v) { binding.SetContrast(v); }); break;
        case 5: get(getContrastSlot, "GetContrast", [&] { return binding.GetContrast(); }); break;
        case 6: set(setGainSlot, "SetGain", [&](int32_t v) { binding.SetGain(v); }); break;
        case 7: get(getGainSlot, "GetGain", [&] { return binding.GetGain(); }); break;
        case 8: get(getDeviceInfoSlot, "GetDeviceInfo", [&] { return binding.GetDeviceInfo(); }); break;
        default: break;
      }
    }
  }

  // Publishes the blank image first and fills it afterwards: the caller gets
  // the image at once, and the image's lock holds its readers until the
  // capture has ended. A failed capture cannot reach this caller any more, so
  // it fails every later acquisition of this device object instead.
  void acquire(Binding& binding) {
    if (captureFailed) {
      acquireImageSlot.SetError("AcquireImage");
      return;
    }
    vela::base::smart_ptr<CaptureImage> image;
    try {
      image = binding.NewImage();
    } catch (...) {
    }
    if (!image) {
      acquireImageSlot.SetError("AcquireImage");
      return;
    }
    concurrency::ScopedLock filling(image->PixelLock());
    acquireImageSlot.succeed(image);
    try {
      binding.Capture();
    } catch (...) {
      captureFailed = true;
    }
  }

  template <class Set>
  void set(concurrency::ArgumentSlot& slot, const char* operation, Set setValue) {
    try {
      setValue(slot.argument());
    } catch (...) {
      slot.SetError(operation);
      return;
    }
    slot.succeed();
  }

  template <class Slot, class Get>
  void get(Slot& slot, const char* operation, Get getValue) {
    decltype(getValue()) value{};
    try {
      value = getValue();
    } catch (...) {
      slot.SetError(operation);
      return;
    }
    slot.succeed(value);
  }

  const uint16_t deviceIndex;
  concurrency::Event stopEvent{concurrency::ResetMode::Manual, concurrency::InitialState::NotSignalled};
  concurrency::ArgumentSlot openSlot;
  ImageSlot acquireImageSlot;
  concurrency::ArgumentSlot setBrightnessSlot;
  concurrency::IntResultSlot getBrightnessSlot;
  concurrency::ArgumentSlot setContrastSlot;
  concurrency::IntResultSlot getContrastSlot;
  concurrency::ArgumentSlot setGainSlot;
  concurrency::IntResultSlot getGainSlot;
  InfoSlot getDeviceInfoSlot;
  // Belongs to the worker thread.
  bool captureFailed = false;
};

// The driver factory of a make: opens device `deviceId` with that make's binding.
template <DeviceBinding Binding>
vela::base::smart_ptr<Scanner> CreateScannerDriver(int32_t deviceId) {
  return vela::base::smart_ptr<Scanner>(new ScannerDriver<Binding>(deviceId));
}

}  // namespace vela::scan

// The network scanner against a stand-in of its library: the shared library
// object, the device keys, and every shape of reply the device may send.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "BindingTestSupport.h"
#include "FailureOf.h"
#include "StandInControl.h"
#include "bindings/network/NetworkReply.h"
#include "bindings/network/NetworkScanner.h"
#include "device/DeviceType.h"

using namespace vela::scan;
using vela::base::smart_ptr;

namespace {

// A reply as the device sends it: headers, palette, then the stored rows.
std::vector<uint8_t> Reply(int32_t width, int32_t height, std::vector<uint8_t> storedRows, const char* magic = "BM",
                           uint16_t bitsPerPixel = 8) {
  std::vector<uint8_t> reply(1078, 0);
  auto put = [&](size_t at, auto value) { std::memcpy(&reply[at], &value, sizeof value); };
  reply[0] = uint8_t(magic[0]);
  reply[1] = uint8_t(magic[1]);
  put(10, uint32_t(1078));
  put(14, uint32_t(40));
  put(18, width);
  put(22, height);
  put(28, bitsPerPixel);
  reply.insert(reply.end(), storedRows.begin(), storedRows.end());
  return reply;
}

smart_ptr<Scanner> Open(uint16_t index) { return CreateNetworkScanner(DeviceId(NetworkType, index)); }

}  // namespace

TEST(NetworkReply, ShapesOfReply) {
  std::vector<uint8_t> headerOnly = Reply(2, 2, {});
  headerOnly.resize(40);
  struct Case {
    const char* name;
    std::vector<uint8_t> reply;
    bool parsed;
  } cases[] = {
      {"good", Reply(2, 2, {1, 2, 3, 4}), true},
      {"with bytes to spare", Reply(2, 2, {1, 2, 3, 4, 9, 9}), true},
      {"one byte short", Reply(2, 2, {1, 2, 3}), false},
      {"wrong header", Reply(2, 2, {1, 2, 3, 4}, "BX"), false},
      {"24 bits", Reply(2, 2, {1, 2, 3, 4}, "BM", 24), false},
      {"other width", Reply(4, 1, {1, 2, 3, 4}), false},
      {"header only", headerOnly, false},
      {"empty", {}, false},
  };
  for (const Case& c : cases) {
    uint8_t pixels[8] = {0, 0, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(ParseNetworkReply(c.reply, 2, 2, pixels, 4), c.parsed) << c.name;
    if (c.parsed) EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + 8), (std::vector<uint8_t>{3, 4, 0, 0, 1, 2, 0xEE, 0xEE}))
        << c.name << ": stored rows are bottom-up; the image's row size is kept";
    else EXPECT_EQ(pixels[0], 0) << c.name;
  }
  std::vector<uint8_t> farOffset = Reply(2, 2, {1, 2, 3, 4});
  const uint32_t offset = 0xFFFFFFF0;
  std::memcpy(&farOffset[10], &offset, 4);
  uint8_t pixels[4] = {};
  EXPECT_FALSE(ParseNetworkReply(farOffset, 2, 2, pixels, 2)) << "an offset beyond the reply";
}

TEST(NetworkScanner, OpensByTheKeysOfTheLatestEnumeration) {
  StandInControl corvid("libqncorvidapi.so");
  ASSERT_EQ(EnumerateNetwork(), (std::vector<uint16_t>{0, 1}));
  EXPECT_EQ(corvid.TakeCalls(),
            "QnCorvidCreateA ICorvid.QueryInterface ICorvid.Release ICorvidEnum.Enumerate(616) ICorvidEnum.Release "
            "CanBeUnload(2000)");
  {
    smart_ptr<Scanner> device = Open(1);
    EXPECT_EQ(corvid.TakeCalls(),
              "QnCorvidCreateA ICorvid.QueryInterface ICorvid.Release ICorvidEnum.OpenDevice(1001) "
              "ICorvidEnum.Release ICorvidDevice.GetImageInfo");
    smart_ptr<DeviceInfo> info = device->GetDeviceInfo();
    EXPECT_EQ(info->GetSerialNumber(), 1001);
    EXPECT_EQ(info->GetDeviceType(), NetworkType);
    EXPECT_STREQ(info->GetVendor(), "Quillon");
    EXPECT_THROW(device->SetGain(1), vela::base::exceptions::not_implemented);
    EXPECT_THROW(device->GetBrightness(), vela::base::exceptions::not_implemented);

    smart_ptr<vela::base::Image> image = device->AcquireImage();
    EXPECT_EQ(corvid.TakeCalls(), "ICorvidDevice.GetImage(2052,200)");
    EXPECT_EQ(image->GetXResolution(), 529);
    EXPECT_EQ(image->GetYResolution(), 538);
    EXPECT_EQ(Rows(*image), (std::vector<uint8_t>{3, 4, 1, 2}));
  }
  EXPECT_EQ(corvid.TakeCalls(), "ICorvidDevice.Release CanBeUnload(2000)");
  EXPECT_EQ(corvid.OpenHandles(), 0);

  corvid.Set("count", 40);
  EXPECT_EQ(EnumerateNetwork().size(), 17u) << "the record holds 17 entries at most";
  EXPECT_EQ(FailureOf([] { Open(17); }), "Failed to create ICorvidDevice interface")
      << "an index beyond the keys fails without reading past them";
  EXPECT_EQ(corvid.OpenHandles(), 0);
}

TEST(NetworkScanner, TheLibraryLivesAsLongAsAnyDevice) {
  StandInControl corvid("libqncorvidapi.so");
  EnumerateNetwork();
  smart_ptr<Scanner> first = Open(0);
  smart_ptr<Scanner> second = Open(1);
  corvid.TakeCalls();
  first.reset();
  EXPECT_EQ(corvid.TakeCalls(), "ICorvidDevice.Release");
  second.reset();
  EXPECT_EQ(corvid.TakeCalls(), "ICorvidDevice.Release CanBeUnload(2000)") << "the last one destroys the library";
}

TEST(NetworkScanner, AcquisitionFailuresLeaveTheDeviceUsable) {
  StandInControl corvid("libqncorvidapi.so");
  EnumerateNetwork();
  smart_ptr<Scanner> device = Open(0);
  const int64_t bufferSize = 2 * 2 + 2048;
  struct Case {
    const char* name;
    const char* key;
    int64_t value;
    std::vector<uint8_t> reply;
    const char* failure;
  } cases[] = {
      {"timed out", "GetImage", 1460, {}, "GetImage timed out"},
      {"failed", "GetImage", 5, {}, "GetImage failed"},
      {"one byte short", "received", 1078 + 3, {}, "GetImage failed"},
      {"longer than the buffer", "received", bufferSize + 1, {}, "GetImage failed"},
      {"negative length", "received", -1, {}, "GetImage failed"},
      {"wrong header", "GetImage", 0, Reply(2, 2, {1, 2, 3, 4}, "MB"), "GetImage failed"},
      {"other size", "GetImage", 0, Reply(3, 2, {1, 2, 3, 4, 5, 6}), "GetImage failed"},
  };
  for (const Case& c : cases) {
    corvid.Reset();
    corvid.Set(c.key, c.value);
    if (!c.reply.empty()) corvid.SetBytes("reply", c.reply);
    try {
      device->AcquireImage();
      ADD_FAILURE() << c.name;
    } catch (const scan_timeout_exception& e) {
      EXPECT_STREQ(c.failure, "GetImage timed out") << c.name;
      EXPECT_STREQ(e.what(), c.failure);
    } catch (const scan_exception& e) {
      EXPECT_STREQ(e.what(), c.failure) << c.name;
    }
    corvid.Reset();
    EXPECT_EQ(Rows(*device->AcquireImage()), (std::vector<uint8_t>{3, 4, 1, 2})) << "after " << c.name;
  }
}

TEST(NetworkScanner, OpenFailures) {
  StandInControl corvid("libqncorvidapi.so");
  EnumerateNetwork();
  struct Case {
    const char* key;
    int64_t value;
    const char* failure;
  } cases[] = {{"QnCorvidCreateA", 1, "Failed to create ICorvid interface"},
               {"QueryInterface", 1, "Failed to create ICorvidEnum interface"},
               {"OpenDevice", 1, "Failed to create ICorvidDevice interface"},
               {"GetImageInfo", 1, "m_iCorvidDevice->GetImageInfo"},
               {"width", 0, "m_iCorvidDevice->GetImageInfo"},
               {"height", 100000, "m_iCorvidDevice->GetImageInfo"},
               {"width", -5, "m_iCorvidDevice->GetImageInfo"}};
  for (const Case& c : cases) {
    corvid.Reset();
    corvid.Set(c.key, c.value);
    EXPECT_EQ(FailureOf<std::runtime_error>([] { Open(0); }), c.failure) << c.key;
    EXPECT_EQ(corvid.OpenHandles(), 0) << c.key;
    EXPECT_NE(corvid.TakeCalls().find("CanBeUnload(2000)"), std::string::npos) << "the manager is released again";
  }
}

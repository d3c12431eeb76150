#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <thread>
#include <vector>

#include "BmpBytes.h"
#include "FailureOf.h"
#include "TempWorkingDirectory.h"
#include "bindings/fakescan/FakeScanDevice.h"
#include "bindings/fakescan/FakeScanFolder.h"
#include "bindings/fakescan/ReplayCursor.h"
#include "device/DeviceType.h"
#include "device/ScannerDriver.h"
#include "images/BmpCodec.h"
#include "vela/scan.h"

using namespace vela::scan;
using vela::base::smart_ptr;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Pixels(const vela::base::Image& image) {
  const uint8_t* data = image.GetData();
  return {data, data + size_t(image.GetHeight()) * size_t(image.GetRowBytes())};
}

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A temporary working directory with an empty test scanner folder.
class FakeScanFolderTest : public ::testing::Test {
 protected:
  FakeScanFolderTest() { fs::create_directory(fakeScanFolder); }
  fs::path Folder() const { return cwd.Path() / fakeScanFolder; }
  TempWorkingDirectory cwd;
};

}  // namespace

TEST(ReplayCursor, WalksTheListRoundRobinFromTheFirstEntry) {
  ReplayCursor cursor;
  EXPECT_EQ(cursor.Next(2), 0u);  // a
  EXPECT_EQ(cursor.Next(2), 1u);  // b
  EXPECT_EQ(cursor.Next(2), 0u);  // a
}

TEST(ReplayCursor, APositionPastAShorterListStartsItAgain) {
  ReplayCursor cursor;
  cursor.Next(5);
  cursor.Next(5);
  cursor.Next(5);
  EXPECT_EQ(cursor.Next(2), 0u);
  EXPECT_EQ(cursor.Next(5), 1u);
}

TEST(ReplayCursor, ThreadsSharingTheCursorReplayEveryEntryEqually) {
  ReplayCursor cursor;
  constexpr int perThread = 999;
  auto walk = [&] {
    std::vector<int> counts(3);
    for (int i = 0; i < perThread; ++i) ++counts[cursor.Next(3)];
    return counts;
  };
  std::vector<std::future<std::vector<int>>> walkers;
  for (int t = 0; t < 3; ++t) walkers.push_back(std::async(std::launch::async, walk));
  std::vector<int> total(3);
  for (auto& w : walkers) {
    std::vector<int> counts = w.get();
    for (int i = 0; i < 3; ++i) total[i] += counts[i];
  }
  EXPECT_EQ(total, std::vector<int>(3, perThread));
}

TEST_F(FakeScanFolderTest, ListsBmpFilesOnlyIgnoringCaseInNameOrder) {
  for (const char* name : {"b.BMP", "a.bmp", "notes.txt", "A2.bmp", "bmp"}) std::ofstream(Folder() / name) << "x";
  fs::create_directory(Folder() / "folder.bmp");
  EXPECT_EQ(ListBmpFiles(fakeScanFolder), (std::vector<std::string>{"a.bmp", "A2.bmp", "b.BMP"}));
  EXPECT_TRUE(ListBmpFiles("no_such_folder/").empty());
}

TEST_F(FakeScanFolderTest, LoaderReadsRowsBottomUpThroughThePaletteWithTruncatedResolution) {
  BmpBytes bmp;
  bmp.width = 3;
  bmp.height = 2;
  bmp.pixelsPerMetre = 1000;
  bmp.paletteChanges = {{7, 200, 10, 10}};
  bmp.fileRows = {7, 1, 2, 0, /* bottom row, 1 byte of padding */ 3, 4, 5, 0 /* top row */};
  bmp.WriteTo(Folder() / "small.bmp");

  ReplayImage image = LoadReplayImage(Folder() / "small.bmp");
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.xResolution, 25);  // 1000 x 254 / 10000 = 25.4
  EXPECT_EQ(image.yResolution, 25);
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{3, 4, 5, 200, 1, 2}));
}

TEST_F(FakeScanFolderTest, LoaderRejectsWhatItCannotReadSafely) {
  struct Case {
    const char* what;
    std::function<void(BmpBytes&)> spoilHeader;
    std::function<void(std::vector<uint8_t>&)> spoilFile;
  };
  const auto keep = [](auto&) {};
  const Case cases[] = {
      {"24 bits per pixel", [](BmpBytes& b) { b.bitsPerPixel = 24; }, keep},
      {"rows that would overflow", [](BmpBytes& b) { b.width = b.height = 0x7FFFFFFF; }, keep},
      {"negative width", [](BmpBytes& b) { b.width = -4; }, keep},
      {"pixel rows cut short", keep, [](std::vector<uint8_t>& f) { f.resize(f.size() - 1); }},
      {"headers cut short", keep, [](std::vector<uint8_t>& f) { f.resize(40); }},
      {"not a bitmap", keep, [](std::vector<uint8_t>& f) { f[0] = 'X'; }},
  };
  for (const Case& c : cases) {
    BmpBytes bmp;
    bmp.width = 4;
    bmp.height = 2;
    bmp.fileRows.assign(8, 1);
    c.spoilHeader(bmp);
    std::vector<uint8_t> file = bmp.Build();
    c.spoilFile(file);
    std::ofstream(Folder() / "bad.bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    EXPECT_ANY_THROW(LoadReplayImage(Folder() / "bad.bmp")) << c.what;
  }
  EXPECT_ANY_THROW(LoadReplayImage(Folder() / "missing.bmp"));
}

TEST_F(FakeScanFolderTest, DeviceWithoutFilesOpensButEveryAcquisitionFails) {
  testing::internal::CaptureStdout();
  smart_ptr<Scanner> device = CreateScannerDriver<FakeScanDevice>(DeviceId(FakeScanType, 0));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "No *.bmp files in current directory!\n");
  EXPECT_EQ(FailureOf([&] { device->AcquireImage(); }), "AcquireImage");
  EXPECT_TRUE(EnumerateFakeScan().empty());
}

TEST_F(FakeScanFolderTest, UnreadableFileFailsItsAcquisitionAndTheSlotStaysFailed) {
  std::ofstream(Folder() / "broken.bmp") << "not a bitmap";
  smart_ptr<Scanner> device = CreateScannerDriver<FakeScanDevice>(DeviceId(FakeScanType, 0));
  EXPECT_EQ(FailureOf([&] { device->AcquireImage(); }), "AcquireImage");
  BmpBytes good;
  good.fileRows = {9, 0, 0, 0};
  good.WriteTo(Folder() / "broken.bmp");
  EXPECT_EQ(FailureOf([&] { device->AcquireImage(); }), "AcquireImage");
}

TEST_F(FakeScanFolderTest, DeviceInfoAndSettings) {
  BmpBytes().WriteTo(Folder() / "one.bmp");
  EXPECT_EQ(EnumerateFakeScan(), std::vector<uint16_t>{0});
  smart_ptr<Scanner> device = CreateScannerDriver<FakeScanDevice>(DeviceId(FakeScanType, 0));
  smart_ptr<DeviceInfo> info = device->GetDeviceInfo();
  EXPECT_EQ(info->GetSerialNumber(), 0);
  EXPECT_STREQ(info->GetVendor(), "Quillon");
  EXPECT_STREQ(info->GetSecondText(), "");
  EXPECT_EQ(info->GetNumber1(), -1);
  EXPECT_EQ(info->GetNumber2(), -1);
  EXPECT_EQ(info->GetDeviceType(), 2);
  EXPECT_EQ(FailureOf([&] { device->GetGain(); }), "GetGain");
  EXPECT_EQ(FailureOf([&] { device->SetBrightness(1); }), "SetBrightness");
}

// Real fingerprint images as the replay folder.
class FakeScanReplayTest : public FakeScanFolderTest {
 protected:
  void SetUp() override {
    const fs::path source = fs::path(PV_SHARED_DATA_DIR) / "fingerprints";
    if (!fs::exists(source / "f01_1.bmp") || !fs::exists(source / "f02_1.bmp"))
      GTEST_SKIP() << "shared fingerprint images not found in " << source;
    fs::copy_file(source / "f01_1.bmp", Folder() / "a.bmp");
    fs::copy_file(source / "f02_1.bmp", Folder() / "b.bmp");
    for (const char* name : {"a.bmp", "b.bmp"})
      expected.push_back(vela::render::DecodeBmp(ReadFile(Folder() / name)).pixels);
  }
  // expected[0] for a.bmp, expected[1] for b.bmp
  std::vector<std::vector<uint8_t>> expected;
};

TEST_F(FakeScanReplayTest, AcquisitionsReplayTheFilesInTurnThroughTheCollection) {
  smart_ptr<BioScanners> scanners = Create_BioScanners();
  smart_ptr<DeviceDescriptorList> devices = scanners->GetDevices();
  ASSERT_EQ(devices->Count(), 1);
  smart_ptr<DeviceDescriptor> descriptor = devices->GetByIndex(0);
  EXPECT_EQ(descriptor->GetId(), 0x20000);
  EXPECT_STREQ(descriptor->GetName(), "FakeScan Device");
  EXPECT_STREQ(descriptor->GetDescription(), "FakeScan Device");

  smart_ptr<Scanner> device = scanners->GetDevice(descriptor);
  // The cursor is shared by the whole process: step it once to learn where
  // it stands; in a fresh process the next file is a.bmp.
  const size_t first = (FakeScanReplayCursor().Next(2) + 1) % 2;
  const size_t order[] = {first, 1 - first, first};  // a, b, a from a fresh cursor
  for (size_t file : order) {
    smart_ptr<vela::base::Image> image = device->AcquireImage();
    EXPECT_EQ(image->GetWidth(), 248);
    EXPECT_EQ(image->GetHeight(), 338);
    EXPECT_EQ(image->GetBitsPerPixel(), 8);
    EXPECT_EQ(image->GetRowBytes(), 248);
    EXPECT_EQ(image->GetXResolution(), 499);  // 19685 x 254 / 10000, truncated
    EXPECT_EQ(Pixels(*image), expected[file]) << "acquisition should replay file " << file;
  }
}

TEST_F(FakeScanReplayTest, SecondDeviceContinuesWhereTheFirstStopped) {
  smart_ptr<Scanner> one = CreateScannerDriver<FakeScanDevice>(DeviceId(FakeScanType, 0));
  smart_ptr<Scanner> two = CreateScannerDriver<FakeScanDevice>(DeviceId(FakeScanType, 0));
  std::vector<uint8_t> x = Pixels(*one->AcquireImage());
  std::vector<uint8_t> y = Pixels(*two->AcquireImage());
  EXPECT_NE(x, y);
  EXPECT_EQ(Pixels(*one->AcquireImage()), x);
}

TEST_F(FakeScanReplayTest, DevicesOnSeveralThreadsEachGetWholeFiles) {
  auto acquireMany = [&] {
    smart_ptr<Scanner> device = CreateScannerDriver<FakeScanDevice>(DeviceId(FakeScanType, 0));
    for (int i = 0; i < 10; ++i) {
      std::vector<uint8_t> pixels = Pixels(*device->AcquireImage());
      if (pixels != expected[0] && pixels != expected[1]) return false;
    }
    return true;
  };
  std::future<bool> a = std::async(std::launch::async, acquireMany);
  std::future<bool> b = std::async(std::launch::async, acquireMany);
  EXPECT_TRUE(a.get());
  EXPECT_TRUE(b.get());
}

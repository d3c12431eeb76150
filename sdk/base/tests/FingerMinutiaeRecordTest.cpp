// The finger minutiae record as the engine lays it out: 24-byte header with
// the view count minus one in byte 22, views of 4 + 5 n bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "vela/iso.h"
#include "vela/streams.h"

namespace {

using vela::base::smart_ptr;
using namespace vela::iso;
namespace ex = vela::base::exceptions;

struct ViewSpec {
  uint8_t position;
  uint8_t impression;
  uint8_t quality;
  uint8_t count;
};

// Header and views written field by field; the length field says `length`
// (the real length when 0), and `padding` bytes follow the record.
std::vector<uint8_t> Record(std::initializer_list<ViewSpec> views, uint32_t length = 0, size_t padding = 0) {
  std::vector<uint8_t> r = {'F', 'M', 'R', 0, ' ', '1', '1', 0, 0, 0, 0, 0,
                            0x10, 0x2A,  // certification 1, device 0x02A
                            0x01, 0x00,  // width 256
                            0x01, 0x68,  // height 360
                            0x00, 0xC5, 0x00, 0xC5,  // 197 x 197 per cm
                            static_cast<uint8_t>(views.size() - 1), 0};
  for (const ViewSpec& v : views) {
    r.insert(r.end(), {v.position, v.impression, v.quality, v.count});
    for (int m = 0; m < v.count; ++m) r.insert(r.end(), {0x40, uint8_t(m), 0x00, uint8_t(2 * m), uint8_t(m * 3)});
  }
  const uint32_t written = length ? length : static_cast<uint32_t>(r.size());
  r[8] = uint8_t(written >> 24), r[9] = uint8_t(written >> 16), r[10] = uint8_t(written >> 8), r[11] = uint8_t(written);
  r.resize(r.size() + padding, 0xEE);
  return r;
}

smart_ptr<FingerMinutiaeRecord> Read(const std::vector<uint8_t>& bytes) {
  return Create_FingerMinutiaeRecord(Create_MemoryStream(bytes.data(), static_cast<int32_t>(bytes.size())));
}

std::string FailureOf(const std::vector<uint8_t>& bytes) {
  try {
    Read(bytes);
  } catch (const ex::base_exception& e) {
    return e.what();
  }
  return "no failure";
}

TEST(FingerMinutiaeRecord, HeaderFieldsAndViewsAsWritten) {
  auto rec = Read(Record({{3, 0x02, 71, 2}, {7, 0x18, 55, 4}}));
  EXPECT_FALSE(rec->HasExtendedData());
  EXPECT_EQ(rec->GetCaptureEquipmentID(), 0x102A);
  EXPECT_EQ(rec->GetXSize(), 256);
  EXPECT_EQ(rec->GetYSize(), 360);
  EXPECT_EQ(rec->GetXResolution(), 197);
  EXPECT_EQ(rec->GetYResolution(), 197);
  ASSERT_EQ(rec->GetViewCount(), 2);
  auto first = rec->GetView(0);
  EXPECT_EQ(first->GetFingerPosition(), 3);
  EXPECT_EQ(first->GetViewIndex(), 0);
  EXPECT_EQ(first->GetImpressionType(), 2);
  EXPECT_EQ(first->GetQuality(), 71);
  EXPECT_EQ(first->GetMinutiaeCount(), 2);
  // The second view starts 4 + 5 x 2 bytes after the first.
  auto second = rec->GetView(1);
  EXPECT_EQ(second->GetFingerPosition(), 7);
  EXPECT_EQ(second->GetViewIndex(), 1);
  EXPECT_EQ(second->GetImpressionType(), 8);
  EXPECT_EQ(second->GetQuality(), 55);
  EXPECT_EQ(second->GetMinutiaeCount(), 4);
  EXPECT_THROW(rec->GetView(2), ex::out_of_range);
  EXPECT_THROW(rec->GetView(-1), ex::out_of_range);
}

TEST(FingerMinutiaeRecord, SavesExactlyTheBytesRead) {
  for (size_t padding : {0u, 7u}) {
    const auto bytes = Record({{1, 0, 60, 3}}, 0, padding);
    auto rec = Read(bytes);
    EXPECT_EQ(rec->GetDataSize(), static_cast<int32_t>(bytes.size()));
    auto out = Create_MemoryStream(nullptr, 0);
    rec->Save(out);
    std::vector<uint8_t> saved(bytes.size());
    out->SetPosition(0);
    ASSERT_EQ(out->Size(), static_cast<int32_t>(bytes.size()));
    out->Read(saved.data(), out->Size());
    EXPECT_EQ(saved, bytes);
    EXPECT_EQ(std::memcmp(rec->GetData(), bytes.data(), bytes.size()), 0);
  }
}

TEST(FingerMinutiaeRecord, RefusesShortStreamsAndLengthsPastTheBytes) {
  const auto good = Record({{1, 0, 60, 3}});
  const uint32_t real = static_cast<uint32_t>(good.size());
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* failure;
  };
  const Case cases[] = {
      {"15 bytes", std::vector<uint8_t>(good.begin(), good.begin() + 15), "wrong size of template data(too little)"},
      {"16 bytes", std::vector<uint8_t>(good.begin(), good.begin() + 16), "wrong size of template data(too little)"},
      {"23 bytes", std::vector<uint8_t>(good.begin(), good.begin() + 23), "wrong size of template data(too little)"},
      {"length one long", Record({{1, 0, 60, 3}}, real + 1), "Wrong length of template data"},
      {"record cut by one", std::vector<uint8_t>(good.begin(), good.end() - 1), "Wrong length of template data"},
      {"length below header", Record({{1, 0, 60, 3}}, 23), "Wrong length of template data"},
      {"length exact", good, "no failure"},
      {"padded stream", Record({{1, 0, 60, 3}}, 0, 9), "no failure"},
  };
  for (const Case& c : cases) EXPECT_EQ(FailureOf(c.bytes), c.failure) << c.name;
}

TEST(FingerMinutiaeRecord, ViewsAreWalkedInsideTheRecordLength) {
  // One view claims more minutiae than the record holds; padding after the
  // record must not make it readable.
  auto bytes = Record({{1, 0, 60, 3}, {2, 0, 60, 3}}, 0, 40);
  bytes[24 + 4 + 15 + 3] = 9;  // second view's count
  auto rec = Read(bytes);
  EXPECT_EQ(rec->GetView(0)->GetMinutiaeCount(), 3);
  EXPECT_THROW(rec->GetView(1), ex::out_of_range);
  // A count byte claiming 255 views with a header-only record.
  auto bare = Record({{1, 0, 60, 0}});
  bare[22] = 255;
  auto many = Read(bare);
  EXPECT_EQ(many->GetViewCount(), 256);
  EXPECT_NO_THROW(many->GetView(0));
  EXPECT_THROW(many->GetView(1), ex::out_of_range);
  EXPECT_THROW(many->GetView(255), ex::out_of_range);
}

}  // namespace

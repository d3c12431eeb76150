// The legacy list format, and streams built to break the reader: each must
// end in the documented exception before the engine sees a bad block.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

#include "FakeEngine.h"
#include "TemplateFixtures.h"
#include "engine/objects/TemplateImpl.h"

namespace vela::math {
namespace {

using base::smart_ptr;
using namespace testing;
namespace ex = base::exceptions;

std::vector<uint8_t> ContainerHeader(const char* format, uint32_t bodySize) {
  std::vector<uint8_t> header(28, 0);
  std::memcpy(header.data(), "VELA", 4);
  WriteLe<uint32_t>(header.data() + 4, 0x00010002);
  WriteLe<uint32_t>(header.data() + 12, 28 + bodySize);
  WriteLe<uint32_t>(header.data() + 16, 28);
  WriteLe<uint32_t>(header.data() + 20, bodySize);
  std::memcpy(header.data() + 24, format, 4);
  return header;
}

// One legacy impression: block code (r + c) % 32 at inner block (r, c), and
// minutia i at (10 + i, 20 + i) with direction i % 24 (or `badDirection` for
// minutia 0 when given).
struct LegacyMinutia {
  uint8_t x, y, direction;
};
std::vector<uint8_t> LegacyRecord(uint8_t quality, uint8_t count, int badDirection = -1) {
  std::vector<uint8_t> record(412, 0);
  WriteLe<uint16_t>(record.data(), 0xABCD);
  record[2] = quality;
  record[3] = 18;
  record[4] = 25;
  record[5] = count;
  size_t bit = 0;
  for (int r = 1; r <= 23; ++r)
    for (int c = 1; c <= 16; ++c) {
      const uint32_t code = uint32_t(r + c) % 32;
      for (int b = 0; b < 5; ++b, ++bit)
        if ((code >> b) & 1) record[6 + bit / 8] |= uint8_t(1u << (bit % 8));
    }
  for (int i = 0; i < 70; ++i) {
    const uint8_t direction = (i == 0 && badDirection >= 0) ? uint8_t(badDirection) : uint8_t(i % 24);
    uint8_t* pair = record.data() + 236 + (i / 2) * 5;
    const uint8_t a = uint8_t((10 + i) | (direction >= 16 ? 0x80 : 0));
    const uint8_t b = uint8_t(20 + i);
    if (i % 2 == 0) {
      pair[0] = a;
      pair[1] = b;
      pair[2] |= uint8_t((direction & 15) << 4);
    } else {
      pair[2] |= uint8_t(direction & 15);
      pair[3] = a;
      pair[4] = b;
    }
  }
  return record;
}

TEST(LegacyList, UnpacksIntoImpressionRecordsOfVersionOne) {
  FakeEngine engine;
  const std::vector<uint8_t> stream = Concat(
      Concat(ContainerHeader("VMRQ", 824), LegacyRecord(70, 5)), LegacyRecord(0, 0));
  const smart_ptr<Template> t = Create_Template(InputOf(stream));

  ASSERT_EQ(t->GetDataSize(), 8 + 2 * 672);
  const uint8_t* block = t->GetData();
  EXPECT_EQ(ReadLe<int32_t>(block), 8 + 2 * 672);
  EXPECT_EQ(ReadLe<int32_t>(block + 4), 1);
  const uint8_t* first = block + 8;
  for (int r = 0; r < 2; ++r) {
    EXPECT_EQ(ReadLe<int32_t>(block + 8 + 672 * r), 672);
    EXPECT_EQ(ReadLe<int32_t>(block + 8 + 672 * r + 4), 1);
  }
  EXPECT_EQ(first[8], 70);
  EXPECT_EQ(first[9], 18);
  EXPECT_EQ(first[10], 25);
  EXPECT_EQ(first[11], 5);
  for (int row = 0; row < 25; ++row)
    for (int column = 0; column < 18; ++column) {
      const uint8_t value = first[12 + row * 18 + column];
      const bool inner = row >= 1 && row <= 23 && column >= 1 && column <= 16;
      const uint32_t code = uint32_t(row + column) % 32;
      const uint8_t expected = !inner || code >= 30 ? 61 : uint8_t(2 * code);
      ASSERT_EQ(value, expected) << row << "," << column;
    }
  // Minutiae 0..4 (the counted ones) are raised by 8; the rest are not.
  for (int i = 0; i < 70; ++i) {
    const int lift = i < 5 ? 8 : 0;
    EXPECT_EQ(first[462 + i], 10 + i + lift) << i;
    EXPECT_EQ(first[532 + i], 20 + i + lift) << i;
    EXPECT_EQ(first[602 + i], i % 24) << i;
  }
}

// A hostile stream and the exception it must end in.
struct Hostile {
  const char* name;
  std::function<std::vector<uint8_t>()> bytes;
  enum { InvalidArgument, OutOfRange } expected;
  bool engineMaySee;  // whether the data part was sound (the fault lies in the TC part)
};

std::vector<uint8_t> WithWord(std::vector<uint8_t> bytes, size_t at, int32_t value) {
  WriteLe<int32_t>(bytes.data() + at, value);
  return bytes;
}

std::vector<uint8_t> WithByte(std::vector<uint8_t> bytes, size_t at, uint8_t value) {
  bytes[at] = value;
  return bytes;
}

std::vector<uint8_t> Padded(std::vector<uint8_t> bytes) {
  bytes.resize(std::max<size_t>(bytes.size(), 28), 0);
  return bytes;
}

std::vector<uint8_t> ImagePayload25() {
  return Concat(Concat({1}, FloatBytes({1, 2, 3, 4})), FloatBytes({50, 0}));
}

std::vector<Hostile> HostileStreams() {
  const std::vector<uint8_t> one = MakeType1Block(1);
  const std::vector<uint8_t> full = MakeType150Block({1, 2});
  const std::vector<uint8_t> compact = MakeType165Block({1});
  const auto container = [](uint32_t body, std::vector<uint8_t> records) {
    return Concat(ContainerHeader("PGMI", body), records);
  };
  const std::vector<uint8_t> goodRecord = [=] {
    std::vector<uint8_t> r(666, 0);
    r[0] = 1;
    std::memcpy(r.data() + 2, one.data() + 16, 664);
    return r;
  }();
  const auto tc = [=](std::vector<uint8_t> part) { return Concat(full, part); };
  using H = Hostile;
  return {
      {"empty stream", [] { return std::vector<uint8_t>{}; }, H::OutOfRange, false},
      {"raw size above 100,000", [] { return Padded(IntBytes({100001, 150})); }, H::InvalidArgument, false},
      {"raw size negative", [] { return Padded(IntBytes({INT32_MIN, 150})); }, H::InvalidArgument, false},
      {"raw size below a header", [] { return Padded(IntBytes({4, 1})); }, H::InvalidArgument, false},
      {"raw size beyond the stream", [=] { return WithWord(full, 0, int32_t(full.size() + 10)); },
       H::OutOfRange, false},
      {"raw size inside the stream but short of the block",
       [=] { return WithWord(full, 0, int32_t(full.size() - 672)); }, H::InvalidArgument, false},
      {"unknown type", [=] { return WithWord(full, 4, 999); }, H::InvalidArgument, false},
      {"type made, never stored", [=] { return WithWord(one, 4, 2); }, H::InvalidArgument, false},
      {"stored type the object layer never makes", [=] { return WithWord(one, 4, 10); },
       H::InvalidArgument, false},
      {"type 1 above its largest size", [] { return MakeType1Block(11); }, H::InvalidArgument, false},
      {"type 1 with a partial record",
       [=] {
         std::vector<uint8_t> b = one;
         b.resize(b.size() - 100);
         return WithWord(b, 0, int32_t(b.size()));
       },
       H::InvalidArgument, false},
      {"record with 71 minutiae", [=] { return WithByte(one, 8 + 11, 71); }, H::InvalidArgument, false},
      {"record with a block value of 62", [=] { return WithByte(one, 8 + 12 + 40, 62); },
       H::InvalidArgument, false},
      {"record with a wrong size word", [=] { return WithWord(one, 8, 671); }, H::InvalidArgument, false},
      {"finger entry with finger code 11", [=] { return WithByte(full, 8 + 672 * 5 + 9, 11); },
       H::InvalidArgument, false},
      {"compact entry whose impression does not unpack", [=] { return WithByte(compact, 8 + 5 + 3, 200); },
       H::InvalidArgument, false},
      {"container without records", [=] { return container(0, {}); }, H::InvalidArgument, false},
      {"container of 11 records", [=] { return container(11 * 666, {}); }, H::InvalidArgument, false},
      {"container body size near 4 GiB", [=] { return container(0xFFFFFFFF, goodRecord); },
       H::InvalidArgument, false},
      {"container claiming more records than the stream holds",
       [=] { return container(2 * 666, goodRecord); }, H::OutOfRange, false},
      {"container record with 71 minutiae",
       [=] { return container(666, WithByte(goodRecord, 2 + 3, 71)); }, H::InvalidArgument, false},
      {"legacy record with a minutia direction of 31",
       [] { return Concat(ContainerHeader("VMRQ", 412), LegacyRecord(70, 5, 31)); },
       H::InvalidArgument, false},
      {"legacy record with 3 minutiae, too few to compare",
       [] { return Concat(ContainerHeader("VMRQ", 412), LegacyRecord(70, 3)); },
       H::InvalidArgument, false},
      {"legacy record with 200 minutiae",
       [] { return Concat(ContainerHeader("VMRQ", 412), LegacyRecord(70, 200)); },
       H::InvalidArgument, false},
      {"TC version 3", [=] { return tc(TcBuilder(3).End()); }, H::InvalidArgument, true},
      {"TC magic wrong", [=] { return tc({'T', 'X', 2, 0, 0xFF, 0, 0, 0}); }, H::InvalidArgument, true},
      {"TC record longer than the stream",
       [=] { return tc({'T', 'C', 2, 0, 0, 1, 0xFF, 0xFF, 1, 2}); }, H::OutOfRange, true},
      {"TC without end mark", [=] { return tc(TcBuilder(2).Record(1, {150, 0, 14, 0}).bytes); },
       H::OutOfRange, true},
      {"TC ids record of 2 bytes", [=] { return tc(TcBuilder(2).Record(1, {150, 0}).End()); },
       H::InvalidArgument, true},
      {"TC image record of 24 bytes",
       [=] {
         std::vector<uint8_t> p = ImagePayload25();
         p.pop_back();
         return tc(TcBuilder(2).Record(2, p).End());
       },
       H::InvalidArgument, true},
      {"TC extra image record of 23 bytes",
       [=] {
         std::vector<uint8_t> q = IntBytes({1, 2, 3, 4, 5, 6});
         q.pop_back();
         return tc(TcBuilder(2).Record(2, ImagePayload25()).Record(3, q).End());
       },
       H::InvalidArgument, true},
      {"TC version 1 ids record of 4 bytes",
       [=] { return tc(TcBuilder(1).Record(1, {150, 0, 14, 0}).End()); }, H::InvalidArgument, true},
      {"TC version 1 image record of 18 bytes",
       [=] {
         return tc(TcBuilder(1).Record(1, {150, 0, 14, 0, 1}).Record(2, std::vector<uint8_t>(18)).End());
       },
       H::InvalidArgument, true},
  };
}

template <class Reader>
void ExpectEachHostileStreamRefused(Reader read, bool tcFaultsThrow) {
  for (const Hostile& h : HostileStreams()) {
    SCOPED_TRACE(h.name);
    if (h.engineMaySee && !tcFaultsThrow) continue;
    FakeEngine engine;
    const std::vector<uint8_t> bytes = h.bytes();
    if (h.expected == Hostile::InvalidArgument) {
      try {
        read(bytes);
        ADD_FAILURE() << "read";
      } catch (const ex::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Invalid argument");
      }
    } else {
      EXPECT_THROW(read(bytes), ex::out_of_range);
    }
    if (!h.engineMaySee) {
      EXPECT_TRUE(engine.featureBlocks.empty()) << "the engine saw the block";
    }
  }
}

TEST(HostileStream, TemplateReaderRefusesEach) {
  ExpectEachHostileStreamRefused([](const std::vector<uint8_t>& b) { Create_Template(InputOf(b)); },
                                 true);
}

TEST(HostileStream, ExtendedTemplateReaderRefusesEachBrokenDataPart) {
  // A broken TC image record only costs an extended template its finger list.
  ExpectEachHostileStreamRefused([](const std::vector<uint8_t>& b) { Create_XTemplate(InputOf(b)); },
                                 false);
}

// Every prefix and many corrupted copies of real saved forms: the readers
// either read them or throw one of the library's exceptions.
TEST(HostileStream, TruncatedAndCorruptedStreamsNeverCrash) {
  FakeEngine engine;
  std::vector<std::vector<uint8_t>> seeds;
  for (const std::vector<uint8_t>& block : {MakeType1Block(2), MakeType150Block({1, 2}),
                                            MakeType165Block({3})}) {
    ImageInfo info;
    info.full = true;
    smart_ptr<Template> t(new TemplateImpl({1, 14}, 1, block, {}, {}, new ImageInfoViewImpl(info)));
    smart_ptr<base::MemoryStream> stream = Create_MemoryStream(nullptr, 0);
    t->Save(stream);
    seeds.push_back(StreamBytes(stream));
  }
  seeds.push_back(Concat(ContainerHeader("VMRQ", 412), LegacyRecord(70, 6)));

  // How many of the two readers took the bytes.
  const auto readBoth = [](const std::vector<uint8_t>& bytes) {
    int read = 0;
    try {
      Create_Template(InputOf(bytes));
      ++read;
    } catch (const ex::base_exception&) {
    }
    try {
      Create_XTemplate(InputOf(bytes));
      ++read;
    } catch (const ex::base_exception&) {
    }
    return read;
  };
  std::mt19937 random(8);
  for (const std::vector<uint8_t>& seed : seeds) {
    // The legacy seed has no TC part, which only an extended template needs.
    EXPECT_GE(readBoth(seed), 1);
    for (size_t length = 0; length < seed.size(); length += 1 + length / 64)
      readBoth(std::vector<uint8_t>(seed.begin(), seed.begin() + std::ptrdiff_t(length)));
    for (int trial = 0; trial < 300; ++trial) {
      std::vector<uint8_t> bytes = seed;
      const int flips = 1 + int(random() % 4);
      for (int f = 0; f < flips; ++f) bytes[random() % bytes.size()] = uint8_t(random());
      readBoth(bytes);
    }
  }
}

}  // namespace
}  // namespace vela::math

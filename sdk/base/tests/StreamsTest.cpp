#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "streams/Base64.h"
#include "vela/streams.h"

namespace {

using vela::base::InputStream;
using vela::base::MemoryStream;
using vela::base::OutputStream;
using vela::base::SeekOrigin;
using vela::base::smart_ptr;
namespace ex = vela::base::exceptions;

std::string Decoded(const char* text) {
  const std::vector<uint8_t> bytes = vela::base::DecodeBase64(text);
  return std::string(bytes.begin(), bytes.end());
}

std::string Encoded(const std::string& bytes) {
  return vela::base::EncodeBase64(
      std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

// RFC 4648, section 10.
TEST(Base64, Rfc4648VectorsBothWays) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
  };
  for (const auto& [plain, text] : vectors) {
    SCOPED_TRACE(plain);
    EXPECT_EQ(Encoded(plain), text);
    EXPECT_EQ(Decoded(text), plain);
  }
}

TEST(Base64, AllByteValuesRoundTrip) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += char(i);
  EXPECT_EQ(Decoded(Encoded(all).c_str()), all);
  EXPECT_EQ(Encoded("\xfb\xff"), "+/8=");
}

TEST(Base64, DecodingSkipsForeignCharactersAndGoesOnAfterPadding) {
  const std::pair<const char*, std::string> cases[] = {
      {"YW\r\nJj", "abc"},
      {" Y W J j ", "abc"},
      {"YW*Jj\x80", "abc"},
      {"YQ==YWJj", std::string("aabc")},  // a '=' ends a group, not the text
      {"\n\t", ""},
      {"YWJ=", "ab"},
  };
  for (const auto& [text, plain] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Decoded(text), plain);
  }
}

// An unpadded tail gives the bytes it holds, not zero bytes of padding.
TEST(Base64, UnpaddedTailDecodesToTheBytesItHolds) {
  const std::pair<const char*, std::string> cases[] = {
      {"YQ", "a"}, {"YWI", "ab"}, {"Zm9vYg", "foob"}, {"Zm9vYmE", "fooba"}, {"Y", ""},
      {"YWJjY", "abc"},
  };
  for (const auto& [text, plain] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Decoded(text), plain);
  }
}

std::vector<uint8_t> ReadAll(InputStream& in) {
  std::vector<uint8_t> bytes(static_cast<size_t>(in.Size()));
  in.Seek(0, SeekOrigin::Begin);
  in.Read(bytes.data(), static_cast<int32_t>(bytes.size()));
  return bytes;
}

TEST(MemoryStream, WriteAfterSeekPastTheEndFillsTheGapWithZeros) {
  smart_ptr<MemoryStream> s = Create_MemoryStream(nullptr, 0);
  EXPECT_EQ(s->Size(), 0);
  EXPECT_EQ(s->Seek(5, SeekOrigin::Begin), 5);
  s->Write("xyz", 3);
  EXPECT_EQ(s->Size(), 8);
  EXPECT_EQ(s->Tell(), 8);
  EXPECT_EQ(ReadAll(*s), (std::vector<uint8_t>{0, 0, 0, 0, 0, 'x', 'y', 'z'}));
}

TEST(MemoryStream, OverwritesInPlaceAndSeeksFromEachOrigin) {
  smart_ptr<MemoryStream> s = Create_MemoryStream("abcdef", 6);
  EXPECT_EQ(s->Seek(-2, SeekOrigin::End), 4);
  EXPECT_EQ(s->Seek(-3, SeekOrigin::Current), 1);
  s->Write("XY", 2);
  EXPECT_EQ(s->Size(), 6);
  EXPECT_EQ(ReadAll(*s), (std::vector<uint8_t>{'a', 'X', 'Y', 'd', 'e', 'f'}));
  EXPECT_EQ(s->Seek(0, static_cast<SeekOrigin>(4)), 4);
  EXPECT_EQ(s->Tell(), 6);
}

TEST(MemoryStream, ReadAtTheEndThrowsAndKeepsThePosition) {
  smart_ptr<MemoryStream> s = Create_MemoryStream("ab", 2);
  char c[2];
  EXPECT_EQ(s->Read(c, 2), 2);
  try {
    s->Read(c, 1);
    FAIL();
  } catch (const ex::out_of_range& e) {
    EXPECT_STREQ(e.what(), "Out of range");
  }
  EXPECT_EQ(s->Tell(), 2);
  s->SetPosition(-1);
  EXPECT_THROW(s->Read(c, 1), ex::out_of_range);
  EXPECT_THROW(s->Write(c, 1), ex::out_of_range);
}

// position + count must not wrap around in 32 bits into a "valid" range.
TEST(MemoryStream, PositionPlusCountIsComputedWithoutOverflow) {
  smart_ptr<MemoryStream> s = Create_MemoryStream("abcd", 4);
  char buffer[16];
  s->SetPosition(std::numeric_limits<int32_t>::max() - 2);
  EXPECT_THROW(s->Read(buffer, 8), ex::out_of_range);
  EXPECT_THROW(s->Write(buffer, 8), ex::out_of_range);
  EXPECT_EQ(s->Size(), 4);
  s->SetPosition(0);
  EXPECT_THROW(s->Seek(std::numeric_limits<int32_t>::max(), SeekOrigin::End), ex::out_of_range);
  EXPECT_EQ(s->Tell(), 0);
}

TEST(MemoryStream, NegativeCountsAndSizesAreRefused) {
  char buffer[4] = {};
  EXPECT_THROW(Create_MemoryStream(buffer, -1), ex::invalid_argument);
  EXPECT_THROW(Create_MemoryStream(nullptr, 3), ex::invalid_argument);
  smart_ptr<MemoryStream> s = Create_MemoryStream(buffer, 4);
  EXPECT_THROW(s->Read(buffer, -1), ex::invalid_argument);
  EXPECT_THROW(s->Write(buffer, -1), ex::invalid_argument);
  EXPECT_EQ(s->Tell(), 0);
  EXPECT_EQ(s->Size(), 4);
}

TEST(MemoryStream, ManySmallWritesBuildTheWholeBuffer) {
  smart_ptr<MemoryStream> s = Create_MemoryStream(nullptr, 0);
  for (int i = 0; i < 100000; ++i) {
    const uint8_t b = uint8_t(i);
    s->Write(&b, 1);
  }
  const std::vector<uint8_t> all = ReadAll(*s);
  ASSERT_EQ(all.size(), 100000u);
  EXPECT_EQ(all[99999], uint8_t(99999));
}

TEST(MemoryStream, Base64OfTheWholeBufferWhateverThePosition) {
  smart_ptr<MemoryStream> s = Create_MemoryStream("abc", 3);
  s->Seek(2, SeekOrigin::Begin);
  EXPECT_STREQ(s->ToBase64(), "YWJj");
  EXPECT_STREQ(Create_MemoryStream("ab", 2)->ToBase64(), "YWI=");
  EXPECT_STREQ(Create_MemoryStream("a", 1)->ToBase64(), "YQ==");
  EXPECT_STREQ(Create_MemoryStream(nullptr, 0)->ToBase64(), "");
  smart_ptr<MemoryStream> decoded = Create_MemoryStreamFromBase64String("YW\nJj");
  EXPECT_EQ(decoded->Tell(), 0);
  EXPECT_EQ(ReadAll(*decoded), (std::vector<uint8_t>{'a', 'b', 'c'}));
  EXPECT_EQ(Create_MemoryStreamFromBase64String("")->Size(), 0);
  EXPECT_EQ(Create_MemoryStreamFromBase64String(nullptr)->Size(), 0);
}

class FileStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::temp_directory_path() /
             ("vela_stream_" + std::to_string(::getpid()) + ".bin"))
                .string();
  }
  void TearDown() override { std::filesystem::remove(path_); }
  std::string path_;
};

TEST_F(FileStreamTest, WriteThenReadBack) {
  {
    smart_ptr<OutputStream> out = Create_OFileStream(path_.c_str());
    out->Write("hello world", 11);
    EXPECT_EQ(out->Flush(), 0);
  }
  smart_ptr<InputStream> in = Create_IFileStream(path_.c_str());
  EXPECT_EQ(in->Seek(6, SeekOrigin::Begin), 0);
  EXPECT_EQ(in->Size(), 11);  // Size leaves the position alone
  EXPECT_EQ(in->Tell(), 6);
  EXPECT_EQ(in->Seek(0, static_cast<SeekOrigin>(4)), 4);
  EXPECT_EQ(in->Tell(), 6);
  char word[5];
  EXPECT_EQ(in->Read(word, 5), 5);
  EXPECT_EQ(std::string(word, 5), "world");
}

TEST_F(FileStreamTest, ShortReadThrowsAndKeepsTheBytesItGot) {
  { Create_OFileStream(path_.c_str())->Write("abc", 3); }
  smart_ptr<InputStream> in = Create_IFileStream(path_.c_str());
  char buffer[8] = {};
  in->Seek(1, SeekOrigin::Begin);
  EXPECT_THROW(in->Read(buffer, 8), ex::out_of_range);
  EXPECT_EQ(std::string(buffer, 2), "bc");
  EXPECT_EQ(in->Tell(), 3);
  EXPECT_THROW(in->Read(buffer, -1), ex::invalid_argument);
}

TEST_F(FileStreamTest, FilesThatCannotBeOpenedAreRefused) {
  EXPECT_THROW(Create_IFileStream("/nonexistent/dir/file.bin"), ex::invalid_argument);
  EXPECT_THROW(Create_OFileStream("/nonexistent/dir/file.bin"), ex::invalid_argument);
  EXPECT_THROW(Create_IFileStream(nullptr), ex::invalid_argument);
  const std::string dir = std::filesystem::temp_directory_path().string();
  EXPECT_THROW(Create_IFileStream(dir.c_str()), ex::invalid_argument);
}

TEST(FileStream, APipeHasNoSize) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ASSERT_EQ(::write(fds[1], "BM", 2), 2);
  ::close(fds[1]);
  const std::string path = "/dev/fd/" + std::to_string(fds[0]);
  smart_ptr<InputStream> in = Create_IFileStream(path.c_str());
  ::close(fds[0]);
  EXPECT_EQ(in->Size(), -1);
  char two[2];
  EXPECT_EQ(in->Read(two, 2), 2);
}

}  // namespace

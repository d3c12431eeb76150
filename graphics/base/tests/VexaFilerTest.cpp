// The line reader over a table of byte strings, the block skipper, progress and failing writes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/VexaFiler.h"

namespace pv::graphics {
namespace {

struct Line {
  std::string text;
  bool ok;
};

std::vector<Line> ReadAll(const std::string& bytes) {
  TMemoryStream stream(bytes);
  TVexaFiler filer(stream);
  std::vector<Line> lines;
  std::string text;
  for (;;) {
    const bool ok = filer.ReadLine(text);
    lines.push_back({text, ok});
    if (!ok) break;
  }
  return lines;
}

std::string Describe(const std::vector<Line>& lines) {
  std::string out;
  for (const Line& l : lines) out += "[" + l.text + (l.ok ? "]+" : "]-");
  return out;
}

TEST(VexaFiler, ReadsLinesOverEveryLineEnd) {
  const std::string long5000(5000, 'x');
  const std::string blanks5000(5000, ' ');
  // Pads the first line so that its line end falls on the 4096-byte buffer boundary.
  const std::string pad4095(4095, 'p');
  const struct {
    std::string bytes;
    std::string expected;
  } cases[] = {
      {"  abc\r\n\r\ndef\n", "[abc]+[]+[def]+[]-"},
      {"a\rb\nc\r\nd\n\re", "[a]+[b]+[c]+[d]+[e]-"},
      {"a\r\rb", "[a]+[]+[b]-"},
      {"a\n\nb\n", "[a]+[]+[b]+[]-"},
      {"a\n\r\n\rb", "[a]+[]+[b]-"},
      {"", "[]-"},
      {"last", "[last]-"},
      {"\ttab kept \n", "[\ttab kept ]+[]-"},
      {pad4095 + "\r\nnext\n", "[" + pad4095 + "]+[next]+[]-"},
      {pad4095 + "\n\rnext", "[" + pad4095 + "]+[next]-"},
      {pad4095 + "\r\rnext", "[" + pad4095 + "]+[]+[next]-"},
      {long5000 + "\r\nz\r\n", "[" + long5000 + "]+[z]+[]-"},
      {blanks5000 + "after\n", "[after]+[]-"},
      {"x\n" + blanks5000, "[x]+[]-"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Describe(ReadAll(c.bytes)), c.expected) << "input of " << c.bytes.size() << " bytes";
  }
}

TEST(VexaFiler, SkipsNestedBlocksAndStopsAtTheEnd) {
  TMemoryStream stream(
      "property Brush\r\n  Color = 1\r\nend\r\nobject A: TBox\r\n  EndAngle = 5\r\nend\r\nend\r\nafter\r\n");
  TVexaFiler filer(stream);
  filer.SkipBlock();
  std::string line;
  ASSERT_TRUE(filer.ReadLine(line));
  EXPECT_EQ(line, "after");

  TMemoryStream unterminated("object A: TBox\r\nobject B: TBox\r\n");
  TVexaFiler filer2(unterminated);
  EXPECT_TRUE(filer2.CheckSkipBlock("object X: TBox"));
  EXPECT_FALSE(filer2.ReadLine(line));
  EXPECT_FALSE(filer2.CheckSkipBlock("Left = 5"));
}

TEST(VexaFiler, WritesLinesWithCrLfAndRewinds) {
  TMemoryStream stream;
  TVexaFiler filer(stream);
  filer.SaveLine("abc");
  filer.SaveLine("");
  filer.SaveBuffer("x", 1);
  EXPECT_EQ(stream.Text(), "abc\r\n\r\nx");
  filer.Rewind();
  std::string line;
  EXPECT_TRUE(filer.ReadLine(line));
  EXPECT_EQ(line, "abc");
  EXPECT_EQ(filer.Loaded(), 8);
}

TEST(VexaFiler, ReportsProgressOnceForEachPercent) {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += "line of text\r\n";
  TMemoryStream stream(bytes);
  TVexaFiler filer(stream);
  std::vector<int> seen;
  filer.OnProgress = [&](TVexaFiler&, int percent, TVexaFilerProcess kind) {
    EXPECT_EQ(kind, TVexaFilerProcess::ppLoad);
    seen.push_back(percent);
  };
  std::string line;
  while (filer.ReadLine(line)) {
  }
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), 100);
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_GT(seen[i], seen[i - 1]);

  TMemoryStream out;
  TVexaFiler writer(out);
  writer.SetTotal(4);
  std::vector<int> saved;
  writer.OnProgress = [&](TVexaFiler&, int percent, TVexaFilerProcess) { saved.push_back(percent); };
  for (int i = 1; i <= 4; ++i) writer.SetSaved(i);
  writer.SetSaved(4);
  EXPECT_EQ(saved, (std::vector<int>{25, 50, 75, 100}));
}

// A stream that takes only so many bytes, as a full disk does.
class FullStream final : public TByteStream {
 public:
  explicit FullStream(size_t room) : room_(room) {}
  size_t Read(void*, size_t) override { return 0; }
  bool Write(const void*, size_t count) override {
    if (count > room_) return false;
    room_ -= count;
    return true;
  }
  bool Seek(int64_t) override { return false; }
  int64_t Position() const override { return -1; }
  int64_t Size() const override { return -1; }

 private:
  size_t room_;
};

TEST(VexaFiler, FailedWritesAreReported) {
  FullStream stream(10);
  TVexaFiler filer(stream);
  EXPECT_EQ(filer.Total(), 0);
  filer.SaveLine("12345678");
  EXPECT_THROW(filer.SaveLine("more"), EStreamError);

  TFileStream full("/dev/full", "wb");
  TVexaFiler fileFiler(full);
  const std::string line(1000, 'a');
  EXPECT_THROW(
      {
        for (int i = 0; i < 100; ++i) fileFiler.SaveLine(line);
        fileFiler.Flush();
      },
      EStreamError);
}

}  // namespace
}  // namespace pv::graphics

// Property lines and blocks of the text format: exact bytes for each value kind, the read
// back of every value written, and the faults of hostile or unusual text.

#include <gtest/gtest.h>

#include "base/TextHelpers.h"
#include "props/PropList.h"
#include "props/SimpleProps.h"
#include "props/TextFormat.h"
#include "props/tests/TestProps.h"

namespace pv::graphics {
namespace {

std::string Save(TPropList& list, bool saveAll = false) {
  TMemoryStream stream;
  TVexaFiler filer(stream);
  list.SaveToFiler(filer, "  ", saveAll);
  return stream.Text();
}

void Load(TPropList& list, const std::string& text) {
  TMemoryStream stream(text);
  TVexaFiler filer(stream);
  std::string line;
  while (filer.ReadLine(line)) {
    if (IsBlockEnd(line)) break;
    list.LoadProp(filer, line);
  }
}

// One property of each kind, named so that they come out in a known order.
struct Fixture {
  TPropList list;
  TIntProp* integer = list.Create<TIntProp>("Int");
  TLongWordProp* longword = list.Create<TLongWordProp>("Long");
  TStrProp* text = list.Create<TStrProp>("Text");
  TStrListProp* lines = list.Create<TStrListProp>("Lines");
  TDataProp* data = list.Create<TDataProp>("Data");
  TBoolProp* flag = list.Create<TBoolProp>("Flag");
  test::TTestBrushProp* brush = list.Create<test::TTestBrushProp>("Brush");
  std::vector<uint8_t> bytes;
  Fixture() {
    data->OnGetData = [this] { return bytes.empty() ? PropValue() : PropValue::Bytes(bytes); };
    data->OnSetData = [this](const PropValue& v) { bytes = v.IsEmpty() ? std::vector<uint8_t>() : v.AsBytes(); };
  }
};

std::vector<uint8_t> Sequence(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 37 + 1);
  return v;
}

TEST(PropText, EveryValueKindReadsBackToTheSameBytes) {
  const std::vector<std::string> texts = {
      "", "plain", "two words", "it's", "'", "''", "a=b=c", "(not a list", "{not data", "x)", "tab\there",
      "line1\r\nline2", "\n", "ends with break\r", "x'#13'y", "'#10'", "\xcf\xf0\xe8\xe2\xe5\xf2", " lead", "trail ",
      "#13", "end", "object A: B"};
  const std::vector<std::vector<std::string>> lists = {
      {}, {"one"}, {""}, {"a b", "it's", ")", "(", "x )", "multi\r\nline", "\xc0\xc1"}};
  const std::vector<size_t> sizes = {0, 1, 32, 33, 64, 100};
  for (size_t round = 0; round < texts.size(); ++round) {
    Fixture f;
    f.integer->SetValue(round % 2 ? INT32_MIN : INT32_MAX);
    f.longword->SetValue(round % 3 ? 4294967295u : 2147483648u);
    f.text->SetValue(texts[round]);
    f.lines->SetPropValue({}, lists[round % lists.size()].empty() ? PropValue()
                                                                  : PropValue::StringArray(lists[round % lists.size()]));
    f.bytes = Sequence(sizes[round % sizes.size()]);
    f.flag->SetValue(round % 2);
    f.brush->color = static_cast<int32_t>(round) - 3;
    f.brush->style = round % 2 ? "bsClear" : "bsSolid";
    f.brush->bitmap = Sequence(round % 3 == 0 ? 33 : 0);
    f.brush->font.name = round % 2 ? "Times New Roman" : "Arial";
    const std::string first = Save(f.list);

    Fixture g;
    Load(g.list, first);
    EXPECT_EQ(g.integer->GetValue(), f.integer->GetValue());
    EXPECT_EQ(g.longword->GetValue(), f.longword->GetValue());
    EXPECT_EQ(g.text->GetValue(), texts[round]) << first;
    EXPECT_EQ(g.lines->Lines(), f.lines->Lines()) << first;
    EXPECT_EQ(g.bytes, f.bytes);
    EXPECT_EQ(g.flag->GetValue(), f.flag->GetValue());
    EXPECT_EQ(g.brush->color, f.brush->color);
    EXPECT_EQ(g.brush->style, f.brush->style);
    EXPECT_EQ(g.brush->bitmap, f.brush->bitmap);
    EXPECT_EQ(g.brush->font.name, f.brush->font.name);
    EXPECT_EQ(Save(g.list), first);
    // No value ever breaks a line of its own.
    for (size_t p = first.find('\r'); p != std::string::npos; p = first.find('\r', p + 1)) {
      ASSERT_EQ(first[p + 1], '\n') << first;
    }
  }
}

TEST(PropText, WrittenFormOfEachKind) {
  Fixture f;
  f.integer->SetValue(-5);
  f.longword->SetValue(4294967295u);
  f.text->SetValue("a b");
  f.lines->SetPropValue({}, PropValue::StringArray({"first line", "second"}));
  f.bytes = Sequence(33);
  f.brush->color = 255;
  f.brush->font.size = 10;
  EXPECT_EQ(Save(f.list),
            "  property Brush\r\n"
            "    Color = 255\r\n"
            "    property Font\r\n"
            "      Size = 10\r\n"
            "    end\r\n"
            "  end\r\n"
            "  Data = {\r\n"
            "    01264B7095BADF04294E7398BDE2072C51769BC0E50A2F54799EC3E80D32577C\r\n"
            "    A1 }\r\n"
            "  Flag = False\r\n"
            "  Int = -5\r\n"
            "  Lines = (\r\n"
            "    'first line'\r\n"
            "    'second' )\r\n"
            "  Long = 4294967295\r\n"
            "  Text = 'a b'\r\n");
  f.bytes = Sequence(32);
  f.lines->SetPropValue({}, PropValue::StringArray({"one"}));
  f.text->SetValue("");
  f.brush->color = 0;  // nothing stored in the block: no block at all
  f.brush->font.size = 8;
  const std::string out = Save(f.list);
  EXPECT_EQ(out.find("Brush"), std::string::npos) << out;
  EXPECT_NE(out.find("  Data = {\r\n    01264B7095BADF04294E7398BDE2072C51769BC0E50A2F54799EC3E80D32577C }\r\n"),
            std::string::npos);
  EXPECT_NE(out.find("  Lines = (\r\n    'one' )\r\n"), std::string::npos);
  EXPECT_NE(out.find("  Text = \r\n"), std::string::npos);
  f.bytes.clear();
  f.lines->SetText("");
  const std::string empty = Save(f.list);
  EXPECT_NE(empty.find("  Data = { }\r\n"), std::string::npos);
  EXPECT_NE(empty.find("  Lines = ( )\r\n"), std::string::npos);
}

TEST(PropText, ValueTexts) {
  const struct {
    std::string value;
    std::string written;
  } cases[] = {
      {"plain", "plain"},
      {"a b", "'a b'"},
      {"it's", "'it's'"},
      {"(x", "'(x'"},
      {"{x", "'{x'"},
      {"a\r\nb", "'a'#13#10'b'"},
      {"\n", "''#10''"},
      {"x'#13'y", "'x'#39'#13'#39'y'"},
      {"a=b", "a=b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QuoteValue(c.value), c.written);
    TMemoryStream none;
    TVexaFiler filer(none);
    EXPECT_EQ(ReadValue(filer, c.written), PropValue::String(c.value)) << c.written;
  }
}

TEST(PropText, ReadingUnusualLines) {
  Fixture f;
  f.text->SetValue("keep");
  // A value after a second "=" keeps the rest of the line; unknown names and lines without
  // "=" are dropped; "( )" and "{ }" are Empty values.
  Load(f.list,
       "Text = a = b\r\n"
       "Unknown = 5\r\n"
       "no equals sign\r\n"
       "Lines = ( )\r\n"
       "Data = { }\r\n"
       "Int   =   42   \r\n");
  EXPECT_EQ(f.text->GetValue(), "a = b");
  EXPECT_EQ(f.lines->GetCount(), 0);
  EXPECT_TRUE(f.bytes.empty());
  EXPECT_EQ(f.integer->GetValue(), 42);

  // Old files: apostrophes inside quotes were not escaped, lines of a list that are not
  // quoted are skipped.
  Load(f.list, "Text = 'it's'\r\nLines = (\r\n  'a'\r\n  stray\r\n  'b' )\r\n");
  EXPECT_EQ(f.text->GetValue(), "it's");
  EXPECT_EQ(f.lines->Lines(), (std::vector<std::string>{"a", "b"}));

  // A hex line longer than any fixed step, lower-case digits, and a broken digit.
  std::string hex(40000, 'a');
  Load(f.list, "Data = {\r\n" + hex + " }\r\n");
  EXPECT_EQ(f.bytes.size(), 20000u);
  EXPECT_EQ(f.bytes[19999], 0xAA);
  EXPECT_THROW(Load(f.list, "Data = {\r\nZZ }\r\n"), EConvertError);
  // A value the property can't take is a conversion error.
  EXPECT_THROW(Load(f.list, "Int = 99999999999\r\n"), EConvertError);
}

// A picture or a long curve is thousands of lines of binary data: the bytes read so far must
// not be copied again for each line, or the load takes time in the square of its length.
TEST(PropText, BinaryDataGrowsByDoublingNotPerLine) {
  const std::string line(64, '5');  // 32 bytes, as saved
  std::vector<uint8_t> bytes;
  int growths = 0;
  constexpr int kLines = 4096;
  for (int i = 0; i < kLines; ++i) {
    const size_t before = bytes.capacity();
    AppendHexLine(bytes, line);
    if (bytes.capacity() != before) ++growths;
  }
  ASSERT_EQ(bytes.size(), 32u * kLines);
  EXPECT_EQ(bytes.back(), 0x55);
  // Doubling from 32 bytes to 128 KB takes 13 steps; allow for a different growth factor.
  EXPECT_LE(growths, 40);
}

TEST(PropText, BlockEndsAreExactAndCaseSensitive) {
  TPropList list;
  TIntProp* endAngle = list.Create<TIntProp>("EndAngle");
  TIntProp* start = list.Create<TIntProp>("StartAngle");
  auto* brush = list.Create<test::TTestBrushProp>("Brush");
  Load(list,
       "property Brush\r\n"
       "  Color = 7\r\n"
       "  property Unknown\r\n"
       "    Width = 1\r\n"
       "  end\r\n"
       "  Style = bsCross\r\n"
       "end\r\n"
       "EndAngle = 90000\r\n"
       "StartAngle = 45000\r\n"
       "end\r\n"
       "StartAngle = 1\r\n");
  EXPECT_EQ(brush->color, 7);
  EXPECT_EQ(brush->style, "bsCross");
  EXPECT_EQ(endAngle->GetValue(), 90000);
  EXPECT_EQ(start->GetValue(), 45000);
}

TEST(PropText, SaveAllWritesUnstoredPropertiesAndSubProperties) {
  test::TEventLog events;
  Fixture f;
  f.list.SetEvents(&events);
  events.hiddenName = "Int";
  f.longword->SetFlags(pfNotStored);
  const std::string normal = Save(f.list);
  EXPECT_EQ(normal.find("Int ="), std::string::npos);
  EXPECT_EQ(normal.find("Long ="), std::string::npos);
  const std::string all = Save(f.list, true);
  EXPECT_NE(all.find("Int = 0"), std::string::npos);
  EXPECT_NE(all.find("Long = 0"), std::string::npos);
  // Save-all writes every published sub-property of the property itself, nested objects by
  // their stored rules again.
  EXPECT_NE(all.find("    Bitmap = { }\r\n    Color = 0\r\n    Style = bsSolid"),
            std::string::npos)
      << all;
}

}  // namespace
}  // namespace pv::graphics

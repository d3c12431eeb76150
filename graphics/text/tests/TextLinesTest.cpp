// Line breaking and line measurement, with simple widths: every character one unit wide.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/TextLines.h"

using namespace pv::graphics;

namespace {

TCharWidths UnitWidths() {
  TCharWidths w;
  for (int c = 0; c < 256; ++c) {
    w.width[c] = 1;
    w.abc[c] = {0, 1, 0};
  }
  return w;
}

std::vector<std::string> Lines(const std::string& text, const TCharWidths& widths, int64_t limit, bool wordWrap) {
  std::vector<std::string> out;
  TLineBreaker breaker(text, widths, limit, wordWrap);
  for (TTextLine line; breaker.NextLine(line);) {
    out.push_back(text.substr(line.start, line.end - line.start));
    if (out.size() > text.size() + 2) break;  // a breaker that stalls must not hang the test
  }
  return out;
}

struct BreakCase {
  const char* name;
  std::string text;
  bool wordWrap;
  int64_t limit;
  std::vector<std::string> lines;
};

TEST(TextLines, BreakRules) {
  const std::vector<BreakCase> cases = {
      {"CR LF is one break", "ab\r\ncd", false, 0, {"ab", "cd"}},
      {"LF CR is one break", "ab\n\rcd", false, 0, {"ab", "cd"}},
      {"CR CR are two breaks", "ab\r\rcd", false, 0, {"ab", "", "cd"}},
      {"lone LF", "ab\ncd", false, 0, {"ab", "cd"}},
      {"break at the end leaves an empty line", "ab\r\n", false, 0, {"ab", ""}},
      {"no text, no line", "", false, 0, {}},
      {"plain lines keep their blanks", "  ab  \r\n cd", false, 0, {"  ab  ", " cd"}},
      {"plain lines ignore the limit", "abc def ghi", false, 3, {"abc def ghi"}},
      {"wrap: no text", "", true, 5, {}},
      {"wrap: only blanks", "  \t  ", true, 5, {}},
      {"wrap: leading breaks and blanks skipped", "\r\n\r\n   ab", true, 5, {"ab"}},
      {"wrap: no empty lines inside", "ab\r\n\r\n\r\ncd", true, 5, {"ab", "cd"}},
      {"wrap: a final break leaves one empty line", "ab\r\n", true, 5, {"ab", ""}},
      {"wrap: blanks after the last break leave none", "ab\r\n  ", true, 5, {"ab"}},
      {"wrap: a lone break", "\n", true, 5, {""}},
      {"wrap: words fill up to the limit", "ab cd ef", true, 5, {"ab cd", "ef"}},
      {"wrap: trailing blanks dropped", "abc    def", true, 5, {"abc", "def"}},
      {"wrap: trailing blanks before a break dropped", "ab   \r\ncd", true, 5, {"ab", "cd"}},
      {"wrap: cut after a hyphen", "ab-cdefg", true, 5, {"ab-", "cdefg"}},
      {"wrap: the last cut that fits wins", "a b-c de", true, 5, {"a b-c", "de"}},
      {"wrap: a first word wider than the box stands alone", "abcdefgh ij", true, 5, {"abcdefgh", "ij"}},
      {"wrap: a wide first word ends at its hyphen", "abcdefgh-ij kl", true, 5, {"abcdefgh-", "ij kl"}},
      {"wrap: every word wider than the box", "abcdef ghijkl", true, 2, {"abcdef", "ghijkl"}},
      {"wrap: a zero limit still advances", "a b c", true, 0, {"a", "b", "c"}},
      {"wrap: the break ends the line even when more fits", "a\nb", true, 50, {"a", "b"}},
  };
  const TCharWidths widths = UnitWidths();
  for (const auto& c : cases) {
    EXPECT_EQ(Lines(c.text, widths, c.limit, c.wordWrap), c.lines) << c.name;
  }
}

TEST(TextLines, MeasureAddsTheLastCWidthAndKeepsTheFirstA) {
  TCharWidths w = UnitWidths();
  w.width['A'] = 10;
  w.abc['A'] = {-2, 11, 1};
  w.width['V'] = 9;
  w.abc['V'] = {1, 5, 3};
  const TLineMeasure m = MeasureLine("A\tV", w);  // the tab is below 32: not counted
  EXPECT_EQ(m.width, 10 + 9 + 3);
  EXPECT_EQ(m.firstA, -2);
  EXPECT_EQ(m.lastC, 3);
  EXPECT_EQ(MeasureLine("\t\r", w).width, 0);
}

// Random texts over random widths: no line passes the limit unless it is one unbreakable
// word, and no character but blanks and breaks is lost or reordered.
TEST(TextLines, WrappedLinesFitOrAreOneWordAndKeepEveryWord) {
  std::mt19937 rng(18);
  const std::string alphabet = "abcdefgh   --\r\n\t";
  TCharWidths w;
  for (int c = 0; c < 256; ++c) {
    const int a = static_cast<int>(rng() % 5) - 2;
    const int b = 1 + static_cast<int>(rng() % 20);
    const int cc = static_cast<int>(rng() % 5) - 2;
    w.abc[c] = {a, static_cast<uint32_t>(b), cc};
    w.width[c] = a + b + cc;
  }
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const size_t length = rng() % 80;
    for (size_t i = 0; i < length; ++i) text += alphabet[rng() % alphabet.size()];
    const int64_t limit = static_cast<int64_t>(rng() % 120);
    std::string kept;
    for (const std::string& line : Lines(text, w, limit, true)) {
      const bool oneWord = line.find_first_of(" \t") == std::string::npos &&
                           line.find('-') >= line.size() - 1;
      if (MeasureLine(line, w).width > limit) {
        EXPECT_TRUE(oneWord) << "limit " << limit << " line \"" << line << "\"";
      }
      for (char c : line) {
        if (static_cast<uint8_t>(c) > 32) kept += c;
      }
    }
    std::string expected;
    for (char c : text) {
      if (static_cast<uint8_t>(c) > 32) expected += c;
    }
    EXPECT_EQ(kept, expected) << "text \"" << text << "\"";
  }
}

}  // namespace

#include <gtest/gtest.h>

#include <string>

#include "ini/CodePage1251.h"

using pv::ini::Cp1251ToUtf8;
using pv::ini::Utf8ToCp1251;

TEST(CodePage1251, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(CodePage1251, KnownCharacters) {
  struct Case {
    const char* utf8;
    std::string cp1251;
  };
  const Case cases[] = {
      {"Дней", "\xC4\xED\xE5\xE9"},
      {"Ёё", "\xA8\xB8"},
      {"№ €", "\xB9 \x88"},
      {"C:\\Safestow\\", "C:\\Safestow\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToCp1251(c.utf8), c.cp1251) << c.utf8;
    EXPECT_EQ(Cp1251ToUtf8(c.cp1251), c.utf8) << c.utf8;
  }
}

TEST(CodePage1251, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xAD" "b"), "a?b");       // a CJK ideograph
  EXPECT_EQ(Utf8ToCp1251("x\xF0\x9F\x98\x80y"), "x?y");      // outside the BMP
  EXPECT_EQ(Utf8ToCp1251("\xC3"), "?");                      // cut sequence
  EXPECT_EQ(Utf8ToCp1251("\xFF\xD0\x94"), "?\xC4");          // stray byte, then Д
}

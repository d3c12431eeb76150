#include <gtest/gtest.h>

#include "DateTime.h"

using namespace safestow;

TEST(DateTime, FormatLettersHaveTheirWindowsMeaning) {
  const DateTime t{2027, 3, 4, 5, 6, 7, 8};
  struct Case {
    const char* format;
    const char* expected;
  };
  const Case cases[] = {
      {"dd-mm-yyyy-hh-nn-ss", "04-03-2027-05-06-07"},  // the dump stamp: mm is the month here
      {"hh:mm", "05:06"},                              // m right after an hour is minutes
      {"hh-mm", "05-06"},                              // whatever separates them
      {"h:m", "5:6"},
      {"d.m.yy", "4.3.27"},
      {"dd/mm/yyyy", "04.03.2027"},                    // "/" is the date separator
      {"ddd dddd", "Чт четверг"},
      {"'mm' \"hh\" z zzz", "mm hh 8 008"},           // quoted text stays as written
      {"hh:mm  ", "05:06  "},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.format, t), c.expected) << c.format;
  EXPECT_EQ(DateTimeToStr(t), "04.03.2027 5:06:07");
}

TEST(DateTime, DayOfWeekCountsFromSunday) {
  // 6 December 2026 is a Sunday.
  for (int i = 0; i < 7; ++i) EXPECT_EQ(DayOfWeek({2026, 12, 6 + i}), i + 1);
  EXPECT_EQ(DayOfWeek({2000, 2, 29}), 3);  // a Tuesday
}

TEST(DateTime, ParsingTimesAndDates) {
  EXPECT_EQ(StrToTime("02:00"), (DateTime{1899, 12, 30, 2, 0, 0}));
  EXPECT_EQ(StrToTime(" 2:05:09 "), (DateTime{1899, 12, 30, 2, 5, 9}));
  for (const char* bad : {"", "  :  ", "24:00", "12:60", "12", "1:2:3:4", "ab:cd", "12:00x"}) {
    EXPECT_FALSE(StrToTime(bad).has_value()) << bad;
  }
  EXPECT_EQ(StrToDate("10.12.2026"), (DateTime{2026, 12, 10}));
  EXPECT_EQ(StrToDate("1/2/27"), (DateTime{2027, 2, 1}));
  for (const char* bad : {"", "31.02.2026", "29.02.2026", "1.13.2026", "10-12", "x.1.2026"}) {
    EXPECT_FALSE(StrToDate(bad).has_value()) << bad;
  }
}

TEST(DateTime, AddSecondsCrossesDaysAndYears) {
  EXPECT_EQ(AddSeconds({2026, 12, 31, 23, 59, 59}, 1), (DateTime{2027, 1, 1, 0, 0, 0}));
  EXPECT_EQ(AddSeconds({2027, 3, 1, 0, 0, 0}, -1), (DateTime{2027, 2, 28, 23, 59, 59}));
}

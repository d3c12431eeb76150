#pragma once
// Local date and time as the program's settings and file names spell them: the Windows
// format letters (where "m" right after "h" means minutes), the Russian short date
// "dd.mm.yyyy", and a clock that tests replace.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace safestow {

struct DateTime {
  // A time of day alone sits on the zero date 30.12.1899, as on Windows.
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int msec = 0;
  bool operator==(const DateTime&) const = default;
};

// 1 Sunday, 2 Monday .. 7 Saturday.
int DayOfWeek(const DateTime& dt);
bool SameDate(const DateTime& a, const DateTime& b);
// The date of `date` with the time of day of `time`.
DateTime Combine(const DateTime& date, const DateTime& time);
DateTime AddSeconds(const DateTime& dt, std::int64_t seconds);
// Seconds since 1 January 1970 of the wall-clock reading (no time zone): for ordering.
std::int64_t SecondsOf(const DateTime& dt);
// The local time of a moment of the system clock, to the second.
DateTime LocalTime(std::time_t t);

std::string FormatDateTime(std::string_view format, const DateTime& dt);
std::string DateToStr(const DateTime& dt);      // "10.12.2026"
std::string TimeToStr(const DateTime& dt);      // "2:05:09"
std::string DateTimeToStr(const DateTime& dt);  // "10.12.2026 2:05:09"
// "h:mm" or "h:mm:ss" with hours 0..23; nothing for anything else.
std::optional<DateTime> StrToTime(std::string_view text);
// "d.m.yyyy" (also with "/" or "-"); nothing for anything else or an impossible date.
std::optional<DateTime> StrToDate(std::string_view text);

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime Now() const = 0;
};

class SystemClock : public Clock {
 public:
  DateTime Now() const override;
};

}  // namespace safestow

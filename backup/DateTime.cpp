#include "DateTime.h"

#include <cctype>
#include <chrono>
#include <ctime>

namespace safestow {
namespace {

constexpr const char* kShortDays[7] = {"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"};
constexpr const char* kLongDays[7] = {"воскресенье", "понедельник", "вторник", "среда",
                                      "четверг",     "пятница",     "суббота"};

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = static_cast<unsigned>((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1);
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

int DaysInMonth(int y, int m) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

std::string Pad(int value, int width) {
  std::string s = std::to_string(value);
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
  return s;
}

// Reads an unsigned number of 1..maxDigits digits.
bool ReadNumber(std::string_view& s, int maxDigits, int& value) {
  int digits = 0;
  value = 0;
  while (!s.empty() && std::isdigit(static_cast<unsigned char>(s.front())) && digits < maxDigits) {
    value = value * 10 + (s.front() - '0');
    s.remove_prefix(1);
    ++digits;
  }
  return digits > 0;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

int DayOfWeek(const DateTime& dt) {
  const std::int64_t days = DaysFromCivil(dt.year, dt.month, dt.day);  // 1970-01-01 was a Thursday
  return static_cast<int>(((days % 7) + 7 + 4) % 7) + 1;
}

bool SameDate(const DateTime& a, const DateTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

DateTime Combine(const DateTime& date, const DateTime& time) {
  DateTime r = time;
  r.year = date.year;
  r.month = date.month;
  r.day = date.day;
  return r;
}

std::int64_t SecondsOf(const DateTime& dt) {
  return DaysFromCivil(dt.year, dt.month, dt.day) * 86400 + dt.hour * 3600 + dt.minute * 60 + dt.second;
}

DateTime AddSeconds(const DateTime& dt, std::int64_t seconds) {
  std::int64_t total = SecondsOf(dt) + seconds;
  std::int64_t days = total >= 0 ? total / 86400 : (total - 86399) / 86400;
  std::int64_t rest = total - days * 86400;
  DateTime r = dt;
  CivilFromDays(days, r.year, r.month, r.day);
  r.hour = static_cast<int>(rest / 3600);
  r.minute = static_cast<int>(rest / 60 % 60);
  r.second = static_cast<int>(rest % 60);
  return r;
}

std::string FormatDateTime(std::string_view format, const DateTime& dt) {
  std::string out;
  char lastLetter = 0;
  std::size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c == '"' || c == '\'') {
      const std::size_t close = format.find(c, i + 1);
      const std::size_t end = close == std::string_view::npos ? format.size() : close;
      out.append(format.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    std::size_t count = 1;
    while (i + count < format.size() && std::tolower(static_cast<unsigned char>(format[i + count])) ==
                                            std::tolower(static_cast<unsigned char>(c))) {
      ++count;
    }
    char token = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (std::isalpha(static_cast<unsigned char>(c))) {
      // Windows' one ambiguity: "m" right after an hour (separators between don't count) is minutes.
      if (token == 'M' && lastLetter == 'H') token = 'N';
      lastLetter = token;
    }
    switch (token) {
      case 'D':
        if (count <= 2) out += Pad(dt.day, static_cast<int>(count));
        else if (count == 3) out += kShortDays[DayOfWeek(dt) - 1];
        else if (count == 4) out += kLongDays[DayOfWeek(dt) - 1];
        else out += DateToStr(dt);
        break;
      case 'M':
        out += Pad(dt.month, count >= 2 ? 2 : 1);
        break;
      case 'Y':
        out += count <= 2 ? Pad(dt.year % 100, 2) : Pad(dt.year, 4);
        break;
      case 'H':
        out += Pad(dt.hour, count >= 2 ? 2 : 1);
        break;
      case 'N':
        out += Pad(dt.minute, count >= 2 ? 2 : 1);
        break;
      case 'S':
        out += Pad(dt.second, count >= 2 ? 2 : 1);
        break;
      case 'Z':
        out += Pad(dt.msec, count >= 3 ? 3 : 1);
        break;
      case 'T':
        out += count == 1 ? FormatDateTime("h:nn", dt) : TimeToStr(dt);
        break;
      case '/':
        out.append(count, '.');
        break;
      default:
        out.append(format.substr(i, count));
    }
    i += count;
  }
  return out;
}

std::string DateToStr(const DateTime& dt) { return FormatDateTime("dd/mm/yyyy", dt); }
std::string TimeToStr(const DateTime& dt) { return FormatDateTime("h:nn:ss", dt); }
std::string DateTimeToStr(const DateTime& dt) { return DateToStr(dt) + " " + TimeToStr(dt); }

std::optional<DateTime> StrToTime(std::string_view text) {
  std::string_view s = Trim(text);
  DateTime t;
  if (!ReadNumber(s, 2, t.hour) || s.empty() || s.front() != ':') return std::nullopt;
  s.remove_prefix(1);
  if (!ReadNumber(s, 2, t.minute)) return std::nullopt;
  if (!s.empty() && s.front() == ':') {
    s.remove_prefix(1);
    if (!ReadNumber(s, 2, t.second)) return std::nullopt;
  }
  if (!s.empty() || t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
  return t;
}

std::optional<DateTime> StrToDate(std::string_view text) {
  std::string_view s = Trim(text);
  DateTime d;
  const auto separator = [&s] {
    if (s.empty() || (s.front() != '.' && s.front() != '/' && s.front() != '-')) return false;
    s.remove_prefix(1);
    return true;
  };
  if (!ReadNumber(s, 2, d.day) || !separator() || !ReadNumber(s, 2, d.month) || !separator() ||
      !ReadNumber(s, 4, d.year) || !s.empty()) {
    return std::nullopt;
  }
  if (d.year < 100) d.year += d.year < 50 ? 2000 : 1900;  // two-digit years, as Windows reads them
  if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > DaysInMonth(d.year, d.month)) return std::nullopt;
  d.hour = d.minute = d.second = 0;
  return d;
}

DateTime LocalTime(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  DateTime dt;
  dt.year = tm.tm_year + 1900;
  dt.month = tm.tm_mon + 1;
  dt.day = tm.tm_mday;
  dt.hour = tm.tm_hour;
  dt.minute = tm.tm_min;
  dt.second = tm.tm_sec;
  return dt;
}

DateTime SystemClock::Now() const {
  const auto now = std::chrono::system_clock::now();
  DateTime dt = LocalTime(std::chrono::system_clock::to_time_t(now));
  dt.msec = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  return dt;
}

}  // namespace safestow

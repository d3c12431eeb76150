// Alarms.ini and Safestow.ini as a user or another program may have left them: every section
// read as a schedule entry and as the backup settings, every value as a time, a date and a
// size limit. What reads must write back and read again as the same thing; what does not
// read must be kept as it was.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "Alarm.h"
#include "BackupRun.h"
#include "ConsoleSettings.h"
#include "DateTime.h"
#include "ini/IniFile.h"

namespace {

using namespace safestow;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_safestow_ini: %s\n", what);
  std::abort();
}

bool SameMinute(const DateTime& a, const DateTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute;
}

void CheckTime(std::string_view text) {
  const std::optional<DateTime> t = StrToTime(text);
  if (!t) return;
  Check(t->hour >= 0 && t->hour <= 23 && t->minute >= 0 && t->minute <= 59 && t->second >= 0 && t->second <= 59,
        "a time out of its range");
  Check(StrToTime(TimeToStr(*t)) == t, "a time does not read back as written");
}

void CheckDate(std::string_view text) {
  const std::optional<DateTime> d = StrToDate(text);
  if (!d) return;
  Check(d->month >= 1 && d->month <= 12 && d->day >= 1 && d->day <= 31, "a date out of its range");
  Check(StrToDate(DateToStr(*d)) == d, "a date does not read back as written");
  Check(DayOfWeek(*d) >= 1 && DayOfWeek(*d) <= 7, "a day of the week out of its range");
}

void CheckLimit(const std::string& text) {
  const std::optional<long long> limit = ParseLimit(text);
  if (!limit) return;
  Check(ParseLimit(" " + std::to_string(*limit) + " ") == limit, "a size limit does not read back as written");
}

void CheckAlarm(const pv::ini::IniFile& ini, const std::string& section, const DateTime& now) {
  const TAlarm alarm = LoadAlarm(ini, section, now);
  (void)FormatAlarmText(alarm);
  TAlarm due = alarm;
  (void)CheckAlarm(due, now, AddSeconds(now, -3600));
  if (const std::optional<DateTime> latest = LatestDue(alarm, now)) {
    Check(SecondsOf(*latest) <= SecondsOf(now), "an entry falls due after now");
  }
  pv::ini::IniFile saved;
  SaveAlarm(saved, section, alarm);
  const TAlarm again = LoadAlarm(pv::ini::IniFile::FromCp1251(saved.ToCp1251()), section, now);
  Check(again.Message == alarm.Message && again.Recurring == alarm.Recurring, "an entry's name or kind changed");
  Check(again.badTime == alarm.badTime && again.badDate == alarm.badDate, "a damaged value was not kept");
  if (alarm.Valid()) Check(SameMinute(again.Time, alarm.Time), "an entry's time changed");
}

void CheckSettings(const pv::ini::IniFile& ini) {
  const ConsoleSettings s = LoadConsoleSettings(ini);
  CheckLimit(s.sizeDirBackup);
  pv::ini::IniFile saved;
  SaveConsoleSettings(saved, s);
  const ConsoleSettings again = LoadConsoleSettings(pv::ini::IniFile::FromCp1251(saved.ToCp1251()));
  Check(again.pathBackup == s.pathBackup && again.sizeDirBackup == s.sizeDirBackup && again.userId == s.userId &&
            again.sizeDayBackup == s.sizeDayBackup && again.typeSizeBackup == s.typeSizeBackup &&
            again.databaseService == s.databaseService,
        "the settings do not read back as written");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const pv::ini::IniFile ini =
      pv::ini::IniFile::FromCp1251(std::string_view(reinterpret_cast<const char*>(data), size));
  const DateTime now{2026, 12, 10, 2, 5, 9, 0};
  for (const std::string& section : ini.ReadSections()) {
    CheckAlarm(ini, section, now);
    for (const std::string& key : ini.ReadSection(section)) {
      const std::string value = ini.ReadString(section, key, "");
      CheckTime(value);
      CheckDate(value);
      CheckLimit(value);
    }
  }
  CheckSettings(ini);
  return 0;
}

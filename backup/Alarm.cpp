#include "Alarm.h"

#include <exception>

#include "BackupRun.h"
#include "Texts.h"
#include "service/EventLog.h"

namespace safestow {
namespace {

constexpr char kGlobalSection[] = "Global Options";
// A count beyond this is a damaged file, not a schedule.
constexpr int kMostEntries = 10000;

std::string SectionName(int position) { return "Alarm" + std::to_string(position); }

}  // namespace

std::string FormatAlarmText(const TAlarm& alarm) {
  const std::string time = alarm.badTime.empty() ? FormatDateTime("hh:mm", alarm.Time) : alarm.badTime;
  return time + "  " + alarm.Message;
}

bool AlarmMatches(const TAlarm& alarm, const DateTime& now) {
  if (!alarm.Valid() || alarm.Time.hour != now.hour || alarm.Time.minute != now.minute) return false;
  if (alarm.Recurring == kEveryDay) return true;
  if (alarm.Recurring >= 1 && alarm.Recurring <= 7) return DayOfWeek(now) == alarm.Recurring;
  if (alarm.Recurring == kOnDate) return SameDate(alarm.Time, now);
  return false;
}

std::optional<DateTime> LatestDue(const TAlarm& alarm, const DateTime& now) {
  if (!alarm.Valid()) return std::nullopt;
  DateTime due = Combine(now, alarm.Time);
  due.second = 0;
  due.msec = 0;
  if (alarm.Recurring == kOnDate) {
    due = Combine(alarm.Time, due);
    return SecondsOf(due) <= SecondsOf(now) ? std::optional(due) : std::nullopt;
  }
  if (alarm.Recurring != kEveryDay && (alarm.Recurring < 1 || alarm.Recurring > 7)) return std::nullopt;
  // Today's time, or the day before, back to a week for a weekday.
  for (int back = 0; back <= 7; ++back) {
    const bool dayFits = alarm.Recurring == kEveryDay || DayOfWeek(due) == alarm.Recurring;
    if (dayFits && SecondsOf(due) <= SecondsOf(now)) return due;
    due = AddSeconds(due, -86400);
  }
  return std::nullopt;
}

bool CheckAlarm(TAlarm& alarm, const DateTime& now, const std::optional<DateTime>& previous) {
  const std::optional<DateTime> due = LatestDue(alarm, now);
  const bool thisMinute = AlarmMatches(alarm, now);
  // A clock that jumps forward (set by hand, a summer-time change, a wake from sleep) skips
  // minutes; a due time among them is still owed its run.
  const bool jumpedOver = due && previous && SecondsOf(*previous) < SecondsOf(*due);
  if (!thisMinute && !jumpedOver) {
    alarm.Fired = false;
    return false;
  }
  // A clock set back (or the hour repeated when summer time ends) meets the same due time
  // again: one run per due time.
  if (alarm.lastDue && due && *alarm.lastDue == *due) {
    alarm.Fired = thisMinute;
    return false;
  }
  alarm.Fired = thisMinute;
  alarm.lastDue = due;
  return true;
}

TAlarm LoadAlarm(const pv::ini::IniFile& ini, const std::string& section, const DateTime& now) {
  TAlarm alarm;
  alarm.Message = ini.ReadString(section, "Message", texts::kDefaultEntryName);
  const std::string time = ini.ReadString(section, "Time", TimeToStr(now));
  if (const auto t = StrToTime(time)) {
    alarm.Time = *t;
  } else {
    alarm.badTime = time;
  }
  alarm.Recurring = ini.ReadInteger(section, "Recurring", kEveryDay);
  if (alarm.Recurring == kOnDate) {
    const std::string date = ini.ReadString(section, "Date", DateToStr(now));
    if (const auto d = StrToDate(date)) {
      alarm.Time = Combine(*d, alarm.Time);
    } else {
      alarm.badDate = date;
    }
  }
  return alarm;
}

void SaveAlarm(pv::ini::IniFile& ini, const std::string& section, const TAlarm& alarm) {
  ini.WriteString(section, "Message", alarm.Message);
  ini.WriteString(section, "Time", alarm.badTime.empty() ? FormatDateTime("hh:mm", alarm.Time) : alarm.badTime);
  ini.WriteInteger(section, "Recurring", alarm.Recurring);
  if (alarm.Recurring == kOnDate) {
    ini.WriteString(section, "Date", alarm.badDate.empty() ? DateToStr(alarm.Time) : alarm.badDate);
  }
}

TAlarmList::TAlarmList(std::filesystem::path fileName, const Clock& clock)
    : fileName_(std::move(fileName)), clock_(clock) {}

void TAlarmList::Load() {
  entries_.clear();
  const pv::ini::IniFile ini(fileName_);
  if (!ini.ReadError().empty()) pv::service::CurrentEventLog().Write(pv::service::EventKind::Error, ini.ReadError());
  const int count = std::min(ini.ReadInteger(kGlobalSection, "AlarmCount", 0), kMostEntries);
  const DateTime now = clock_.Now();
  for (int i = 1; i <= count; ++i) {
    // A missing section is a damaged entry: the ones after it still count.
    if (!ini.SectionExists(SectionName(i))) continue;
    entries_.push_back(LoadAlarm(ini, SectionName(i), now));
  }
}

bool TAlarmList::Save(std::string* error) const {
  pv::ini::IniFile ini(fileName_);
  ini.WriteInteger(kGlobalSection, "AlarmCount", Count());
  for (int i = 0; i < Count(); ++i) SaveAlarm(ini, SectionName(i + 1), entries_[static_cast<std::size_t>(i)]);
  return ini.UpdateFile(error);
}

bool TAlarmList::SaveAfterEdit() {
  saveError_.clear();
  try {
    if (Save(&saveError_)) return true;
  } catch (const std::exception& e) {
    saveError_ = e.what();
  }
  if (saveError_.empty()) saveError_ = "cannot write " + fileName_.string();
  pv::service::CurrentEventLog().Write(pv::service::EventKind::Error, saveError_);
  return false;
}

bool TAlarmList::Add(TAlarm alarm) {
  entries_.push_back(std::move(alarm));
  if (SaveAfterEdit()) return true;
  entries_.pop_back();
  return false;
}

bool TAlarmList::Update(int index, const TAlarm& alarm) {
  if (index < 0 || index >= Count()) return true;
  TAlarm& entry = entries_.at(static_cast<std::size_t>(index));
  const TAlarm before = entry;
  entry = alarm;
  entry.Fired = before.Fired;
  entry.lastDue = before.lastDue;
  if (SaveAfterEdit()) return true;
  entries_.at(static_cast<std::size_t>(index)) = before;
  return false;
}

bool TAlarmList::Remove(int index) {
  if (index < 0 || index >= Count()) return true;
  const auto at = entries_.begin() + index;
  TAlarm removed = std::move(*at);
  entries_.erase(at);
  if (SaveAfterEdit()) return true;
  entries_.insert(entries_.begin() + index, std::move(removed));
  return false;
}

int TAlarmList::Check(const DateTime& now) {
  int due = 0;
  for (TAlarm& alarm : entries_) {
    if (CheckAlarm(alarm, now, lastCheck_)) ++due;
  }
  lastCheck_ = now;
  return due;
}

bool CheckAlarms(TAlarmList& alarms, TBackupRunner& runner, const DateTime& now) {
  // The list is only walked here, never across a backup: entries may be edited while one runs.
  runner.Ask(alarms.Check(now));
  return runner.Pending() > 0;
}

}  // namespace safestow

#pragma once
// The schedule's entries, when they come due, and their file Alarms.ini.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "DateTime.h"
#include "ini/IniFile.h"

namespace safestow {

class TBackupRunner;

inline constexpr char kAlarmsFile[] = "Alarms.ini";
inline constexpr int kEveryDay = 0;   // 1..7: weekly, 1 Sunday .. 7 Saturday
inline constexpr int kOnDate = 8;

struct TAlarm {
  bool Fired = false;   // has started its backup for the due time of the current minute
  std::string Message;  // the entry's name
  DateTime Time;        // hour and minute; for kOnDate also the date
  int Recurring = kEveryDay;
  // Stored values that do not parse, kept as read so that saving loses nothing; an entry
  // holding one never comes due until it is edited.
  std::string badTime;
  std::string badDate;
  // The due time this entry last started a backup for: it never runs twice for one, whatever
  // the clock does. Kept in memory only.
  std::optional<DateTime> lastDue;
  bool Valid() const { return badTime.empty() && badDate.empty(); }
};

// "hh:mm  " and the name: the entry's line in the schedule window.
std::string FormatAlarmText(const TAlarm& alarm);
// Same hour and minute, and the day fits the kind; seconds do not count.
bool AlarmMatches(const TAlarm& alarm, const DateTime& now);
// The entry's latest due time (its minute, seconds 0) not after `now`; nothing when it has
// none (a date still ahead, an unknown kind, a damaged entry).
std::optional<DateTime> LatestDue(const TAlarm& alarm, const DateTime& now);
// True when the entry starts a backup now: its due time is this minute, or the clock passed
// it since the check before (`previous`, when there was one) by jumping over it; and it has
// not run for that due time yet.
bool CheckAlarm(TAlarm& alarm, const DateTime& now, const std::optional<DateTime>& previous = std::nullopt);

TAlarm LoadAlarm(const pv::ini::IniFile& ini, const std::string& section, const DateTime& now);
void SaveAlarm(pv::ini::IniFile& ini, const std::string& section, const TAlarm& alarm);

// The entries in list order, kept in the file after every change.
class TAlarmList {
 public:
  TAlarmList(std::filesystem::path fileName, const Clock& clock);

  // An Alarms.ini that cannot be read gives an empty schedule and an error in the event log.
  void Load();
  // Writes "AlarmCount" and one section per entry; sections past the count stay in the file.
  bool Save(std::string* error = nullptr) const;

  const std::vector<TAlarm>& Entries() const { return entries_; }
  int Count() const { return static_cast<int>(entries_.size()); }
  const TAlarm& At(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
  // Each change is saved at once. One that cannot be saved is taken back, so the list never
  // holds what the file does not: false then, with the reason in LastSaveError and the event
  // log. An index out of range changes nothing.
  bool Add(TAlarm alarm);
  // Replaces the entry's settings; whether it has fired this minute stays.
  bool Update(int index, const TAlarm& alarm);
  bool Remove(int index);

  // Marks the entries that come due now (or were jumped over since the last check); returns
  // how many did, in list order.
  int Check(const DateTime& now);
  const std::string& LastSaveError() const { return saveError_; }

 private:
  bool SaveAfterEdit();

  std::filesystem::path fileName_;
  const Clock& clock_;
  std::vector<TAlarm> entries_;
  std::optional<DateTime> lastCheck_;
  std::string saveError_;
};

// The schedule's 500 ms check: each entry that comes due asks the runner for one backup. It
// starts none itself, so that the check returns at once and keeps running during a backup;
// the caller starts them (TBackupRunner::RunPending). True when backups wait to run.
bool CheckAlarms(TAlarmList& alarms, TBackupRunner& runner, const DateTime& now);

}  // namespace safestow

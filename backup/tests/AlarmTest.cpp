#include <gtest/gtest.h>

#include "Alarm.h"
#include "TestSupport.h"
#include "ini/CodePage1251.h"

using namespace safestow;
using namespace safestow::test;

namespace {

class ScheduleTest : public ::testing::Test, protected ScheduleParts {
 protected:
  ScheduleTest() { view.settings.pathBackup = (dir.path() / "dumps").string() + "/"; }
  TAlarm Entry(const std::string& name, int hour, int minute, int recurring = kEveryDay) {
    TAlarm a;
    a.Message = name;
    a.Time.hour = hour;
    a.Time.minute = minute;
    a.Recurring = recurring;
    return a;
  }
  // Runs the 500 ms check from `from` for `seconds`, moving the clock as it goes.
  void RunChecks(const DateTime& from, int seconds) {
    clock.now = from;
    for (int half = 0; half < seconds * 2; ++half) {
      if (CheckAlarms(alarms, runner, clock.now)) runner.RunPending();
      if (half % 2 == 1) clock.Advance(1);
    }
  }
};

}  // namespace

TEST_F(ScheduleTest, EveryDayEntryFiresOncePerMatchingMinute) {
  alarms.Add(Entry("nightly", 2, 0));
  RunChecks({2026, 12, 10, 1, 59, 30}, 120);  // 01:59:30 .. 02:01:30
  ASSERT_EQ(processes.starts.size(), 1u);
  EXPECT_TRUE(processes.starts[0].ends_with("/10-12-2026-02-00-00"));

  RunChecks({2026, 12, 11, 2, 0, 59}, 1);  // the last second of the minute, next day
  ASSERT_EQ(processes.starts.size(), 2u);
  EXPECT_TRUE(processes.starts[1].ends_with("/11-12-2026-02-00-59"));
}

TEST_F(ScheduleTest, WeeklyEntriesFireOnTheirWeekdaySundayBeingOne) {
  for (int kind = 1; kind <= 7; ++kind) {
    processes.starts.clear();
    TAlarmList week(dir.path() / "week.ini", clock);
    week.Add(Entry("weekly", 3, 15, kind));
    for (int day = 6; day < 13; ++day) {  // 6 December 2026 is a Sunday
      clock.now = {2026, 12, day, 3, 15, 0};
      if (CheckAlarms(week, runner, clock.now)) runner.RunPending();
    }
    ASSERT_EQ(processes.starts.size(), 1u) << kind;
    EXPECT_TRUE(processes.starts[0].ends_with("/" + std::string(kind + 5 < 10 ? "0" : "") +
                                              std::to_string(kind + 5) + "-12-2026-03-15-00"))
        << processes.starts[0];
  }
}

TEST_F(ScheduleTest, DatedEntriesFireOnTheirDateOnly) {
  TAlarm dated = Entry("once", 4, 30, kOnDate);
  dated.Time = Combine({2026, 12, 24}, dated.Time);
  alarms.Add(dated);
  TAlarm odd = Entry("kind 9 never fires", 4, 30, 9);
  alarms.Add(odd);
  for (int day = 23; day <= 26; ++day) RunChecks({2026, 12, day, 4, 30, 0}, 1);
  RunChecks({2027, 12, 24, 4, 30, 0}, 1);  // the same day a year on
  ASSERT_EQ(processes.starts.size(), 1u);
  EXPECT_TRUE(processes.starts[0].ends_with("/24-12-2026-04-30-00"));
}

TEST_F(ScheduleTest, EntriesDueTogetherRunOneAfterTheOther) {
  alarms.Add(Entry("first", 2, 0));
  alarms.Add(Entry("second", 2, 0));
  int inside = 0;
  processes.duringWait = [&] {
    ++inside;
    EXPECT_EQ(inside, 1);  // never nested
    clock.Advance(1);      // the export takes a second
    CheckAlarms(alarms, runner, clock.now);
    --inside;
  };
  RunChecks({2026, 12, 10, 2, 0, 0}, 3);
  ASSERT_EQ(processes.starts.size(), 2u);
  EXPECT_NE(processes.starts[0], processes.starts[1]);
}

TEST_F(ScheduleTest, EditingTheScheduleDuringARunIsSafe) {
  alarms.Add(Entry("a", 2, 0));
  alarms.Add(Entry("b", 2, 0));
  alarms.Add(Entry("c", 2, 0));
  bool edited = false;
  processes.duringWait = [&] {
    if (std::exchange(edited, true)) return;
    alarms.Remove(0);
    alarms.Remove(0);
    alarms.Add(Entry("new", 2, 0));
    CheckAlarms(alarms, runner, clock.now);
  };
  RunChecks({2026, 12, 10, 2, 0, 0}, 5);
  // Three came due at once and a fourth during the run; each ran in its own second.
  EXPECT_EQ(processes.starts.size(), 4u);
  EXPECT_EQ(alarms.Count(), 2);
}

TEST_F(ScheduleTest, SavedAfterEveryEditAndReadBack) {
  TAlarm dated = Entry("Копия к празднику", 23, 5, kOnDate);
  dated.Time = Combine({2026, 12, 31}, dated.Time);
  alarms.Add(Entry("Задание резервного копирования", 2, 0));
  alarms.Add(Entry("Воскресная", 3, 30, 1));
  alarms.Add(dated);
  // No exit needed: the file is written by each change.
  TAlarmList reread(dir.path() / "Alarms.ini", clock);
  reread.Load();
  ASSERT_EQ(reread.Count(), 3);
  EXPECT_EQ(FormatAlarmText(reread.At(0)), "02:00  Задание резервного копирования");
  EXPECT_EQ(reread.At(1).Recurring, 1);
  EXPECT_EQ(reread.At(2).Time, (DateTime{2026, 12, 31, 23, 5, 0}));

  TAlarm changed = reread.At(1);
  changed.Time.minute = 45;
  alarms.Update(1, changed);
  reread.Load();
  EXPECT_EQ(FormatAlarmText(reread.At(1)), "03:45  Воскресная");
}

// An Alarms.ini that is a folder cannot be read: the schedule starts empty and says why in the
// event log; an entry added then cannot be saved and is not kept either.
TEST_F(ScheduleTest, AnUnreadableFileGivesAnEmptyScheduleAndALoggedError) {
  fs::create_directories(dir.path() / "Alarms.ini" / "inside");
  RecordingEventLog log;
  alarms.Load();
  EXPECT_EQ(alarms.Count(), 0);
  ASSERT_EQ(log.errors.size(), 1u);
  EXPECT_NE(log.errors[0].find("Alarms.ini: Is a directory"), std::string::npos) << log.errors[0];
  alarms.Add(Entry("a", 1, 0));
  EXPECT_EQ(alarms.Count(), 0);
  EXPECT_FALSE(alarms.LastSaveError().empty());
  EXPECT_EQ(log.errors.size(), 2u);
  EXPECT_TRUE(fs::exists(dir.path() / "Alarms.ini" / "inside"));
}

// While the file cannot be written, no change is made: the list in memory, which the schedule
// window shows and runs, stays what the file holds.
TEST_F(ScheduleTest, AChangeThatCannotBeSavedIsNotMade) {
  alarms.Add(Entry("a", 1, 0));
  alarms.Add(Entry("b", 2, 0));
  fs::create_directories(dir.path() / "Alarms.ini.tmp" / "inside");  // the file cannot be replaced
  RecordingEventLog log;
  const auto sameAsFile = [&](const char* step) {
    TAlarmList onDisk(dir.path() / "Alarms.ini", clock);
    onDisk.Load();
    ASSERT_EQ(alarms.Count(), onDisk.Count()) << step;
    for (int i = 0; i < alarms.Count(); ++i) {
      EXPECT_EQ(FormatAlarmText(alarms.At(i)), FormatAlarmText(onDisk.At(i))) << step << " " << i;
    }
    EXPECT_FALSE(alarms.LastSaveError().empty()) << step;
  };
  alarms.Add(Entry("c", 3, 0));
  sameAsFile("add");
  alarms.Update(0, Entry("changed", 4, 0));
  sameAsFile("update");
  alarms.Remove(1);
  sameAsFile("remove");
  EXPECT_EQ(log.errors.size(), 3u);
  // The entries left keep running: the first is still due at 01:00.
  EXPECT_EQ(alarms.Check({2026, 12, 10, 1, 0, 0}), 1);
}

TEST_F(ScheduleTest, DeletingLeavesTheOldSectionsBehind) {
  alarms.Add(Entry("a", 1, 0));
  alarms.Add(Entry("b", 2, 0));
  alarms.Add(Entry("c", 3, 0));
  alarms.Remove(1);
  const pv::ini::IniFile ini(dir.path() / "Alarms.ini");
  EXPECT_EQ(ini.ReadInteger("Global Options", "AlarmCount", 0), 2);
  EXPECT_EQ(ini.ReadString("Alarm2", "Message", ""), "c");
  EXPECT_EQ(ini.ReadString("Alarm3", "Message", ""), "c");  // never read again
  TAlarmList reread(dir.path() / "Alarms.ini", clock);
  reread.Load();
  EXPECT_EQ(reread.Count(), 2);
}

TEST_F(ScheduleTest, DamagedEntriesDropNothingAfterThem) {
  WriteText(dir.path() / "Alarms.ini",
            pv::ini::Utf8ToCp1251("[Global Options]\r\nAlarmCount=5\r\n"
                                  "[Alarm1]\r\nMessage=первое\r\nTime=02:00\r\nRecurring=0\r\n"
                                  "[Alarm2]\r\nMessage=испорчено\r\nTime=25:99\r\nRecurring=0\r\n"
                                  "[Alarm4]\r\nMessage=после дыры\r\nTime=04:00\r\nRecurring=8\r\nDate=31.02.2026\r\n"
                                  "[Alarm5]\r\nMessage=последнее\r\nTime=05:00\r\nRecurring=2\r\n"));
  alarms.Load();
  ASSERT_EQ(alarms.Count(), 4);
  EXPECT_FALSE(alarms.At(1).Valid());
  EXPECT_EQ(FormatAlarmText(alarms.At(1)), "25:99  испорчено");
  EXPECT_FALSE(alarms.At(2).Valid());
  EXPECT_EQ(alarms.At(3).Message, "последнее");

  RunChecks({2026, 12, 14, 2, 0, 0}, 1);  // a Monday
  RunChecks({2026, 12, 14, 5, 0, 0}, 1);
  EXPECT_EQ(processes.starts.size(), 2u);

  // Saving keeps what it could not read, exactly as it was.
  alarms.Add(Entry("new", 6, 0));
  const pv::ini::IniFile ini(dir.path() / "Alarms.ini");
  EXPECT_EQ(ini.ReadString("Alarm2", "Time", ""), "25:99");
  EXPECT_EQ(ini.ReadString("Alarm3", "Date", ""), "31.02.2026");
}

TEST_F(ScheduleTest, CountsOfZeroOrLessGiveAnEmptySchedule) {
  for (const char* count : {"0", "-3", "lots"}) {
    WriteText(dir.path() / "Alarms.ini",
              std::string("[Global Options]\r\nAlarmCount=") + count + "\r\n[Alarm1]\r\nTime=02:00\r\n");
    alarms.Load();
    EXPECT_EQ(alarms.Count(), 0) << count;
  }
  fs::remove(dir.path() / "Alarms.ini");
  alarms.Load();
  EXPECT_EQ(alarms.Count(), 0);
}

TEST_F(ScheduleTest, MissingKeysTakeTheirDefaults) {
  WriteText(dir.path() / "Alarms.ini", "[Global Options]\r\nAlarmCount=1\r\n[Alarm1]\r\nRecurring=8\r\n");
  clock.now = {2026, 12, 10, 7, 45, 3};
  alarms.Load();
  ASSERT_EQ(alarms.Count(), 1);
  EXPECT_EQ(alarms.At(0).Message, "Задание резервного копирования");
  EXPECT_EQ(alarms.At(0).Time, (DateTime{2026, 12, 10, 7, 45, 3}));
}

TEST_F(ScheduleTest, FileIsCp1251ForAnIndependentReader) {
  if (!fs::exists("/usr/bin/python3")) GTEST_SKIP() << "/usr/bin/python3 is not installed";
  TAlarm dated = Entry("Годовая", 23, 5, kOnDate);
  dated.Time = Combine({2026, 12, 31}, dated.Time);
  alarms.Add(Entry("Ночная копия", 2, 0));
  alarms.Add(dated);
  const auto result = pv::process::RunAndCapture(
      "/usr/bin/python3",
      {"-c",
       "import configparser,sys\n"
       "c=configparser.RawConfigParser()\n"
       "c.read(sys.argv[1], encoding='cp1251')\n"
       "out=[c['Global Options']['AlarmCount']]\n"
       "for s in ('Alarm1','Alarm2'):\n"
       "  out += [c[s]['Message'], c[s]['Time'], c[s]['Recurring'], c[s].get('Date','-')]\n"
       "sys.stdout.buffer.write('|'.join(out).encode('utf-8'))\n",
       (dir.path() / "Alarms.ini").string()});
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->output, "2|Ночная копия|02:00|0|-|Годовая|23:05|8|31.12.2026");
}

TEST_F(ScheduleTest, ClockJumpsNeitherSkipNorRepeatARun) {
  struct Case {
    const char* what;
    std::vector<DateTime> checks;  // the clock at each check, in order
    std::vector<std::string> stamps;
  };
  const Case cases[] = {
      {"a jump of minutes over 02:00 runs once, at once",
       {{2026, 12, 10, 1, 59, 58}, {2026, 12, 10, 2, 7, 0}, {2026, 12, 10, 2, 7, 1}},
       {"10-12-2026-02-07-00"}},
      {"summer time: 01:59:59 then 03:00:00",
       {{2026, 3, 29, 1, 59, 59}, {2026, 3, 29, 3, 0, 0}},
       {"29-03-2026-03-00-00"}},
      {"set back after the run: 02:00 comes again, no second run",
       {{2026, 12, 10, 2, 0, 1}, {2026, 12, 10, 2, 1, 30}, {2026, 12, 10, 1, 58, 0}, {2026, 12, 10, 2, 0, 0},
        {2026, 12, 10, 2, 0, 30}},
       {"10-12-2026-02-00-01"}},
      {"winter time: the hour 02:00-02:59 is lived twice",
       {{2026, 10, 25, 2, 0, 5}, {2026, 10, 25, 2, 59, 59}, {2026, 10, 25, 2, 0, 0}, {2026, 10, 25, 2, 0, 5}},
       {"25-10-2026-02-00-05"}},
      {"a jump over two due days runs once, and the next day as usual",
       {{2026, 12, 10, 1, 0, 0}, {2026, 12, 12, 9, 0, 0}, {2026, 12, 13, 2, 0, 0}},
       {"12-12-2026-09-00-00", "13-12-2026-02-00-00"}},
      {"the first check after start-up runs nothing that was due before it",
       {{2026, 12, 10, 9, 0, 0}, {2026, 12, 10, 9, 0, 1}},
       {}},
  };
  for (const Case& c : cases) {
    processes.starts.clear();
    TAlarmList list(dir.path() / "jump.ini", clock);
    TAlarm nightly = Entry("nightly", 2, 0);
    list.Add(nightly);
    TBackupRunner run(clock, services, processes, view);
    for (const DateTime& at : c.checks) {
      clock.now = at;
      if (CheckAlarms(list, run, clock.now)) run.RunPending();
    }
    std::vector<std::string> stamps;
    for (const std::string& s : processes.starts) stamps.push_back(s.substr(s.rfind('/') + 1));
    EXPECT_EQ(stamps, c.stamps) << c.what;
  }
}

#include <gtest/gtest.h>

#include <QListWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QComboBox>
#include <QTimer>

#include "FormsSupport.h"
#include "Schedule.h"

using namespace safestow;
using namespace safestow::test;

namespace {

class ScheduleFormTest : public ::testing::Test, protected ScheduleParts {
 protected:
  ScheduleFormTest() {
    App();
    view.settings.pathBackup = (dir.path() / "dumps").string();
  }
};

}  // namespace

TEST_F(ScheduleFormTest, AddEditDeleteAreSavedAtOnce) {
  TScheduleForm form(alarms, runner, clock);
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Расписание"));
  EXPECT_FALSE(form.EditButton->isEnabled());
  EXPECT_FALSE(form.DeleteButton->isEnabled());

  form.ExecEditor = [](TAlarmDetailsForm& editor) {
    editor.MessageEdit->setText(QString::fromUtf8("Воскресная"));
    editor.TimeMaskEdit->setText("03:30");
    editor.WeeklyRadioButton->setChecked(true);
    editor.WeeklyComboBox->setCurrentIndex(0);
    return int(QDialog::Accepted);
  };
  form.NewButton->click();
  ASSERT_EQ(form.AlarmListBox->count(), 1);
  EXPECT_EQ(form.AlarmListBox->item(0)->text(), QString::fromUtf8("03:30  Воскресная"));
  EXPECT_EQ(form.AlarmListBox->currentRow(), 0);
  EXPECT_TRUE(form.EditButton->isEnabled());
  TAlarmList onDisk(dir.path() / "Alarms.ini", clock);
  onDisk.Load();
  ASSERT_EQ(onDisk.Count(), 1);
  EXPECT_EQ(onDisk.At(0).Recurring, 1);

  form.ExecEditor = [](TAlarmDetailsForm& editor) {
    EXPECT_EQ(editor.TimeMaskEdit->text(), "03:30");
    editor.TimeMaskEdit->setText("04:15");
    return int(QDialog::Accepted);
  };
  form.EditButton->click();
  EXPECT_EQ(form.AlarmListBox->item(0)->text(), QString::fromUtf8("04:15  Воскресная"));
  onDisk.Load();
  EXPECT_EQ(FormatAlarmText(onDisk.At(0)), "04:15  Воскресная");

  form.ExecEditor = [](TAlarmDetailsForm&) { return int(QDialog::Rejected); };
  form.NewButton->click();
  EXPECT_EQ(form.AlarmListBox->count(), 1);

  form.DeleteButton->click();
  EXPECT_EQ(form.AlarmListBox->count(), 0);
  EXPECT_FALSE(form.DeleteButton->isEnabled());
  onDisk.Load();
  EXPECT_EQ(onDisk.Count(), 0);
}

// Changes that cannot be saved are refused with a message, and the window's list stays the
// list the schedule runs.
TEST_F(ScheduleFormTest, AChangeThatCannotBeSavedIsRefusedAndSaid) {
  TAlarm first;
  first.Message = "a";
  first.Time.hour = 1;
  alarms.Add(first);
  TScheduleForm form(alarms, runner, clock);
  std::vector<QString> said;
  form.ShowError = [&](const QString& text) { said.push_back(text); };
  form.ExecEditor = [](TAlarmDetailsForm& editor) {
    editor.MessageEdit->setText("b");
    editor.TimeMaskEdit->setText("02:00");
    return int(QDialog::Accepted);
  };
  fs::create_directories(dir.path() / "Alarms.ini.tmp" / "inside");  // the file cannot be replaced
  RecordingEventLog log;
  form.NewButton->click();
  form.AlarmListBox->setCurrentRow(0);
  form.EditButton->click();
  form.DeleteButton->click();
  ASSERT_EQ(alarms.Count(), 1);
  ASSERT_EQ(form.AlarmListBox->count(), 1);
  EXPECT_EQ(form.AlarmListBox->item(0)->text(), QString::fromUtf8("01:00  a"));
  EXPECT_EQ(FormatAlarmText(alarms.At(0)), "01:00  a");
  ASSERT_EQ(said.size(), 3u);
  EXPECT_TRUE(said[0].startsWith(QString::fromUtf8("Расписание не сохранено: "))) << said[0].toStdString();
  EXPECT_EQ(log.errors.size(), 3u);
}

TEST_F(ScheduleFormTest, TheCheckRunsFromCreationAndStartsDueBackups) {
  TAlarm a;
  a.Message = "nightly";
  a.Time.hour = 2;
  alarms.Add(a);
  clock.now = {2026, 12, 10, 2, 0, 30};
  TScheduleForm form(alarms, runner, clock);
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(form.Timer->isActive());
  EXPECT_EQ(form.Timer->interval(), 500);
  EXPECT_EQ(form.AlarmListBox->item(0)->text(), "02:00  nightly");

  form.TimerTimer();
  EXPECT_EQ(processes.starts.size(), 0u);  // started from the event loop, not inside the tick
  QCoreApplication::processEvents();
  EXPECT_EQ(processes.starts.size(), 1u);
  form.TimerTimer();
  QCoreApplication::processEvents();
  EXPECT_EQ(processes.starts.size(), 1u);
}

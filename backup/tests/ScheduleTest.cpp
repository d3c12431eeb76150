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

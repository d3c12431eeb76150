#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "AlarmDetails.h"
#include "FormsSupport.h"

using namespace safestow;
using namespace safestow::test;

TEST(AlarmDetailsForm, OpensOnTheCurrentTimeAndWeekday) {
  App();
  FakeClock clock;
  clock.now = {2026, 12, 10, 7, 4, 59};  // a Thursday
  TAlarmDetailsForm form(clock);
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Задание"));
  EXPECT_EQ(form.MessageEdit->text(), QString::fromUtf8("Задание резервного копирования"));
  EXPECT_EQ(form.TimeMaskEdit->text(), "07:04");
  EXPECT_EQ(form.WeeklyComboBox->currentIndex(), 4);
  EXPECT_EQ(form.WeeklyComboBox->itemText(0), QString::fromUtf8("Воскресенье"));
  EXPECT_EQ(form.DatePicker->date(), QDate(2026, 12, 10));
  EXPECT_TRUE(form.EverydayRadioButton->isChecked());
  EXPECT_FALSE(form.WeeklyComboBox->isEnabled());
  EXPECT_FALSE(form.DatePicker->isEnabled());

  form.WeeklyRadioButton->click();
  EXPECT_TRUE(form.WeeklyComboBox->isEnabled());
  EXPECT_FALSE(form.DatePicker->isEnabled());
  form.DateRadioButton->click();
  EXPECT_FALSE(form.WeeklyComboBox->isEnabled());
  EXPECT_TRUE(form.DatePicker->isEnabled());

  form.MessageEdit->clear();
  EXPECT_FALSE(form.OKButton->isEnabled());
  form.MessageEdit->setText("x");
  EXPECT_TRUE(form.OKButton->isEnabled());
}

TEST(AlarmDetailsForm, LoadAndStoreEveryKind) {
  App();
  FakeClock clock;
  struct Case {
    int recurring;
    DateTime time;
  };
  const Case cases[] = {
      {kEveryDay, {1899, 12, 30, 2, 0, 0}},
      {1, {1899, 12, 30, 23, 59, 0}},
      {7, {1899, 12, 30, 0, 1, 0}},
      {kOnDate, {2027, 2, 28, 4, 30, 0}},
  };
  for (const Case& c : cases) {
    TAlarm in;
    in.Message = "Ночная";
    in.Time = c.time;
    in.Recurring = c.recurring;
    TAlarmDetailsForm form(clock);
    form.LoadFromAlarm(in);
    TAlarm out;
    ASSERT_TRUE(form.StoreToAlarm(out));
    EXPECT_EQ(out.Message, "Ночная");
    EXPECT_EQ(out.Recurring, c.recurring);
    EXPECT_EQ(out.Time, c.time) << c.recurring;
  }
}

TEST(AlarmDetailsForm, AnUnfinishedTimeIsRefusedOnOk) {
  App();
  FakeClock clock;
  TAlarmDetailsForm form(clock);
  QString shown;
  form.ShowError = [&](const QString& text) { shown = text; };
  form.TimeMaskEdit->setText("2");
  form.OKButton->click();
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_EQ(shown, "'2_:__' is not a valid time");

  TAlarm entry;
  entry.Message = "kept";
  EXPECT_FALSE(form.StoreToAlarm(entry));
  EXPECT_EQ(entry.Message, "kept");

  form.TimeMaskEdit->setText("0230");
  form.OKButton->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
}

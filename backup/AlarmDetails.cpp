#include "AlarmDetails.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "Texts.h"

namespace safestow {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TAlarmDetailsForm::TAlarmDetailsForm(const Clock& clock, QWidget* parent) : QDialog(parent) {
  setWindowTitle(Q(texts::kEntryCaption));
  setObjectName("AlarmDetailsForm");

  MessageEdit = new QLineEdit(Q(texts::kDefaultEntryName), this);
  MessageEdit->setObjectName("MessageEdit");
  TimeMaskEdit = new QLineEdit(this);
  TimeMaskEdit->setObjectName("TimeMaskEdit");
  TimeMaskEdit->setInputMask("90:00;_");
  auto* nameLabel = new QLabel(Q(texts::kEntryName), this);
  nameLabel->setBuddy(MessageEdit);
  auto* timeLabel = new QLabel(Q(texts::kEntryTime), this);
  timeLabel->setBuddy(TimeMaskEdit);

  auto* period = new QGroupBox(Q(texts::kPeriod), this);
  EverydayRadioButton = new QRadioButton(Q(texts::kEveryday), period);
  EverydayRadioButton->setObjectName("EverydayRadioButton");
  EverydayRadioButton->setChecked(true);
  WeeklyRadioButton = new QRadioButton(Q(texts::kWeekly), period);
  WeeklyRadioButton->setObjectName("WeeklyRadioButton");
  DateRadioButton = new QRadioButton(Q(texts::kDate), period);
  DateRadioButton->setObjectName("DateRadioButton");
  WeeklyComboBox = new QComboBox(period);
  WeeklyComboBox->setObjectName("WeeklyComboBox");
  for (const char* day : texts::kWeekdays) WeeklyComboBox->addItem(Q(day));
  WeeklyComboBox->setEnabled(false);
  DatePicker = new QDateEdit(period);
  DatePicker->setObjectName("DatePicker");
  DatePicker->setCalendarPopup(true);
  DatePicker->setDisplayFormat("dd.MM.yyyy");
  DatePicker->setEnabled(false);
  auto* periodLayout = new QGridLayout(period);
  periodLayout->addWidget(EverydayRadioButton, 0, 0);
  periodLayout->addWidget(WeeklyRadioButton, 1, 0);
  periodLayout->addWidget(WeeklyComboBox, 1, 1);
  periodLayout->addWidget(DateRadioButton, 2, 0);
  periodLayout->addWidget(DatePicker, 2, 1);

  OKButton = new QPushButton(Q(texts::kOk), this);
  OKButton->setObjectName("OKButton");
  OKButton->setDefault(true);
  CancelButton = new QPushButton(Q(texts::kCancel), this);
  CancelButton->setObjectName("CancelButton");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);

  auto* fields = new QGridLayout;
  fields->addWidget(nameLabel, 0, 0);
  fields->addWidget(MessageEdit, 0, 1);
  fields->addWidget(timeLabel, 1, 0);
  fields->addWidget(TimeMaskEdit, 1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(period);
  layout->addLayout(buttons);
  setFixedSize(sizeHint());

  connect(MessageEdit, &QLineEdit::textChanged, this, [this] { MessageEditChange(); });
  for (QRadioButton* b : {EverydayRadioButton, WeeklyRadioButton, DateRadioButton}) {
    connect(b, &QRadioButton::toggled, this, [this] { RecuringRadioButtonClick(); });
  }
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  ShowError = [this](const QString& text) { QMessageBox::critical(this, windowTitle(), text); };

  // The form opens on the current time and today's weekday and date.
  const DateTime now = clock.Now();
  TimeMaskEdit->setText(Q(FormatDateTime("hh:mm", now)));
  DatePicker->setDate(QDate(now.year, now.month, now.day));
  WeeklyComboBox->setCurrentIndex(DayOfWeek(now) - 1);
}

void TAlarmDetailsForm::MessageEditChange() { OKButton->setEnabled(!MessageEdit->text().isEmpty()); }

void TAlarmDetailsForm::RecuringRadioButtonClick() {
  WeeklyComboBox->setEnabled(WeeklyRadioButton->isChecked());
  DatePicker->setEnabled(DateRadioButton->isChecked());
}

void TAlarmDetailsForm::LoadFromAlarm(const TAlarm& alarm) {
  MessageEdit->setText(Q(alarm.Message));
  TimeMaskEdit->setText(Q(alarm.badTime.empty() ? FormatDateTime("hh:mm", alarm.Time) : alarm.badTime));
  if (alarm.Recurring == kEveryDay) {
    EverydayRadioButton->setChecked(true);
  } else if (alarm.Recurring >= 1 && alarm.Recurring <= 7) {
    WeeklyRadioButton->setChecked(true);
    WeeklyComboBox->setCurrentIndex(alarm.Recurring - 1);
  } else if (alarm.Recurring == kOnDate) {
    DateRadioButton->setChecked(true);
    if (alarm.badDate.empty()) DatePicker->setDate(QDate(alarm.Time.year, alarm.Time.month, alarm.Time.day));
  }
}

bool TAlarmDetailsForm::StoreToAlarm(TAlarm& alarm) const {
  const auto time = StrToTime(TimeMaskEdit->text().toStdString());
  if (!time) return false;
  alarm.Message = MessageEdit->text().toStdString();
  alarm.Time = *time;
  alarm.badTime.clear();
  alarm.badDate.clear();
  if (EverydayRadioButton->isChecked()) {
    alarm.Recurring = kEveryDay;
  } else if (WeeklyRadioButton->isChecked()) {
    alarm.Recurring = WeeklyComboBox->currentIndex() + 1;
  } else if (DateRadioButton->isChecked()) {
    alarm.Recurring = kOnDate;
    const QDate d = DatePicker->date();
    alarm.Time = Combine(DateTime{d.year(), d.month(), d.day()}, *time);
  }
  return true;
}

void TAlarmDetailsForm::accept() {
  if (!StrToTime(TimeMaskEdit->text().toStdString())) {
    ShowError("'" + TimeMaskEdit->displayText() + Q(texts::kInvalidTime));
    return;
  }
  QDialog::accept();
}

}  // namespace safestow

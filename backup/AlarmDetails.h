#pragma once
// The entry editor: name, time of day, and every day, one weekday or one date.

#include <functional>

#include <QDialog>

#include "Alarm.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace safestow {

class TAlarmDetailsForm : public QDialog {
 public:
  TAlarmDetailsForm(const Clock& clock, QWidget* parent = nullptr);

  void LoadFromAlarm(const TAlarm& alarm);
  // False when the time field does not hold a time; the entry is then left as it was.
  bool StoreToAlarm(TAlarm& alarm) const;

  // Shows a conversion error; a message box unless tests replace it.
  std::function<void(const QString& text)> ShowError;

  QLineEdit* MessageEdit;
  QLineEdit* TimeMaskEdit;
  QRadioButton* EverydayRadioButton;
  QRadioButton* WeeklyRadioButton;
  QRadioButton* DateRadioButton;
  QComboBox* WeeklyComboBox;
  QDateEdit* DatePicker;
  QPushButton* OKButton;
  QPushButton* CancelButton;

  void accept() override;

 private:
  void MessageEditChange();
  void RecuringRadioButtonClick();
};

}  // namespace safestow

#pragma once
// The schedule window: the entries, their editor, and the 500 ms check that runs from
// creation whether the window is shown or not.

#include <functional>

#include <QDialog>
#include <QString>

#include "Alarm.h"
#include "AlarmDetails.h"
#include "BackupRun.h"

class QListWidget;
class QPushButton;
class QTimer;

namespace safestow {

class TScheduleForm : public QDialog {
 public:
  TScheduleForm(TAlarmList& alarms, TBackupRunner& runner, const Clock& clock, QWidget* parent = nullptr);

  void NewButtonClick();
  void EditButtonClick();
  void DeleteButtonClick();
  void TimerTimer();
  void UpdateButtons();

  // Shows an editor modally and returns its result; tests fill the editor in instead.
  std::function<int(TAlarmDetailsForm& editor)> ExecEditor;
  // Says that a change could not be saved (and so was not made); a message box by default.
  std::function<void(const QString& text)> ShowError;

  QListWidget* AlarmListBox;
  QPushButton* NewButton;
  QPushButton* EditButton;
  QPushButton* DeleteButton;
  QPushButton* CloseButton;
  QTimer* Timer;

 private:
  void FillList();
  void NotSaved();

  TAlarmList& alarms_;
  TBackupRunner& runner_;
  const Clock& clock_;
};

}  // namespace safestow

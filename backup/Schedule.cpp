#include "Schedule.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "Texts.h"
#include "service/EventLog.h"

namespace safestow {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

}  // namespace

TScheduleForm::TScheduleForm(TAlarmList& alarms, TBackupRunner& runner, const Clock& clock, QWidget* parent)
    : QDialog(parent), alarms_(alarms), runner_(runner), clock_(clock) {
  setWindowTitle(Q(texts::kScheduleCaption));
  setObjectName("ScheduleForm");
  AlarmListBox = new QListWidget(this);
  AlarmListBox->setObjectName("AlarmListBox");
  NewButton = new QPushButton(Q(texts::kAdd), this);
  NewButton->setObjectName("NewButton");
  NewButton->setDefault(true);
  EditButton = new QPushButton(Q(texts::kEdit), this);
  EditButton->setObjectName("EditButton");
  DeleteButton = new QPushButton(Q(texts::kDelete), this);
  DeleteButton->setObjectName("DeleteButton");
  CloseButton = new QPushButton(Q(texts::kCloseSchedule), this);
  CloseButton->setObjectName("CloseButton");

  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {NewButton, EditButton, DeleteButton}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(CloseButton);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(AlarmListBox);
  layout->addLayout(buttons);
  resize(420, 260);
  setFixedSize(size());

  connect(NewButton, &QPushButton::clicked, this, pv::service::Guarded("NewButtonClick", [this] { NewButtonClick(); }));
  connect(EditButton, &QPushButton::clicked, this,
      pv::service::Guarded("EditButtonClick", [this] { EditButtonClick(); }));
  connect(DeleteButton, &QPushButton::clicked, this,
      pv::service::Guarded("DeleteButtonClick", [this] { DeleteButtonClick(); }));
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
  connect(AlarmListBox, &QListWidget::itemSelectionChanged, this,
      pv::service::Guarded("UpdateButtons", [this] { UpdateButtons(); }));
  connect(AlarmListBox, &QListWidget::itemDoubleClicked, this,
      pv::service::Guarded("EditButtonClick", [this] { EditButtonClick(); }));
  ExecEditor = [](TAlarmDetailsForm& editor) { return editor.exec(); };
  ShowError = [this](const QString& text) { QMessageBox::critical(this, windowTitle(), text); };

  FillList();
  UpdateButtons();
  Timer = new QTimer(this);
  Timer->setObjectName("Timer");
  connect(Timer, &QTimer::timeout, this, pv::service::Guarded("TimerTimer", [this] { TimerTimer(); }));
  Timer->start(500);
}

void TScheduleForm::FillList() {
  AlarmListBox->clear();
  for (const TAlarm& alarm : alarms_.Entries()) {
    AlarmListBox->addItem(QString::fromStdString(FormatAlarmText(alarm)));
  }
}

void TScheduleForm::UpdateButtons() {
  const bool selected = AlarmListBox->currentRow() >= 0 && !AlarmListBox->selectedItems().isEmpty();
  EditButton->setEnabled(selected);
  DeleteButton->setEnabled(selected);
}

void TScheduleForm::NewButtonClick() {
  TAlarmDetailsForm editor(clock_, this);
  if (ExecEditor(editor) != QDialog::Accepted) return;
  TAlarm alarm;
  if (!editor.StoreToAlarm(alarm)) return;
  if (!alarms_.Add(alarm)) return NotSaved();
  AlarmListBox->addItem(QString::fromStdString(FormatAlarmText(alarm)));
  AlarmListBox->setCurrentRow(AlarmListBox->count() - 1);
}

void TScheduleForm::EditButtonClick() {
  const int row = AlarmListBox->currentRow();
  if (row < 0 || row >= alarms_.Count()) return;
  TAlarmDetailsForm editor(clock_, this);
  editor.LoadFromAlarm(alarms_.At(row));
  if (ExecEditor(editor) != QDialog::Accepted) return;
  // The list may have changed while the editor was open (a backup ran meanwhile).
  if (row >= alarms_.Count()) return;
  TAlarm alarm = alarms_.At(row);
  if (!editor.StoreToAlarm(alarm)) return;
  if (!alarms_.Update(row, alarm)) return NotSaved();
  AlarmListBox->item(row)->setText(QString::fromStdString(FormatAlarmText(alarms_.At(row))));
  AlarmListBox->setCurrentRow(row);
}

void TScheduleForm::DeleteButtonClick() {
  const int row = AlarmListBox->currentRow();
  if (row < 0 || row >= alarms_.Count()) return;
  if (!alarms_.Remove(row)) return NotSaved();
  delete AlarmListBox->takeItem(row);
  UpdateButtons();
}

void TScheduleForm::NotSaved() {
  if (ShowError) ShowError(Q(texts::kScheduleNotSaved) + QString::fromStdString(alarms_.LastSaveError()));
}

void TScheduleForm::TimerTimer() {
  // The backups start from the event loop, not inside this tick: a timer does not tick again
  // while its own handler runs, and the check must go on during a long export.
  if (CheckAlarms(alarms_, runner_, clock_.Now()) && !runner_.Running()) {
    QTimer::singleShot(0, this, pv::service::Guarded("RunBackup", [this] { runner_.RunPending(); }));
  }
}

}  // namespace safestow

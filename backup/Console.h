#pragma once
// The console window: the backup settings of Safestow.ini, the dump list, the state line, and
// the backup run it hosts. It is the program's main window, hidden until asked for.

#include <filesystem>
#include <functional>
#include <memory>

#include <QWidget>

#include "BackupRun.h"
#include "CoolTrayIcon.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStatusBar;
class QTimer;
class QTreeWidget;

namespace safestow {

class TConsoleForm : public QWidget, public BackupView {
 public:
  TConsoleForm(std::filesystem::path settingsFile, const Clock& clock, pv::service::ServiceControl& services,
               pv::process::ProcessRunner& processes, TCoolTrayIcon& trayIcon, const TImageList& busyFrames,
               QWidget* parent = nullptr);
  ~TConsoleForm() override;

  void LoadConsoleSettings();
  void RunBackup() { runner_->RunBackup(); }
  TBackupRunner& Runner() { return *runner_; }

  // Handlers, by the names the window's controls have always used.
  void FormShow();
  void RadioGroup1Click();
  void BitBtn2Click() { RunBackup(); }
  void BitBtn3Click();
  void BitBtn1Click() { hide(); }
  void SpeedButton1Click() { RefreshDumpList(); }
  void Timer1Timer();
  void ShowArchiveSize();
  void ListDumpFiles();

  // Set by the program: the schedule window, and the service's stop command.
  std::function<void()> ShowSchedule;
  std::function<void()> StopService;

  // BackupView
  ConsoleSettings CurrentSettings() const override;
  void SetStateText(const std::string& text) override;
  void SetBackupButtonEnabled(bool enabled) override;
  void RefreshDumpList() override;
  void SetBusyAnimation(bool running) override;
  void ShowBalloon(const std::string& title, const std::string& text, int iconKind, int seconds) override;

  QGroupBox* GroupBox1;
  QLineEdit* Edit1;
  QGroupBox* RadioGroup1;
  QButtonGroup* RadioGroup1Items;
  QSpinBox* SpinEdit1;
  QLineEdit* Edit2;
  QLineEdit* Edit4;
  QPushButton* BitBtn3;
  QPushButton* BitBtn5;
  QLabel* Label1;
  QPushButton* SpeedButton1;
  QTreeWidget* ListView1;
  QPushButton* BitBtn2;
  QPushButton* BitBtn1;
  QPushButton* BitBtn4;
  QStatusBar* StatusBar1;
  QLabel* StatusPanel0;
  QLabel* StatusPanel1;
  QTimer* Timer1;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void RestartTimer1();

  std::filesystem::path settingsFile_;
  pv::service::ServiceControl& services_;
  TCoolTrayIcon& trayIcon_;
  const TImageList& busyFrames_;
  std::string databaseService_ = "OracleServiceORCL";
  std::unique_ptr<TBackupRunner> runner_;
};

}  // namespace safestow

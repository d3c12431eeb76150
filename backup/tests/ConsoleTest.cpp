#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>

#include "Console.h"
#include "FormsSupport.h"
#include "Schedule.h"
#include "Service.h"
#include "ini/CodePage1251.h"
#include "process/EventLoopProcessRunner.h"

using namespace safestow;
using namespace safestow::test;

namespace {

class ConsoleTest : public ::testing::Test {
 protected:
  ConsoleTest() {
    App();
    services.states["OracleServiceORCL"] = pv::service::kServiceRunning;
    service = std::make_unique<TSafestowService>(shell, services);
    console = std::make_unique<TConsoleForm>(dir.path() / "Safestow.ini", clock, services, processes,
                                             service->CoolTrayIcon1(), service->ImageList1());
    service->SetConsole(console.get());
  }
  ~ConsoleTest() override {
    console.reset();
    service.reset();
  }
  fs::path Dumps() const { return dir.path() / "BackUpDB"; }
  void WriteSettings(const std::string& utf8) { WriteText(dir.path() / "Safestow.ini", pv::ini::Utf8ToCp1251(utf8)); }

  TempDir dir;
  ManualTimers timers;
  FakeClock clock;
  FakeServices services;
  pv::process::EventLoopProcessRunner processes;
  RecordingShell shell;
  std::unique_ptr<TSafestowService> service;
  std::unique_ptr<TConsoleForm> console;
};

}  // namespace

TEST_F(ConsoleTest, SettingsAreReadIntoTheControlsAndWrittenBack) {
  WriteSettings("[PARAMETERS]\r\nPathBackup=" + Dumps().string() +
                "/\r\nSizeDIRBackup=2048\r\nUserID=SCOTT/TIGER\r\nSizeDAYBackup=7\r\nTypeSizeBackup=0\r\n"
                "[Заметки]\r\nкто=админ\r\n");
  console->LoadConsoleSettings();
  EXPECT_EQ(console->windowTitle(), QString::fromUtf8("Утилита резервного копирования БД Valmeris"));
  EXPECT_EQ(console->Edit1->text().toStdString(), Dumps().string() + "/");
  EXPECT_EQ(console->Edit2->text(), "2048");
  EXPECT_EQ(console->Edit4->text(), "SCOTT/TIGER");
  EXPECT_EQ(console->SpinEdit1->value(), 7);
  EXPECT_EQ(console->RadioGroup1Items->checkedId(), 0);
  EXPECT_TRUE(console->SpinEdit1->isEnabled());
  EXPECT_FALSE(console->Edit2->isEnabled());

  console->RadioGroup1Items->button(1)->click();
  EXPECT_FALSE(console->SpinEdit1->isEnabled());
  EXPECT_TRUE(console->Edit2->isEnabled());

  console->Edit4->setText(QString::fromUtf8("ПОЛЬЗОВАТЕЛЬ/пароль"));
  console->BitBtn3->click();
  const pv::ini::IniFile ini(dir.path() / "Safestow.ini");
  EXPECT_EQ(ini.ReadString("PARAMETERS", "UserID", ""), "ПОЛЬЗОВАТЕЛЬ/пароль");  // as typed, in the clear
  EXPECT_EQ(ini.ReadInteger("PARAMETERS", "TypeSizeBackup", -1), 1);
  EXPECT_EQ(ini.ReadString("Заметки", "Кто", ""), "админ");
}

TEST_F(ConsoleTest, MissingSettingsTakeTheirDefaults) {
  console->LoadConsoleSettings();
  EXPECT_EQ(console->Edit1->text().toStdString(), DefaultBackupPath());
  EXPECT_EQ(console->Edit2->text(), "100000");
  EXPECT_EQ(console->Edit4->text(), "VALMERIS/QUENTARO");
  EXPECT_EQ(console->SpinEdit1->value(), 31);
  EXPECT_EQ(console->RadioGroup1Items->checkedId(), 0);
}

// A Safestow.ini that is a folder reads as a missing one, with the reason in the event log;
// saving then is refused and leaves the folder as it was.
TEST_F(ConsoleTest, UnreadableSettingsTakeTheirDefaultsAndAreLogged) {
  fs::create_directories(dir.path() / "Safestow.ini" / "inside");
  RecordingEventLog log;
  console->LoadConsoleSettings();
  EXPECT_EQ(console->Edit4->text(), "VALMERIS/QUENTARO");
  EXPECT_EQ(console->SpinEdit1->value(), 31);
  ASSERT_EQ(log.errors.size(), 1u);
  EXPECT_NE(log.errors[0].find("Safestow.ini: Is a directory"), std::string::npos) << log.errors[0];
  console->BitBtn3->click();
  EXPECT_EQ(console->StatusPanel0->text(), QString::fromUtf8("Состояние: Ошибка!"));
  EXPECT_EQ(log.errors.size(), 2u);
  EXPECT_TRUE(fs::exists(dir.path() / "Safestow.ini" / "inside"));
}

TEST_F(ConsoleTest, ShowingListsTheDumpsOldestFirst) {
  MakeDump(Dumps(), "01-01-2027-02-00-00.DMP", 2048, 100);
  MakeDump(Dumps(), "31-12-2026-02-00-00.DMP", 1024, 200);
  MakeDump(Dumps(), "readme.txt", 1048576, 300);
  console->Edit1->setText(QString::fromStdString(Dumps().string() + "/"));
  console->show();
  ASSERT_EQ(console->ListView1->topLevelItemCount(), 2);
  EXPECT_EQ(console->ListView1->topLevelItem(0)->text(0), "31-12-2026-02-00-00.DMP");
  EXPECT_EQ(console->ListView1->topLevelItem(0)->text(1), "1024");
  EXPECT_EQ(console->ListView1->topLevelItem(1)->text(0), "01-01-2027-02-00-00.DMP");
  EXPECT_EQ(console->StatusPanel1->text(), QString::fromUtf8("Размер архива: 1,00 Mb"));
  EXPECT_EQ(console->StatusPanel0->text(), QString::fromUtf8("Состояние: Ожидание задания"));
  console->BitBtn1->click();
  EXPECT_FALSE(console->isVisible());

  services.states.clear();
  console->show();
  EXPECT_EQ(console->StatusPanel0->text(), QString::fromUtf8("Состояние: Ошибка!"));
}

TEST_F(ConsoleTest, BackupNowRunsTheExportAndReports) {
  StandInExp exp(dir.path());
  exp.SetDelay("0.3");
  console->Edit1->setText(QString::fromStdString(Dumps().string() + "/"));
  console->RadioGroup1Items->button(0)->click();
  console->SpinEdit1->setValue(5);

  bool sawRunning = false;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (console->Runner().RunState() != "RUN") return;
    sawRunning = true;
    EXPECT_FALSE(console->BitBtn2->isEnabled());
    EXPECT_EQ(console->StatusPanel0->text(), QString::fromUtf8("Состояние: Выполняется"));
    EXPECT_TRUE(service->CoolTrayIcon1().CycleIcons());
    // A tray click during the export tells so.
    service->CoolTrayIcon1Click();
    EXPECT_EQ(shell.LastBalloon(), "Выполняется резервное копирование!\rОперация может занять несколько минут...");
  });
  probe.start(20);
  console->BitBtn2->click();  // returns when the export has ended; the loop ran meanwhile
  probe.stop();

  EXPECT_TRUE(sawRunning);
  EXPECT_EQ(exp.Calls(), std::vector<std::string>{"userid=VALMERIS/QUENTARO file=" + Dumps().string() +
                                                  "/10-12-2026-02-05-09"});
  EXPECT_TRUE(console->BitBtn2->isEnabled());
  EXPECT_FALSE(service->CoolTrayIcon1().CycleIcons());
  EXPECT_EQ(service->CoolTrayIcon1().IconIndex(), 0);
  ASSERT_EQ(console->ListView1->topLevelItemCount(), 1);
  EXPECT_EQ(console->ListView1->topLevelItem(0)->text(0), "10-12-2026-02-05-09.DMP");
  EXPECT_EQ(console->StatusPanel0->text(), QString::fromUtf8("Состояние: Ожидание задания"));
  EXPECT_EQ(shell.LastBalloon(), "Резерное копирование завершено!\rСоздан файл: 10-12-2026-02-05-09.DMP");
  EXPECT_TRUE(console->Timer1->isActive());

  console->Timer1Timer();  // ten seconds later the balloon goes
  EXPECT_EQ(shell.LastBalloon(), "");
  EXPECT_FALSE(console->Timer1->isActive());
}

TEST_F(ConsoleTest, TrayClickAndTheStopQuestion) {
  service->CoolTrayIcon1Click();
  EXPECT_EQ(shell.LastBalloon(), "Служба Backup Valmeris запущена\rОжидается выполнение задания...");
  services.states.clear();
  service->CoolTrayIcon1Click();
  EXPECT_EQ(shell.LastBalloon(),
            "Выполнение резервного копирования не возможно!\rНе запущена служба OracleServiceORCL");

  int quits = 0;
  service->Quit = [&] { ++quits; };
  service->runsAsUnit = true;
  service->Confirm = [](const std::string&, const std::string&) { return false; };
  console->BitBtn4->click();
  EXPECT_EQ(quits, 0);
  service->Confirm = [](const std::string&, const std::string&) { return true; };
  service->PopupMenu1()->findChild<QAction*>("StopService")->trigger();
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(services.calls.back(), "stop SafestowService");

  const auto actions = service->PopupMenu1()->actions();
  ASSERT_EQ(actions.size(), 4);
  EXPECT_EQ(actions[0]->text(), QString::fromUtf8("Открыть Backup Valmeris..."));
  EXPECT_TRUE(actions[2]->isSeparator());
  service->PopupMenu1()->findChild<QAction*>("Show")->trigger();
  EXPECT_TRUE(console->isVisible());
}

TEST_F(ConsoleTest, HandlerExceptionsAreLoggedOnceAndTheScheduleGoesOn) {
  RecordingEventLog log;
  StandInExp exp(dir.path());
  console->LoadConsoleSettings();
  console->Edit1->setText(QString::fromStdString(Dumps().string()));

  // A click on the tray icon whose handler throws.
  services.throwOnQuery = 1;
  shell.Send(service->CoolTrayIcon1().IconData().uID, pv::tray::WM_LBUTTONDOWN);
  shell.Send(service->CoolTrayIcon1().IconData().uID, pv::tray::WM_LBUTTONUP);
  EXPECT_EQ(log.errors, std::vector<std::string>{"tray icon: service manager unreachable"});

  // A schedule tick whose handler throws; the next tick starts the due backup.
  FakeClock scheduleClock;
  scheduleClock.throwOnRead = 1;
  TAlarmList alarms(dir.path() / "Alarms.ini", scheduleClock);
  TAlarm due;
  due.Time.hour = 2;
  due.Time.minute = 5;
  alarms.Add(due);
  TScheduleForm schedule(alarms, console->Runner(), scheduleClock);
  const fs::path dump = Dumps() / "10-12-2026-02-05-09.DMP";
  QElapsedTimer waited;
  waited.start();
  while (!fs::exists(dump) && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_TRUE(fs::exists(dump));
  EXPECT_EQ(log.errors, (std::vector<std::string>{"tray icon: service manager unreachable",
                                                  "TimerTimer: clock unreadable"}));
}

// Safestow: the database backup service with its tray icon. With /INSTALL or /UNINSTALL (and
// /SILENT) it registers or removes its systemd user unit and ends; otherwise it runs, one
// copy per folder.

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QSocketNotifier>

#include "Alarm.h"
#include "Console.h"
#include "CoolTrayIconHooks.h"
#include "Schedule.h"
#include "Service.h"
#include "ServiceShell.h"
#include "SimpleTimer.h"
#include "Texts.h"
#include "process/EventLoopProcessRunner.h"
#include "service/EventLog.h"
#include "timer/QtTimerHost.h"
#include "tray/QtTrayShell.h"

namespace {

namespace fs = std::filesystem;

fs::path OwnExecutable(const char* argv0) {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::absolute(argv0) : self;
}

// A database drum, with a green arrow on the second frame of the busy animation.
QIcon DrawIcon(bool arrow) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QColor(0x20, 0x30, 0x60));
  p.setBrush(QColor(0x40, 0x70, 0xC0));
  p.drawRect(2, 4, 11, 9);
  p.drawEllipse(2, 1, 11, 5);
  p.drawEllipse(2, 10, 11, 5);
  if (arrow) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0xB0, 0x40));
    const QPoint tip[] = {{15, 8}, {10, 3}, {10, 13}};
    p.drawPolygon(tip, 3);
  }
  return QIcon(pixmap);
}

// The last net under every handler: an exception that reaches the event loop is written to
// the event log and the program goes on. Our own handlers are guarded where they are
// connected; this catches what comes through Qt's own dispatch.
class ServiceApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (...) {
      pv::service::LogHandlerException("event loop", std::current_exception());
      return false;
    }
  }
};

// SIGTERM (systemd's stop) and SIGINT end the event loop, so the program closes in order.
int gSignalPipe[2] = {-1, -1};
void OnSignal(int) {
  const char c = 1;
  (void)!::write(gSignalPipe[1], &c, 1);
}

void QuitOnSignals(QApplication& app) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
    char c;
    (void)!::read(gSignalPipe[0], &c, 1);
    QCoreApplication::quit();
  });
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
}

int RunCommand(const safestow::CommandLine& line, const std::string& exe, int argc, char** argv) {
  auto services = pv::service::SystemdUserServices::ForCurrentUser();
  if (line.silent) return safestow::RunServiceCommand(line, services, exe, nullptr);
  QApplication app(argc, argv);
  return safestow::RunServiceCommand(line, services, exe, [](const std::string& text, bool ok) {
    const QString title = QString::fromUtf8(safestow::texts::kServiceDisplayName);
    if (ok) {
      QMessageBox::information(nullptr, title, QString::fromStdString(text));
    } else {
      QMessageBox::critical(nullptr, title, QString::fromStdString(text));
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  using namespace safestow;
  const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  const fs::path exe = OwnExecutable(argv[0]);
  if (line.command != ServiceCommand::Run) return RunCommand(line, exe.string(), argc, argv);

  ServiceApplication app(argc, argv);
  const fs::path dir = exe.parent_path();
  const bool runsAsUnit = std::getenv("INVOCATION_ID") != nullptr;
  // Held until the program ends; the system lets go of it however the program ends.
  const auto folderLock = ClaimFolder(dir, [runsAsUnit](const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    // The unit's copy says it in the journal only: nobody may be there to close a box.
    if (!runsAsUnit) {
      QMessageBox::information(nullptr, QString::fromUtf8(texts::kServiceDisplayName), QString::fromStdString(text));
    }
  });
  if (!folderLock) return 1;
  QApplication::setQuitOnLastWindowClosed(false);
  QuitOnSignals(app);
  TSimpleTimerHandler::SetHostFactory([] { return std::make_unique<pv::timer::QtTimerHost>(); });

  pv::tray::QtTrayShell shell;
  shell.RegisterIcon("tray", DrawIcon(false));
  shell.RegisterIcon("busy0", DrawIcon(false));
  shell.RegisterIcon("busy1", DrawIcon(true));
  app.setWindowIcon(DrawIcon(false));

  SystemClock clock;
  auto services = pv::service::SystemdUserServices::ForCurrentUser();
  pv::process::EventLoopProcessRunner processes;

  TSafestowService service(shell, services);
  service.runsAsUnit = runsAsUnit;
  TConsoleForm console(dir / kSettingsFile, clock, services, processes, service.CoolTrayIcon1(), service.ImageList1());
  TCoolTrayIconHooks trayHooks(service.CoolTrayIcon1(), console);
  TAlarmList alarms(dir / kAlarmsFile, clock);
  alarms.Load();
  TScheduleForm schedule(alarms, console.Runner(), clock, &console);
  console.ShowSchedule = [&schedule] { schedule.exec(); };
  console.StopService = [&service] { service.StopServiceClick(); };
  console.LoadConsoleSettings();
  service.SetConsole(&console);
  return app.exec();
}

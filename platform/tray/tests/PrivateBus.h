#pragma once
// A D-Bus session bus of the test's own (dbus-daemon --session), so that no test talks to the
// developer's desktop, and a wait that keeps the event loop running.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace pv::tray::test {

class PrivateBus {
 public:
  PrivateBus() {
    const QString exe = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (exe.isEmpty()) {
      problem_ = "dbus-daemon is not installed (package dbus-daemon): the test needs a bus of its own";
      return;
    }
    daemon_.start(exe, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    if (!daemon_.waitForStarted(5000)) {
      problem_ = "dbus-daemon did not start";
      return;
    }
    while (address_.isEmpty() && daemon_.waitForReadyRead(5000)) {
      address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    if (address_.isEmpty()) problem_ = "dbus-daemon printed no address";
  }
  ~PrivateBus() {
    for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
    if (daemon_.state() == QProcess::NotRunning) return;
    daemon_.terminate();
    if (!daemon_.waitForFinished(3000)) {
      daemon_.kill();
      daemon_.waitForFinished(3000);
    }
  }
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  bool Ok() const { return problem_.empty(); }
  const std::string& Problem() const { return problem_; }

  // A new connection to this bus, closed with the bus.
  QDBusConnection Connect() {
    static int serial = 0;
    const QString name = QStringLiteral("private-bus-%1").arg(++serial);
    names_ << name;
    return QDBusConnection::connectToBus(address_, name);
  }

 private:
  QProcess daemon_;
  QString address_;
  QStringList names_;
  std::string problem_;
};

// Runs the event loop until `done` holds or `ms` have passed; returns `done`'s last answer.
template <class Pred>
bool WaitUntil(Pred done, int ms = 5000) {
  QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// Keeps the event loop running for `ms`: for checking that nothing more arrives.
inline void Settle(int ms = 200) {
  WaitUntil([] { return false; }, ms);
}

}  // namespace pv::tray::test

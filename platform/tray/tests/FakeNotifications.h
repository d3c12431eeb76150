#pragma once
// A desktop notification service for tests: it records what it is asked, and the test makes
// its balloons expire, get dismissed or get clicked.

#include <vector>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace pv::tray::test {

class FakeNotifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  struct Shown {
    uint id;
    QString app, icon, summary, body;
    QStringList actions;
    int timeout;
  };

  explicit FakeNotifications(const QDBusConnection& bus) : bus_(bus) {
    registered = bus_.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                     QDBusConnection::ExportAllSlots) &&
                 bus_.registerService(QStringLiteral("org.freedesktop.Notifications"));
  }

  bool registered = false;
  std::vector<Shown> shown;
  std::vector<uint> closeCalls;

  void Expire(uint id) { SendClosed(id, 1); }
  void Dismiss(uint id) { SendClosed(id, 2); }
  void Click(uint id) {
    QDBusMessage m = Signal(QStringLiteral("ActionInvoked"));
    m << id << QStringLiteral("default");
    bus_.send(m);
    SendClosed(id, 2);  // services close a clicked notification
  }

 public slots:
  uint Notify(const QString& app, uint, const QString& icon, const QString& summary, const QString& body,
              const QStringList& actions, const QVariantMap&, int timeout) {
    shown.push_back({++lastId_, app, icon, summary, body, actions, timeout});
    return lastId_;
  }
  void CloseNotification(uint id) {
    closeCalls.push_back(id);
    SendClosed(id, 3);
  }
  QStringList GetCapabilities() { return {QStringLiteral("body"), QStringLiteral("actions")}; }

 private:
  QDBusMessage Signal(const QString& name) {
    return QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                      QStringLiteral("org.freedesktop.Notifications"), name);
  }
  void SendClosed(uint id, uint reason) {
    QDBusMessage m = Signal(QStringLiteral("NotificationClosed"));
    m << id << reason;
    bus_.send(m);
  }

  QDBusConnection bus_;
  uint lastId_ = 40;
};

}  // namespace pv::tray::test

#pragma once
// Balloons through the desktop's notification service (org.freedesktop.Notifications on the
// session bus). Unlike QSystemTrayIcon::showMessage it reports what becomes of a balloon:
// shown, expired, closed, clicked; those come back as the shell's balloon events
// (NIN_BALLOONSHOW, NIN_BALLOONTIMEOUT, NIN_BALLOONHIDE, NIN_BALLOONUSERCLICK). Calls are
// asynchronous, so a slow service never stalls the program.

#include <cstdint>
#include <functional>
#include <map>

#include <QDBusConnection>
#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

namespace pv::tray {

class DBusNotifications : public QObject {
  Q_OBJECT

 public:
  explicit DBusNotifications(const QDBusConnection& bus, QObject* parent = nullptr);

  // True while a notification service owns its name on the bus.
  bool Available() const;
  // Shows a balloon for the icon; it becomes the icon's balloon for Close. `kind` is a
  // balloon icon kind (NIIF_*); "\r" breaks lines.
  void Show(std::uintptr_t icon, const QString& title, const QString& text, unsigned kind, int timeoutMs);
  // Takes the icon's balloon back, also one still being shown.
  void Close(std::uintptr_t icon);

  // (icon, NIN_* event)
  std::function<void(std::uintptr_t icon, unsigned event)> OnEvent;

 private slots:
  void NotificationClosed(uint id, uint reason);
  void ActionInvoked(uint id, const QString& action);

 private:
  struct Balloon {
    std::uintptr_t icon = 0;
    uint id = 0;               // 0 until the service has answered
    bool closeAsked = false;   // closed before the service answered
    bool clicked = false;      // the click was reported; its closing is not
  };
  void Shown(QDBusPendingCallWatcher* call, std::uint64_t key);
  void CloseById(uint id);
  void Report(std::uintptr_t icon, unsigned event);
  Balloon* ById(uint id);

  QDBusConnection bus_;
  std::map<std::uint64_t, Balloon> balloons_;      // by our own key, in the order shown
  std::map<std::uintptr_t, std::uint64_t> current_;  // each icon's balloon
  std::uint64_t nextKey_ = 1;
};

}  // namespace pv::tray

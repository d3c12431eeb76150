#pragma once
// The notification area through QSystemTrayIcon. Qt reports clicks as activations, so each is
// turned back into the button events a Windows shell would send for it. Balloons go to the
// desktop's notification service over D-Bus, which reports what becomes of them, and fall
// back to QSystemTrayIcon::showMessage where no such service runs. When the tray host comes
// back (its watcher appears on the bus again, or a tray becomes available), the icons are
// dropped and kShellRestarted is reported, so that the component adds them again.

#include <functional>
#include <memory>

#include <QDBusConnection>
#include <QHash>
#include <QIcon>
#include <QString>

#include "TrayShell.h"

class QDBusServiceWatcher;
class QSystemTrayIcon;
class QTimer;

namespace pv::tray {

class DBusNotifications;

// The name a StatusNotifierItem tray host's watcher owns on the session bus.
inline constexpr char kTrayWatcherService[] = "org.kde.StatusNotifierWatcher";

class QtTrayShell : public TrayShell {
 public:
  explicit QtTrayShell(const QDBusConnection& bus = QDBusConnection::sessionBus());
  ~QtTrayShell() override;

  // Icons are named in the records; the program registers the images under those names.
  void RegisterIcon(const std::string& name, const QIcon& icon);

  bool NotifyIcon(unsigned message, const NotifyIconData& data) override;
  ScreenPoint CursorPos() override;
  unsigned KeyFlags() override;
  unsigned DoubleClickTime() override;

  // How often the availability of a tray is looked at, in ms.
  static constexpr int kTrayPollInterval = 2000;

  // Shows a balloon on the icon itself where no notification service runs; true when it was
  // shown. The text has its line breaks as Qt takes them. Tests stand in for it.
  std::function<bool(QSystemTrayIcon* icon, const QString& title, const QString& text, unsigned kind, int timeoutMs)>
      ShowIconMessage;

 private:
  void Apply(QSystemTrayIcon* icon, const NotifyIconData& data);
  void ShowBalloon(QSystemTrayIcon* icon, const NotifyIconData& data);
  void TrayHostRestarted();
  void PollTray();

  QHash<std::uintptr_t, QSystemTrayIcon*> icons_;
  QHash<QString, QIcon> images_;
  std::unique_ptr<DBusNotifications> balloons_;
  std::unique_ptr<QDBusServiceWatcher> watcher_;
  std::unique_ptr<QTimer> poll_;
  bool trayAvailable_ = false;
};

}  // namespace pv::tray

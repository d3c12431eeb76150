#include "QtTrayShell.h"

#include <QApplication>
#include <QCursor>
#include <QDBusServiceWatcher>
#include <QTimer>
#include <QGuiApplication>
#include <QStyleHints>
#include <QSystemTrayIcon>

#include "DBusNotifications.h"

namespace pv::tray {
namespace {

QSystemTrayIcon::MessageIcon BalloonIcon(unsigned kind) {
  switch (kind) {
    case NIIF_INFO: return QSystemTrayIcon::Information;
    case NIIF_WARNING: return QSystemTrayIcon::Warning;
    case NIIF_ERROR: return QSystemTrayIcon::Critical;
    default: return QSystemTrayIcon::NoIcon;
  }
}

// A balloon's text breaks its lines with '\r', as the Windows shell takes it; Qt and the
// notification service break them with '\n'.
QString BalloonText(const std::string& text) {
  QString out = QString::fromStdString(text);
  out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return out;
}

}  // namespace

QtTrayShell::QtTrayShell(const QDBusConnection& bus)
    : balloons_(std::make_unique<DBusNotifications>(bus)),
      watcher_(std::make_unique<QDBusServiceWatcher>(QString::fromLatin1(kTrayWatcherService), bus,
                                                     QDBusServiceWatcher::WatchForRegistration)),
      poll_(std::make_unique<QTimer>()),
      trayAvailable_(QSystemTrayIcon::isSystemTrayAvailable()) {
  balloons_->OnEvent = [this](std::uintptr_t id, unsigned event) { Notify(id, event); };
  ShowIconMessage = [](QSystemTrayIcon* icon, const QString& title, const QString& text, unsigned kind, int timeoutMs) {
    if (!icon) return false;
    icon->showMessage(title, text, BalloonIcon(kind), timeoutMs);
    return true;
  };
  QObject::connect(watcher_.get(), &QDBusServiceWatcher::serviceRegistered, watcher_.get(),
                   [this] { TrayHostRestarted(); });
  QObject::connect(poll_.get(), &QTimer::timeout, poll_.get(), [this] { PollTray(); });
  poll_->start(kTrayPollInterval);
}

QtTrayShell::~QtTrayShell() { qDeleteAll(icons_); }

void QtTrayShell::PollTray() {
  // A tray without a watcher on the bus (an embedding tray) shows up only as availability.
  const bool available = QSystemTrayIcon::isSystemTrayAvailable();
  if (available && !trayAvailable_) TrayHostRestarted();
  trayAvailable_ = available;
}

void QtTrayShell::TrayHostRestarted() {
  // The icons belonged to the host that went away: they are made anew when added again.
  qDeleteAll(icons_);
  icons_.clear();
  Notify(0, kShellRestarted);
}

void QtTrayShell::ShowBalloon(QSystemTrayIcon* icon, const NotifyIconData& data) {
  const QString title = QString::fromStdString(data.szInfoTitle);
  if (balloons_->Available()) {
    // An empty text takes the balloon back, as the Windows shell does.
    if (data.szInfo.empty()) {
      balloons_->Close(data.uID);
    } else {
      balloons_->Show(data.uID, title, BalloonText(data.szInfo), data.dwInfoFlags, static_cast<int>(data.uTimeout));
    }
    return;
  }
  if (data.szInfo.empty() || !ShowIconMessage) return;
  if (ShowIconMessage(icon, title, BalloonText(data.szInfo), data.dwInfoFlags, static_cast<int>(data.uTimeout))) {
    Notify(data.uID, NIN_BALLOONSHOW);
  }
}

void QtTrayShell::RegisterIcon(const std::string& name, const QIcon& icon) {
  images_.insert(QString::fromStdString(name), icon);
}

void QtTrayShell::Apply(QSystemTrayIcon* icon, const NotifyIconData& data) {
  icon->setIcon(images_.value(QString::fromStdString(data.icon)));
  icon->setToolTip(QString::fromStdString(data.szTip));
}

bool QtTrayShell::NotifyIcon(unsigned message, const NotifyIconData& data) {
  const std::uintptr_t id = data.uID;
  QSystemTrayIcon* icon = icons_.value(id);
  switch (message) {
    case NIM_ADD: {
      // Adding an icon that is there already only updates it; without a notification area the
      // add is refused, and the icon component tries again.
      if (icon) {
        Apply(icon, data);
        return true;
      }
      if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
      icon = new QSystemTrayIcon();
      icons_.insert(id, icon);
      QObject::connect(icon, &QSystemTrayIcon::activated, icon, [this, id](QSystemTrayIcon::ActivationReason why) {
        switch (why) {
          case QSystemTrayIcon::Trigger:
            Notify(id, WM_LBUTTONDOWN);
            Notify(id, WM_LBUTTONUP);
            break;
          case QSystemTrayIcon::DoubleClick:
            Notify(id, WM_LBUTTONDBLCLK);
            Notify(id, WM_LBUTTONUP);
            break;
          case QSystemTrayIcon::Context:
            Notify(id, WM_RBUTTONDOWN);
            Notify(id, WM_RBUTTONUP);
            break;
          case QSystemTrayIcon::MiddleClick:
            Notify(id, WM_MBUTTONDOWN);
            Notify(id, WM_MBUTTONUP);
            break;
          default:
            break;
        }
      });
      QObject::connect(icon, &QSystemTrayIcon::messageClicked, icon, [this, id] { Notify(id, NIN_BALLOONUSERCLICK); });
      Apply(icon, data);
      icon->show();
      return true;
    }
    case NIM_MODIFY:
      // Balloons need no icon in the tray: the notification service shows them anyway.
      if (data.uFlags & NIF_INFO) ShowBalloon(icon, data);
      if (!icon) return false;
      Apply(icon, data);
      return true;
    case NIM_DELETE:
      if (!icon) return false;
      icons_.remove(id);
      icon->hide();
      delete icon;
      return true;
    case NIM_SETVERSION:
      return icon != nullptr;
    default:
      return false;
  }
}

ScreenPoint QtTrayShell::CursorPos() {
  const QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

unsigned QtTrayShell::KeyFlags() {
  const Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
  unsigned flags = 0;
  if (m & Qt::ShiftModifier) flags |= pv::forms::ssShift;
  if (m & Qt::AltModifier) flags |= pv::forms::ssAlt;
  if (m & Qt::ControlModifier) flags |= pv::forms::ssCtrl;
  return flags;
}

unsigned QtTrayShell::DoubleClickTime() {
  return static_cast<unsigned>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

}  // namespace pv::tray

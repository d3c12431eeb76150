#include "QtTrayShell.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QStyleHints>
#include <QSystemTrayIcon>

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

}  // namespace

QtTrayShell::QtTrayShell() = default;

QtTrayShell::~QtTrayShell() { qDeleteAll(icons_); }

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
      if (!icon) return false;
      Apply(icon, data);
      if ((data.uFlags & NIF_INFO) && !data.szInfo.empty()) {
        icon->showMessage(QString::fromStdString(data.szInfoTitle), QString::fromStdString(data.szInfo),
                          BalloonIcon(data.dwInfoFlags), static_cast<int>(data.uTimeout));
        Notify(id, NIN_BALLOONSHOW);
      }
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
  return (m & Qt::ShiftModifier ? kShiftFlag : 0) | (m & Qt::AltModifier ? kAltFlag : 0) |
         (m & Qt::ControlModifier ? kCtrlFlag : 0);
}

unsigned QtTrayShell::DoubleClickTime() {
  return static_cast<unsigned>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

}  // namespace pv::tray

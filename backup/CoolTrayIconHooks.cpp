#include "CoolTrayIconHooks.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QWidget>

namespace safestow {

void RestoreWindow(QWidget& window) {
  window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
  window.show();
  window.raise();
  window.activateWindow();
}

TCoolTrayIconHooks::TCoolTrayIconHooks(TCoolTrayIcon& icon, QWidget& owner) : icon_(icon), owner_(owner) {
  icon_.HideMainForm = [this] { owner_.hide(); };
  // A filter on the application sees every event first: the owner's, and the application's
  // quit, which closes every window before it ends (those closes are not the user's).
  if (QCoreApplication* app = QCoreApplication::instance()) {
    app->installEventFilter(this);
    connect(app, &QCoreApplication::aboutToQuit, this, [this] { terminating_ = true; });
  }
}

TCoolTrayIconHooks::~TCoolTrayIconHooks() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
  icon_.HideMainForm = nullptr;
}

bool TCoolTrayIconHooks::eventFilter(QObject* watched, QEvent* event) {
  if (watched == QCoreApplication::instance()) {
    if (event->type() == QEvent::Quit) terminating_ = true;
    return false;
  }
  if (watched != &owner_) return false;
  return HandleOwnerMessage(event);
}

bool TCoolTrayIconHooks::HandleOwnerMessage(QEvent* event) {
  switch (event->type()) {
    case QEvent::Show:
      if (std::exchange(firstShow_, false) && !icon_.ShowMainForm()) {
        // Hiding inside the show itself would be undone by it: hide right after.
        QMetaObject::invokeMethod(&owner_, [this] { owner_.hide(); }, Qt::QueuedConnection);
      }
      return false;
    case QEvent::WindowStateChange:
      if (owner_.isMinimized()) ApplicationHook();
      return false;
    case QEvent::Close:
      if (terminating_ || QCoreApplication::closingDown()) return false;
      if (!icon_.HandleMinimizeRequest()) return false;
      event->ignore();
      return true;
    default:
      return false;
  }
}

void TCoolTrayIconHooks::ApplicationHook() {
  // The owner's own minimize goes through OnMinimizeToTray when one is assigned; without one
  // the plain minimize still hides into the tray while MinimizeToTray is set.
  if (icon_.HandleMinimizeRequest()) return;
  if (icon_.MinimizeToTray()) icon_.MinimizeToTrayNow();
}

}  // namespace safestow

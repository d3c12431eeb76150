#pragma once
// The window side of the tray icon: what the icon learns from its owner window and the
// application. Minimizing the owner with MinimizeToTray set hides it into the tray (through
// OnMinimizeToTray when assigned); closing it while the application is not ending takes the
// same way when the icon takes it over; a restore request shows it normal again; and when
// OnStartup said no, the owner's first showing is taken back, as the service wants.

#include <QObject>

#include "CoolTrayIcon.h"

class QWidget;

namespace safestow {

// Shows a window that may be minimized or hidden, normal and in front.
void RestoreWindow(QWidget& window);

class TCoolTrayIconHooks : public QObject {
 public:
  TCoolTrayIconHooks(TCoolTrayIcon& icon, QWidget& owner);
  ~TCoolTrayIconHooks() override;

  // A restore request (from the tray's menu or the desktop): the owner comes back.
  void RestoreMainForm() { RestoreWindow(owner_); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The owner's events; true when the event is taken over.
  bool HandleOwnerMessage(QEvent* event);
  // The owner became minimized.
  void ApplicationHook();

  TCoolTrayIcon& icon_;
  QWidget& owner_;
  bool firstShow_ = true;
  bool terminating_ = false;
};

}  // namespace safestow

#pragma once
// The notification area through QSystemTrayIcon. Qt reports clicks as activations, so each is
// turned back into the button events a Windows shell would send for it.

#include <QHash>
#include <QIcon>
#include <QString>

#include "TrayShell.h"

class QSystemTrayIcon;

namespace pv::tray {

class QtTrayShell : public TrayShell {
 public:
  QtTrayShell();
  ~QtTrayShell() override;

  // Icons are named in the records; the program registers the images under those names.
  void RegisterIcon(const std::string& name, const QIcon& icon);

  bool NotifyIcon(unsigned message, const NotifyIconData& data) override;
  ScreenPoint CursorPos() override;
  unsigned KeyFlags() override;
  unsigned DoubleClickTime() override;

 private:
  void Apply(QSystemTrayIcon* icon, const NotifyIconData& data);

  QHash<std::uintptr_t, QSystemTrayIcon*> icons_;
  QHash<QString, QIcon> images_;
};

}  // namespace pv::tray

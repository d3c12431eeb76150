#pragma once
// The service object: the tray icon with its menu and animation frames, and the handlers of
// the menu (open the console, the developer's site, stop the service).

#include <functional>
#include <memory>

#include <QString>

#include "CoolTrayIcon.h"
#include "service/ServiceControl.h"

class QAction;
class QMenu;

namespace safestow {

class TConsoleForm;

class TSafestowService {
 public:
  TSafestowService(pv::tray::TrayShell& shell, pv::service::ServiceControl& services);
  ~TSafestowService();

  // The console exists after the service object; it is handed over once made.
  void SetConsole(TConsoleForm* console) { console_ = console; }

  void CoolTrayIcon1Click();
  void ShowClick();
  void AboutClick();
  void StopServiceClick();

  TCoolTrayIcon& CoolTrayIcon1() { return *trayIcon_; }
  const TImageList& ImageList1() const { return frames_; }
  QMenu* PopupMenu1() const { return menu_.get(); }

  // Replaceable for tests: the confirmation box, leaving the program, opening an address.
  std::function<bool(const std::string& question, const std::string& caption)> Confirm;
  std::function<void()> Quit;
  std::function<void(const QString& url)> OpenUrl;
  // True when systemd started us, so the stop goes through it.
  bool runsAsUnit = false;

 private:
  class MenuPort;

  pv::service::ServiceControl& services_;
  TImageList frames_{"busy0", "busy1"};
  std::unique_ptr<QMenu> menu_;
  std::unique_ptr<MenuPort> menuPort_;
  std::unique_ptr<TCoolTrayIcon> trayIcon_;
  TConsoleForm* console_ = nullptr;
};

}  // namespace safestow

#pragma once
// A notification-area icon as a component: animation from a list of frames, balloon hints,
// the shell's mouse callbacks turned into click, double-click and enter / exit events, and a
// popup menu. The desktop is reached only through pv::tray::TrayShell.

#include <functional>
#include <string>
#include <vector>

#include "SimpleTimer.h"
#include "tray/TrayShell.h"

namespace safestow {

using pv::forms::TMouseButton;

// The menu the icon pops up; the window side implements it.
class TPopupMenuPort {
 public:
  virtual ~TPopupMenuPort() = default;
  virtual bool AutoPopup() const = 0;
  virtual void Popup(int x, int y) = 0;
  // Clicks the first top-level item marked as default; false when there is none.
  virtual bool ClickDefaultItem() = 0;
};

using TImageList = std::vector<std::string>;  // icon names, one per frame

// Cuts UTF-8 text to at most `chars` characters.
std::string CutText(const std::string& text, std::size_t chars);

class TCoolTrayIcon {
 public:
  using TNotifyEvent = std::function<void(TCoolTrayIcon* sender)>;
  using TMouseEvent = std::function<void(TCoolTrayIcon* sender, TMouseButton button, unsigned shift, int x, int y)>;
  using TMouseMoveEvent = std::function<void(TCoolTrayIcon* sender, unsigned shift, int x, int y)>;
  using TCycleEvent = std::function<void(TCoolTrayIcon* sender, int nextIndex)>;
  using TStartupEvent = std::function<void(TCoolTrayIcon* sender, bool& showMainForm)>;

  explicit TCoolTrayIcon(pv::tray::TrayShell& shell);
  virtual ~TCoolTrayIcon();
  TCoolTrayIcon(const TCoolTrayIcon&) = delete;
  TCoolTrayIcon& operator=(const TCoolTrayIcon&) = delete;

  // How often a refused add is tried again, in ms.
  static constexpr unsigned kAddRetryInterval = 2000;

  // Applies the settings once they are all made, as after loading a form.
  void Loaded();

  virtual bool CanUsePreviewIcon() { return true; }
  virtual void ShowIcon();
  virtual void HideIcon();
  virtual void ModifyIcon();

  void ShowBalloonHint(const std::string& title, const std::string& text, int iconKind, int timeoutSeconds);
  void HideBalloonHint();
  void PopupAtCursor();
  void MinimizeToTrayNow();
  // The owner asks to minimize; true when the icon took it over.
  bool HandleMinimizeRequest();

  // Properties
  const TImageList* IconList() const { return iconList_; }
  void SetIconList(const TImageList* list);
  bool CycleIcons() const { return cycleIcons_; }
  void SetCycleIcons(bool value);
  int CycleInterval() const { return cycleInterval_; }
  void SetCycleInterval(int value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  const std::string& Icon() const { return icon_; }
  void SetIcon(const std::string& value);
  bool IconVisible() const { return iconVisible_; }
  void SetIconVisible(bool value);
  int IconIndex() const { return iconIndex_; }
  void SetIconIndex(int value);
  TPopupMenuPort* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenuPort* menu) { popupMenu_ = menu; }
  bool LeftPopup() const { return leftPopup_; }
  void SetLeftPopup(bool value) { leftPopup_ = value; }
  bool WantEnterExitEvents() const { return wantEnterExitEvents_; }
  void SetWantEnterExitEvents(bool value);
  bool MinimizeToTray() const { return minimizeToTray_; }
  void SetMinimizeToTray(bool value) { minimizeToTray_ = value; }
  // 0 classic notifications, 1 version-3 notifications.
  void SetNotifyBehaviour(int value) { behaviour_ = value; }

  // Events
  TNotifyEvent OnClick, OnDblClick;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter, OnMouseExit;
  TCycleEvent OnCycle;
  TNotifyEvent OnBalloonHintShow, OnBalloonHintHide, OnBalloonHintTimeout, OnBalloonHintClick;
  TNotifyEvent OnMinimizeToTray;
  TStartupEvent OnStartup;
  // Hides the main window; set by the program that owns one (TCoolTrayIconHooks does).
  std::function<void()> HideMainForm;
  // False when OnStartup said the main form is not to be shown at start-up.
  bool ShowMainForm() const { return showMainForm_; }

  // What the shell holds for this icon (for tests and diagnostics).
  const pv::tray::NotifyIconData& IconData() const { return data_; }
  // The shell's callback for this icon.
  void HandleIconMessage(unsigned event);

 protected:
  virtual void Click();
  virtual void DblClick();
  virtual void Cycle(int nextIndex);
  virtual void MouseDown(TMouseButton button, unsigned shift, int x, int y);
  virtual void MouseUp(TMouseButton button, unsigned shift, int x, int y);
  virtual void MouseMove(unsigned shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseExit();

 private:
  bool PrepareIconData();
  void CycleTick();
  void ClickTimerTick();
  void ExitTimerTick();
  void AddTimerTick();
  void ApplyCycle();

  pv::tray::TrayShell& shell_;
  pv::tray::NotifyIconData data_;

  const TImageList* iconList_ = nullptr;
  bool cycleIcons_ = false;
  int cycleInterval_ = 0;
  bool enabled_ = true;
  std::string hint_;
  bool showHint_ = true;
  std::string icon_;
  bool iconVisible_ = false;
  int iconIndex_ = 0;
  TPopupMenuPort* popupMenu_ = nullptr;
  bool leftPopup_ = false;
  bool wantEnterExitEvents_ = false;
  bool minimizeToTray_ = false;
  int behaviour_ = 0;
  bool showMainForm_ = true;

  TSimpleTimer cycleTimer_;
  TSimpleTimer clickTimer_;
  TSimpleTimer exitTimer_;
  // Tries the add again while the desktop has no notification area yet (the service may
  // start before the desktop's tray host does).
  TSimpleTimer addTimer_;
  bool clickStart_ = false;
  bool clickReady_ = false;
  bool doubleClick_ = false;
  bool mouseHasLeft_ = true;
  pv::tray::ScreenPoint lastMove_;
};

}  // namespace safestow

#include "CoolTrayIcon.h"

#include <unordered_map>

#include "service/EventLog.h"

namespace safestow {
namespace {

using namespace pv::tray;

// The one receiver of every icon's callbacks, alive while an icon is.
struct TTrayIconHandler {
  TrayShell* shell = nullptr;
  std::unordered_map<std::uintptr_t, TCoolTrayIcon*> icons;
};
TTrayIconHandler* gTrayHandler = nullptr;

void DispatchTrayEvent(std::uintptr_t id, unsigned event) {
  if (event == kShellRestarted) {
    // The notification area came back empty: visible icons are added again.
    for (auto& [key, each] : gTrayHandler->icons) {
      if (each->IconVisible()) each->ShowIcon();
    }
    return;
  }
  const auto it = gTrayHandler->icons.find(id);
  if (it != gTrayHandler->icons.end()) it->second->HandleIconMessage(event);
}

void RegisterIcon(TrayShell& shell, TCoolTrayIcon* icon) {
  if (!gTrayHandler) {
    gTrayHandler = new TTrayIconHandler;
    gTrayHandler->shell = &shell;
    shell.SetCallback([](std::uintptr_t id, unsigned event) {
      pv::service::GuardHandler("tray icon", [id, event] { DispatchTrayEvent(id, event); });
    });
  }
  gTrayHandler->icons[reinterpret_cast<std::uintptr_t>(icon)] = icon;
}

void UnregisterIcon(TCoolTrayIcon* icon) {
  gTrayHandler->icons.erase(reinterpret_cast<std::uintptr_t>(icon));
  if (gTrayHandler->icons.empty()) {
    gTrayHandler->shell->SetCallback(nullptr);
    delete gTrayHandler;
    gTrayHandler = nullptr;
  }
}

}  // namespace

std::string CutText(const std::string& text, std::size_t chars) {
  std::size_t i = 0;
  std::size_t count = 0;
  while (i < text.size() && count < chars) {
    const auto b = static_cast<unsigned char>(text[i]);
    i += b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
    ++count;
  }
  return text.substr(0, std::min(i, text.size()));
}

TCoolTrayIcon::TCoolTrayIcon(TrayShell& shell)
    : shell_(shell),
      cycleTimer_(1000, [this](TSimpleTimer*) { CycleTick(); }),
      clickTimer_(1000, [this](TSimpleTimer*) { ClickTimerTick(); }),
      exitTimer_(20, [this](TSimpleTimer*) { ExitTimerTick(); }),
      addTimer_(kAddRetryInterval, [this](TSimpleTimer*) { AddTimerTick(); }) {
  RegisterIcon(shell, this);
  data_.uID = reinterpret_cast<std::uintptr_t>(this);
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = 0x800;
}

TCoolTrayIcon::~TCoolTrayIcon() {
  HideIcon();
  UnregisterIcon(this);
}

void TCoolTrayIcon::Loaded() {
  bool showMainForm = true;
  if (OnStartup) OnStartup(this, showMainForm);
  showMainForm_ = showMainForm;
  if (!showMainForm && HideMainForm) HideMainForm();
  ModifyIcon();
  SetIconVisible(iconVisible_);
  ApplyCycle();
  SetWantEnterExitEvents(wantEnterExitEvents_);
  data_.uTimeout = behaviour_ == 1 ? 3 : 0;
  shell_.NotifyIcon(NIM_SETVERSION, data_);
}

bool TCoolTrayIcon::PrepareIconData() {
  data_.icon = icon_;
  data_.szTip = !hint_.empty() && showHint_ ? CutText(hint_, 127) : std::string();
  return true;
}

void TCoolTrayIcon::ShowIcon() {
  iconVisible_ = true;
  PrepareIconData();
  if (shell_.NotifyIcon(NIM_ADD, data_)) {
    addTimer_.Stop(true);
  } else if (!addTimer_.Enabled()) {
    addTimer_.Start();
  }
}

void TCoolTrayIcon::HideIcon() {
  iconVisible_ = false;
  addTimer_.Stop(true);
  shell_.NotifyIcon(NIM_DELETE, data_);
}

void TCoolTrayIcon::AddTimerTick() {
  if (iconVisible_) ShowIcon();
}

void TCoolTrayIcon::ModifyIcon() {
  PrepareIconData();
  shell_.NotifyIcon(NIM_MODIFY, data_);
}

void TCoolTrayIcon::ShowBalloonHint(const std::string& title, const std::string& text, int iconKind,
                                    int timeoutSeconds) {
  HideBalloonHint();
  data_.uFlags |= NIF_INFO;
  data_.szInfo = CutText(text, 255);
  data_.szInfoTitle = CutText(title, 63);
  data_.uTimeout = static_cast<unsigned>(timeoutSeconds * 1000);
  data_.dwInfoFlags = iconKind >= 0 && iconKind <= 4 ? static_cast<unsigned>(iconKind) : NIIF_NONE;
  ModifyIcon();
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
}

void TCoolTrayIcon::HideBalloonHint() {
  data_.uFlags |= NIF_INFO;
  data_.szInfo.clear();
  ModifyIcon();
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
}

void TCoolTrayIcon::PopupAtCursor() {
  const ScreenPoint p = shell_.CursorPos();
  if (popupMenu_) popupMenu_->Popup(p.x, p.y);
}

void TCoolTrayIcon::MinimizeToTrayNow() {
  if (HideMainForm) HideMainForm();
  ShowIcon();
}

bool TCoolTrayIcon::HandleMinimizeRequest() {
  if (!minimizeToTray_ || !OnMinimizeToTray) return false;
  OnMinimizeToTray(this);
  MinimizeToTrayNow();
  return true;
}

void TCoolTrayIcon::SetIconList(const TImageList* list) {
  iconList_ = list;
  SetIconIndex(0);
}

void TCoolTrayIcon::SetIconIndex(int value) {
  if (iconList_ && !iconList_->empty()) {
    const int count = static_cast<int>(iconList_->size());
    iconIndex_ = value >= count ? count - 1 : value < 0 ? 0 : value;
    icon_ = (*iconList_)[static_cast<std::size_t>(iconIndex_)];
  } else {
    iconIndex_ = 0;
  }
  ModifyIcon();
}

void TCoolTrayIcon::ApplyCycle() {
  if (cycleIcons_) {
    SetIconIndex(0);
    cycleTimer_.SetInterval(static_cast<unsigned>(cycleInterval_ > 0 ? cycleInterval_ : 0));
    cycleTimer_.Start();
  } else {
    cycleTimer_.Stop(true);
  }
}

void TCoolTrayIcon::SetCycleIcons(bool value) {
  cycleIcons_ = value;
  ApplyCycle();
}

void TCoolTrayIcon::SetCycleInterval(int value) {
  if (value == cycleInterval_) return;
  cycleInterval_ = value;
  ApplyCycle();
}

void TCoolTrayIcon::SetHint(const std::string& value) {
  hint_ = value;
  ModifyIcon();
}

void TCoolTrayIcon::SetShowHint(bool value) {
  showHint_ = value;
  ModifyIcon();
}

void TCoolTrayIcon::SetIcon(const std::string& value) {
  icon_ = value;
  ModifyIcon();
}

void TCoolTrayIcon::SetIconVisible(bool value) {
  if (value) {
    ShowIcon();
  } else {
    HideIcon();
  }
}

void TCoolTrayIcon::SetWantEnterExitEvents(bool value) {
  wantEnterExitEvents_ = value;
  exitTimer_.SetEnabled(value);
}

void TCoolTrayIcon::CycleTick() {
  if (!iconList_ || iconList_->empty()) return;
  const int count = static_cast<int>(iconList_->size());
  if (iconIndex_ >= count) iconIndex_ = count - 1;
  SetIcon((*iconList_)[static_cast<std::size_t>(iconIndex_)]);
  const int next = iconIndex_ < count - 1 ? iconIndex_ + 1 : 0;
  Cycle(next);
  iconIndex_ = next;
}

void TCoolTrayIcon::ClickTimerTick() {
  clickTimer_.Stop(true);
  if (!doubleClick_ && clickReady_) {
    clickReady_ = false;
    Click();
  }
  doubleClick_ = false;
}

void TCoolTrayIcon::ExitTimerTick() {
  if (mouseHasLeft_) return;
  if (!(shell_.CursorPos() == lastMove_)) {
    mouseHasLeft_ = true;
    MouseExit();
  }
}

void TCoolTrayIcon::HandleIconMessage(unsigned event) {
  if (!enabled_) return;
  const ScreenPoint p = shell_.CursorPos();
  const unsigned keys = shell_.KeyFlags();
  switch (event) {
    case WM_MOUSEMOVE:
      if (wantEnterExitEvents_ && mouseHasLeft_) {
        MouseEnter();
        mouseHasLeft_ = false;
      }
      MouseMove(keys, p.x, p.y);
      lastMove_ = p;
      break;
    case WM_LBUTTONDOWN:
      if (OnDblClick) {
        clickTimer_.SetInterval(shell_.DoubleClickTime());
        clickTimer_.Start();
      }
      MouseDown(TMouseButton::mbLeft, keys | pv::forms::ssLeft, p.x, p.y);
      clickStart_ = true;
      if (leftPopup_ && popupMenu_ && popupMenu_->AutoPopup()) PopupAtCursor();
      break;
    case WM_LBUTTONUP:
      if (clickStart_) clickReady_ = true;
      if (clickStart_ && !clickTimer_.Enabled()) {
        clickStart_ = false;
        clickReady_ = false;
        Click();
      }
      clickStart_ = false;
      MouseUp(TMouseButton::mbLeft, keys | pv::forms::ssLeft, p.x, p.y);
      break;
    case WM_LBUTTONDBLCLK:
      clickReady_ = false;
      doubleClick_ = true;
      DblClick();
      if (popupMenu_ && popupMenu_->AutoPopup() && !leftPopup_) popupMenu_->ClickDefaultItem();
      break;
    case WM_RBUTTONDOWN:
      MouseDown(TMouseButton::mbRight, keys | pv::forms::ssRight, p.x, p.y);
      if (popupMenu_ && popupMenu_->AutoPopup()) PopupAtCursor();
      break;
    case WM_RBUTTONUP:
      if (behaviour_ == 0) MouseUp(TMouseButton::mbRight, keys | pv::forms::ssRight, p.x, p.y);
      break;
    case WM_MBUTTONDOWN:
      MouseDown(TMouseButton::mbMiddle, keys | pv::forms::ssMiddle, p.x, p.y);
      break;
    case WM_MBUTTONUP:
      MouseUp(TMouseButton::mbMiddle, keys | pv::forms::ssMiddle, p.x, p.y);
      break;
    case WM_CONTEXTMENU:
    case NIN_SELECT:
    case NIN_KEYSELECT:
      if (behaviour_ == 1) MouseUp(TMouseButton::mbRight, keys | pv::forms::ssRight, p.x, p.y);
      break;
    case NIN_BALLOONSHOW:
      if (OnBalloonHintShow) OnBalloonHintShow(this);
      break;
    case NIN_BALLOONHIDE:
      if (OnBalloonHintHide) OnBalloonHintHide(this);
      break;
    case NIN_BALLOONTIMEOUT:
      if (OnBalloonHintTimeout) OnBalloonHintTimeout(this);
      break;
    case NIN_BALLOONUSERCLICK:
      if (OnBalloonHintClick) OnBalloonHintClick(this);
      break;
    default:
      break;
  }
}

void TCoolTrayIcon::Click() {
  if (OnClick) OnClick(this);
}
void TCoolTrayIcon::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TCoolTrayIcon::Cycle(int nextIndex) {
  if (OnCycle) OnCycle(this, nextIndex);
}
void TCoolTrayIcon::MouseDown(TMouseButton button, unsigned shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TCoolTrayIcon::MouseUp(TMouseButton button, unsigned shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TCoolTrayIcon::MouseMove(unsigned shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TCoolTrayIcon::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}
void TCoolTrayIcon::MouseExit() {
  if (OnMouseExit) OnMouseExit(this);
}

}  // namespace safestow

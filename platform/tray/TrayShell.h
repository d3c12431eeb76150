#pragma once
// The desktop's notification area as the tray icon component sees it: one record per icon,
// add / modify / delete messages, and the icon's mouse and balloon events coming back as the
// callback codes of the Windows shell.

#include <cstdint>
#include <functional>
#include <string>

#include "forms/MouseInput.h"

namespace pv::tray {

// Messages to the shell.
constexpr unsigned NIM_ADD = 0;
constexpr unsigned NIM_MODIFY = 1;
constexpr unsigned NIM_DELETE = 2;
constexpr unsigned NIM_SETVERSION = 4;

// Which fields of the record count.
constexpr unsigned NIF_MESSAGE = 1;
constexpr unsigned NIF_ICON = 2;
constexpr unsigned NIF_TIP = 4;
constexpr unsigned NIF_INFO = 0x10;

// Balloon icon kinds.
constexpr unsigned NIIF_NONE = 0;
constexpr unsigned NIIF_INFO = 1;
constexpr unsigned NIIF_WARNING = 2;
constexpr unsigned NIIF_ERROR = 3;
constexpr unsigned NIIF_USER = 4;

// Events of an icon (the callback message's lParam).
constexpr unsigned WM_CONTEXTMENU = 0x7B;
constexpr unsigned WM_MOUSEMOVE = 0x200;
constexpr unsigned WM_LBUTTONDOWN = 0x201;
constexpr unsigned WM_LBUTTONUP = 0x202;
constexpr unsigned WM_LBUTTONDBLCLK = 0x203;
constexpr unsigned WM_RBUTTONDOWN = 0x204;
constexpr unsigned WM_RBUTTONUP = 0x205;
constexpr unsigned WM_MBUTTONDOWN = 0x207;
constexpr unsigned WM_MBUTTONUP = 0x208;
constexpr unsigned NIN_SELECT = 0x400;
constexpr unsigned NIN_KEYSELECT = 0x401;
constexpr unsigned NIN_BALLOONSHOW = 0x402;
constexpr unsigned NIN_BALLOONHIDE = 0x403;
constexpr unsigned NIN_BALLOONTIMEOUT = 0x404;
constexpr unsigned NIN_BALLOONUSERCLICK = 0x405;
// Not an icon event: the notification area came back after the desktop shell restarted.
constexpr unsigned kShellRestarted = 0xC0DE;


struct NotifyIconData {
  std::uintptr_t uID = 0;
  unsigned uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  unsigned uCallbackMessage = 0x800;
  std::string icon;         // the name of a registered icon image; empty for none
  std::string szTip;        // at most 127 characters
  std::string szInfo;       // balloon text, at most 255 characters
  unsigned uTimeout = 0;    // balloon time in ms; the notification version for NIM_SETVERSION
  std::string szInfoTitle;  // at most 63 characters
  unsigned dwInfoFlags = NIIF_NONE;
};

struct ScreenPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

class TrayShell {
 public:
  virtual ~TrayShell() = default;
  // False when the shell refused; the component ignores that, as the shell may come back.
  virtual bool NotifyIcon(unsigned message, const NotifyIconData& data) = 0;
  virtual ScreenPoint CursorPos() = 0;
  virtual unsigned KeyFlags() = 0;          // the shift flags (forms/MouseInput.h) of the keys held now
  virtual unsigned DoubleClickTime() = 0;   // ms

  void SetCallback(std::function<void(std::uintptr_t id, unsigned event)> callback) {
    callback_ = std::move(callback);
  }

 protected:
  void Notify(std::uintptr_t id, unsigned event) {
    if (callback_) callback_(id, event);
  }

 private:
  std::function<void(std::uintptr_t, unsigned)> callback_;
};

}  // namespace pv::tray

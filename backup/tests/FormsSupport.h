#pragma once
// What the window tests share: one application object, a manual timer host for the tray
// icon's timers, and a notification area that records what it is sent.

#include <QApplication>

#include "CoolTrayIcon.h"
#include "SimpleTimer.h"
#include "TestSupport.h"

namespace safestow::test {

inline QApplication& App() {
  static int argc = 1;
  static char name[] = "safestow_forms_tests";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

class RecordingShell : public pv::tray::TrayShell {
 public:
  std::vector<std::pair<unsigned, pv::tray::NotifyIconData>> messages;
  bool NotifyIcon(unsigned message, const pv::tray::NotifyIconData& data) override {
    messages.emplace_back(message, data);
    return true;
  }
  pv::tray::ScreenPoint CursorPos() override { return {}; }
  unsigned KeyFlags() override { return 0; }
  unsigned DoubleClickTime() override { return 400; }
  // The last balloon text shown (empty when the last balloon message hid it).
  std::string LastBalloon() const {
    for (auto it = messages.rbegin(); it != messages.rend(); ++it) {
      if (it->second.uFlags & pv::tray::NIF_INFO) return it->second.szInfo;
    }
    return "<none>";
  }
};

// Installs the manual timer host for the tray icon's timers during one test.
struct ManualTimers {
  ManualTimers() {
    TSimpleTimerHandler::SetHostFactory([] { return std::make_unique<pv::timer::ManualTimerHost>(); });
  }
  ~ManualTimers() { TSimpleTimerHandler::SetHostFactory(nullptr); }
};

}  // namespace safestow::test

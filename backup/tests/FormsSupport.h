#pragma once
// What the window tests share: one application object, a manual timer host for the tray
// icon's timers, and a notification area that records what it is sent.

#include <gtest/gtest.h>

#include <QApplication>

#include "CoolTrayIcon.h"
#include "SimpleTimer.h"
#include "TestSupport.h"

namespace safestow::test {

inline QApplication*& AppObject() {
  static QApplication* app = nullptr;
  return app;
}

inline QApplication& App() {
  static int argc = 1;
  static char name[] = "safestow_forms_tests";
  static char* argv[] = {name, nullptr};
  if (!AppObject()) AppObject() = new QApplication(argc, argv);
  return *AppObject();
}

// The application goes when the tests end, before the exit handlers: Qt's input devices,
// made on first use, are kept in a list that those handlers destroy first.
struct AppTeardown : ::testing::Environment {
  void TearDown() override {
    delete AppObject();
    AppObject() = nullptr;
  }
};
inline const bool kAppTeardownRegistered = (::testing::AddGlobalTestEnvironment(new AppTeardown), true);

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
  // The desktop reports an event of an icon.
  void Send(std::uintptr_t id, unsigned event) { Notify(id, event); }
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

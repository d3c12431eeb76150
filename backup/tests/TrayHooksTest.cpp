// The tray icon and its owner window: minimize to tray, restore, close, start-up choice.

#include <gtest/gtest.h>

#include <QTimer>
#include <QWidget>

#include "CoolTrayIconHooks.h"
#include "FormsSupport.h"

using namespace safestow;
using namespace safestow::test;

namespace {

// The application object exists before the fixture's window.
struct WithApp {
  WithApp() { App(); }
};

class TrayHooksTest : public ::testing::Test, private WithApp {
 protected:
  TrayHooksTest() {
    icon = std::make_unique<TCoolTrayIcon>(shell);
    icon->SetIcon("tray");
    hooks = std::make_unique<TCoolTrayIconHooks>(*icon, form);
  }
  int Adds() const {
    return static_cast<int>(std::count_if(shell.messages.begin(), shell.messages.end(),
                                          [](const auto& m) { return m.first == pv::tray::NIM_ADD; }));
  }
  void Minimize() {
    form.setWindowState(form.windowState() | Qt::WindowMinimized);
    QCoreApplication::processEvents();
  }

  ManualTimers timers;
  RecordingShell shell;
  QWidget form;
  std::unique_ptr<TCoolTrayIcon> icon;
  std::unique_ptr<TCoolTrayIconHooks> hooks;
  int minimizeEvents = 0;
};

}  // namespace

TEST_F(TrayHooksTest, MinimizingHidesIntoTheTrayOnlyWithMinimizeToTray) {
  struct Case {
    const char* what;
    bool minimizeToTray;
    bool handler;
    bool hidden;
    int events;
  };
  const Case cases[] = {
      {"with the event", true, true, true, 1},
      {"without the event", true, false, true, 0},
      {"not wanted", false, true, false, 0},
  };
  for (const Case& c : cases) {
    minimizeEvents = 0;
    icon->SetMinimizeToTray(c.minimizeToTray);
    icon->OnMinimizeToTray = c.handler ? TCoolTrayIcon::TNotifyEvent([this](TCoolTrayIcon*) { ++minimizeEvents; })
                                       : nullptr;
    form.showNormal();
    QCoreApplication::processEvents();
    const int addsBefore = Adds();
    Minimize();
    EXPECT_EQ(form.isVisible(), !c.hidden) << c.what;
    EXPECT_EQ(minimizeEvents, c.events) << c.what;
    EXPECT_EQ(Adds() - addsBefore, c.hidden ? 1 : 0) << c.what << ": the icon is there to bring it back";

    // A restore request brings it back, normal and visible.
    hooks->RestoreMainForm();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.isVisible()) << c.what;
    EXPECT_FALSE(form.isMinimized()) << c.what;
  }
}

TEST_F(TrayHooksTest, ClosingTheOwnerTakesTheMinimizePathUnlessTheApplicationEnds) {
  icon->SetMinimizeToTray(true);
  icon->OnMinimizeToTray = [this](TCoolTrayIcon*) { ++minimizeEvents; };
  form.show();
  EXPECT_FALSE(form.close());  // taken over: hidden into the tray, not closed
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(minimizeEvents, 1);

  // Without an event handler the icon does not take the close over.
  hooks->RestoreMainForm();
  icon->OnMinimizeToTray = nullptr;
  EXPECT_TRUE(form.close());
  EXPECT_EQ(minimizeEvents, 1) << "after plain close";

  // While the application ends, a close is a close.
  icon->OnMinimizeToTray = [this](TCoolTrayIcon*) { ++minimizeEvents; };
  hooks->RestoreMainForm();
  QTimer::singleShot(0, [] { QCoreApplication::quit(); });
  QCoreApplication::exec();
  EXPECT_EQ(minimizeEvents, 1) << "before close";
  EXPECT_TRUE(form.close());
  EXPECT_EQ(minimizeEvents, 1);
}

TEST_F(TrayHooksTest, OnStartupDecidesWhetherTheMainFormIsShownAtStartUp) {
  for (const bool show : {false, true}) {
    QWidget main;
    TCoolTrayIcon startIcon(shell);
    TCoolTrayIconHooks startHooks(startIcon, main);
    int asked = 0;
    startIcon.OnStartup = [&](TCoolTrayIcon*, bool& showMainForm) {
      ++asked;
      showMainForm = show;
    };
    startIcon.Loaded();
    main.show();  // the application shows its main form
    QCoreApplication::processEvents();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(main.isVisible(), show) << "OnStartup said " << show;

    // Later showings (from the tray's menu) are not taken back.
    startHooks.RestoreMainForm();
    QCoreApplication::processEvents();
    EXPECT_TRUE(main.isVisible());
  }
}

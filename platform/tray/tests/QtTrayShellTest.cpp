#include <gtest/gtest.h>

#include <QApplication>

#include "FakeNotifications.h"
#include "PrivateBus.h"
#include "tray/QtTrayShell.h"

using namespace pv::tray;
using namespace pv::tray::test;

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "pv_tray_qt_tests";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

struct Event {
  std::uintptr_t id;
  unsigned event;
  bool operator==(const Event&) const = default;
};

class QtTrayShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    if (!bus.Ok()) GTEST_SKIP() << bus.Problem();
    shell = std::make_unique<QtTrayShell>(bus.Connect());
    shell->SetCallback([this](std::uintptr_t id, unsigned event) { events.push_back({id, event}); });
  }
  NotifyIconData Balloon(const std::string& text) {
    NotifyIconData d;
    d.uID = 7;
    d.uFlags |= NIF_INFO;
    d.szInfoTitle = "Backup Valmeris";
    d.szInfo = text;
    d.uTimeout = 10000;
    d.dwInfoFlags = NIIF_ERROR;
    return d;
  }

  PrivateBus bus;
  std::unique_ptr<QtTrayShell> shell;
  std::vector<Event> events;
};

}  // namespace

TEST_F(QtTrayShellTest, BalloonsGoToTheNotificationServiceAndReportBack) {
  FakeNotifications fake(bus.Connect());
  ASSERT_TRUE(fake.registered);
  shell->NotifyIcon(NIM_MODIFY, Balloon("Ошибка!\rНе запущена служба"));
  ASSERT_TRUE(WaitUntil([&] { return !events.empty(); }));
  EXPECT_EQ(events, (std::vector<Event>{{7, NIN_BALLOONSHOW}}));
  ASSERT_EQ(fake.shown.size(), 1u);
  EXPECT_EQ(fake.shown[0].summary, "Backup Valmeris");
  EXPECT_EQ(fake.shown[0].body, QString::fromUtf8("Ошибка!\nНе запущена служба"));
  EXPECT_EQ(fake.shown[0].icon, "dialog-error");
  EXPECT_EQ(fake.shown[0].timeout, 10000);
  EXPECT_TRUE(fake.shown[0].actions.contains("default"));

  // Every way a balloon ends, and what the icon hears of it.
  struct Case {
    const char* what;
    std::function<void(uint id)> end;
    std::vector<unsigned> heard;
  };
  const Case cases[] = {
      {"expired", [&](uint id) { fake.Expire(id); }, {NIN_BALLOONSHOW, NIN_BALLOONTIMEOUT}},
      {"dismissed", [&](uint id) { fake.Dismiss(id); }, {NIN_BALLOONSHOW, NIN_BALLOONHIDE}},
      {"clicked (its closing is no hide)", [&](uint id) { fake.Click(id); }, {NIN_BALLOONSHOW, NIN_BALLOONUSERCLICK}},
      {"taken back", [&](uint) { shell->NotifyIcon(NIM_MODIFY, Balloon("")); }, {NIN_BALLOONSHOW, NIN_BALLOONHIDE}},
  };
  for (const Case& c : cases) {
    events.clear();
    fake.closeCalls.clear();
    shell->NotifyIcon(NIM_MODIFY, Balloon(c.what));
    ASSERT_TRUE(WaitUntil([&] { return !events.empty(); })) << c.what;
    const uint id = fake.shown.back().id;
    c.end(id);
    WaitUntil([&] { return events.size() >= c.heard.size(); });
    Settle();
    std::vector<unsigned> heard;
    for (const Event& e : events) heard.push_back(e.event);
    EXPECT_EQ(heard, c.heard) << c.what;
    if (std::string(c.what) == "taken back") {
      EXPECT_EQ(fake.closeCalls, std::vector<uint>{id});
    }
  }
}

TEST_F(QtTrayShellTest, ABalloonTakenBackBeforeTheServiceAnsweredIsClosedOnceItHasAnId) {
  FakeNotifications fake(bus.Connect());
  ASSERT_TRUE(fake.registered);
  shell->NotifyIcon(NIM_MODIFY, Balloon("quick"));
  shell->NotifyIcon(NIM_MODIFY, Balloon(""));  // before any answer came back
  ASSERT_TRUE(WaitUntil([&] { return events.size() >= 2; }));
  EXPECT_EQ(events, (std::vector<Event>{{7, NIN_BALLOONSHOW}, {7, NIN_BALLOONHIDE}}));
  EXPECT_EQ(fake.closeCalls, std::vector<uint>{fake.shown.at(0).id});
}

TEST_F(QtTrayShellTest, AnotherProgramsNotificationsAreNotOurs) {
  FakeNotifications fake(bus.Connect());
  ASSERT_TRUE(fake.registered);
  fake.Notify("other", 0, "", "mail", "", {}, {}, 5000);
  fake.Expire(fake.shown[0].id);
  fake.Click(fake.shown[0].id);
  Settle();
  EXPECT_TRUE(events.empty());
}

TEST_F(QtTrayShellTest, ATrayHostThatComesBackIsReported) {
  QDBusConnection host = bus.Connect();
  for (int start = 1; start <= 2; ++start) {
    ASSERT_TRUE(host.registerService(kTrayWatcherService));
    ASSERT_TRUE(WaitUntil([&] { return static_cast<int>(events.size()) == start; })) << "start " << start;
    EXPECT_EQ(events.back(), (Event{0, kShellRestarted}));
    ASSERT_TRUE(host.unregisterService(kTrayWatcherService));  // the host goes away
    Settle();
  }
  EXPECT_EQ(events.size(), 2u);
}

// Without a notification service the balloon goes to the icon itself, with its line break
// made as the notification service gets it.
TEST_F(QtTrayShellTest, TheFallbackBalloonBreaksItsLinesAsTheServiceDoes) {
  struct Shown {
    QString title, text;
    unsigned kind;
    int timeout;
  };
  std::vector<Shown> shown;
  shell->ShowIconMessage = [&](QSystemTrayIcon*, const QString& title, const QString& text, unsigned kind, int ms) {
    shown.push_back({title, text, kind, ms});
    return true;
  };
  shell->NotifyIcon(NIM_MODIFY, Balloon("Ошибка!\rНе запущена служба"));
  shell->NotifyIcon(NIM_MODIFY, Balloon(""));  // nothing to take back on the icon
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, "Backup Valmeris");
  EXPECT_EQ(shown[0].text, QString::fromUtf8("Ошибка!\nНе запущена служба"));
  EXPECT_EQ(shown[0].kind, NIIF_ERROR);
  EXPECT_EQ(shown[0].timeout, 10000);
  EXPECT_EQ(events, (std::vector<Event>{{7, NIN_BALLOONSHOW}}));
}

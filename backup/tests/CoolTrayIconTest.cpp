#include <gtest/gtest.h>

#include <algorithm>

#include "CoolTrayIcon.h"
#include "TestSupport.h"

using namespace safestow;
using namespace pv::tray;
using pv::timer::ManualTimerHost;

namespace {

class FakeShell : public TrayShell {
 public:
  std::vector<std::pair<unsigned, NotifyIconData>> messages;
  ScreenPoint cursor{100, 200};
  bool refuseAdd = false;  // no notification area (yet)
  bool NotifyIcon(unsigned message, const NotifyIconData& data) override {
    messages.emplace_back(message, data);
    return !(refuseAdd && message == NIM_ADD);
  }
  ScreenPoint CursorPos() override { return cursor; }
  unsigned KeyFlags() override { return pv::forms::ssShift; }
  unsigned DoubleClickTime() override { return 400; }
  void Send(std::uintptr_t id, unsigned event) { Notify(id, event); }
  const NotifyIconData& Last() const { return messages.back().second; }
};

class FakeMenu : public TPopupMenuPort {
 public:
  bool autoPopup = true;
  std::vector<std::pair<int, int>> popups;
  int defaultClicks = 0;
  bool AutoPopup() const override { return autoPopup; }
  void Popup(int x, int y) override { popups.emplace_back(x, y); }
  bool ClickDefaultItem() override {
    ++defaultClicks;
    return true;
  }
};

class CoolTrayIconTest : public ::testing::Test {
 protected:
  CoolTrayIconTest() {
    TSimpleTimerHandler::SetHostFactory([] { return std::make_unique<ManualTimerHost>(); });
    icon = std::make_unique<TCoolTrayIcon>(shell);
  }
  ~CoolTrayIconTest() override {
    icon.reset();
    TSimpleTimerHandler::SetHostFactory(nullptr);
  }
  ManualTimerHost& Timers() { return static_cast<ManualTimerHost&>(TSimpleTimerHandler::Instance()->Host()); }
  void Send(unsigned event) { shell.Send(icon->IconData().uID, event); }

  FakeShell shell;
  std::unique_ptr<TCoolTrayIcon> icon;
  const TImageList frames{"frame0", "frame1"};
};

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

}  // namespace

TEST_F(CoolTrayIconTest, IconIndexIsKeptWithinTheList) {
  icon->SetIconIndex(5);
  EXPECT_EQ(icon->IconIndex(), 0);  // no list
  icon->SetIconList(&frames);
  icon->SetIconIndex(5);
  EXPECT_EQ(icon->IconIndex(), 1);
  EXPECT_EQ(icon->Icon(), "frame1");
  EXPECT_EQ(shell.Last().icon, "frame1");
}

TEST_F(CoolTrayIconTest, CyclingAlternatesFramesAndRestartsOnANewInterval) {
  icon->SetIconList(&frames);
  std::vector<int> next;
  icon->OnCycle = [&](TCoolTrayIcon*, int n) { next.push_back(n); };
  icon->SetCycleInterval(500);
  icon->SetCycleIcons(true);
  std::vector<std::string> shown;
  for (int i = 0; i < 4; ++i) {
    Timers().Advance(500);
    shown.push_back(shell.Last().icon);
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"frame0", "frame1", "frame0", "frame1"}));
  EXPECT_EQ(next, (std::vector<int>{1, 0, 1, 0}));

  Timers().Advance(500);  // now showing frame 0, index 1 next
  icon->SetCycleInterval(300);
  EXPECT_EQ(icon->IconIndex(), 0);
  Timers().Advance(300);
  EXPECT_EQ(shell.Last().icon, "frame0");

  icon->SetCycleIcons(false);
  const std::size_t before = shell.messages.size();
  Timers().Advance(5000);
  EXPECT_EQ(shell.messages.size(), before);
}

TEST_F(CoolTrayIconTest, TextsAreCutToTheShellsFieldSizes) {
  icon->SetHint(Repeat("ж", 200));
  EXPECT_EQ(shell.Last().szTip, Repeat("ж", 127));
  icon->SetShowHint(false);
  EXPECT_EQ(shell.Last().szTip, "");

  icon->ShowBalloonHint(Repeat("Б", 80), Repeat("ю", 300), 3, 10);
  // The hide goes first, then the balloon itself.
  const auto& shown = shell.messages.back().second;
  EXPECT_EQ(shown.szInfo, Repeat("ю", 255));
  EXPECT_EQ(shown.szInfoTitle, Repeat("Б", 63));
  EXPECT_EQ(shown.uTimeout, 10000u);
  EXPECT_EQ(shown.dwInfoFlags, NIIF_ERROR);
  EXPECT_TRUE(shown.uFlags & NIF_INFO);
  const auto& hidden = shell.messages[shell.messages.size() - 2].second;
  EXPECT_EQ(hidden.szInfo, "");
  EXPECT_EQ(icon->IconData().uFlags, NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

TEST_F(CoolTrayIconTest, ClickWaitsForTheDoubleClickTimeOnlyWhenDoubleClicksAreWanted) {
  int clicks = 0;
  int doubles = 0;
  icon->OnClick = [&](TCoolTrayIcon*) { ++clicks; };
  Send(WM_LBUTTONDOWN);
  Send(WM_LBUTTONUP);
  EXPECT_EQ(clicks, 1);  // at once without OnDblClick

  icon->OnDblClick = [&](TCoolTrayIcon*) { ++doubles; };
  Send(WM_LBUTTONDOWN);
  Send(WM_LBUTTONUP);
  EXPECT_EQ(clicks, 1);
  Timers().Advance(399);
  EXPECT_EQ(clicks, 1);
  Timers().Advance(1);
  EXPECT_EQ(clicks, 2);

  // A double click: down, up, double, up.
  Send(WM_LBUTTONDOWN);
  Send(WM_LBUTTONUP);
  Send(WM_LBUTTONDBLCLK);
  Send(WM_LBUTTONUP);
  Timers().Advance(1000);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(doubles, 1);
}

TEST_F(CoolTrayIconTest, MenuAndButtonsFollowTheNotificationBehaviour) {
  FakeMenu menu;
  icon->SetPopupMenu(&menu);
  std::vector<std::string> seen;
  icon->OnMouseDown = [&](TCoolTrayIcon*, TMouseButton b, unsigned shift, int x, int y) {
    seen.push_back("down" + std::to_string(static_cast<int>(b)) + " " + std::to_string(shift) + " " +
                   std::to_string(x) + "," + std::to_string(y));
  };
  icon->OnMouseUp = [&](TCoolTrayIcon*, TMouseButton b, unsigned, int, int) {
    seen.push_back("up" + std::to_string(static_cast<int>(b)));
  };
  Send(WM_RBUTTONDOWN);
  Send(WM_RBUTTONUP);
  Send(WM_CONTEXTMENU);  // classic behaviour ignores it
  EXPECT_EQ(menu.popups, (std::vector<std::pair<int, int>>{{100, 200}}));
  EXPECT_EQ(seen, (std::vector<std::string>{"down1 17 100,200", "up1"}));

  icon->SetNotifyBehaviour(1);
  seen.clear();
  Send(WM_RBUTTONUP);
  Send(WM_CONTEXTMENU);
  Send(NIN_KEYSELECT);
  EXPECT_EQ(seen, (std::vector<std::string>{"up1", "up1"}));

  Send(WM_LBUTTONDBLCLK);  // the menu's default item
  EXPECT_EQ(menu.defaultClicks, 1);
  icon->SetLeftPopup(true);
  Send(WM_LBUTTONDOWN);
  EXPECT_EQ(menu.popups.size(), 2u);

  icon->SetEnabled(false);
  Send(WM_RBUTTONDOWN);
  EXPECT_EQ(menu.popups.size(), 2u);
}

TEST_F(CoolTrayIconTest, BalloonEventsEnterExitAndShellRestart) {
  std::vector<std::string> seen;
  icon->OnBalloonHintClick = [&](TCoolTrayIcon*) { seen.push_back("balloon click"); };
  icon->OnBalloonHintTimeout = [&](TCoolTrayIcon*) { seen.push_back("balloon timeout"); };
  icon->OnMouseEnter = [&](TCoolTrayIcon*) { seen.push_back("enter"); };
  icon->OnMouseExit = [&](TCoolTrayIcon*) { seen.push_back("exit"); };
  Send(NIN_BALLOONUSERCLICK);
  Send(NIN_BALLOONTIMEOUT);

  icon->SetWantEnterExitEvents(true);
  Send(WM_MOUSEMOVE);
  Send(WM_MOUSEMOVE);
  Timers().Advance(100);  // the cursor has not moved
  shell.cursor = {5, 5};
  Timers().Advance(20);
  Timers().Advance(100);
  EXPECT_EQ(seen, (std::vector<std::string>{"balloon click", "balloon timeout", "enter", "exit"}));

  icon->SetIconVisible(true);
  shell.messages.clear();
  shell.Send(0, kShellRestarted);
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].first, NIM_ADD);
  icon->SetIconVisible(false);
  shell.messages.clear();
  shell.Send(0, kShellRestarted);
  EXPECT_TRUE(shell.messages.empty());
}

TEST_F(CoolTrayIconTest, AClickHandlerThatThrowsIsLoggedAndClicksGoOn) {
  safestow::test::RecordingEventLog log;
  int clicks = 0;
  icon->OnClick = [&](TCoolTrayIcon*) {
    if (++clicks == 1) throw std::runtime_error("no such service");
  };
  EXPECT_NO_THROW({
    Send(WM_LBUTTONDOWN);
    Send(WM_LBUTTONUP);
  });
  EXPECT_EQ(log.errors, std::vector<std::string>{"tray icon: no such service"});
  Send(WM_LBUTTONDOWN);
  Send(WM_LBUTTONUP);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(log.errors.size(), 1u);
}

TEST_F(CoolTrayIconTest, AnIconIsAddedOnceTheTrayAppearsAndAgainAfterItRestarts) {
  // The service starts before the desktop's tray host: every add is refused at first.
  shell.refuseAdd = true;
  icon->SetIconVisible(true);
  const auto adds = [&] {
    return std::count_if(shell.messages.begin(), shell.messages.end(),
                         [](const auto& m) { return m.first == NIM_ADD; });
  };
  EXPECT_EQ(adds(), 1);
  Timers().Advance(TCoolTrayIcon::kAddRetryInterval * 3);
  EXPECT_EQ(adds(), 4);  // tried again and again

  shell.refuseAdd = false;  // the tray host is up
  Timers().Advance(TCoolTrayIcon::kAddRetryInterval);
  EXPECT_EQ(adds(), 5);
  Timers().Advance(TCoolTrayIcon::kAddRetryInterval * 5);
  EXPECT_EQ(adds(), 5);  // added: no more tries

  // The tray host restarts; it is not back at once when the restart is reported.
  shell.refuseAdd = true;
  shell.Send(0, kShellRestarted);
  EXPECT_EQ(adds(), 6);
  shell.refuseAdd = false;
  Timers().Advance(TCoolTrayIcon::kAddRetryInterval);
  EXPECT_EQ(adds(), 7);
  EXPECT_EQ(shell.messages.back().second.szTip, icon->IconData().szTip);

  // A hidden icon is not tried again.
  shell.refuseAdd = true;
  shell.Send(0, kShellRestarted);
  icon->SetIconVisible(false);
  const auto before = adds();
  Timers().Advance(TCoolTrayIcon::kAddRetryInterval * 3);
  EXPECT_EQ(adds(), before);
}

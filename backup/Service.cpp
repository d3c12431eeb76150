#include "Service.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QMenu>
#include <QMessageBox>
#include <QUrl>

#include "Console.h"
#include "CoolTrayIconHooks.h"
#include "ServiceShell.h"
#include "Texts.h"
#include "service/EventLog.h"

namespace safestow {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

}  // namespace

// The tray menu as the icon component sees it.
class TSafestowService::MenuPort : public TPopupMenuPort {
 public:
  explicit MenuPort(QMenu& menu) : menu_(menu) {}
  bool AutoPopup() const override { return true; }
  void Popup(int x, int y) override { menu_.popup(QPoint(x, y)); }
  bool ClickDefaultItem() override {
    if (QAction* action = menu_.defaultAction()) {
      action->trigger();
      return true;
    }
    return false;
  }

 private:
  QMenu& menu_;
};

TSafestowService::TSafestowService(pv::tray::TrayShell& shell, pv::service::ServiceControl& services)
    : services_(services), menu_(std::make_unique<QMenu>()) {
  menu_->setObjectName("PopupMenu1");
  QAction* show = menu_->addAction(Q(texts::kMenuShow));
  show->setObjectName("Show");
  QAction* about = menu_->addAction(Q(texts::kMenuAbout));
  about->setObjectName("About");
  menu_->addSeparator();
  QAction* stop = menu_->addAction(Q(texts::kMenuStop));
  stop->setObjectName("StopService");
  QObject::connect(show, &QAction::triggered, pv::service::Guarded("ShowClick", [this] { ShowClick(); }));
  QObject::connect(about, &QAction::triggered, pv::service::Guarded("AboutClick", [this] { AboutClick(); }));
  QObject::connect(stop, &QAction::triggered, pv::service::Guarded("StopServiceClick", [this] { StopServiceClick(); }));
  menuPort_ = std::make_unique<MenuPort>(*menu_);

  Confirm = [](const std::string& question, const std::string& caption) {
    return QMessageBox::question(nullptr, QString::fromStdString(caption), QString::fromStdString(question),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };
  Quit = [] { QCoreApplication::quit(); };
  OpenUrl = [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };

  trayIcon_ = std::make_unique<TCoolTrayIcon>(shell);
  TCoolTrayIcon& icon = *trayIcon_;
  icon.SetIconList(&frames_);
  icon.SetCycleInterval(500);
  icon.SetHint(texts::kTrayHint);
  icon.SetIcon("tray");
  icon.SetPopupMenu(menuPort_.get());
  icon.OnClick = [this](TCoolTrayIcon*) { CoolTrayIcon1Click(); };
  icon.SetIconVisible(true);
  icon.Loaded();
}

TSafestowService::~TSafestowService() = default;

void TSafestowService::CoolTrayIcon1Click() {
  if (!console_) return;
  const int state = services_.QueryServiceState(console_->CurrentSettings().databaseService);
  const BalloonText balloon = TrayClickBalloon(state, console_->Runner().RunState());
  console_->ShowBalloon(texts::kBalloonTitle, balloon.text, balloon.iconKind, 10);
}

void TSafestowService::ShowClick() {
  if (console_) RestoreWindow(*console_);
}

void TSafestowService::AboutClick() { OpenUrl(Q(texts::kDeveloperSite)); }

void TSafestowService::StopServiceClick() { StopServiceCommand(Confirm, services_, runsAsUnit, Quit); }

}  // namespace safestow

#include "DBusNotifications.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "TrayShell.h"

namespace pv::tray {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDefaultAction = QStringLiteral("default");

// The reasons of NotificationClosed.
constexpr uint kExpired = 1;

QString IconName(unsigned kind) {
  switch (kind) {
    case NIIF_INFO: return QStringLiteral("dialog-information");
    case NIIF_WARNING: return QStringLiteral("dialog-warning");
    case NIIF_ERROR: return QStringLiteral("dialog-error");
    default: return {};
  }
}

}  // namespace

DBusNotifications::DBusNotifications(const QDBusConnection& bus, QObject* parent) : QObject(parent), bus_(bus) {
  bus_.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
               SLOT(NotificationClosed(uint, uint)));
  bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
               SLOT(ActionInvoked(uint, QString)));
}

bool DBusNotifications::Available() const {
  const QDBusConnectionInterface* daemon = bus_.interface();
  return bus_.isConnected() && daemon && daemon->isServiceRegistered(kService).value();
}

void DBusNotifications::Show(std::uintptr_t icon, const QString& title, const QString& text, unsigned kind,
                             int timeoutMs) {
  // The icon component takes an icon's balloon back before it shows the next one, so the
  // old one closes (and reports so) by itself.
  const uint replaces = 0;
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
  call << QCoreApplication::applicationName() << replaces << IconName(kind) << title << text
       << QStringList{kDefaultAction, title} << QVariantMap{} << timeoutMs;
  const std::uint64_t key = nextKey_++;
  balloons_[key].icon = icon;
  current_[icon] = key;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, key](QDBusPendingCallWatcher* w) { Shown(w, key); });
}

void DBusNotifications::Shown(QDBusPendingCallWatcher* call, std::uint64_t key) {
  call->deleteLater();
  const QDBusPendingReply<uint> reply = *call;
  const auto it = balloons_.find(key);
  if (it == balloons_.end()) return;
  Balloon& b = it->second;
  if (reply.isError()) {
    // A failed balloon is ignored, as a refused shell message is.
    if (current_[b.icon] == key) current_.erase(b.icon);
    balloons_.erase(it);
    return;
  }
  b.id = reply.value();
  const std::uintptr_t icon = b.icon;
  const bool closeAsked = b.closeAsked;
  Report(icon, NIN_BALLOONSHOW);
  if (closeAsked) CloseById(b.id);
}

void DBusNotifications::Close(std::uintptr_t icon) {
  const auto it = current_.find(icon);
  if (it == current_.end()) return;
  Balloon& b = balloons_[it->second];
  if (b.id == 0) {
    b.closeAsked = true;
  } else {
    CloseById(b.id);
  }
}

void DBusNotifications::CloseById(uint id) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"));
  call << id;
  bus_.asyncCall(call);
}

DBusNotifications::Balloon* DBusNotifications::ById(uint id) {
  for (auto& [key, b] : balloons_) {
    if (b.id == id) return &b;
  }
  return nullptr;
}

void DBusNotifications::NotificationClosed(uint id, uint reason) {
  Balloon* b = ById(id);
  if (!b) return;  // another program's notification, or one we replaced
  const std::uintptr_t icon = b->icon;
  const bool clicked = b->clicked;
  for (auto it = balloons_.begin(); it != balloons_.end(); ++it) {
    if (&it->second != b) continue;
    if (const auto cur = current_.find(icon); cur != current_.end() && cur->second == it->first) current_.erase(cur);
    balloons_.erase(it);
    break;
  }
  if (clicked) return;  // a click ends a balloon without a hide
  Report(icon, reason == kExpired ? NIN_BALLOONTIMEOUT : NIN_BALLOONHIDE);
}

void DBusNotifications::ActionInvoked(uint id, const QString&) {
  Balloon* b = ById(id);
  if (!b || b->clicked) return;
  b->clicked = true;
  Report(b->icon, NIN_BALLOONUSERCLICK);
}

void DBusNotifications::Report(std::uintptr_t icon, unsigned event) {
  if (OnEvent) OnEvent(icon, event);
}

}  // namespace pv::tray

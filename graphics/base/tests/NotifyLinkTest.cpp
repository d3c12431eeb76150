// Listener counts, notification order, and links that handlers add, remove or free.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/ApplicationError.h"
#include "base/NotifyLink.h"
#include "base/VexaObject.h"

namespace pv::graphics {
namespace {

int owner;  // any address will do as an owner

TEST(NotifyLink, NeedsAnOwner) {
  try {
    TNotifyLink link(nullptr);
    FAIL();
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Owner must exist");
  }
}

TEST(NotifyLink, CountsListenersAndDropsPairsAtZero) {
  TNotifyLink a(&owner), b(&owner);
  EXPECT_EQ(a.AddListener(&b), 1);
  EXPECT_EQ(a.AddListener(&b), 2);
  EXPECT_EQ(a.RemoveListener(&b), 1);
  EXPECT_EQ(a.ListenerCount(&b), 1);
  EXPECT_EQ(b.IndexOf(&a), 0);
  EXPECT_EQ(b.ListenerCount(&a), 0);
  EXPECT_EQ(a.RemoveListener(&b), 0);
  EXPECT_EQ(a.IndexOf(&b), -1);
  EXPECT_EQ(b.IndexOf(&a), -1);
  EXPECT_EQ(a.RemoveListener(&b), -1);
  EXPECT_EQ(a.AddListener(nullptr), -1);

  // Both listening to each other: the pairs stay until both counts are 0.
  EXPECT_EQ(a.AddListener(&b), 1);
  EXPECT_EQ(b.AddListener(&a), 1);
  EXPECT_EQ(a.RemoveListener(&b), 0);
  EXPECT_EQ(a.IndexOf(&b), 0);
  EXPECT_EQ(a.RemoveListener(&b), -1);
  EXPECT_EQ(a.ListenerCount(&b), 0);
  EXPECT_EQ(b.RemoveListener(&a), 0);
  EXPECT_EQ(a.PartnerCount() + b.PartnerCount(), 0u);
}

TEST(NotifyLink, NotifiesListenersInOrderAndGoesOnAfterAnException) {
  std::vector<std::string> calls;
  TNotifyLink source(&owner), first(&owner), second(&owner), third(&owner);
  first.OnNotify = [&](TNotifyLink&, TNotifyLink* from, const TNotifyLinkInfo& info) {
    if (info.Code == TNotifyCode::Free) return;
    EXPECT_EQ(from, &source);
    EXPECT_EQ(info.Code, TNotifyCode::Control);
    EXPECT_EQ(info.Notify, TVexaNotify::fnRect);
    calls.push_back("first");
    throw std::runtime_error("listener failed");
  };
  second.OnNotify = [&](TNotifyLink&, TNotifyLink*, const TNotifyLinkInfo& info) {
    if (info.Code != TNotifyCode::Free) calls.push_back("second");
  };
  source.AddListener(&first);
  source.AddListener(&third);  // no handler: not called
  source.AddListener(&second);
  int handled = 0;
  auto previous = SetApplicationExceptionHandler([&](std::exception_ptr) { ++handled; });
  EXPECT_EQ(source.ControlNotify(nullptr, TVexaNotify::fnRect), 2);
  SetApplicationExceptionHandler(previous);
  EXPECT_EQ(calls, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(handled, 1);
  // The partner only knows source: it sends nothing back.
  EXPECT_EQ(first.PropNotify(nullptr, true), 0);
}

TEST(NotifyLink, HandlersThatChangeOrFreeListenersAreSafe) {
  int doomedCalls = 0, lateCalls = 0;
  TNotifyLink source(&owner);
  auto doomed = std::make_unique<TNotifyLink>(&owner);
  TNotifyLink killer(&owner), adder(&owner), late(&owner);
  const auto control = [](const TNotifyLinkInfo& info) { return info.Code == TNotifyCode::Control; };
  killer.OnNotify = [&](TNotifyLink&, TNotifyLink*, const TNotifyLinkInfo& info) {
    if (control(info)) doomed.reset();
  };
  doomed->OnNotify = [&](TNotifyLink&, TNotifyLink*, const TNotifyLinkInfo& info) { doomedCalls += control(info); };
  adder.OnNotify = [&](TNotifyLink&, TNotifyLink*, const TNotifyLinkInfo& info) {
    if (control(info)) source.AddListener(&late);
  };
  late.OnNotify = [&](TNotifyLink&, TNotifyLink*, const TNotifyLinkInfo& info) { lateCalls += control(info); };
  source.AddListener(&killer);
  source.AddListener(doomed.get());
  source.AddListener(&adder);
  EXPECT_EQ(source.ControlNotify(nullptr, TVexaNotify::fnName), 2);
  EXPECT_EQ(doomedCalls, 0);  // freed by the first handler before its turn
  EXPECT_EQ(lateCalls, 0);    // added during the walk: called from the next one on
  EXPECT_EQ(source.ControlNotify(nullptr, TVexaNotify::fnName), 3);
  EXPECT_EQ(lateCalls, 1);
}

TEST(NotifyLink, AHandlerMayFreeTheSendingLink) {
  auto source = std::make_unique<TNotifyLink>(&owner);
  TNotifyLink first(&owner), second(&owner);
  int secondCalls = 0;
  first.OnNotify = [&](TNotifyLink&, TNotifyLink*, const TNotifyLinkInfo& info) {
    if (info.Code == TNotifyCode::Control) source.reset();
  };
  second.OnNotify = [&](TNotifyLink&, TNotifyLink*, const TNotifyLinkInfo& info) {
    if (info.Code == TNotifyCode::Control) ++secondCalls;
  };
  source->AddListener(&first);
  source->AddListener(&second);
  source->ControlNotify(nullptr, TVexaNotify::fnName);
  EXPECT_EQ(source, nullptr);
  EXPECT_EQ(secondCalls, 0);
  EXPECT_EQ(first.PartnerCount() + second.PartnerCount(), 0u);
}

TEST(NotifyLink, DestructionIsAnnouncedToItselfAndEveryPartner) {
  std::vector<std::string> seen;
  TNotifyLink listener(&owner), sender(&owner);
  auto self = std::make_unique<TNotifyLink>(&owner);
  TNotifyLink* const raw = self.get();
  self->OnNotify = [&](TNotifyLink&, TNotifyLink* from, const TNotifyLinkInfo& info) {
    EXPECT_EQ(info.Code, TNotifyCode::Free);
    seen.push_back(from ? "partner" : "self");
    // A destroying link neither notifies nor takes listeners.
    EXPECT_EQ(raw->AddListener(&listener), -1);
    EXPECT_EQ(raw->ControlNotify(nullptr, TVexaNotify::fnName), 0);
  };
  listener.OnNotify = [&](TNotifyLink&, TNotifyLink* from, const TNotifyLinkInfo& info) {
    EXPECT_EQ(info.Code, TNotifyCode::Free);
    EXPECT_EQ(from, raw);
    seen.push_back("listener");
  };
  sender.OnNotify = [&](TNotifyLink&, TNotifyLink*, const TNotifyLinkInfo&) { seen.push_back("sender"); };
  self->AddListener(&listener);
  sender.AddListener(self.get());
  self.reset();
  EXPECT_EQ(seen, (std::vector<std::string>{"self", "sender", "listener"}));
  EXPECT_EQ(listener.PartnerCount() + sender.PartnerCount(), 0u);
  listener.OnNotify = sender.OnNotify = nullptr;
}

}  // namespace
}  // namespace pv::graphics

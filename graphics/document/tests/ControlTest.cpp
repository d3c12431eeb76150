// The control object model: properties and their rules, creation and destruction, children,
// IDs, names, notifications, the class registry, the depth-first walk and the object block.

#include <gtest/gtest.h>

#include <algorithm>

#include "controls/ControlClasses.h"
#include "document/testing/TestVexaPanel.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;

struct ControlFixture : ::testing::Test {
  ControlFixture() { panel.NewDocument(); }
  TVexaControl* Scheme() { return panel.GetActiveScheme(); }
  TVexaControl* Layer() { return panel.GetActiveLayer(); }
  TVexaControl* Add(TVexaControl* parent, const std::string& name = {}) {
    TVexaControl* c = TVexaControl::New<TVexaControl>(&panel, parent, Layer());
    if (!name.empty()) c->SetName(name);
    return c;
  }
  int CountNotes(TVexaControl* c, TVexaNotify n) const {
    return static_cast<int>(std::count(panel.notifications.begin(), panel.notifications.end(), std::pair{c, n}));
  }
  TTestVexaPanel panel;
};

TEST_F(ControlFixture, CommonPropertiesHaveTheirFlagsAndDefaults) {
  TVexaControl* c = Add(Scheme());
  struct Case {
    const char* name;
    uint8_t flags;
  };
  const Case cases[] = {{"ID", 0x0A},    {"Tag", 0x0A},       {"Name", 0x0E},      {"Left", 0x42},
                        {"Top", 0x42},   {"Width", 0x42},     {"Height", 0x42},    {"Visible", 0x04},
                        {"Hint", 0x0A},  {"ShowHint", 0x0A},  {"Layer", 0x82},     {"Reference", 0x8A},
                        {"UserData", 0x02}, {"Transparency", 0x02}, {"Selectable", 0x08}};
  EXPECT_EQ(c->Props().Count(), 15);
  for (const Case& k : cases) {
    TCustomProp* p = c->Props().PropByName(k.name);
    ASSERT_NE(p, nullptr) << k.name;
    EXPECT_EQ(p->Flags(), k.flags) << k.name;
  }
  EXPECT_NE(c->GetID(), 0u);
  EXPECT_TRUE(panel.IdPool().Used(c->GetId()));
  EXPECT_TRUE(c->GetShowHint());
  EXPECT_TRUE(c->GetSelectable());
  EXPECT_FALSE(c->GetVisible());  // only the concrete classes show themselves
  EXPECT_EQ(c->GetLayer(), Layer());
  EXPECT_EQ(c->GetScheme(), Scheme());
  EXPECT_EQ(CountNotes(c, TVexaNotify::fnCreated), 1);
}

TEST_F(ControlFixture, SizesNeverFallBelowOne) {
  TVexaControl* c = Add(Scheme());
  for (int32_t v : {-5, 0, 1, 7}) {
    c->SetWidth(v);
    c->SetHeight(v);
    EXPECT_EQ(c->GetWidth(), std::max(v, 1));
    EXPECT_EQ(c->GetHeight(), std::max(v, 1));
  }
}

TEST_F(ControlFixture, AddChildReturnsTheIndexOfAChildAndRefusesCycles) {
  TVexaControl* a = Add(Scheme(), "a");
  TVexaControl* b = Add(a, "b");
  TVexaControl* c = Add(b, "c");
  EXPECT_EQ(a->AddChild(b), 0);
  EXPECT_EQ(a->GetCount(), 1);
  // The control itself and its ancestors are refused: a cycle would make every walk endless.
  EXPECT_EQ(c->AddChild(c), -1);
  EXPECT_EQ(c->AddChild(a), -1);
  EXPECT_EQ(c->AddChild(b), -1);
  EXPECT_EQ(b->AddChild(a), -1);
  EXPECT_EQ(a->GetParent(), Scheme());
  EXPECT_EQ(c->GetParent(), b);
  c->SetParent(a);
  EXPECT_EQ(a->GetCount(), 2);
  EXPECT_EQ(b->GetCount(), 0);
}

TEST_F(ControlFixture, UniqueNamesAreCaseSensitiveAndNeverEmptyWhenAsked) {
  TVexaControl* a = Add(Scheme(), "A");
  TVexaControl* lower = Add(Scheme(), "a");
  TVexaControl* empty = Add(Scheme());
  EXPECT_TRUE(a->IsUniqueName(true, true));
  EXPECT_TRUE(lower->IsUniqueName(true, true));
  EXPECT_FALSE(empty->IsUniqueName(true, false));
  EXPECT_TRUE(empty->IsUniqueName(false, true));
  lower->SetName("A");
  EXPECT_FALSE(a->IsUniqueName(false, true));
  EXPECT_TRUE(a->IsUniqueName(false, false));
}

TEST_F(ControlFixture, TheLayerDecidesWhatIsReadOnly) {
  auto* layer = static_cast<TVexaLayer*>(Layer());
  TVexaControl* c = Add(Scheme());
  c->SetLeft(10);
  layer->SetMoveable(false);
  c->SetLeft(20);
  c->SetWidth(30);
  c->SetTag(5);
  EXPECT_EQ(c->GetLeft(), 10);
  EXPECT_EQ(c->GetWidth(), 0);
  EXPECT_EQ(c->GetTag(), 5);
  layer->SetMoveable(true);
  layer->SetReadOnly(true);
  c->SetTag(6);
  c->SetName("x");
  c->SetLeft(40);
  EXPECT_EQ(c->GetTag(), 5);
  EXPECT_EQ(c->GetName(), "");
  EXPECT_EQ(c->GetLeft(), 10);
}

TEST_F(ControlFixture, NestedUpdatesSendOneRectNotification) {
  TVexaControl* c = Add(Scheme());
  panel.notifications.clear();
  for (int i = 0; i < 10; ++i) {
    c->BeginUpdate();
    c->SetLeft(c->GetLeft() + 100);
  }
  for (int i = 0; i < 9; ++i) c->EndUpdate();
  EXPECT_EQ(CountNotes(c, TVexaNotify::fnRect), 0);
  EXPECT_TRUE(c->EndUpdate());
  EXPECT_EQ(CountNotes(c, TVexaNotify::fnRect), 1);
  EXPECT_FALSE(c->EndUpdate());
}

TEST_F(ControlFixture, NotificationsReachThePanelAndTheNotifyLink) {
  TVexaControl* c = Add(Scheme());
  std::vector<TVexaNotify> heard;
  TNotifyLink listener(this);
  listener.OnNotify = [&](TNotifyLink&, TNotifyLink*, const TNotifyLinkInfo& info) {
    if (info.Code == TNotifyCode::Control) heard.push_back(info.Notify);
  };
  c->GetNotifyLink()->AddListener(&listener);
  c->SetName("n");
  c->SetTop(5);
  TVexaControl* other = Add(Scheme());
  panel.notifications.clear();
  other->SetParent(c);
  EXPECT_EQ(heard, (std::vector<TVexaNotify>{TVexaNotify::fnName, TVexaNotify::fnRect, TVexaNotify::fnOrder}));
  EXPECT_EQ(CountNotes(other, TVexaNotify::fnParent), 1);
}

TEST_F(ControlFixture, IdChangesGoThroughThePanelsCheck) {
  TVexaControl* a = Add(Scheme());
  TVexaControl* b = Add(Scheme());
  const uint32_t oldA = a->GetID();
  a->SetID(500);
  EXPECT_EQ(a->GetID(), 500u);
  EXPECT_FALSE(panel.IdPool().Used(static_cast<int32_t>(oldA)));
  EXPECT_EQ(CountNotes(a, TVexaNotify::fnID), 1);
  // An ID in use by another control is replaced by a free one.
  b->SetID(500);
  EXPECT_NE(b->GetID(), 500u);
  EXPECT_NE(b->GetID(), 0u);
  EXPECT_TRUE(panel.IdPool().Used(b->GetId()));
  EXPECT_EQ(Scheme()->FindByID(500), a);
  EXPECT_EQ(Scheme()->FindByID(0), nullptr);
  const int32_t id = a->GetId();
  a->Free();
  EXPECT_FALSE(panel.IdPool().Used(id));
  EXPECT_EQ(Scheme()->IndexOf(a), -1);
}

TEST_F(ControlFixture, FindChildByNameIsExact) {
  TVexaControl* a = Add(Scheme(), "Box");
  EXPECT_EQ(Scheme()->FindChildByName("Box"), a);
  EXPECT_EQ(Scheme()->FindChildByName("box"), nullptr);
}

TEST_F(ControlFixture, AutomaticNamesTakeTheSmallestFreeNumber) {
  panel.autoNames = true;
  TVexaControl* a = Add(Scheme());
  TVexaControl* b = Add(Scheme());
  EXPECT_EQ(a->GetName(), "Control1");
  EXPECT_EQ(b->GetName(), "Control2");
  a->Free();
  EXPECT_EQ(Add(Scheme())->GetName(), "Control1");
  panel.autoNameNumbs = false;
  EXPECT_EQ(Add(Scheme())->GetName(), "Control");
}

TEST_F(ControlFixture, TheWalkVisitsTheSubtreeDepthFirstAndStaysInIt) {
  TVexaControl* a = Add(Scheme(), "a");
  TVexaControl* b = Add(a, "b");
  TVexaControl* c = Add(b, "c");
  TVexaControl* d = Add(a, "d");
  Add(Scheme(), "outside");
  std::vector<TVexaControl*> seen;
  TPassControlRec pass;
  for (TVexaControl* x = pass.PassFirst(a); x; x = pass.PassNext()) seen.push_back(x);
  EXPECT_EQ(seen, (std::vector<TVexaControl*>{a, b, c, d}));
  EXPECT_EQ(pass.PassFirst(c), c);
  EXPECT_EQ(pass.PassNext(), nullptr);
  EXPECT_EQ(pass.PassFirst(nullptr), nullptr);
  EXPECT_EQ(pass.PassNext(), nullptr);
}

TEST_F(ControlFixture, ExtractedControlsBecomeParentlessAndFreedOnesLeaveThatList) {
  TVexaControl* a = Add(Scheme());
  a->SetParent(nullptr);
  EXPECT_EQ(a->GetParent(), nullptr);
  ASSERT_EQ(panel.Parentless().size(), 1u);
  EXPECT_EQ(panel.FindControl(a->GetId()), a);
  Scheme()->AddChild(a);
  EXPECT_TRUE(panel.Parentless().empty());
  TVexaControl* loose = TVexaControl::New<TVexaControl>(&panel, nullptr);
  EXPECT_EQ(panel.Parentless().size(), 1u);
  loose->Free();
  EXPECT_TRUE(panel.Parentless().empty());
}

TEST_F(ControlFixture, AControlOutsideAnyPanelKeepsItsOwnTree) {
  TVexaControl* root = TVexaControl::New<TVexaControl>(nullptr, nullptr);
  TVexaControl* child = TVexaControl::New<TVexaControl>(nullptr, root);
  EXPECT_EQ(child->GetParent(), root);
  EXPECT_EQ(child->GetID(), 0u);
  EXPECT_THROW(root->Panel(), std::logic_error);
  // Moving it into a document gives the subtree IDs from that document's pool.
  Scheme()->AddChild(root);
  EXPECT_EQ(root->Owner(), &panel);
  EXPECT_EQ(child->Owner(), &panel);
  EXPECT_NE(child->GetID(), 0u);
  EXPECT_EQ(root->GetLayer(), nullptr);
}

// A class whose creation fails half-way.
class TFailingControl : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

 protected:
  void ControlCreate() override {
    TVexaControl::ControlCreate();
    throw std::runtime_error("no");
  }
};
const TVexaControlClass TFailingControl::ClassInfo{{"TFailingControl", &TVexaControl::ClassInfo.ref},
                                                   &TVexaControl::Creator<TFailingControl>};

TEST_F(ControlFixture, AFailedCreationLeavesNothingBehind) {
  panel.History().SetActive(true);
  const int actions = panel.History().Count();
  const std::string before = panel.SaveText();
  EXPECT_THROW(TVexaControl::New<TFailingControl>(&panel, Scheme(), Layer()), std::runtime_error);
  EXPECT_EQ(Scheme()->GetCount(), 0);
  EXPECT_TRUE(panel.Parentless().empty());
  EXPECT_EQ(panel.History().OpenGroup(), nullptr);
  EXPECT_EQ(panel.History().Count(), actions);
  EXPECT_EQ(panel.SaveText(), before);
  // The ID it had is free again.
  EXPECT_EQ(Add(Scheme())->GetId(), panel.IdPool().Ranges().back());
}

TEST(ControlClasses, TheRegistryKeepsEachClassOnceInItsOrder) {
  TTestVexaPanel panel;  // registers the document's classes
  const int count = ControlClassCount();
  RegisterControlClass(TVexaLayer::ClassInfo);
  EXPECT_EQ(ControlClassCount(), count);
  EXPECT_EQ(FindControlClass("tvexalayer"), &TVexaLayer::ClassInfo);
  EXPECT_EQ(FindControlClass("TVexaScheme"), &TVexaScheme::ClassInfo);
  EXPECT_EQ(FindControlClass("TVexaControl"), &TVexaControl::ClassInfo);
  EXPECT_EQ(FindControlClass("TVexaNothing"), nullptr);
  EXPECT_TRUE(TVexaScheme::ClassInfo.create != nullptr);
  EXPECT_EQ(TVexaCustomScheme::ClassInfo.create, nullptr);
}

// --- the object block

struct RoundTrip : ControlFixture {
  // Saves the document, loads it into a second panel, and saves that: the texts must match.
  void ExpectRoundTrip() {
    const std::string text = panel.SaveText();
    TTestVexaPanel other;
    other.LoadText(text);
    EXPECT_EQ(other.SaveText(), text);
  }
};

TEST_F(RoundTrip, APlainControlWithEveryCommonProperty) {
  TVexaControl* c = Add(Scheme(), "Box one");
  c->SetLeft(1500);
  c->SetTop(-250);
  c->SetWidth(40000);
  c->SetHeight(30000);
  c->SetTag(-7);
  c->Hint().SetText("first\r\nsecond");
  c->SetShowHint(false);
  c->SetTransparency(40);
  c->SetSelectable(false);
  TVexaControl* inner = Add(c, "inner");
  inner->SetLeft(100);
  TVexaControl* other = TVexaControl::New<TVexaScheme>(&panel, &panel.Schemes());
  c->SetReference(other);
  const std::string text = panel.SaveText();
  EXPECT_NE(text.find("object Box one: TVexaControl"), std::string::npos);
  EXPECT_NE(text.find("Reference = Scheme2"), std::string::npos) << text;
  EXPECT_NE(text.find("Transparency = 40"), std::string::npos);
  ExpectRoundTrip();

  TTestVexaPanel loaded;
  loaded.LoadText(text);
  auto* scheme = static_cast<TVexaControl*>(loaded.Schemes().GetChild(0));
  TVexaControl* box = scheme->FindChildByName("Box one");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->GetID(), c->GetID());
  EXPECT_EQ(box->GetTop(), -250);
  EXPECT_EQ(box->Hint().GetCount(), 2);
  EXPECT_EQ(box->GetReference(), loaded.Schemes().GetChild(1));
  EXPECT_EQ(box->GetLayer(), loaded.Layers().GetChild(0));
  EXPECT_EQ(box->GetChild(0)->GetLayer(), loaded.Layers().GetChild(0));
}

TEST_F(RoundTrip, LayersSchemesAndTheDocumentProperties) {
  auto* layer = static_cast<TVexaLayer*>(Layer());
  layer->SetMoveable(false);
  TVexaLayer* second = panel.Layers().NewLayer();
  second->SetReadOnly(true);
  second->SetSelectable(false);
  second->SetVisible(false);
  auto* scheme2 = TVexaControl::New<TVexaScheme>(&panel, &panel.Schemes());
  scheme2->SetDefault(true);
  scheme2->Brush().SetColor(0x123456);
  panel.Schemes().SetConnectorsMinGap(12000);
  panel.Schemes().SetName("My document");
  TVexaControl::New<TVexaServiceControl>(&panel, Scheme(), second)->SetName("service");
  const std::string text = panel.SaveText();
  EXPECT_EQ(text.rfind("document My document\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("ConnectorsMinGap = 12000"), std::string::npos) << text;
  EXPECT_NE(text.find("Moveable = False"), std::string::npos);
  EXPECT_NE(text.find("Version = 140"), std::string::npos);
  EXPECT_NE(text.find("Width = 800000"), std::string::npos);
  // A control on a read-only layer still gets its ID; its name can't be set.
  EXPECT_NE(text.find("object : TVexaServiceControl\r\n      Height = 0\r\n      ID = 8"), std::string::npos) << text;
  ExpectRoundTrip();

  TTestVexaPanel loaded;
  loaded.LoadText(text);
  EXPECT_EQ(loaded.Layers().GetCount(), 2);
  EXPECT_FALSE(loaded.Layers().GetLayer(0)->GetMoveable());
  EXPECT_TRUE(loaded.Layers().GetLayer(1)->GetReadOnly());
  EXPECT_FALSE(loaded.Layers().GetLayer(1)->GetVisible());
  EXPECT_FALSE(loaded.Schemes().GetScheme(0)->GetDefault());
  EXPECT_TRUE(loaded.Schemes().GetScheme(1)->GetDefault());
  EXPECT_EQ(static_cast<TVexaScheme*>(loaded.Schemes().GetScheme(1))->Brush().GetColor(), 0x123456);
  EXPECT_EQ(static_cast<TVexaScheme*>(loaded.Schemes().GetScheme(0))->Brush().GetColor(), canvas::clWhite);
  EXPECT_EQ(loaded.Schemes().GetConnectorsMinGap(), 12000);
  EXPECT_EQ(loaded.ConnectorsMinGap(), 12000);
  EXPECT_EQ(loaded.GetActiveLayer(), loaded.Layers().GetChild(0));
  EXPECT_EQ(loaded.GetActiveScheme(), loaded.Schemes().GetChild(0));
}

TEST_F(RoundTrip, LoadFromFilerReadsTheRestOfABlockIntoAControl) {
  TVexaControl* source = Add(Scheme(), "src");
  source->SetWidth(1234);
  source->SetTag(9);
  Add(source, "kid");
  TMemoryStream stream;
  TVexaFiler filer(stream);
  source->SaveToFiler(filer, "");
  filer.Flush();
  filer.Rewind();
  std::string line;
  ASSERT_TRUE(filer.ReadLine(line));
  EXPECT_EQ(line, "object src: TVexaControl");
  TVexaControl* copy = Add(Scheme(), "copy");
  copy->LoadFromFiler(filer);
  EXPECT_EQ(copy->GetWidth(), 1234);
  EXPECT_EQ(copy->GetTag(), 9);
  ASSERT_EQ(copy->GetCount(), 1);
  EXPECT_EQ(copy->GetChild(0)->GetName(), "kid");
  EXPECT_EQ(CountNotes(copy, TVexaNotify::fnLoaded), 1);
  EXPECT_EQ(panel.Loading(), 0);
}

}  // namespace
}  // namespace pv::graphics

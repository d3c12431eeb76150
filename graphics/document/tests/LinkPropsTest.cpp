// Link references and link properties.

#include <gtest/gtest.h>

#include "controls/LinkProps.h"
#include "document/testing/TestVexaPanel.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;

// A control with a link to another one, as connectors and clones have.
class TLinkingControl : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }
  TLinkProp* target = nullptr;
  int destroyed = 0;

 protected:
  void CreateProperties() override {
    TVexaControl::CreateProperties();
    target = Props().Create<TLinkProp>("Target");
    target->SetFlags(pfNew | pfReference);
    target->OnLinkDestroy = [this](TLinkProp&) { ++destroyed; };
  }
  void ControlCreate() override {
    TVexaControl::ControlCreate();
    SetVisible(true);
  }
};
const TVexaControlClass TLinkingControl::ClassInfo{{"TLinkingControl", &TVexaControl::ClassInfo.ref},
                                                   &TVexaControl::Creator<TLinkingControl>};

struct LinkFixture : ::testing::Test {
  LinkFixture() {
    RegisterControlClass(TLinkingControl::ClassInfo);
    panel.NewDocument();
  }
  TVexaControl* Scheme() { return panel.GetActiveScheme(); }
  TVexaControl* Plain(const std::string& name, uint32_t id) {
    TVexaControl* c = TVexaControl::New<TVexaControl>(&panel, Scheme(), panel.GetActiveLayer());
    c->SetName(name);
    c->SetID(id);
    return c;
  }
  TLinkingControl* Linker() { return TVexaControl::New<TLinkingControl>(&panel, Scheme(), panel.GetActiveLayer()); }
  TTestVexaPanel panel;
};

TEST_F(LinkFixture, ReferenceTextsNameTheIdTheCleanNameAndTheProperty) {
  TVexaControl* c = Plain("a\\b\x01", 7);
  EXPECT_EQ(MakeLinkReference(c, nullptr), "\\7:ab");
  EXPECT_EQ(MakeLinkReference(c, c->Props().PropByName("Width")), "\\7:ab\\Width");
  TVexaControl* other = Plain("o", 8);
  EXPECT_EQ(MakeLinkReference(c, other->Props().PropByName("Width")), "\\7:ab");
  EXPECT_EQ(MakeLinkReference(nullptr, nullptr), "");
}

TEST_F(LinkFixture, ParsingFindsControlsByIdAndPropertiesByName) {
  TVexaControl* c = Plain("x", 12);
  struct Case {
    const char* text;
    bool ok;
    TVexaControl* control;
    const char* prop;
  };
  const Case cases[] = {
      {"", true, nullptr, nullptr},
      {"\\12", true, c, nullptr},
      {"\\12:whatever", true, c, nullptr},
      {"\\12:x\\Width", true, c, "Width"},
      {"\\12\\Tag", true, c, "Tag"},
      {"\\12:x\\NoSuchProperty", false, c, nullptr},
      {"\\99:x", false, nullptr, nullptr},
      {"12:x", false, nullptr, nullptr},
      {"\\abc:x", false, nullptr, nullptr},
  };
  for (const Case& k : cases) {
    TVexaControl* control = nullptr;
    TCustomProp* prop = nullptr;
    EXPECT_EQ(ParseLinkReference(k.text, &panel, nullptr, nullptr, control, prop), k.ok) << k.text;
    if (!k.ok) continue;
    EXPECT_EQ(control, k.control) << k.text;
    EXPECT_EQ(prop, k.prop ? c->Props().PropByName(k.prop) : nullptr) << k.text;
  }
  TVexaControl* control = nullptr;
  TCustomProp* prop = nullptr;
  EXPECT_FALSE(ParseLinkReference("\\12", nullptr, nullptr, nullptr, control, prop));
  // A control outside any panel is found through the tree of the start control.
  TVexaControl* root = TVexaControl::New<TVexaControl>(nullptr, nullptr);
  TVexaControl* kid = TVexaControl::New<TVexaControl>(nullptr, root);
  kid->SetID(55);
  EXPECT_TRUE(ParseLinkReference("\\55", &panel, kid, nullptr, control, prop));
  EXPECT_EQ(control, kid);
  root->Free();
}

TEST_F(LinkFixture, TheLinkFollowsItsTarget) {
  TVexaControl* target = Plain("t", 30);
  TLinkingControl* l = Linker();
  l->target->SetDisplayValue("30:t");
  EXPECT_EQ(l->target->LinkedControl(), target);
  EXPECT_EQ(l->target->GetDisplayValue(), "\\30:t");
  target->SetID(31);
  EXPECT_EQ(l->target->GetDisplayValue(), "\\31:t");
  l->target->SetLinkText("\\999");  // does not resolve: nothing changes
  EXPECT_EQ(l->target->LinkedControl(), target);
  l->target->SetLinkText("\\31:t\\Tag");
  EXPECT_EQ(l->target->LinkedProp(), target->Props().PropByName("Tag"));
  target->Free();
  EXPECT_EQ(l->target->LinkedControl(), nullptr);
  EXPECT_EQ(l->target->LinkedProp(), nullptr);
  EXPECT_EQ(l->target->GetDisplayValue(), "");
  EXPECT_EQ(l->destroyed, 1);
}

// The text names the target as it is called now, so that what is saved reads back as saved.
TEST_F(LinkFixture, ARenamedTargetIsSavedUnderItsNewName) {
  TVexaControl* target = Plain("Box", 6);
  TLinkingControl* l = Linker();
  l->target->SetLinkedControl(target);
  EXPECT_EQ(l->target->GetDisplayValue(), "\\6:Box");
  target->SetName("renamed");
  EXPECT_EQ(l->target->GetDisplayValue(), "\\6:renamed");
  const std::string text = panel.SaveText();
  TTestVexaPanel loaded;
  loaded.LoadText(text);
  EXPECT_EQ(loaded.SaveText(), text);
}

TEST_F(LinkFixture, LinksSurviveSavingAndPasting) {
  TVexaControl* target = Plain("t", 0);
  TLinkingControl* l = Linker();
  l->target->SetLinkedControl(target);
  const std::string text = panel.SaveText();
  TTestVexaPanel loaded;
  loaded.LoadText(text);
  EXPECT_EQ(loaded.SaveText(), text);
  auto* ll = static_cast<TLinkingControl*>(loaded.Schemes().GetChild(0)->GetChild(1));
  EXPECT_EQ(ll->target->LinkedControl(), loaded.Schemes().GetChild(0)->GetChild(0));
  // Pasted next to the originals, the copies get new IDs and the copy links to the copy.
  panel.Select(*target);
  panel.Select(*l);
  TMemoryStream stream;
  TVexaFiler filer(stream);
  ASSERT_TRUE(SaveClipboardToFiler(filer, panel));
  filer.Flush();
  panel.LoadText(stream.Text(), TLoadMode::Clipboard);
  ASSERT_EQ(Scheme()->GetCount(), 4);
  auto* copy = static_cast<TLinkingControl*>(Scheme()->GetChild(3));
  EXPECT_EQ(copy->target->LinkedControl(), Scheme()->GetChild(2));
  EXPECT_NE(Scheme()->GetChild(2)->GetID(), target->GetID());
}

}  // namespace
}  // namespace pv::graphics

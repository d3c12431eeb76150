// Dragging a control between panels, and copying a control's look into another control.

#include <gtest/gtest.h>

#include <set>

#include "controls/CopyToCurve.h"
#include "document/DragObject.h"
#include "document/testing/TestVexaPanel.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;

TEST(DragObject, CarriesAControlIntoAnotherPanel) {
  TTestVexaPanel from;
  TTestVexaPanel to;
  from.NewDocument();
  to.NewDocument();
  to.Layers().NewLayer();
  to.SetActiveLayer(to.Layers().GetChild(1));
  from.History().SetActive(true);
  to.History().SetActive(true);
  TVexaControl* c = TVexaControl::New<TVexaControl>(&from, from.GetActiveScheme(), from.GetActiveLayer());
  c->SetDocRect({5000, 5000, 15000, 15000});
  TVexaControl* kid = TVexaControl::New<TVexaControl>(&from, c);
  const int32_t oldId = c->GetId();
  c->SetSelected(true);
  const int recorded = from.History().Count();
  {
    TVexaDragObject drag(*c, {2000, 3000}, &from);
    drag.PrepareForDrag(to);
    EXPECT_EQ(c->Owner(), &to);
    EXPECT_EQ(kid->Owner(), &to);
    EXPECT_EQ(c->GetLayer(), nullptr);
    EXPECT_EQ(c->GetLeft(), 0);
    EXPECT_FALSE(from.IsControlSelected(*c));
    EXPECT_EQ(from.GetActiveScheme()->GetCount(), 0);
    EXPECT_FALSE(from.IdPool().Used(oldId));
    drag.DropAt(to, 100, 50);
  }
  EXPECT_EQ(c->GetParent(), to.GetActiveScheme());
  EXPECT_EQ(c->GetLayer(), to.GetActiveLayer());
  EXPECT_EQ(kid->GetLayer(), to.GetActiveLayer());
  EXPECT_EQ(c->GetLeft(), 100000 - 2000);
  EXPECT_EQ(c->GetTop(), 50000 - 3000);
  EXPECT_TRUE(to.IdPool().Used(c->GetId()));
  EXPECT_TRUE(to.IdPool().Used(kid->GetId()));
  EXPECT_NE(c->GetId(), kid->GetId());
  EXPECT_TRUE(to.Parentless().empty());
  EXPECT_EQ(from.History().Count(), recorded);  // nothing of the drag is recorded
  EXPECT_EQ(to.History().Count(), 0);
}

TEST(DragObject, AControlNeverDroppedGoesWithTheDrag) {
  TTestVexaPanel from;
  TTestVexaPanel to;
  from.NewDocument();
  to.NewDocument();
  TVexaControl* c = TVexaControl::New<TVexaControl>(&from, from.GetActiveScheme(), from.GetActiveLayer());
  {
    TVexaDragObject drag(*c, {0, 0}, &from);
    drag.PrepareForDrag(to);
    EXPECT_EQ(to.Parentless().size(), 1u);
  }
  EXPECT_TRUE(to.Parentless().empty());
  EXPECT_EQ(from.GetActiveScheme()->GetCount(), 0);
}

TEST(CopyControlToCurve, TheCopyTakesEveryPropertyItShares) {
  TTestVexaPanel panel;
  panel.NewDocument();
  auto* extra = TVexaControl::New<TVexaScheme>(&panel, &panel.Schemes());
  TVexaControl* shape = TVexaControl::New<TVexaControl>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  shape->SetDocRect({1000, 2000, 3000, 5000});
  shape->SetTag(77);
  shape->SetTransparency(20);
  shape->SetReference(extra);
  TVexaControl* curve = TVexaControl::New<TVexaControl>(&panel, panel.GetActiveScheme());
  EXPECT_TRUE(CopyControlToCurve(*shape, *curve));
  EXPECT_EQ(curve->GetDocRect(), shape->GetDocRect());
  EXPECT_EQ(curve->GetTag(), 77);
  EXPECT_EQ(curve->GetTransparency(), 20);
  EXPECT_EQ(curve->GetReference(), extra);
  EXPECT_EQ(curve->GetLayer(), shape->GetLayer());
  EXPECT_NE(curve->GetId(), shape->GetId());
}

}  // namespace
}  // namespace pv::graphics

namespace pv::graphics {
namespace {

TEST(PanelChange, TheOldPanelRecordsADestructionAndTheNewOneACreation) {
  test::TTestVexaPanel a;
  test::TTestVexaPanel b;
  a.NewDocument();
  b.NewDocument();
  TVexaControl* c = TVexaControl::New<TVexaControl>(&a, a.GetActiveScheme(), a.GetActiveLayer());
  c->SetName("moved");
  TVexaControl::New<TVexaControl>(&a, c)->SetName("kid");
  a.History().SetActive(true);
  b.History().SetActive(true);
  const std::string aBefore = a.SaveText();
  const std::string bBefore = b.SaveText();
  b.GetActiveScheme()->AddChild(c);
  EXPECT_EQ(a.History().Count(), 1);
  EXPECT_EQ(b.History().Count(), 1);
  EXPECT_EQ(c->GetLayer(), nullptr);  // the scheme hands down no layer
  const std::string bAfter = b.SaveText();
  ASSERT_TRUE(b.History().Undo());
  EXPECT_EQ(b.SaveText(), bBefore);
  ASSERT_TRUE(a.History().Undo());
  EXPECT_EQ(a.SaveText(), aBefore);
  ASSERT_TRUE(b.History().Redo());
  EXPECT_EQ(b.SaveText(), bAfter);
}

}  // namespace
}  // namespace pv::graphics

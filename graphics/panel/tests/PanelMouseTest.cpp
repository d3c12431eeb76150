// The mouse and the keys on a panel in a null window, sent through the window's events as a
// real window sends them: selecting by click, Shift and band, moving as one undo step that
// gives back the document's text byte for byte, zooming, panning, the handles, the cursor of
// each mode, hints, a gesture whose release never came, and creating a control by program.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/Grid.h"
#include "document/ServiceControls.h"
#include "forms/CursorIds.h"
#include "panel/PanelHistory.h"
#include "panel/VexaGraphics.h"
#include "panel/tests/PanelFixture.h"
#include "shapes/VexaBox.h"
#include "shapes/VexaCurve.h"

namespace pv::graphics {
namespace {

using panelwindow::ssCtrl;
using panelwindow::ssLeft;
using panelwindow::ssRight;
using panelwindow::ssShift;
using panelwindow::TMouseButton;
using panelwindow::TScrollBarKind;

struct Registered {
  Registered() { RegisterVexaGraphics(); }
};

// The 320 x 240 pixel document lies centred in the 400 x 300 window: document (0, 0) is at
// client pixel (40, 30) at 100 %.
struct PanelMouse : ::testing::Test, Registered, test::PanelFixture {
  PanelMouse() {
    a = Shape({10000, 10000, 50000, 40000}, "a");
    b = Shape({100000, 10000, 140000, 40000}, "b");
    c = Shape({10000, 100000, 50000, 140000}, "c");
    panel.OnToolMode = [this](TVexaPanel&) { modes.push_back(panel.GetToolMode()); };
  }

  TVexaBox* Shape(const TRect& r, const std::string& name) {
    auto* box = TVexaControl::New<TVexaBox>(&panel, Scheme(), panel.GetActiveLayer());
    box->SetVisible(true);
    box->SetDocRect(r);
    box->SetName(name);
    // Filled: the whole inside takes the mouse, not only the outline.
    box->Brush().SetStyle(canvas::BrushStyle::Solid);
    box->Brush().SetColor(canvas::clRed);
    return box;
  }
  // The client pixel of a document point at the current scale and scroll.
  TPoint Px(int32_t docX, int32_t docY) const { return panel.DocToPixelPoint({docX, docY}); }

  panelwindow::IPanelWindowEvents& Events() { return *window.Events(); }
  void Press(TPoint p, TVexaPanel::TShiftState shift = 0, TMouseButton button = TMouseButton::mbLeft) {
    Events().WindowMouseDown(button, shift | panelwindow::ButtonFlag(button), p.x, p.y);
  }
  void Move(TPoint p, TVexaPanel::TShiftState shift = ssLeft) { Events().WindowMouseMove(shift, p.x, p.y); }
  void Release(TPoint p, TVexaPanel::TShiftState shift = 0, TMouseButton button = TMouseButton::mbLeft) {
    Events().WindowMouseUp(button, shift, p.x, p.y);
  }
  void Click(TPoint p, TVexaPanel::TShiftState shift = 0) {
    Press(p, shift);
    Release(p, shift);
  }
  void Drag(TPoint from, TPoint to, TVexaPanel::TShiftState shift = 0) {
    Press(from, shift);
    Move({(from.x + to.x) / 2, (from.y + to.y) / 2}, shift | ssLeft);
    Move(to, shift | ssLeft);
    Release(to, shift);
  }
  std::vector<std::string> SelectedNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < panel.SelectedCount(); ++i) names.push_back(panel.Selected(i)->GetName());
    return names;
  }
  using Names = std::vector<std::string>;

  TVexaBox* a;
  TVexaBox* b;
  TVexaBox* c;
  std::vector<int> modes;
};

TEST_F(PanelMouse, ClickShiftAndBandSelectAndABandTogglesWhatItHolds) {
  Click(Px(20000, 20000));
  EXPECT_EQ(Names{"a"}, SelectedNames());
  Click(Px(110000, 20000), ssShift);
  EXPECT_EQ((Names{"a", "b"}), SelectedNames());
  Click(Px(20000, 20000), ssShift);  // Shift on a selected control takes it out
  EXPECT_EQ(Names{"b"}, SelectedNames());
  Click(Px(20000, 20000));  // a plain click replaces the selection
  EXPECT_EQ(Names{"a"}, SelectedNames());
  Click(Px(80000, 80000));  // nothing there: the selection empties
  EXPECT_EQ(Names{}, SelectedNames());
  EXPECT_EQ(0, panel.GetToolMode());

  // A band from empty space around a and b selects both; c lies outside it.
  Drag(Px(5000, 5000), Px(150000, 50000));
  EXPECT_EQ((Names{"a", "b"}), SelectedNames());
  EXPECT_EQ(TRect(0, 0, 0, 0), panel.RubberBand());
  // Shift with a band keeps the selection and toggles what the band holds: a goes, c comes.
  Drag(Px(5000, 5000), Px(60000, 150000), ssShift);
  EXPECT_EQ((Names{"b", "c"}), SelectedNames());
  // Ctrl ignores the control under the mouse (c) and starts the band from an empty
  // selection: only b lies wholly inside.
  Drag(Px(20000, 110000), Px(150000, 5000), ssCtrl);
  EXPECT_EQ(Names{"b"}, SelectedNames());
  // A band that only cuts a control leaves it, unless partial overlaps count.
  Drag(Px(30000, 5000), Px(200000, 30000));
  EXPECT_EQ(Names{}, SelectedNames());
  panel.SelectPartialOverlapped = true;
  Drag(Px(30000, 5000), Px(200000, 30000));
  EXPECT_EQ((Names{"a", "b"}), SelectedNames());
}

TEST_F(PanelMouse, TheBandFollowsTheMouseAndHoldsTheCurrentPoint) {
  Press(Px(60000, 60000));
  EXPECT_EQ(1, panel.GetToolMode());
  Move(Px(30000, 80000));
  EXPECT_EQ(TRect(30000, 60000, 60001, 80001), panel.RubberBand());
  Release(Px(30000, 80000));
  EXPECT_EQ(0, panel.GetToolMode());
}

TEST_F(PanelMouse, AMoveByMouseIsOneUndoStepThatUndoesByteForByte) {
  TVexaPanelHistory& history = panel.PanelHistory();
  history.SetActive(true);
  Click(Px(110000, 20000));
  Click(Px(20000, 20000), ssShift);
  history.Clear();
  const std::string before = SaveText();

  Press(Px(20000, 20000));
  EXPECT_EQ(5, panel.GetToolMode());
  for (int step = 1; step <= 5; ++step) Move(Px(20000 + step * 3000, 20000 + step * 1000));
  Release(Px(35000, 25000));
  EXPECT_EQ(0, panel.GetToolMode());
  EXPECT_EQ(TRect(25000, 15000, 65000, 45000), a->GetDocRect());
  EXPECT_EQ(TRect(115000, 15000, 155000, 45000), b->GetDocRect());

  const std::string after = SaveText();
  ASSERT_NE(before, after);
  ASSERT_EQ(0, history.ActionIndex()) << "one step";
  EXPECT_EQ("Size/move control(s)", history.GetAction(0)->Caption);
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(before, SaveText());
    ASSERT_TRUE(history.Redo());
    EXPECT_EQ(after, SaveText());
  }
  // A press and release without a move records nothing.
  Click(Px(30000, 20000));
  EXPECT_EQ(1, history.Count());
}

TEST_F(PanelMouse, CtrlKeepsAMoveOnTheAxisMovedMore) {
  Press(Px(20000, 20000));
  Move(Px(60000, 30000), ssLeft | ssCtrl);
  EXPECT_EQ(TRect(50000, 10000, 90000, 40000), a->GetDocRect());
  // Now mostly down: the horizontal move goes back.
  Move(Px(25000, 90000), ssLeft | ssCtrl);
  EXPECT_EQ(TRect(10000, 80000, 50000, 110000), a->GetDocRect());
  Release(Px(25000, 90000), ssCtrl);
}

// On X11 a popup menu opened on the press takes the release: the next move comes without
// the button, or the window loses the focus or is hidden. Each ends the gesture as a
// release would.
TEST_F(PanelMouse, AGestureWhoseReleaseNeverCameEndsAsAReleaseWould) {
  TVexaPanelHistory& history = panel.PanelHistory();
  history.SetActive(true);
  struct Case {
    const char* what;
    std::function<void(PanelMouse&)> loseRelease;
  };
  const std::vector<Case> cases{
      {"a move without the button", [](PanelMouse& t) { t.Move(t.Px(90000, 90000), 0); }},
      {"focus lost", [](PanelMouse& t) { t.Events().WindowFocusLost(); }},
      {"hidden", [](PanelMouse& t) { t.Events().WindowHidden(); }},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.what);
    a->SetDocRect({10000, 10000, 50000, 40000});
    history.Clear();
    // The right button selects and starts a move too; its menu swallows the release.
    Press(Px(20000, 20000), 0, TMouseButton::mbRight);
    Move(Px(25000, 20000), ssRight);
    EXPECT_EQ(5, panel.GetToolMode());
    row.loseRelease(*this);
    EXPECT_EQ(0, panel.GetToolMode());
    EXPECT_EQ(nullptr, history.OpenGroup()) << "the move's step is closed";
    EXPECT_EQ(1, history.Count());
    // Moving on moves nothing.
    Move(Px(120000, 120000), 0);
    Move(Px(130000, 130000), ssLeft);
    EXPECT_EQ(TRect(15000, 10000, 55000, 40000), a->GetDocRect());
  }
  // A band, too, ends and selects.
  panel.UnselectAll();
  Press(Px(5000, 5000));
  Move(Px(60000, 50000));
  Events().WindowFocusLost();
  EXPECT_EQ(0, panel.GetToolMode());
  EXPECT_EQ(Names{"a"}, SelectedNames());
  EXPECT_EQ(TRect(0, 0, 0, 0), panel.RubberBand());
}

TEST_F(PanelMouse, AViewerSelectsNothingButFollowsSchemeReferences) {
  TVexaPanel viewer(window, false);
  auto* box = TVexaControl::New<TVexaBox>(&viewer, viewer.Schemes().GetChild(0), viewer.GetActiveLayer());
  box->SetVisible(true);
  box->SetDocRect({10000, 10000, 50000, 40000});
  box->Brush().SetStyle(canvas::BrushStyle::Solid);
  box->Brush().SetColor(canvas::clRed);
  auto* other = TVexaControl::New<TVexaScheme>(&viewer, &viewer.Schemes());
  box->SetReference(other);
  viewer.SetActiveScheme(viewer.Schemes().GetChild(0));
  const TPoint p = viewer.DocToPixelPoint({20000, 20000});
  ASSERT_EQ(other, box->GetReference());
  viewer.MouseMove(0, p.x, p.y);
  ASSERT_EQ(box, viewer.HoveredTopControl());
  EXPECT_EQ(forms::crHandPoint, window.cursor);
  viewer.MouseDown(TMouseButton::mbLeft, ssLeft, p.x, p.y);
  EXPECT_EQ(0, viewer.SelectedCount());
  EXPECT_EQ(0, viewer.GetToolMode());
  viewer.MouseUp(TMouseButton::mbLeft, 0, p.x, p.y);
  viewer.MouseMove(0, 5, 5);
  EXPECT_EQ(forms::crDefault, window.cursor);
}

}  // namespace
}  // namespace pv::graphics

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
  // A click through the window follows the reference; a press whose release comes outside
  // the window is no click.
  window.Events()->WindowMouseDown(TMouseButton::mbLeft, ssLeft, p.x, p.y);
  window.Events()->WindowMouseUp(TMouseButton::mbLeft, 0, -5, p.y);
  EXPECT_EQ(viewer.Schemes().GetChild(0), viewer.GetActiveScheme());
  window.Events()->WindowMouseDown(TMouseButton::mbLeft, ssLeft, p.x, p.y);
  window.Events()->WindowMouseUp(TMouseButton::mbLeft, 0, p.x, p.y);
  EXPECT_EQ(other, viewer.GetActiveScheme());
}

TEST_F(PanelMouse, TheControlPaintedOnTopTakesTheMouse) {
  // a is the earlier child but lies on the upper layer: it paints over the later d.
  auto* upper = TVexaControl::New<TVexaLayer>(&panel, &panel.Layers());
  upper->SetVisible(true);
  a->SetLayerControl(upper);
  TVexaBox* d = Shape({30000, 20000, 70000, 50000}, "d");
  Click(Px(40000, 30000));
  EXPECT_EQ(Names{"a"}, SelectedNames());
  Click(Px(60000, 45000));
  EXPECT_EQ(Names{"d"}, SelectedNames());
  // Hidden, it takes nothing: the one below does.
  a->SetVisible(false);
  Click(Px(40000, 30000));
  EXPECT_EQ(Names{"d"}, SelectedNames());
  EXPECT_EQ(d, panel.HoveredTopControl());
}

}  // namespace
}  // namespace pv::graphics

namespace pv::graphics {
namespace {

TEST_F(PanelMouse, ZoomByClickCtrlClickAndBand) {
  panel.SetToolMode(2);
  const TPoint middle{200, 150};
  Click(middle);
  EXPECT_EQ(200, panel.GetScale());
  EXPECT_EQ(2, panel.GetToolMode());
  panel.SetScale(100);
  Click(middle, ssCtrl);
  EXPECT_EQ(50, panel.GetScale());
  EXPECT_EQ(forms::crZoomOut, window.cursor);

  // A quarter of the window's width and height: four times the scale, centred on the band.
  panel.SetScale(100);
  const TPoint from = Px(20000, 20000);
  Drag(from, {from.x + 100, from.y + 75});
  EXPECT_EQ(400, panel.GetScale());
  EXPECT_EQ(TRect(0, 0, 0, 0), panel.RubberBand());
  const TPoint centre = panel.PixelToDocPoint({200, 150});
  EXPECT_NEAR(70000, centre.x, 500);
  EXPECT_NEAR(57500, centre.y, 500);
}

TEST_F(PanelMouse, AZoomBandNeverGivesAScaleOutsideThePanelsRange) {
  struct Case {
    const char* what;
    int32_t scale;
    TPoint offset;  // of the band's end from its start, pixels
    TVexaPanel::TShiftState shift;
    int32_t expected;
  };
  const Case cases[] = {
      {"a 3-pixel band at the largest scale", TVexaPanel::kMaxScale, {3, 3}, 0, TVexaPanel::kMaxScale},
      {"a thin band at 40 %", 40, {300, 3}, 0, 53},
      {"a band under a pixel wide keeps the scale", 100, {0, 200}, 0, 100},
      {"zooming out at the smallest scale", 1, {0, 0}, ssCtrl, TVexaPanel::kMinScale},
      {"a band while zooming out halves", 3, {100, 100}, ssCtrl, TVexaPanel::kMinScale},
      {"a click in at the largest scale", TVexaPanel::kMaxScale, {0, 0}, 0, TVexaPanel::kMaxScale},
  };
  panel.SetToolMode(2);
  for (const Case& row : cases) {
    SCOPED_TRACE(row.what);
    panel.SetScale(row.scale);
    const TPoint from{50, 50};
    Drag(from, {from.x + row.offset.x, from.y + row.offset.y}, row.shift);
    EXPECT_EQ(row.expected, panel.GetScale());
    EXPECT_GE(panel.GetScale(), TVexaPanel::kMinScale);
  }
}

TEST_F(PanelMouse, HandlesAreFoundByTheirPlaceAroundTheSelection) {
  Click(Px(20000, 20000));
  // a: client pixels (50, 40) - (90, 70); the handle squares lie 8 pixels outside.
  const TRect r = a->GetPixelRect();
  ASSERT_EQ(TRect(50, 40, 90, 70), r);
  struct Case {
    TPoint p;
    int handle;
  };
  const Case cases[] = {
      {{r.left - 8 + 1, r.top - 8 + 1}, 1},   // 1 pixel inside the top-left handle
      {{(r.left + r.right) / 2, r.top - 7}, 2},
      {{r.right + 7, r.top - 7}, 3},
      {{r.left - 7, (r.top + r.bottom) / 2}, 4},
      {{r.right + 7, (r.top + r.bottom) / 2}, 5},
      {{r.left - 7, r.bottom + 7}, 6},
      {{(r.left + r.right) / 2, r.bottom + 7}, 7},  // the middle of the bottom edge
      {{r.right + 7, r.bottom + 7}, 8},
      {{r.left - 9, r.top - 9}, 0},  // just outside
      {{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, 0},  // inside the selection
      {{r.left + 5, r.top - 5}, 0},  // between two handles
  };
  for (const Case& c : cases) EXPECT_EQ(c.handle, panel.HandleAtPoint(c.p.x, c.p.y)) << c.p.x << ", " << c.p.y;

  // Hovering a handle switches to mode 6 with its cursor; pressing starts resizing.
  Move({r.right + 7, r.bottom + 7}, 0);
  EXPECT_EQ(6, panel.GetToolMode());
  EXPECT_EQ(8, panel.HandleUnderMouse());
  EXPECT_EQ(forms::crSizeNWSE, window.cursor);
  Move({(r.left + r.right) / 2, r.top - 7}, 0);
  EXPECT_EQ(forms::crSizeNS, window.cursor);
  Press({(r.left + r.right) / 2, r.top - 7});
  EXPECT_EQ(7, panel.GetToolMode());
  Release({(r.left + r.right) / 2, r.top - 7});
  EXPECT_EQ(0, panel.GetToolMode());
  Move({200, 200}, 0);
  EXPECT_EQ(0, panel.GetToolMode());
  EXPECT_EQ(forms::crDefault, window.cursor);
}

TEST_F(PanelMouse, PanningScrollsByTheMouseAndCtrlKeepsTheLargerAxis) {
  panel.SetScale(400);  // 1280 x 960 pixels in a 400 x 300 window
  window.ScrollTo(TScrollBarKind::Horizontal, 300);
  window.ScrollTo(TScrollBarKind::Vertical, 300);
  panel.SetToolMode(14);
  EXPECT_EQ(forms::crPan, window.cursor);
  Press({200, 150});
  EXPECT_EQ(15, panel.GetToolMode());
  EXPECT_EQ(forms::crPanning, window.cursor);
  Move({230, 140});
  EXPECT_EQ(270, window.ScrollPos(TScrollBarKind::Horizontal));
  EXPECT_EQ(310, window.ScrollPos(TScrollBarKind::Vertical));
  EXPECT_EQ(TPoint(270, 310), panel.ScrollOrigin());
  Move({230, 140}, ssLeft | ssCtrl);  // mostly sideways: only across
  EXPECT_EQ(270, window.ScrollPos(TScrollBarKind::Horizontal));
  EXPECT_EQ(300, window.ScrollPos(TScrollBarKind::Vertical));
  Move({190, 100}, ssLeft | ssCtrl);  // mostly up: only down the page
  EXPECT_EQ(300, window.ScrollPos(TScrollBarKind::Horizontal));
  EXPECT_EQ(350, window.ScrollPos(TScrollBarKind::Vertical));
  Release({190, 100});
  EXPECT_EQ(14, panel.GetToolMode());
  // Without a scroll bar there is nothing to pan.
  panel.SetScale(100);
  const TPoint origin = panel.ScrollOrigin();
  Drag({200, 150}, {100, 100});
  EXPECT_EQ(origin, panel.ScrollOrigin());
}

TEST_F(PanelMouse, SetToolModeFiresOnlyOnAChangeAndEachModeShowsItsCursor) {
  panel.SetToolMode(0);
  EXPECT_TRUE(modes.empty());
  panel.SetToolMode(2);
  panel.SetToolMode(2);
  EXPECT_EQ(std::vector<int>{2}, modes);
  struct Case {
    int mode;
    TVexaPanel::TShiftState shift;
    int cursor;
  };
  const Case cases[] = {
      {2, 0, forms::crZoomIn},   {2, ssCtrl, forms::crZoomOut}, {14, 0, forms::crPan},
      {15, 0, forms::crPanning}, {4, 0, forms::crSizeAll},      {5, 0, forms::crSizeAll},
      {0, 0, forms::crDefault},  {8, 0, forms::crDefault},      {13, 0, forms::crDefault},
  };
  for (const Case& c : cases) {
    Move({5, 5}, c.shift);
    panel.SetToolMode(c.mode);
    EXPECT_EQ(c.cursor, window.cursor) << c.mode;
    panel.SetToolMode(0);
  }
  // The host may change any cursor.
  panel.OnUpdateCursor = [](TVexaPanel&, int& cursor) { cursor = 99; };
  panel.SetToolMode(14);
  EXPECT_EQ(99, window.cursor);
}

TEST_F(PanelMouse, CreateControlRefusesWhatCannotHoldItAndIsOneUndoStep) {
  const TVexaControlClass& boxClass = TVexaBox::ClassInfo;
  auto* layer = static_cast<TVexaLayer*>(panel.GetActiveLayer());
  struct Case {
    const char* what;
    std::function<void()> spoil;
    std::function<void()> mend;
    const char* message;
  };
  const Case cases[] = {
      {"invisible", [&] { layer->SetVisible(false); }, [&] { layer->SetVisible(true); },
       "Can't create control on invisible or disabled layer"},
      {"not selectable", [&] { layer->SetSelectable(false); }, [&] { layer->SetSelectable(true); },
       "Can't create control on invisible or disabled layer"},
      {"not moveable", [&] { layer->SetMoveable(false); }, [&] { layer->SetMoveable(true); },
       "Can't create control on invisible or disabled layer"},
      {"read-only", [&] { layer->SetReadOnly(true); }, [&] { layer->SetReadOnly(false); },
       "Can't create control on invisible or disabled layer"},
  };
  const int before = Scheme()->GetCount();
  for (const Case& row : cases) {
    row.spoil();
    try {
      panel.CreateControl(boxClass, 0, 0, 1000, 1000);
      ADD_FAILURE() << row.what << ": no error";
    } catch (const EPanelError& e) {
      EXPECT_STREQ(row.message, e.what()) << row.what;
    }
    row.mend();
  }
  EXPECT_EQ(before, Scheme()->GetCount());

  TVexaPanel bare(window, true);
  bare.ClearDocument();
  EXPECT_THROW(
      {
        try {
          bare.CreateControl(boxClass, 0, 0, 10, 10);
        } catch (const EPanelError& e) {
          EXPECT_STREQ("Scheme must exist", e.what());
          throw;
        }
      },
      EPanelError);
  auto* scheme = TVexaControl::New<TVexaScheme>(&bare, &bare.Schemes());
  EXPECT_THROW(
      {
        try {
          bare.CreateControl(boxClass, 0, 0, 10, 10, false, nullptr, scheme);
        } catch (const EPanelError& e) {
          EXPECT_STREQ("Layer must exist", e.what());
          throw;
        }
      },
      EPanelError);

  // Created with snapping: the left-top lands on the grid; a size of 0 keeps the control's own.
  TVexaPanelHistory& history = panel.PanelHistory();
  history.SetActive(true);
  history.Clear();
  panel.SetSnapToGrid(true);
  const std::string empty = SaveText();
  TVexaControl* created = nullptr;
  panel.OnControlCreate = [&](TVexaPanel&, TVexaControl& control) { created = &control; };
  TVexaControl* box = panel.CreateControl(boxClass, 12400, 17600, 30000, 0, true);
  EXPECT_EQ(box, created);
  EXPECT_EQ(TRect(10000, 20000, 40000, 20000 + box->GetHeight()), box->GetDocRect());
  EXPECT_EQ(1, history.Count()) << "one step";
  const std::string after = SaveText();
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(empty, SaveText());
  ASSERT_TRUE(history.Redo());
  EXPECT_EQ(after, SaveText());
}

TEST_F(PanelMouse, KeysMoveDeleteAndEscapeTakesBackABandOrAMove) {
  TVexaPanelHistory& history = panel.PanelHistory();
  history.SetActive(true);
  Click(Px(20000, 20000));
  history.Clear();
  // One pixel's worth at 200 %, a grid step when snapping.
  panel.SetScale(200);
  EXPECT_TRUE(Events().WindowKeyDown(panelwindow::vkRight, 0));
  EXPECT_EQ(TRect(10500, 10000, 50500, 40000), a->GetDocRect());
  panel.SetSnapToGrid(true);
  EXPECT_TRUE(Events().WindowKeyDown(panelwindow::vkUp, 0));
  EXPECT_EQ(TRect(10500, 0, 50500, 30000), a->GetDocRect());
  EXPECT_EQ(2, history.Count()) << "a step each";
  panel.SetSnapToGrid(false);
  panel.SetScale(100);

  // Escape in the middle of a move puts the selection back and leaves no step.
  const std::string before = SaveText();
  Press(Px(20000, 10000));
  Move(Px(60000, 90000));
  ASSERT_NE(before, SaveText());
  EXPECT_TRUE(Events().WindowKeyDown(panelwindow::vkEscape, ssLeft));
  EXPECT_EQ(0, panel.GetToolMode());
  EXPECT_EQ(before, SaveText());
  EXPECT_EQ(2, history.Count());
  Move(Px(80000, 90000));
  Release(Px(80000, 90000));
  EXPECT_EQ(before, SaveText());

  // Escape drops a band without selecting.
  Press(Px(5000, 50000));
  Move(Px(200000, 200000));
  EXPECT_TRUE(Events().WindowKeyDown(panelwindow::vkEscape, ssLeft));
  EXPECT_EQ(TRect(0, 0, 0, 0), panel.RubberBand());
  Release(Px(200000, 200000));
  EXPECT_EQ(Names{}, SelectedNames());
  EXPECT_FALSE(Events().WindowKeyDown(panelwindow::vkEscape, 0)) << "nothing to take back";

  // Delete deletes the selection as one step.
  Click(Px(20000, 110000));
  EXPECT_TRUE(Events().WindowKeyDown(panelwindow::vkDelete, 0));
  EXPECT_EQ(2, Scheme()->GetCount());
  EXPECT_FALSE(Events().WindowKeyDown(panelwindow::vkDelete, 0)) << "nothing selected";
  // A viewer takes none of these keys.
  TVexaPanel viewer(window, false);
  EXPECT_FALSE(viewer.KeyDown(panelwindow::vkDelete, 0));
}

TEST_F(PanelMouse, CtrlPressedOverTheZoomToolTurnsItAroundAtOnce) {
  panel.SetToolMode(2);
  Move({100, 100}, 0);
  EXPECT_EQ(forms::crZoomIn, window.cursor);
  Events().WindowKeyDown(panelwindow::vkControl, ssCtrl);
  EXPECT_EQ(forms::crZoomOut, window.cursor);
  EXPECT_TRUE(panel.ZoomingOut());
  Events().WindowKeyUp(panelwindow::vkControl, 0);
  EXPECT_EQ(forms::crZoomIn, window.cursor);
}

TEST_F(PanelMouse, TheHintComesFromTheHoveredControlOrItsSchemeAndReachesTheWindow) {
  a->Hint().SetText("box a");
  Move(Px(20000, 20000), 0);
  EXPECT_EQ(a, panel.HintControl());
  EXPECT_EQ("box a", window.toolTip);
  // b has no hint: the scheme's (empty) one is the hint control, and no tip shows.
  Move(Px(110000, 20000), 0);
  EXPECT_EQ(Scheme(), panel.HintControl());
  EXPECT_EQ("", window.toolTip);
  // A control that hides its hint, and a host that refuses it.
  Move(Px(80000, 80000), 0);
  a->SetShowHint(false);
  Move(Px(20000, 20000), 0);
  EXPECT_NE(a, panel.HintControl());
  a->SetShowHint(true);
  panel.OnShowHint = [](TVexaPanel&, TVexaControl*, std::string& text, bool& canShow) {
    canShow = text != "box a";
  };
  Move(Px(80000, 80000), 0);
  Move(Px(20000, 20000), 0);
  EXPECT_EQ(a, panel.HintControl());
  EXPECT_EQ("", window.toolTip);
  panel.OnShowHint = nullptr;
  panel.OnNeedHint = [](TVexaPanel&, bool& allow) { allow = false; };
  Move(Px(21000, 20000), 0);
  EXPECT_EQ(nullptr, panel.HintControl());
  // Outside the select tool there are no hints.
  panel.OnNeedHint = nullptr;
  panel.SetToolMode(14);
  Move(Px(20000, 20000), 0);
  EXPECT_EQ(nullptr, panel.HintControl());
}

TEST_F(PanelMouse, ABottomRightDragSizesANewControlAndASlipDeletesIt) {
  TVexaControl* box = panel.CreateControl(TVexaBox::ClassInfo, 60000, 60000, 1000, 1000);
  panel.Select(box);
  Press(Px(61000, 61000));
  panel.SetToolMode(8);
  Move(Px(90000, 80000));
  EXPECT_EQ(TRect(60000, 60000, 91000, 81000), box->GetDocRect());
  Release(Px(90000, 80000));
  EXPECT_EQ(0, panel.GetToolMode());
  EXPECT_EQ(4, Scheme()->GetCount());

  // Released at two pixels wide: the control goes.
  panel.SetToolMode(8);
  Move(Px(61000, 80000));
  Release(Px(61000, 80000));
  EXPECT_EQ(3, Scheme()->GetCount());
  EXPECT_EQ(0, panel.SelectedCount());
}

TEST_F(PanelMouse, ModesOfTheOtherToolsReachTheirHooks) {
  struct Hooked : TVexaPanel {
    using TVexaPanel::TVexaPanel;
    std::vector<std::string> calls;
    void StartPointEditMode(int mode) override { calls.push_back("start " + std::to_string(mode)); }
    void FinishPointEditMode(int mode) override { calls.push_back("finish " + std::to_string(mode)); }
    void PointEditMouseDown(TMouseButton, TShiftState, int32_t, int32_t) override { calls.push_back("down"); }
    void PointEditMouseMove(TShiftState, int32_t, int32_t) override { calls.push_back("move"); }
    void PointEditMouseUp(TMouseButton, TShiftState, int32_t, int32_t) override { calls.push_back("up"); }
    int PointEditCursor(int32_t, int32_t) const override { return forms::crShapeMove; }
    void StartAutoDrag() override { calls.push_back("drag"); }
  };
  panelwindow::TNullPanelWindow w(400, 300);
  Hooked p(w, true);
  p.SetToolMode(9);
  EXPECT_EQ(9, p.BaseToolMode());
  EXPECT_EQ(forms::crShapeMove, w.cursor);
  p.MouseDown(TMouseButton::mbLeft, ssLeft, 10, 10);
  p.SetToolMode(11);
  p.MouseMove(ssLeft, 12, 12);
  p.MouseUp(TMouseButton::mbLeft, 0, 12, 12);
  EXPECT_EQ(9, p.GetToolMode());
  EXPECT_EQ((std::vector<std::string>{"start 9", "down", "finish 9", "start 11", "move", "up", "finish 11", "start 9"}),
            p.calls);

  // A move of the selection that leaves the window starts a drag only when the panel allows it.
  p.SetToolMode(0);
  p.calls.clear();
  auto* box = TVexaControl::New<TVexaBox>(&p, p.Schemes().GetChild(0), p.GetActiveLayer());
  box->SetVisible(true);
  box->SetDocRect({10000, 10000, 50000, 40000});
  box->Brush().SetStyle(canvas::BrushStyle::Solid);
  box->Brush().SetColor(canvas::clRed);
  const TPoint in = p.DocToPixelPoint({20000, 20000});
  for (bool enabled : {false, true}) {
    p.AutoDragEnabled = enabled;
    box->SetDocRect({10000, 10000, 50000, 40000});
    p.MouseDown(TMouseButton::mbLeft, ssLeft, in.x, in.y);
    p.MouseMove(ssLeft, in.x + 10, in.y);
    p.MouseMove(ssLeft, -20, in.y);
    p.MouseUp(TMouseButton::mbLeft, 0, -20, in.y);
    EXPECT_EQ(enabled ? std::vector<std::string>{"drag"} : std::vector<std::string>{}, p.calls);
  }
}

}  // namespace
}  // namespace pv::graphics

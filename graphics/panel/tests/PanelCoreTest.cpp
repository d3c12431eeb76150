// The panel's settings, its scale and scroll model, selection, IDs and loading brackets.

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "document/Grid.h"
#include "document/Group.h"
#include "panel/tests/PanelFixture.h"

namespace pv::graphics {
namespace {

using panelwindow::TScrollBarKind;

struct PanelCore : ::testing::Test, test::PanelFixture {
  PanelCore() {
    panel.OnNotify = [this](TVexaPanel&, TVexaControl*, TVexaNotify n) { notified.push_back(n); };
  }
  ~PanelCore() override { panel.OnNotify = nullptr; }
  int Count(TVexaNotify n) const { return static_cast<int>(std::count(notified.begin(), notified.end(), n)); }
  std::vector<TVexaNotify> notified;
};

TEST_F(PanelCore, ANewPanelHoldsOneActiveSchemeAndLayerAndTheDefaultSettings) {
  EXPECT_EQ(1, panel.Schemes().GetCount());
  EXPECT_EQ(1, panel.Layers().GetCount());
  EXPECT_EQ(panel.Schemes().GetChild(0), panel.GetActiveScheme());
  EXPECT_EQ(panel.Layers().GetChild(0), panel.GetActiveLayer());
  EXPECT_FALSE(panel.Modified());
  EXPECT_EQ(100, panel.GetScale());
  EXPECT_EQ(320000, panel.GetDocWidth());
  EXPECT_EQ(240000, panel.GetDocHeight());
  EXPECT_EQ(320000, panel.Schemes().GetWidth());
  EXPECT_EQ(10000, panel.GetGridHorizSize());
  EXPECT_EQ(10000, panel.GetGridVertSize());
  EXPECT_TRUE(panel.GetAutoNames());
  EXPECT_FALSE(panel.GetAutoNameNumbs());
  EXPECT_TRUE(panel.GetShowDocFrame());
  EXPECT_EQ(8000, panel.ConnectorsMinGap());
  EXPECT_EQ(canvas::BrushStyle::BDiagonal, panel.GetDocSpaceBrush().style);
  EXPECT_EQ(0, panel.GetToolMode());
  EXPECT_TRUE(panel.Editing());
  EXPECT_FALSE(TVexaPanel(window, false).Editing());
}

TEST_F(PanelCore, ScaleIsClampedAndAnUnchangedScaleNotifiesNothing) {
  struct Case {
    int32_t set;
    int32_t expected;
  };
  for (const Case c : {Case{0, 1}, Case{-5, 1}, Case{60000, 50000}, Case{250, 250}, Case{INT_MAX, 50000}}) {
    panel.SetScale(c.set);
    EXPECT_EQ(c.expected, panel.GetScale()) << c.set;
  }
  notified.clear();
  panel.SetScale(50000);
  EXPECT_EQ(0, Count(TVexaNotify::fnScale));
  panel.SetScale(200);
  EXPECT_EQ(1, Count(TVexaNotify::fnScale));
}

TEST_F(PanelCore, ADocumentSmallerThanTheWindowIsCentred) {
  // 320 x 240 pixels at 100 % in a 400 x 300 window.
  EXPECT_EQ((TPoint{-40, -30}), panel.ScrollOrigin());
  EXPECT_EQ((TPoint{40, 30}), panel.DocToPixelPoint({0, 0}));
  EXPECT_EQ((TPoint{-40000, -30000}), panel.PixelToDocPoint({0, 0}));
  EXPECT_EQ((TRect{-40000, -30000, 360000, 270000}), panel.VisibleDocRect());
  EXPECT_TRUE(panel.ViewCentred());
}

TEST_F(PanelCore, ALargerDocumentScrollsWithItsExtraSpace) {
  panel.SetHorzExtraSpace(20);
  panel.SetScale(200);  // 640 x 480 pixels
  EXPECT_EQ(680, window.ScrollRange(TScrollBarKind::Horizontal));
  EXPECT_EQ(480, window.ScrollRange(TScrollBarKind::Vertical));
  EXPECT_EQ(TVexaPanel::kScrollLine, window.ScrollLine(TScrollBarKind::Vertical));
  EXPECT_EQ((TPoint{-20, 0}), panel.ScrollOrigin());
  notified.clear();
  window.ScrollTo(TScrollBarKind::Horizontal, 120);
  window.ScrollTo(TScrollBarKind::Vertical, 100);
  EXPECT_EQ((TPoint{100, 100}), panel.ScrollOrigin());
  EXPECT_EQ(2, Count(TVexaNotify::fnPan));
  // Document point -> pixel -> document point comes back.
  const TPoint doc{123000, 77000};
  EXPECT_EQ(doc, panel.PixelToDocPoint(panel.DocToPixelPoint(doc)));
  EXPECT_EQ((TRect{0, -100, 100, 0}), panel.DocToPixelRect({50000, 0, 100000, 50000}));
}

TEST_F(PanelCore, AutoZoomFitsTheWindowAndSurvivesDocumentsOfNoOrTinySize) {
  panel.SetAutoZoom(true);
  // min(400 / 320, 300 / 240) at 100 %.
  EXPECT_EQ(125, panel.GetScale());
  window.Resize(800, 300);
  EXPECT_EQ(125, panel.GetScale());
  window.Resize(800, 600);
  EXPECT_EQ(250, panel.GetScale());
  struct Case {
    int32_t width, height, expected;
  };
  // Under 1000 units a document is less than a pixel wide: no division by a zero pixel count.
  // The schemes root keeps the document at least one unit in each direction.
  for (const Case c : {Case{500, 500, 50000}, Case{0, 240000, 250}, Case{0, 0, 50000}, Case{-320000, -5, 50000},
                       Case{INT_MAX, INT_MAX, 1}, Case{800000, 0, 100}}) {
    panel.SetScale(250);
    panel.SetDocWidth(c.width);
    panel.SetDocHeight(c.height);
    panel.SetScale(250);
    EXPECT_EQ(c.expected, panel.GetScale()) << c.width << " x " << c.height;
  }
}

TEST_F(PanelCore, NegativeAndHugeDocumentSizesGiveSaneScrollRanges) {
  struct Case {
    int32_t width, scale, extra;
  };
  for (const Case c : {Case{-320000, 100, 0}, Case{INT_MAX, 50000, INT_MAX}, Case{INT_MIN, 50000, INT_MIN},
                       Case{INT_MAX, 1, -50}}) {
    panel.SetScale(c.scale);
    panel.SetHorzExtraSpace(c.extra);
    panel.SetDocWidth(c.width);
    const int32_t range = window.ScrollRange(TScrollBarKind::Horizontal);
    EXPECT_GE(range, 0);
    EXPECT_LE(range, INT_MAX / 4);
    window.ScrollTo(TScrollBarKind::Horizontal, INT_MAX);
    EXPECT_LE(window.ScrollPos(TScrollBarKind::Horizontal), range);
  }
}

TEST_F(PanelCore, DocumentSizeGoesToTheSchemesRootAndBack) {
  panel.SetDocWidth(500000);
  EXPECT_EQ(500000, panel.Schemes().GetWidth());
  panel.Schemes().SetHeight(123000);
  EXPECT_EQ(123000, panel.GetDocHeight());
  EXPECT_EQ(123, window.ScrollRange(TScrollBarKind::Vertical));
}

TEST_F(PanelCore, SettersRepaintOnlyOnChange) {
  const auto repaints = [&](auto&& change) {
    const int before = window.wholeInvalidations;
    change();
    return window.wholeInvalidations - before;
  };
  EXPECT_EQ(0, repaints([&] { panel.SetDocShadowColor(0x808080); }));
  EXPECT_EQ(1, repaints([&] { panel.SetDocShadowColor(panel.GetDocFrameColor()); }));
  EXPECT_EQ(panel.GetDocFrameColor(), panel.GetDocShadowColor());
  EXPECT_EQ(1, repaints([&] { panel.SetShowDocFrame(false); }));
  // Without the frame its colours repaint nothing.
  EXPECT_EQ(0, repaints([&] { panel.SetDocFrameColor(canvas::clRed); }));
  EXPECT_EQ(canvas::clRed, panel.GetDocFrameColor());
  EXPECT_EQ(1, repaints([&] { panel.SetDocSpaceFill(true); }));
  EXPECT_EQ(0, repaints([&] { panel.SetDocSpaceFill(true); }));
  EXPECT_EQ(1, repaints([&] { panel.SetDocSpaceBrush({canvas::BrushStyle::Solid, canvas::clRed, nullptr}); }));
  EXPECT_EQ(1, repaints([&] { panel.SetDocClipping(true); }));
  EXPECT_EQ(1, repaints([&] { panel.SetSchemeBkStretch(true); }));
}

TEST_F(PanelCore, GridSettingsReachTheGrid) {
  panel.SetShowGrid(true);
  panel.SetSnapToGrid(true);
  panel.SetGridHorizSize(5000);
  panel.SetGridColor(canvas::clRed);
  EXPECT_TRUE(panel.Grid().GetVisible());
  EXPECT_TRUE(panel.Grid().Snap());
  EXPECT_EQ(5000, panel.Grid().HorizSize());
  EXPECT_EQ(canvas::clRed, panel.Grid().GridColor());
}

TEST_F(PanelCore, ConnectorsMinGapIgnoresValuesNotAboveZero) {
  for (int32_t gap : {0, -100}) {
    panel.SetConnectorsMinGap(gap);
    EXPECT_EQ(8000, panel.ConnectorsMinGap());
  }
  panel.SetConnectorsMinGap(12000);
  EXPECT_EQ(12000, panel.ConnectorsMinGap());
  EXPECT_EQ(12000, panel.Schemes().GetConnectorsMinGap());
}

TEST_F(PanelCore, PaintingFreezesTheScrollGeometry) {
  panel.BeginPaint();
  panel.SetScale(300);
  panel.SetDocWidth(1000);
  panel.EndPaint();
  EXPECT_EQ(100, panel.GetScale());
  EXPECT_EQ(320000, panel.GetDocWidth());
}

TEST_F(PanelCore, ChangingTheActiveSchemeEmptiesTheSelection) {
  TVexaControl* box = Box(Scheme(), {0, 0, 1000, 1000});
  ASSERT_TRUE(panel.SelectOne(box));
  TVexaControl* second = TVexaControl::New<TVexaScheme>(&panel, &panel.Schemes());
  notified.clear();
  panel.SetActiveScheme(second);
  EXPECT_EQ(0, panel.SelectedCount());
  EXPECT_EQ(1, Count(TVexaNotify::fnSchemes));
  panel.SetActiveScheme(second);
  EXPECT_EQ(1, Count(TVexaNotify::fnSchemes));
}

TEST_F(PanelCore, SelectRefusesWhatCannotBeSelected) {
  TVexaControl* box = Box(Scheme(), {0, 0, 1000, 1000});
  TVexaControl* inner = Box(box, {0, 0, 500, 500});
  TVexaControl* fixed = Box(Scheme(), {0, 0, 1000, 1000});
  fixed->SetSelectable(false);
  EXPECT_FALSE(panel.SelectOne(nullptr));
  EXPECT_FALSE(panel.SelectOne(inner));  // not a child of a scheme
  EXPECT_FALSE(panel.SelectOne(fixed));
  EXPECT_FALSE(panel.SelectOne(panel.GetActiveLayer()));
  EXPECT_TRUE(panel.SelectOne(box));
  EXPECT_FALSE(panel.SelectOne(box));
  EXPECT_EQ(1, panel.SelectedCount());
  EXPECT_TRUE(panel.IsSelected(box));
  // Losing a selected control ends a gesture on the selection.
  panel.SetToolMode(5);
  EXPECT_TRUE(panel.Unselect(box));
  EXPECT_EQ(0, panel.GetToolMode());
  EXPECT_FALSE(panel.Unselect(box));
}

TEST_F(PanelCore, SelectionUpdatesNestAndFireTheirEvents) {
  int begins = 0, ends = 0;
  panel.OnBeginSelectionUpdate = [&](TVexaPanel&) { ++begins; };
  panel.OnEndSelectionUpdate = [&](TVexaPanel&) { ++ends; };
  panel.BeginSelectionUpdate(true);
  panel.BeginSelectionUpdate(true);
  panel.EndSelectionUpdate(true);
  EXPECT_EQ(1, panel.SelectionUpdateDepth());
  panel.EndSelectionUpdate(true);
  panel.EndSelectionUpdate(true);  // at depth 0: nothing
  EXPECT_EQ(0, panel.SelectionUpdateDepth());
  EXPECT_EQ(2, begins);
  EXPECT_EQ(2, ends);
}

TEST_F(PanelCore, FreeingTheActiveLayerOrSchemeLeavesNoneActive) {
  TVexaControl* box = Box(Scheme(), {0, 0, 1000, 1000});
  ASSERT_NE(nullptr, box);
  panel.Layers().ClearChildren();
  EXPECT_EQ(nullptr, panel.GetActiveLayer());
  EXPECT_EQ(0, Scheme()->GetCount());  // the box went with its layer
  panel.Schemes().ClearChildren();
  EXPECT_EQ(nullptr, panel.GetActiveScheme());
  // A new document makes both again and activates them.
  panel.NewDocument();
  EXPECT_EQ(panel.Layers().GetChild(0), panel.GetActiveLayer());
  EXPECT_EQ(panel.Schemes().GetChild(0), panel.GetActiveScheme());
}

TEST_F(PanelCore, FindControlByIdLooksInTheScopeAndForgetsFreedControls) {
  TVexaControl* box = Box(Scheme(), {0, 0, 1000, 1000});
  TVexaControl* inner = Box(box, {0, 0, 500, 500});
  TVexaControl* other = Box(Scheme(), {0, 0, 1000, 1000});
  EXPECT_EQ(inner, panel.FindControlByID(inner->GetId()));
  EXPECT_EQ(inner, panel.FindControlByID(inner->GetId(), box));
  EXPECT_EQ(nullptr, panel.FindControlByID(inner->GetId(), other));
  EXPECT_EQ(nullptr, panel.FindControlByID(0));
  EXPECT_EQ(nullptr, panel.FindControlByID(-3));
  const int32_t id = inner->GetId();
  inner->Free();
  EXPECT_EQ(nullptr, panel.FindControlByID(id));
  // Parentless controls are found too.
  TVexaControl* loose = TVexaControl::New<TVexaControl>(&panel, nullptr);
  EXPECT_EQ(loose, panel.FindControlByID(loose->GetId()));
}

TEST_F(PanelCore, ParentlessListRefusesRootsGridAndDuplicates) {
  TVexaControl* loose = TVexaControl::New<TVexaControl>(&panel, nullptr);
  EXPECT_EQ(-1, panel.AddParentlessControl(loose));  // listed at creation
  EXPECT_EQ(-1, panel.AddParentlessControl(nullptr));
  EXPECT_EQ(-1, panel.AddParentlessControl(&panel.Schemes()));
  EXPECT_EQ(-1, panel.AddParentlessControl(&panel.Layers()));
  EXPECT_EQ(-1, panel.AddParentlessControl(&panel.Grid()));
  EXPECT_TRUE(panel.RemoveParentlessControl(loose));
  EXPECT_FALSE(panel.RemoveParentlessControl(loose));
  EXPECT_EQ(0, panel.AddParentlessControl(loose));
}

TEST_F(PanelCore, ATakenIdGivesWayAndLoadingGivesControlsWithoutAnIdAFreshOne) {
  TVexaControl* a = Box(Scheme(), {0, 0, 1000, 1000});
  TVexaControl* b = Box(Scheme(), {0, 0, 1000, 1000});
  b->SetID(a->GetID());
  EXPECT_NE(a->GetID(), b->GetID());
  EXPECT_EQ(b, panel.FindControlByID(b->GetId()));

  panel.BeginLoading();
  TVexaControl* none = Box(Scheme(), {0, 0, 1000, 1000});
  TVexaControl* zero = Box(Scheme(), {0, 0, 1000, 1000});
  zero->SetID(0);
  TVexaControl* negative = Box(Scheme(), {0, 0, 1000, 1000});
  negative->SetID(static_cast<uint32_t>(-7));
  EXPECT_EQ(0u, none->GetID());
  EXPECT_TRUE(panel.IsLoading());
  EXPECT_EQ(0, panel.EndLoading());
  std::vector<int32_t> ids;
  for (TVexaControl* c : {a, b, none, zero, negative}) {
    EXPECT_GT(c->GetId(), 0);
    EXPECT_EQ(c, panel.FindControlByID(c->GetId()));
    ids.push_back(c->GetId());
  }
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids.end(), std::adjacent_find(ids.begin(), ids.end()));
}

TEST_F(PanelCore, GeneratedNamesTakeTheSmallestFreeNumber) {
  panel.SetAutoNameNumbs(true);
  std::vector<TVexaControl*> groups;
  for (int i = 0; i < 3; ++i) groups.push_back(TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer()));
  EXPECT_EQ("Group1", groups[0]->GetName());
  EXPECT_EQ("Group2", groups[1]->GetName());
  EXPECT_EQ("Group3", groups[2]->GetName());
  groups[1]->Free();
  // Suffixes that are no number above 0, or overflow, take no number away.
  for (const char* name : {"Group0", "Group99999999999999999999999", "Group-1", "Group2x"}) Box(Scheme(), {}, name);
  EXPECT_EQ("Group2", TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer())->GetName());
}

TEST_F(PanelCore, NotificationsOfControlsOutsideTheDocumentAreKeptFromTheHost) {
  TVexaControl* loose = TVexaControl::New<TVexaControl>(&panel, nullptr);
  notified.clear();
  loose->SetDocRect({0, 0, 100, 100});
  EXPECT_EQ(0, Count(TVexaNotify::fnRect));
  loose->Free();
  EXPECT_EQ(1, Count(TVexaNotify::fnDestroyed));
  EXPECT_TRUE(panel.Modified());
}

TEST(PanelClick, AViewerFollowsTheSchemeReferenceOfTheControlClicked) {
  struct Case {
    bool editing;
    int toolMode;
    bool onTheBox;
    bool follows;
  };
  for (const Case c : {Case{false, 0, true, true}, Case{true, 0, true, false}, Case{false, 2, true, false},
                       Case{false, 0, false, false}}) {
    test::PanelFixture f(c.editing);
    TVexaControl* second = TVexaControl::New<TVexaScheme>(&f.panel, &f.panel.Schemes());
    TVexaControl* first = f.Scheme();
    // The 320 x 240 page is centred in the 400 x 300 window: client (40, 30) is its corner.
    f.Box(first, {10000, 10000, 50000, 50000})->SetReference(second);
    f.panel.SetToolMode(c.toolMode);
    int clicks = 0;
    f.panel.OnClick = [&](TVexaPanel&) { ++clicks; };
    f.panel.Click(c.onTheBox ? TPoint{40 + 30, 30 + 30} : TPoint{40 + 100, 30 + 100});
    EXPECT_EQ(c.follows ? second : first, f.panel.GetActiveScheme()) << c.editing << c.toolMode << c.onTheBox;
    EXPECT_EQ(1, clicks);
  }
}

TEST_F(PanelCore, ToolModeChangeFiresItsEventOnce) {
  int fired = 0;
  panel.OnToolMode = [&](TVexaPanel&) { ++fired; };
  panel.SetToolMode(2);
  panel.SetToolMode(2);
  EXPECT_EQ(1, fired);
}

}  // namespace
}  // namespace pv::graphics

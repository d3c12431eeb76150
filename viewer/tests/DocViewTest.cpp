// The main window's document view, offscreen: "Convert to TGD" turns the loaded drawing into a
// document of the viewer panel and saves it through the save dialog; the tool bar switches the
// panel's tool modes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "MainFormFixture.h"
#include "VexaDxfImport.h"
#include "document/Grid.h"
#include "document/ServiceControls.h"
#include "document/testing/DocumentPoints.h"
#include "forms/Cursors.h"
#include "forms/tests/QtTestApp.h"
#include "panel/VexaPanel.h"
#include "panelwindow/NullPanelWindow.h"
#include "panelwindow/QtPanelWindow.h"

PV_QT_TEST_APPLICATION();

namespace pv::viewer {
namespace {

using forms::FileDialogResult;
using graphics::TVexaControl;
using graphics::TVexaPanel;
using canvas::TPoint;
using canvas::TRect;
using test::kPlan;
using test::kShared;

std::string Bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> LayerNames(const TVexaPanel& panel) {
  std::vector<std::string> names;
  for (int i = 0; i < panel.Layers().GetCount(); ++i) names.push_back(panel.Layers().GetChild(i)->GetName());
  return names;
}

// "layer class left,top,right,bottom" for every control of the active scheme, nested ones
// indented under their group: what a reader of the document sees, independent of IDs.
void Describe(const TVexaControl& parent, const std::string& indent, std::vector<std::string>& out) {
  for (int i = 0; i < parent.GetCount(); ++i) {
    const TVexaControl& c = *parent.GetChild(i);
    const TRect r = c.GetDocRect();
    std::ostringstream line;
    line << indent << (c.GetLayer() ? c.GetLayer()->GetName() : "-") << ' ' << c.ClassName() << ' ' << r.left << ','
         << r.top << ',' << r.right << ',' << r.bottom;
    out.push_back(line.str());
    Describe(c, indent + "  ", out);
  }
}

std::vector<std::string> Describe(const TVexaPanel& panel) {
  std::vector<std::string> out;
  if (const auto* scheme = panel.GetActiveScheme()) Describe(*scheme, "", out);
  return out;
}

class DocViewTest : public test::MainFormTest {
 protected:
  TVexaPanel& View() { return form->fpView(); }
  // Converts with the save dialog answering name (none: cancelled).
  void Convert(std::optional<std::string> name) {
    if (name) {
      dialogs.saveAnswers.push_back(FileDialogResult{*name, 1});
    } else {
      dialogs.saveAnswers.push_back(std::nullopt);
    }
    form->ConvertButton->click();
  }
  std::vector<std::string> DrawingLayerNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < form->Drawing()->LayerCount(); ++i) names.push_back(form->Drawing()->Layer(static_cast<size_t>(i))->Name());
    return names;
  }
  // A fresh panel reads the saved file back to the view's document, and writes the same bytes.
  void ExpectReadsBackTheSame(const std::filesystem::path& saved) {
    panelwindow::TNullPanelWindow window(800, 600);
    TVexaPanel fresh(window, false);
    fresh.NewDocument();
    fresh.LoadDocumentFromFile(saved.string());
    EXPECT_EQ(LayerNames(fresh), LayerNames(View()));
    EXPECT_EQ(Describe(fresh), Describe(View()));
    const auto again = scratch.path() / "again.tgd";
    fresh.SaveDocumentToFile(again.string());
    EXPECT_EQ(Bytes(again), Bytes(saved));
  }
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const auto& box : dialogs.shown) texts.push_back(box.text);
    return texts;
  }
};

TEST_F(DocViewTest, TheViewIsAViewerPanelWithItsSettingsUnderTheZoomBox) {
  EXPECT_FALSE(View().Editing());
  EXPECT_EQ(form->ViewSplitter->indexOf(form->ZoomBox), 0);
  EXPECT_EQ(form->ViewSplitter->indexOf(form->panVexa), 1);
  EXPECT_EQ(form->fpViewWindow->parentWidget(), form->panVexa);
  EXPECT_EQ(form->ConvertButton->text(), "Convert to TGD");
  EXPECT_EQ(View().GetDocWidth(), 320000);
  EXPECT_EQ(View().GetDocHeight(), 240000);
  EXPECT_EQ(View().GetDocFrameColor(), canvas::clBlack);
  EXPECT_EQ(View().GetDocShadowColor(), canvas::clGray);
  EXPECT_EQ(View().GetDocSpaceBrush().style, canvas::BrushStyle::BDiagonal);
  EXPECT_EQ(View().GetDocSpaceBrush().color, canvas::clBtnFace);
  EXPECT_FALSE(View().GetDocSpaceFill());
  EXPECT_EQ(View().Grid().GridStyle(), graphics::TVexaGridStyle::gsDots);
  EXPECT_EQ(View().GetGridColor(), canvas::clGray);
  EXPECT_EQ(View().GetGridPixColor(), 0xC0C0C0u);
  EXPECT_EQ(View().GetGridHorizSize(), 10000);
  EXPECT_EQ(View().GetGridVertSize(), 10000);
  EXPECT_EQ(form->tbrVexa->iconSize(), QSize(24, 24));
  EXPECT_EQ(form->sd_Vexa.filter, "Vexa document (*.tgd)|*.tgd|All files (*.*)|*.*");
  // The editor cursors are loaded with the window.
  EXPECT_TRUE(forms::ScreenCursors().Has(forms::crZoomIn));
  EXPECT_TRUE(forms::ScreenCursors().Has(forms::crPanning));
}

TEST_F(DocViewTest, ToolButtonsSwitchTheModesOneAtATime) {
  const std::vector<QToolButton*> buttons{form->tbVexaSelect, form->tbVexaZoom, form->tbVexaPan};
  auto down = [&] {
    std::vector<bool> states;
    for (QToolButton* b : buttons) states.push_back(b->isChecked());
    return states;
  };
  EXPECT_EQ(View().GetToolMode(), 0);
  EXPECT_EQ(down(), (std::vector<bool>{true, false, false}));
  const struct {
    QToolButton* button;
    int mode;
    std::vector<bool> down;
  } cases[] = {
      {form->tbVexaZoom, 2, {false, true, false}},
      {form->tbVexaPan, 14, {false, false, true}},
      {form->tbVexaPan, 14, {false, false, true}},  // a down button stays down
      {form->tbVexaSelect, 0, {true, false, false}},
      {form->tbVexaZoom, 2, {false, true, false}},
  };
  for (const auto& c : cases) {
    c.button->click();
    EXPECT_EQ(View().GetToolMode(), c.mode) << c.button->objectName().toStdString();
    EXPECT_EQ(down(), c.down) << c.button->objectName().toStdString();
  }
  // The buttons follow a mode set by program too.
  View().SetToolMode(14);
  EXPECT_EQ(down(), (std::vector<bool>{false, false, true}));
  View().SetToolMode(0);
  EXPECT_EQ(down(), (std::vector<bool>{true, false, false}));
}

// The chosen mode drives the mouse in the view: its cursor, a zoom click, a pan drag.
TEST_F(DocViewTest, TheChosenModeDrivesTheMouseInTheView) {
  Load(scratch.Write("plan.dxf", kPlan));
  Convert(std::nullopt);
  QWidget* viewport = form->fpViewWindow->viewport();
  auto click = [&](QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      modifiers);
    QCoreApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        modifiers);
    QCoreApplication::sendEvent(viewport, &release);
  };
  const QPoint middle(viewport->width() / 2, viewport->height() / 2);

  form->tbVexaZoom->click();
  EXPECT_EQ(form->fpViewWindow->CursorIndex(), forms::crZoomIn);
  ASSERT_EQ(View().GetScale(), 100);
  click(middle);
  EXPECT_EQ(View().GetScale(), 200);
  click(middle, Qt::ControlModifier);
  EXPECT_EQ(View().GetScale(), 100);
  EXPECT_EQ(View().GetToolMode(), 2);  // the gesture returns to the chosen mode
  EXPECT_TRUE(form->tbVexaZoom->isChecked());

  form->tbVexaPan->click();
  EXPECT_EQ(form->fpViewWindow->CursorIndex(), forms::crPan);
  form->tbVexaSelect->click();
  EXPECT_EQ(form->fpViewWindow->CursorIndex(), 0);
  // A viewer selects nothing with the mouse.
  click(middle);
  EXPECT_EQ(View().SelectedCount(), 0);
}

TEST_F(DocViewTest, ConvertsSavesAndReadsBackIntoAFreshPanel) {
  Load(scratch.Write("plan.dxf", kPlan));
  Convert((scratch.path() / "plan").string());
  EXPECT_TRUE(Shown().empty()) << Shown().front();
  ASSERT_EQ(dialogs.saveRequests.size(), 1u);
  EXPECT_EQ(dialogs.saveRequests[0].filter, kTgdFilter);
  const auto saved = scratch.path() / "plan.tgd";  // the extension was added
  ASSERT_TRUE(std::filesystem::exists(saved));
  EXPECT_FALSE(View().Modified());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the hourglass is gone

  // The drawing's layers in its order, and per layer what it holds: a closed square on A, a
  // line on B, on C the insert's group holding the block's group with the block's line.
  EXPECT_EQ(LayerNames(View()), DrawingLayerNames());
  const std::vector<std::string> made = Describe(View());
  ASSERT_EQ(made.size(), 5u);
  const char* expected[] = {"A TVexaCurve", "B TVexaCurve", "C TVexaGroup", "  C TVexaGroup", "    C TVexaCurve"};
  for (size_t i = 0; i < made.size(); ++i) EXPECT_EQ(made[i].rfind(expected[i], 0), 0u) << made[i];

  // The line lies where the zoom box's fit puts it.
  const TDxfImportFit fit = ComputeImportFit(form->ZoomBox->PaintBox().Width(), form->ZoomBox->PaintBox().Height(),
                                             20, form->FormMax(), form->FormMin());
  EXPECT_EQ(form->Importer().Fit.ScaleX, fit.ScaleX);
  EXPECT_GT(fit.ScaleX, 0.0);
  canvas::TPoint from, to;
  ASSERT_TRUE(form->Importer().MapPoint({20, 0, 0}, nullptr, from));
  ASSERT_TRUE(form->Importer().MapPoint({30, 0, 0}, nullptr, to));
  EXPECT_EQ(graphics::test::DocumentPoints(*View().GetActiveScheme()->GetChild(1)),
            (std::vector<TPoint>{{from.x, from.y}, {to.x, to.y}}));
  EXPECT_EQ(to.x - from.x, static_cast<int32_t>(std::lround(10 * fit.ScaleX * 1000)));

  ExpectReadsBackTheSame(saved);
}

TEST_F(DocViewTest, ConvertingTwiceLeavesWhatConvertingOnceLeaves) {
  Load(scratch.Write("plan.dxf", kPlan));
  Convert((scratch.path() / "once.tgd").string());
  const std::vector<std::string> once = Describe(View());
  const int controls = View().CountControls(View().GetActiveScheme());
  Convert((scratch.path() / "twice.tgd").string());
  EXPECT_EQ(Describe(View()), once);
  EXPECT_EQ(LayerNames(View()), DrawingLayerNames());
  EXPECT_EQ(View().CountControls(View().GetActiveScheme()), controls);
  EXPECT_EQ(View().GetActiveLayer(), View().Layers().GetChild(0));  // a layer of this document
  EXPECT_EQ(Bytes(scratch.path() / "twice.tgd"), Bytes(scratch.path() / "once.tgd"));
  EXPECT_TRUE(Shown().empty());
}

TEST_F(DocViewTest, CancellingTheSaveWritesNothingAndKeepsTheDocument) {
  Load(scratch.Write("plan.dxf", kPlan));
  const auto before = std::distance(std::filesystem::directory_iterator(scratch.path()), {});
  Convert(std::nullopt);
  EXPECT_EQ(dialogs.saveRequests.size(), 1u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()), {}), before);
  EXPECT_EQ(Describe(View()).size(), 5u);  // converted, shown, unsaved
  EXPECT_TRUE(View().Modified());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DocViewTest, WithNoDrawingLoadedNothingIsConvertedOrOffered) {
  const std::vector<std::string> before = Describe(View());
  form->ConvertButton->click();
  EXPECT_EQ(Shown(), std::vector<std::string>{"No drawing to convert"});
  EXPECT_TRUE(dialogs.saveRequests.empty());
  EXPECT_EQ(Describe(View()), before);

  // A drawing whose every list was deleted is no drawing either.
  Load(scratch.Write("plan.dxf", kPlan));
  form->block_defs->setChecked(false);
  form->RebuildEntityList(true);
  form->delete_->click();
  ASSERT_EQ(form->Drawing(), nullptr);
  form->ConvertButton->click();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"No drawing to convert", "No drawing to convert"}));
  EXPECT_TRUE(dialogs.saveRequests.empty());
}

TEST_F(DocViewTest, TheTgdExtensionIsAddedOnlyToANameWithoutOne) {
  Load(scratch.Write("plan.dxf", kPlan));
  const struct {
    const char* typed;
    const char* written;
  } cases[] = {
      {"plan", "plan.tgd"},
      {"plan.tgd", "plan.tgd"},
      {"PLAN.TGD", "PLAN.TGD"},
      {"plan.v2", "plan.v2"},
      {"a.b.tgd", "a.b.tgd"},
  };
  for (const auto& c : cases) {
    const auto folder = scratch.path() / c.typed;  // one folder per case, so each check sees only its file
    std::filesystem::create_directories(folder.string() + "_dir");
    Convert((std::filesystem::path(folder.string() + "_dir") / c.typed).string());
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder.string() + "_dir")) {
      files.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(files, std::vector<std::string>{c.written}) << c.typed;
  }
}

TEST_F(DocViewTest, AZoomBoxSmallerThanItsMarginsStillGivesAnUprightDocument) {
  Load(scratch.Write("plan.dxf", kPlan));
  form->ViewSplitter->setSizes({1, 2000});
  form->resize(1000, 700);
  QApplication::processEvents();
  ASSERT_LT(form->ZoomBox->PaintBox().Height(), 41);
  Convert(std::nullopt);
  EXPECT_GT(form->Importer().Fit.ScaleX, 0.0);
  EXPECT_EQ(form->Importer().Fit.ScaleX, form->Importer().Fit.ScaleY);
  // The line from x 20 to 30 runs left to right in the document, not mirrored.
  const TVexaControl& line = *View().GetActiveScheme()->GetChild(1);
  const std::vector<TPoint> points = graphics::test::DocumentPoints(line);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_LT(points[0].x, points[1].x);
  EXPECT_GE(line.GetDocRect().left, 0);
}

TEST_F(DocViewTest, WhatTheImportLeavesOutIsToldOnceBeforeTheSaveDialog) {
  // Header extents of 100 x 100 and three lines far beyond them: they cannot be placed in the
  // document, and the user hears of them once, not three times.
  const std::string far = test::Dxf({
      "0", "SECTION", "2", "HEADER", "9", "$EXTMIN", "10", "1", "20", "1", "30", "0",
      "9", "$EXTMAX", "10", "100", "20", "100", "30", "0", "0", "ENDSEC",
      "0", "SECTION", "2", "ENTITIES",
      "0", "LINE", "8", "A", "10", "10", "20", "10", "30", "0", "11", "50", "21", "50", "31", "0",
      "0", "LINE", "8", "A", "10", "1e12", "20", "0", "30", "0", "11", "2e12", "21", "0", "31", "0",
      "0", "LINE", "8", "A", "10", "0", "20", "1e12", "30", "0", "11", "0", "21", "2e12", "31", "0",
      "0", "LINE", "8", "B", "10", "-1e12", "20", "0", "30", "0", "11", "0", "21", "0", "31", "0",
      "0", "ENDSEC", "0", "EOF"});
  Load(scratch.Write("far.dxf", far));
  ASSERT_NE(form->Drawing(), nullptr);
  const size_t boxesBefore = dialogs.shown.size();
  std::vector<size_t> saveDialogsAtBox;
  dialogs.onShow = [&](const forms::ScriptedDialogs::Shown&) { saveDialogsAtBox.push_back(dialogs.saveRequests.size()); };
  Convert((scratch.path() / "far").string());
  EXPECT_EQ(saveDialogsAtBox, std::vector<size_t>{0});
  ASSERT_EQ(dialogs.shown.size(), boxesBefore + 1);
  EXPECT_EQ(dialogs.shown.back().text, form->Importer().Report().Notes.front());
  EXPECT_NE(dialogs.shown.back().text.find("3 entities"), std::string::npos) << dialogs.shown.back().text;
  EXPECT_EQ(Describe(View()).size(), 1u);  // the line that fits
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / "far.tgd"));
}

TEST_F(DocViewTest, AFailedConversionIsReportedAndNothingIsOfferedForSaving) {
  Load(scratch.Write("plan.dxf", kPlan));
  // An insert whose block does not exist cannot be converted.
  form->Drawing()->LayerByName("D")->AddEntity(std::make_unique<Insert_>(
      WCS_Z_Axis, "NOWHERE", std::vector<std::unique_ptr<Attrib_>>{}, 1, 0.0, Point3D{1, 1, 1}, Point3D{40, 0, 0}));
  form->ConvertButton->click();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_NE(dialogs.shown[0].text.find("Block reference NOWHERE not found"), std::string::npos);
  EXPECT_TRUE(dialogs.saveRequests.empty());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DocViewTest, AFailedSaveIsReportedAndTheDocumentStays) {
  Load(scratch.Write("plan.dxf", kPlan));
  Convert((scratch.path() / "no such folder" / "plan.tgd").string());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_NE(dialogs.shown[0].text.find("Cannot save"), std::string::npos) << dialogs.shown[0].text;
  EXPECT_EQ(Describe(View()).size(), 5u);
  EXPECT_TRUE(View().Modified());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DocViewTest, ConvertsASharedRealDrawing) {
  SKIP_WITHOUT_SHARED_DATA("gear_r12.dxf");
  Load(kShared / "dxf" / "gear_r12.dxf");
  Convert((scratch.path() / "gear").string());
  const auto saved = scratch.path() / "gear.tgd";
  ASSERT_TRUE(std::filesystem::exists(saved));
  EXPECT_GT(View().CountControls(View().GetActiveScheme()), 10);
  ExpectReadsBackTheSame(saved);
}

}  // namespace
}  // namespace pv::viewer

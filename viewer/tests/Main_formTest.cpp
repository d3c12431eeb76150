#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "DXF_write.h"
#include "Main_form.h"
#include "MainFormFixture.h"
#include "TestSupport.h"
#include "forms/Clipboard.h"
#include "forms/tests/QtTestApp.h"
#include "timer/TimerHost.h"

PV_QT_TEST_APPLICATION();

namespace pv::viewer {
namespace {

using forms::FileDialogResult;
using forms::ScriptedDialogs;
using test::kPlan;
using test::kShared;
using test::MainFormTest;

// What ezdxf counts per layer and entity list, from the helper script beside the tests.
std::map<std::string, size_t> EzdxfCounts(const std::filesystem::path& file, std::vector<std::string>* ents = nullptr) {
  std::string out;
  const std::string script = std::string(PV_SOURCE_DIR) + "/viewer/tests/dxf_expect.py";
  EXPECT_TRUE(test::RunCommand("/usr/bin/python3 " + script + " '" + file.string() + "'", out)) << file;
  std::map<std::string, size_t> counts;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string kind, layer, list;
    size_t n = 0;
    fields >> kind;
    if (kind == "COUNT") {
      std::getline(fields, layer, '\t');
      std::getline(fields, layer, '\t');
      std::getline(fields, list, '\t');
      fields >> n;
      counts[layer + "/" + list] = n;
    } else if (kind == "ENT" && ents) {
      ents->push_back(line);
    }
  }
  return counts;
}

TEST_F(MainFormTest, LoadsASharedFileAndListsItsLayersListsAndCounts) {
  SKIP_WITHOUT_SHARED_DATA("gear_r12.dxf");
  if (!test::EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed";
  const auto file = kShared / "dxf" / "gear_r12.dxf";
  Load(file);
  ASSERT_NE(form->Drawing(), nullptr);
  const auto items = Items();
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items[0], "gear_r12.dxf");
  EXPECT_NE(std::find(items.begin(), items.end(), "  SLD-0"), items.end());
  EXPECT_NE(std::find(items.begin(), items.end(), "    Polyline_"), items.end());
  // Every list is chosen, block definitions excepted, with ezdxf's counts.
  EXPECT_EQ(SelectedCounts(), EzdxfCounts(file));
  int vertices = 0, lines = 0, closed = 0;
  for (const Entity_List* list : form->Selection().lists) {
    vertices += list->VertexCount();
    lines += list->LineCount();
    closed += list->ClosedPolyCount();
  }
  EXPECT_EQ(form->vert_lab->text().toInt(), vertices);
  EXPECT_EQ(form->line_lab->text().toInt(), lines);
  EXPECT_EQ(form->polyc_lab->text().toInt(), closed);
  EXPECT_GT(vertices, 255);
  EXPECT_EQ(form->T_Objs->text().toInt(), DXF_Counters::objects.load());
  EXPECT_EQ(form->T_entities->text().toInt(), DXF_Counters::entities.load());
  EXPECT_GT(form->Messages->count(), 0);  // the tables the reader skips are noted
  EXPECT_TRUE(form->ZoomBox->Views().WindowSet());
}

TEST_F(MainFormTest, MergesASecondFileAndWidensTheView) {
  SKIP_WITHOUT_SHARED_DATA("square_with_hole_r12.dxf");
  if (!test::EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed";
  const auto first = kShared / "dxf" / "square_with_hole_r12.dxf";
  const auto second = kShared / "dxf" / "gather3_r12.dxf";
  Load(first);
  const Point3D firstMax = form->FormMax();
  const int messages = form->Messages->count();
  Load(second);
  auto expected = EzdxfCounts(first);
  for (const auto& [key, n] : EzdxfCounts(second)) expected[key] += n;
  EXPECT_EQ(SelectedCounts(), expected);
  EXPECT_GE(form->FormMax().x, firstMax.x);
  EXPECT_GE(form->Messages->count(), messages);  // never emptied
  const auto items = Items();
  EXPECT_NE(std::find(items.begin(), items.end(), "  Layer_0"), items.end());
  EXPECT_NE(std::find(items.begin(), items.end(), "  DEFAULT"), items.end());
}

TEST_F(MainFormTest, BlockDefinitionsAreChosenOnlyWhenNotHidden) {
  Load(scratch.Write("plan.dxf", kPlan));
  auto hasBlocks = [&] {
    for (const Entity_List* list : form->Selection().lists) {
      if (list->Name() == "Block_") return true;
    }
    return false;
  };
  EXPECT_FALSE(hasBlocks());
  EXPECT_EQ(form->Selection().lists.size(), 3u);  // A/Polyline_, B/Line_, C/Insert_
  form->block_defs->setChecked(false);
  form->RebuildEntityList(true);
  EXPECT_TRUE(hasBlocks());
  form->ZoomBox->Repaint();  // block definitions draw at their base points
}

TEST_F(MainFormTest, APixelProbeFindsTheLineWhereTheMappingPutsIt) {
  Load(scratch.Write("plan.dxf", kPlan));
  const QImage& picture = form->ZoomBox->PaintBox().Picture();
  const canvas::TPoint middle = Screen({25, 0, 0});
  EXPECT_EQ(picture.pixel(middle.x, middle.y), qRgb(0, 0, 255));  // colour 5, blue
  EXPECT_EQ(picture.pixel(middle.x, middle.y - 3), qtcanvas::ToQColor(canvas::clBtnFace).rgb());
  const canvas::TPoint corner = Screen({10, 5, 0});  // the square's right edge, red
  EXPECT_EQ(picture.pixel(corner.x, corner.y), qRgb(255, 0, 0));
}

// A blue line runs through a red text drawn after it. Without "Fill closed" the brush is clear
// and the text leaves the line between its letters: every pixel of the line's row is the line
// or a letter. With it the brush is solid and the text's cell is filled over the line.
TEST_F(MainFormTest, TextsLeaveWhatIsUnderThemUnlessTheBrushIsSolid) {
  const std::string plan = test::Dxf({
      "0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "LAYER",
      "0", "LAYER", "2", "A", "62", "5", "0", "LAYER", "2", "B", "62", "1",
      "0", "ENDTAB", "0", "ENDSEC",
      "0", "SECTION", "2", "ENTITIES",
      "0", "LINE", "8", "A", "62", "5", "10", "-5", "20", "1", "30", "0", "11", "20", "21", "1", "31", "0",
      "0", "TEXT", "8", "B", "62", "1", "10", "0", "20", "0", "30", "0", "40", "2", "1", "I    I",
      "0", "ENDSEC", "0", "EOF"});
  Load(scratch.Write("text.dxf", plan));
  for (bool filled : {false, true}) {
    form->Fill_closed->setChecked(filled);
    form->ZoomBox->Repaint();
    const QImage& picture = form->ZoomBox->PaintBox().Picture();
    const int row = Screen({0, 1, 0}).y;
    int line = 0, letters = 0, other = 0;
    for (int x = Screen({-4, 1, 0}).x; x <= Screen({19, 1, 0}).x; ++x) {
      const QRgb at = picture.pixel(x, row);
      line += at == qRgb(0, 0, 255);
      letters += at == qRgb(255, 0, 0);
      other += at != qRgb(0, 0, 255) && at != qRgb(255, 0, 0);
    }
    EXPECT_GT(letters, 0) << "filled " << filled;
    EXPECT_GT(line, letters) << "filled " << filled;
    if (filled) {
      EXPECT_GT(other, letters) << "the text's cell covers the line";
    } else {
      EXPECT_EQ(other, 0) << "the text hides the line";
    }
  }
}

TEST_F(MainFormTest, TrackingReadsOutTheNearestPointAndTheContainingPolygon) {
  Load(scratch.Write("plan.dxf", kPlan));
  tracking->T_extended->click();
  StartTracking();
  EXPECT_TRUE(tracking->isVisible());

  TrackAt({29, 1, 0});  // nearest: the end of the line
  ASSERT_NE(form->TrackedEntity(), nullptr);
  EXPECT_STREQ(form->TrackedEntity()->ClassName(), "Line_");
  EXPECT_EQ(tracking->Tr_X->text(), "30");
  EXPECT_EQ(tracking->Tr_Y->text(), "0");
  EXPECT_EQ(tracking->Tr_P->text(), "2");
  EXPECT_TRUE(tracking->T_info_box->toPlainText().startsWith("Line_"));
  EXPECT_FALSE(form->Track_timer.Enabled());  // one step per move
  // The highlight: the line is drawn in its colour xor white, and keeps its colour index.
  const canvas::TPoint middle = Screen({25, 0, 0});
  EXPECT_EQ(form->ZoomBox->PaintBox().Picture().pixel(middle.x, middle.y), qRgb(255, 255, 0));
  EXPECT_EQ(form->TrackedEntity()->ColorIndex(), 5);
  EXPECT_EQ(form->TrackedEntity()->Color(), 0xFF0000);

  tracking->R_inside->click();
  TrackAt({4, 6, 0});  // inside the square
  ASSERT_NE(form->TrackedEntity(), nullptr);
  EXPECT_STREQ(form->TrackedEntity()->ClassName(), "Polyline_");
  EXPECT_EQ(tracking->Tr_P->text(), "4");
  EXPECT_EQ(tracking->Tr_X->text(), "0");
  EXPECT_EQ(tracking->Tr_Y->text(), "10");
  // The line got its own colour back when the highlight moved on.
  EXPECT_EQ(form->ZoomBox->PaintBox().Picture().pixel(middle.x, middle.y), qRgb(0, 0, 255));

  TrackAt({50, 50, 0});  // nothing contains it: X, Y and Z read 0, the square stays tracked
  EXPECT_EQ(tracking->Tr_X->text(), "0");
  EXPECT_EQ(tracking->Tr_Y->text(), "0");
  ASSERT_NE(form->TrackedEntity(), nullptr);
  EXPECT_STREQ(form->TrackedEntity()->ClassName(), "Polyline_");

  tracking->close();  // closing the window stops the tracking
  EXPECT_FALSE(form->Track_mouse->isChecked());
  EXPECT_FALSE(form->Track_timer.Enabled());
}

TEST_F(MainFormTest, ShiftDragMovesTheTrackedVertex) {
  Load(scratch.Write("plan.dxf", kPlan));
  StartTracking();
  TrackAt({29.5, 0.5, 0});
  ASSERT_NE(form->TrackedEntity(), nullptr);
  auto* line = dynamic_cast<Line_*>(form->TrackedEntity());
  ASSERT_NE(line, nullptr);
  const double scale = form->ZoomBox->Views().Current().scaleX;

  Mouse(QEvent::MouseButtonPress, Screen({30, 0, 0}), Qt::ShiftModifier, Qt::LeftButton);
  const canvas::TPoint release = Screen({33, 4, 0});
  Mouse(QEvent::MouseButtonRelease, release, Qt::ShiftModifier, Qt::LeftButton);
  const Point3D expected = DXF_Utils::RoundPoint(form->ZoomBox->ScreenToWorld(release.x, release.y), 1000);
  EXPECT_EQ(line->EndPoint().x, expected.x);
  EXPECT_EQ(line->EndPoint().y, expected.y);
  EXPECT_NEAR(line->EndPoint().x, 33, 1 / scale);
  EXPECT_DOUBLE_EQ(form->ZoomBox->Views().Current().scaleX, scale);  // a Shift drag does not zoom
  EXPECT_TRUE(dialogs.shown.empty());

  // Without Shift nothing is dragged.
  Mouse(QEvent::MouseButtonPress, Screen({20, 0, 0}), Qt::NoModifier, Qt::RightButton);
  Mouse(QEvent::MouseButtonRelease, Screen({22, 5, 0}), Qt::NoModifier, Qt::RightButton);
  EXPECT_EQ(line->GetPoint().x, 20);
}

// In a drawing large enough for the tracking to go through its index, a vertex dragged far
// away is tracked where it now is.
TEST_F(MainFormTest, AVertexDraggedFarIsTrackedWhereItLanded) {
  std::string text = "0\nSECTION\n2\nENTITIES\n";
  for (int i = 0; i < 10; ++i) {
    for (int j = 0; j < 10; ++j) {
      text += "0\nPOINT\n8\nP\n10\n" + std::to_string(i * 10) + "\n20\n" + std::to_string(j * 10) + "\n30\n0\n";
    }
  }
  text += "0\nLINE\n8\nL\n10\n2\n20\n3\n30\n0\n11\n7\n21\n3\n31\n0\n0\nENDSEC\n0\nEOF\n";
  Load(scratch.Write("grid.dxf", text));
  StartTracking();
  TrackAt({7.2, 3.1, 0});
  auto* line = dynamic_cast<Line_*>(form->TrackedEntity());
  ASSERT_NE(line, nullptr);

  Mouse(QEvent::MouseButtonPress, Screen({7, 3, 0}), Qt::ShiftModifier, Qt::LeftButton);
  const canvas::TPoint release = Screen({45, 45, 0});
  Mouse(QEvent::MouseButtonRelease, release, Qt::ShiftModifier, Qt::LeftButton);
  const Point3D landed = line->EndPoint();
  ASSERT_NEAR(landed.x, 45, 1);
  ASSERT_NEAR(landed.y, 45, 1);

  TrackAt({40, 40, 0});  // another entity first, so that the line is found anew
  EXPECT_NE(form->TrackedEntity(), line);
  TrackAt(landed);
  EXPECT_EQ(form->TrackedEntity(), line);
}

TEST_F(MainFormTest, DeleteRemovesTheChosenListsButNotBlocksThatInsertsUse) {
  Load(scratch.Write("plan.dxf", kPlan));
  const int lists = DXF_Counters::lists.load();
  // Choose the line list only.
  for (int i = 0; i < form->Files_listbox->count(); ++i) {
    QListWidgetItem* item = form->Files_listbox->item(i);
    item->setSelected(item->text() == "    Line_" && form->Files_listbox->item(i - 1)->text() == "  B");
  }
  form->UpdateSelection();
  ASSERT_EQ(form->Selection().lists.size(), 1u);
  form->delete_->click();
  EXPECT_EQ(DXF_Counters::lists.load(), lists - 1);
  auto items = Items();
  EXPECT_EQ(std::find(items.begin(), items.end(), "  B"), items.end());  // its layer went with it
  EXPECT_TRUE(form->Selection().lists.empty());

  // The block definitions: refused while the insert on C uses them.
  form->block_defs->setChecked(false);
  for (int i = 0; i < form->Files_listbox->count(); ++i) {
    form->Files_listbox->item(i)->setSelected(form->Files_listbox->item(i)->text() == "    Block_");
  }
  form->UpdateSelection();
  ASSERT_EQ(form->Selection().lists.size(), 1u);
  form->delete_->click();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, kBlocksInUse);
  items = Items();
  EXPECT_NE(std::find(items.begin(), items.end(), "    Block_"), items.end());
  form->RebuildEntityList(true);
  form->ZoomBox->Repaint();  // the insert still finds its block

  // With the insert going too, both go.
  form->delete_->click();
  EXPECT_EQ(dialogs.shown.size(), 1u);
  items = Items();
  EXPECT_EQ(std::find(items.begin(), items.end(), "    Block_"), items.end());
  EXPECT_EQ(std::find(items.begin(), items.end(), "    Insert_"), items.end());
}

TEST_F(MainFormTest, SavesTheChosenListsAndReadsThemBack) {
  SKIP_WITHOUT_SHARED_DATA("gear_r12.dxf");
  const auto original = kShared / "dxf" / "gear_r12.dxf";
  Load(original);
  dialogs.saveAnswers.push_back(FileDialogResult{(scratch.path() / "plan").string(), 1});
  form->SaveButton->click();
  const auto saved = scratch.path() / "plan.dxf";
  ASSERT_TRUE(std::filesystem::exists(saved));
  EXPECT_FALSE(busy.isVisible());

  // Our reader: the same lists with the same records.
  test::RecordingPrompts prompts;
  NullBusyBox quiet;
  auto back = DXF_Object::CreateFromFile(saved, nullptr, quiet, prompts);
  EXPECT_TRUE(prompts.errors.empty());
  std::map<std::string, std::string> records;
  for (const Entity_List* list : form->Selection().lists) {
    std::ostringstream out;
    for (const auto& e : list->Entities()) e->WriteToDxf(out, list->Owner()->Name());
    records[list->Owner()->Name() + "/" + list->Name()] = out.str();
  }
  std::map<std::string, std::string> backRecords;
  for (int i = 0; i < back->LayerCount(); ++i) {
    const DXF_Layer* layer = back->Layer(static_cast<size_t>(i));
    for (int j = 0; j < layer->ListCount(); ++j) {
      std::ostringstream out;
      for (const auto& e : layer->List(static_cast<size_t>(j))->Entities()) e->WriteToDxf(out, layer->Name());
      if (layer->List(static_cast<size_t>(j))->Count() > 0) backRecords[layer->Name() + "/" + layer->List(static_cast<size_t>(j))->Name()] = out.str();
    }
  }
  EXPECT_EQ(backRecords, records);

  // ezdxf: the same entities, values and colours as in the file we read.
  if (!test::EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed";
  std::vector<std::string> originalEnts, savedEnts;
  EXPECT_EQ(EzdxfCounts(saved, &savedEnts), EzdxfCounts(original, &originalEnts));
  std::sort(originalEnts.begin(), originalEnts.end());
  std::sort(savedEnts.begin(), savedEnts.end());
  EXPECT_EQ(savedEnts, originalEnts);

  // A name with the extension in capitals is kept as it is.
  dialogs.saveAnswers.push_back(FileDialogResult{(scratch.path() / "again.DXF").string(), 1});
  form->SaveButton->click();
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / "again.DXF"));
  EXPECT_FALSE(std::filesystem::exists(scratch.path() / "again.DXF.dxf"));
}

// Block definitions are hidden by default, so not chosen: the inserts that use them still take
// them into the file, which reads back (by us and by ezdxf) with the same inserts.
TEST_F(MainFormTest, SavingWithHiddenBlocksKeepsTheBlocksTheInsertsUse) {
  Load(scratch.Write("plan.dxf", kPlan));
  ASSERT_TRUE(form->block_defs->isChecked());
  dialogs.saveAnswers.push_back(FileDialogResult{(scratch.path() / "saved.dxf").string(), 1});
  form->SaveButton->click();
  const auto saved = scratch.path() / "saved.dxf";
  ASSERT_TRUE(std::filesystem::exists(saved));

  test::RecordingPrompts prompts;
  NullBusyBox quiet;
  auto back = DXF_Object::CreateFromFile(saved, nullptr, quiet, prompts);
  EXPECT_TRUE(prompts.warnings.empty()) << prompts.warnings.front();
  EXPECT_TRUE(prompts.errors.empty());
  DXF_Layer* c = nullptr;
  DXF_Layer* zero = nullptr;
  for (int i = 0; i < back->LayerCount(); ++i) {
    if (back->Layer(static_cast<size_t>(i))->Name() == "C") c = back->Layer(static_cast<size_t>(i));
    if (back->Layer(static_cast<size_t>(i))->Name() == "0") zero = back->Layer(static_cast<size_t>(i));
  }
  ASSERT_NE(c, nullptr);
  ASSERT_NE(zero, nullptr);
  EXPECT_EQ(zero->ListByName("Block_")->Count(), 1u);
  ASSERT_EQ(c->ListByName("Insert_")->Count(), 1u);
  auto* insert = dynamic_cast<Insert_*>(c->ListByName("Insert_")->Entity(0));
  ASSERT_NE(insert, nullptr);
  EXPECT_EQ(insert->GetBlock()->Name(), "MARK");
  EXPECT_EQ(insert->GetBlock()->Entities().size(), 1u);

  if (!test::EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed";
  std::vector<std::string> savedEnts;
  const auto counts = EzdxfCounts(saved, &savedEnts);
  EXPECT_EQ(counts.at("C/Insert_"), 1u);
  std::string out;
  ASSERT_TRUE(test::RunCommand("/usr/bin/python3 -c \"import ezdxf,sys; d=ezdxf.readfile(sys.argv[1]); "
                               "print(len(d.blocks.get('MARK')))\" '" + saved.string() + "'", out));
  EXPECT_EQ(out, "1\n");
}

TEST_F(MainFormTest, AFolderGivenAsTheFileIsNamedAsOne) {
  Load(scratch.path());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, scratch.path().string() + " is a folder, not a file");
  EXPECT_EQ(form->Drawing(), nullptr);
}

// The arcs of this file have extrusion (0, 0, -1): the view fits what is drawn, and tracking
// and dragging find them where they are drawn.
TEST_F(MainFormTest, MirroredArcsAreFittedTrackedAndDraggedWhereTheyAreDrawn) {
  SKIP_WITHOUT_SHARED_DATA("offset_self_intersect_r12.dxf");
  Load(kShared / "dxf" / "offset_self_intersect_r12.dxf");
  EXPECT_NEAR(form->FormMin().x, -1.5, 1e-6);  // as ezdxf's bounding box has it
  EXPECT_NEAR(form->FormMin().y, 0, 1e-6);
  EXPECT_NEAR(form->FormMax().x, 34, 1e-6);
  EXPECT_NEAR(form->FormMax().y, 25, 1e-6);
  StartTracking();
  TrackAt({32, 6, 0});
  ASSERT_NE(form->TrackedEntity(), nullptr);
  EXPECT_STREQ(form->TrackedEntity()->ClassName(), "Arc_");
  EXPECT_EQ(tracking->Tr_X->text(), "32");
  DXF_Entity* arc = form->TrackedEntity();

  Mouse(QEvent::MouseButtonPress, Screen({32, 6, 0}), Qt::ShiftModifier, Qt::LeftButton);
  const canvas::TPoint release = Screen({33, 8, 0});
  Mouse(QEvent::MouseButtonRelease, release, Qt::ShiftModifier, Qt::LeftButton);
  EXPECT_TRUE(dialogs.shown.empty());
  const Point3D expected = DXF_Utils::RoundPoint(form->ZoomBox->ScreenToWorld(release.x, release.y), 1000);
  const Point3D now = arc->ClosestPoint(expected);
  EXPECT_NEAR(now.x, expected.x, 1e-9);
  EXPECT_NEAR(now.y, expected.y, 1e-9);
}

TEST_F(MainFormTest, AFailedSaveIsReportedAndTheProgramGoesOn) {
  Load(scratch.Write("plan.dxf", kPlan));
  const size_t chosen = form->Selection().lists.size();
  dialogs.saveAnswers.push_back(FileDialogResult{(scratch.path() / "no such folder" / "plan.dxf").string(), 1});
  form->SaveButton->click();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_NE(dialogs.shown[0].text.find("Cannot write"), std::string::npos) << dialogs.shown[0].text;
  EXPECT_FALSE(busy.isVisible());
  EXPECT_EQ(form->Selection().lists.size(), chosen);
  form->ZoomBox->Repaint();
}

TEST_F(MainFormTest, TheTrackingTimerIsStoppedBeforeAnErrorBoxShows) {
  Load(scratch.Write("plan.dxf", kPlan));
  // An insert whose block does not exist fails whenever it is drawn.
  DXF_Layer* layer = form->Drawing()->LayerByName("D");
  layer->AddEntity(std::make_unique<Insert_>(WCS_Z_Axis, "NOWHERE", std::vector<std::unique_ptr<Attrib_>>{}, 1, 0.0,
                                             Point3D{1, 1, 1}, Point3D{40, 0, 0}));
  form->RebuildEntityList(true);
  StartTracking();
  std::vector<bool> timerRunningAtBox;
  dialogs.onShow = [&](const ScriptedDialogs::Shown&) {
    timerRunningAtBox.push_back(form->Track_timer.Enabled());
    clock.Advance(1000);  // the box's own loop runs the timers
  };
  Mouse(QEvent::MouseMove, Screen({40, 0, 0}));
  clock.Advance(100);
  ASSERT_EQ(timerRunningAtBox.size(), 1u);
  EXPECT_FALSE(timerRunningAtBox[0]);
  EXPECT_NE(dialogs.shown[0].text.find("Block reference NOWHERE not found"), std::string::npos);
  clock.Advance(5000);
  EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(MainFormTest, HandlersReportFailuresAndTheWindowGoesOn) {
  Load(scratch.path() / "missing.dxf");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "File not found");
  Load(scratch.Write("noise.dxf", std::string("\x01\x02 not a drawing \xff")));
  EXPECT_GE(dialogs.shown.size(), 2u);  // the reader says so in its own box
  Load(scratch.Write("plan.dxf", kPlan));
  EXPECT_EQ(form->Selection().lists.size(), 3u);
  // Cancelled dialogs do nothing.
  form->LoadButton->click();
  form->SaveButton->click();
  EXPECT_EQ(form->Selection().lists.size(), 3u);
}

TEST_F(MainFormTest, CopyPutsTheViewOnTheClipboardAsSvgAndPng) {
  Load(scratch.Write("plan.dxf", kPlan));
  form->CopyClipButton->click();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(data->data(forms::kSvgMime).contains("<svg"));
  ASSERT_TRUE(data->hasImage());
  const QImage image = qvariant_cast<QImage>(data->imageData());
  const canvas::TPoint middle = Screen({25, 0, 0});
  EXPECT_EQ(image.pixel(middle.x, middle.y), qRgb(0, 0, 255));
}

}  // namespace
}  // namespace pv::viewer

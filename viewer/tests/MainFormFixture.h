#pragma once
// The main window under test: made offscreen with scripted dialogs and a manual timer clock,
// a scratch folder, and a small drawing of known geometry.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Main_form.h"
#include "TestSupport.h"
#include "forms/Dialogs.h"
#include "timer/TimerHost.h"

namespace pv::viewer::test {

using forms::FileDialogResult;
using forms::ScriptedDialogs;

inline const std::filesystem::path kShared = PV_SHARED_DATA_DIR;

#define SKIP_WITHOUT_SHARED_DATA(file)                                                            \
  if (!std::filesystem::exists(kShared / "dxf" / (file))) GTEST_SKIP() << "shared test data absent: " \
                                                                        << (kShared / "dxf" / (file))

// Two rooms of known geometry: a closed square on A (red), a line on B (blue), a block of
// one line inserted on C.
inline const std::string kPlan = test::Dxf({
    "0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "LAYER",
    "0", "LAYER", "2", "A", "62", "1", "0", "LAYER", "2", "B", "62", "5", "0", "LAYER", "2", "C", "62", "3",
    "0", "ENDTAB", "0", "ENDSEC",
    "0", "SECTION", "2", "BLOCKS",
    "0", "BLOCK", "8", "0", "2", "MARK", "10", "0.0", "20", "0.0", "30", "0.0",
    "0", "LINE", "8", "0", "62", "3", "10", "0", "20", "0", "30", "0", "11", "2", "21", "2", "31", "0",
    "0", "ENDBLK", "0", "ENDSEC",
    "0", "SECTION", "2", "ENTITIES",
    "0", "POLYLINE", "8", "A", "66", "1", "70", "1",
    "0", "VERTEX", "8", "A", "10", "0", "20", "0", "30", "0",
    "0", "VERTEX", "8", "A", "10", "10", "20", "0", "30", "0",
    "0", "VERTEX", "8", "A", "10", "10", "20", "10", "30", "0",
    "0", "VERTEX", "8", "A", "10", "0", "20", "10", "30", "0",
    "0", "SEQEND",
    "0", "LINE", "8", "B", "10", "20", "20", "0", "30", "0", "11", "30", "21", "0", "31", "0",
    "0", "INSERT", "8", "C", "2", "MARK", "10", "15", "20", "15", "30", "0",
    "0", "ENDSEC", "0", "EOF"});

class Scratch {
 public:
  Scratch() {
    // mkdtemp makes a new folder or fails: two tests (or two checkouts) never share one.
    std::string pattern = (std::filesystem::temp_directory_path() / "planview-ui-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("no scratch folder: " + pattern);
    path_ = pattern;
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::filesystem::path Write(const std::string& name, const std::string& text) const {
    std::ofstream(path_ / name, std::ios::binary) << text;
    return path_ / name;
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest() {
    forms::InstallTimerHost(&clock);
    form = std::make_unique<TCAD_Demo_Form>(busy);
    form->Prompts().pauses = false;
    tracking = std::make_unique<TTrackingForm>();
    form->SetTrackingForm(tracking.get());
    form->resize(1000, 700);
    form->show();
  }
  ~MainFormTest() override {
    form.reset();
    tracking.reset();
    forms::InstallTimerHost(nullptr);
  }

  void Load(const std::filesystem::path& file) {
    dialogs.openAnswers.push_back(FileDialogResult{file.string(), 1});
    form->LoadButton->click();
  }

  std::vector<std::string> Items() const {
    std::vector<std::string> items;
    for (int i = 0; i < form->Files_listbox->count(); ++i) items.push_back(form->Files_listbox->item(i)->text().toStdString());
    return items;
  }

  canvas::TPoint Screen(const Point3D& p) const { return form->ZoomBox->Views().WorldToScreen(p, nullptr); }

  void Mouse(QEvent::Type type, canvas::TPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             Qt::MouseButton button = Qt::NoButton) {
    QWidget* target = &form->ZoomBox->PaintBox();
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, QPointF(at.x, at.y), target->mapToGlobal(QPointF(at.x, at.y)), button, buttons,
                      modifiers);
    QCoreApplication::sendEvent(target, &event);
  }

  // A mouse move over the drawing and the tracking step 100 ms later.
  void TrackAt(const Point3D& world) {
    Mouse(QEvent::MouseMove, Screen(world));
    EXPECT_TRUE(form->Track_timer.Enabled());
    clock.Advance(100);
  }

  void StartTracking() {
    form->Track_mouse->click();
    ASSERT_TRUE(form->Track_mouse->isChecked());
  }

  std::map<std::string, size_t> SelectedCounts() const {
    std::map<std::string, size_t> counts;
    for (const Entity_List* list : form->Selection().lists) counts[list->Owner()->Name() + "/" + list->Name()] += list->Count();
    return counts;
  }

  pv::timer::ManualTimerHost clock;
  ScriptedDialogs dialogs;
  TThinking_box busy;
  std::unique_ptr<TCAD_Demo_Form> form;
  std::unique_ptr<TTrackingForm> tracking;
  Scratch scratch;
};

}  // namespace pv::viewer::test

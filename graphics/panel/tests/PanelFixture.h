#pragma once
// A panel on a null window of 400 x 300 pixels, with helpers that make plain controls and
// check a command's undo step by the document's text.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/Schemes.h"
#include "panel/PanelHistory.h"
#include "panel/VexaPanel.h"
#include "panel/tests/SavedText.h"
#include "panelwindow/NullPanelWindow.h"

namespace pv::graphics::test {

struct PanelFixture {
  explicit PanelFixture(bool editing = true) : panel(window, editing) {}

  TVexaControl* Scheme() const { return panel.Schemes().GetChild(0); }
  TVexaControl* Box(TVexaControl* parent, const TRect& r, const std::string& name = {}) {
    TVexaControl* c = TVexaControl::New<TVexaControl>(&panel, parent, panel.GetActiveLayer());
    c->SetVisible(true);
    c->SetDocRect(r);
    if (!name.empty()) c->SetName(name);
    return c;
  }

  // A visible control of class T in the first scheme on the active layer.
  template <typename T>
  T* Shape(const TRect& r, const std::string& name) {
    T* c = TVexaControl::New<T>(&panel, Scheme(), panel.GetActiveLayer());
    c->SetVisible(true);
    c->SetDocRect(r);
    c->SetName(name);
    return c;
  }
  void SelectOnly(const std::vector<TVexaControl*>& controls) {
    panel.UnselectAll();
    for (TVexaControl* c : controls) ASSERT_TRUE(panel.Select(c));
  }

  // The history holds one step since it was cleared, whose undo gives back the document text
  // `before` and whose redo the text now, twice over; the step is left redone.
  void ExpectOneStepUndoesAndRedoes(const std::string& before, const std::string& caption = {}) {
    TVexaPanelHistory& history = panel.PanelHistory();
    const std::string after = SaveText();
    ASSERT_NE(before, after);
    ASSERT_EQ(1, history.Count()) << "one step";
    if (!caption.empty()) {
      EXPECT_EQ(caption, history.GetAction(0)->Caption);
    }
    for (int round = 0; round < 2; ++round) {
      ASSERT_TRUE(history.Undo());
      EXPECT_EQ(before, SaveText());
      ASSERT_TRUE(history.Redo());
      EXPECT_EQ(after, SaveText());
    }
  }

  std::string SaveText() { return SavedText(panel); }
  void LoadText(const std::string& text, TLoadMode mode = TLoadMode::Document) {
    TMemoryStream stream(text);
    std::unique_ptr<TVexaFiler> filer = panel.CreateFiler(stream, TVexaFilerProcess::ppLoad);
    panel.LoadDocumentFromFiler(*filer, mode);
  }

  panelwindow::TNullPanelWindow window{400, 300};
  TVexaPanel panel;
};

}  // namespace pv::graphics::test

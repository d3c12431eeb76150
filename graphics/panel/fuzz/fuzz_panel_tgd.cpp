// tgd text from arbitrary bytes loaded into a panel on the null window, as a document and as
// clipboard data. A load that fails leaves a new document behind; one that succeeds leaves
// every control with its own positive ID, found again by it, a sane scroll model whatever
// size the file gave the document, and a text that reads back to the same text. The window
// paints what the panel invalidated after each step, as a real one would, and once scrolled
// to the document's far corner.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <set>
#include <string>

#include "document/Grid.h"
#include "document/Schemes.h"
#include "panel/PanelHistory.h"
#include "panel/VexaGraphics.h"
#include "panel/VexaPanel.h"
#include "panel/fuzz/FuzzCheck.h"
#include "panel/tests/SavedText.h"
#include "canvas/RecordingCanvas.h"
#include "panelwindow/NullPanelWindow.h"

namespace {

using pv::graphics::TLoadMode;
using pv::graphics::TMemoryStream;
using pv::graphics::TVexaControl;
using pv::graphics::TVexaFiler;
using pv::graphics::TVexaFilerProcess;
using pv::graphics::TVexaPanel;
using pv::graphics::fuzz::Check;
using pv::graphics::test::SavedText;

void Load(TVexaPanel& panel, const std::string& text, TLoadMode mode) {
  TMemoryStream stream(text);
  std::unique_ptr<TVexaFiler> filer = panel.CreateFiler(stream, TVexaFilerProcess::ppLoad);
  panel.LoadDocumentFromFiler(*filer, mode);
}

void CheckIds(TVexaPanel& panel) {
  std::set<int32_t> ids;
  panel.ForEachControl([&](TVexaControl& c) {
    // The roots and the grid are the panel's own, outside the document's IDs.
    if (!c.GetParent() && (&c == &panel.Schemes() || &c == &panel.Layers() || &c == &panel.Grid())) return;
    Check(c.GetId() > 0, "a control without an ID");
    Check(ids.insert(c.GetId()).second, "two controls share an ID");
    Check(panel.FindControlByID(c.GetId()) == &c, "a control not found by its ID");
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Every class the text may name, as a program registers them at start-up.
  static const bool registered = (pv::graphics::RegisterVexaGraphics(), true);
  static_cast<void>(registered);
  // Off-screen canvases (pictures, transparency) paint into nothing but run their code.
  static pv::canvas::RecordingBitmapCanvasFactory bitmaps;
  bitmaps.keepLogs = false;
  pv::canvas::SetBitmapCanvasFactory(&bitmaps);
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (TLoadMode mode : {TLoadMode::Document, TLoadMode::Clipboard}) {
    pv::panelwindow::TNullPanelWindow window(300, 200);
    TVexaPanel panel(window, true);
    panel.PanelHistory().SetActive(true);
    panel.SetAutoZoom(true);
    bool failed = false;
    try {
      Load(panel, text, mode);
    } catch (const std::exception&) {
      failed = true;
    }
    Check(!panel.IsLoading(), "the loading counter did not come back to 0");
    Check(panel.SelectionUpdateDepth() == 0, "a selection update was left open");
    if (failed && mode == TLoadMode::Document) {
      Check(panel.Schemes().GetCount() == 1 && panel.Schemes().GetChild(0)->GetCount() == 0,
            "a failed load left a part of the document");
    }
    window.PaintPending();
    CheckIds(panel);
    Check(panel.GetScale() >= TVexaPanel::kMinScale && panel.GetScale() <= TVexaPanel::kMaxScale, "scale");
    window.Resize(1000, 700);
    for (auto bar : {pv::panelwindow::TScrollBarKind::Horizontal, pv::panelwindow::TScrollBarKind::Vertical}) {
      Check(window.ScrollRange(bar) >= 0, "a negative scroll range");
    }
    window.PaintPending();
    for (auto bar : {pv::panelwindow::TScrollBarKind::Horizontal, pv::panelwindow::TScrollBarKind::Vertical}) {
      window.ScrollTo(bar, window.ScrollRange(bar));
    }
    window.InvalidateAll();
    window.PaintPending();
    // What a paste recorded undoes and redoes.
    while (panel.PanelHistory().Undo()) {
    }
    while (panel.PanelHistory().Redo()) {
    }
    window.PaintPending();
    CheckIds(panel);
    const std::string first = SavedText(panel);
    pv::panelwindow::TNullPanelWindow otherWindow;
    TVexaPanel again(otherWindow, false);
    Load(again, first, TLoadMode::Document);
    // The first line is the framing's (a document name with control characters does not
    // survive it); everything the controls wrote must.
    const auto body = [](const std::string& t) { return t.substr(std::min(t.find('\n'), t.size())); };
    if (const std::string second = SavedText(again); body(second) != body(first)) {
      std::fprintf(stderr, "first:\n");
      std::fwrite(first.data(), 1, first.size(), stderr);
      std::fprintf(stderr, "\nsecond:\n");
      std::fwrite(second.data(), 1, second.size(), stderr);
      std::abort();
    }
  }
  return 0;
}

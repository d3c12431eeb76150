// Arbitrary bytes on the in-memory clipboard under one of the types a panel pastes (the first
// byte picks it): a paste either fails with the document's bytes unchanged, or succeeds as one
// undo step that gives the bytes from before back. The window paints what the panel
// invalidated after each step.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

#include "clipboard/MemoryClipboard.h"
#include "panel/PanelHistory.h"
#include "panel/VexaGraphics.h"
#include "panel/VexaPanel.h"
#include "panel/fuzz/FuzzCheck.h"
#include "panel/tests/SavedText.h"
#include "canvas/RecordingCanvas.h"
#include "panelwindow/NullPanelWindow.h"

namespace {

using pv::graphics::TVexaPanel;
using pv::graphics::fuzz::Check;
using pv::graphics::test::SavedText;

// Both texts on stderr before giving up, so that a finding shows what differs.
void CheckSame(const std::string& expected, const std::string& actual, const char* what) {
  if (expected == actual) return;
  std::fprintf(stderr, "expected:\n%s\nactual:\n%s\n", expected.c_str(), actual.c_str());
  Check(false, what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = (pv::graphics::RegisterVexaGraphics(), true);
  static_cast<void>(registered);
  static pv::canvas::RecordingBitmapCanvasFactory bitmaps;
  bitmaps.keepLogs = false;
  pv::canvas::SetBitmapCanvasFactory(&bitmaps);
  if (size == 0) return 0;
  const std::string mimes[] = {pv::graphics::VexaControlsMime(), pv::clipboard::kPngMime, pv::clipboard::kBmpMime,
                               pv::clipboard::kJpegMime, pv::clipboard::kTextUtf8Mime};
  pv::clipboard::TMemoryClipboard clip;
  clip.SetItems({{mimes[data[0] % 5], std::vector<uint8_t>(data + 1, data + size)}});
  pv::panelwindow::TNullPanelWindow window(300, 200);
  TVexaPanel panel(window, true);
  panel.SetClipboard(&clip);
  panel.PanelHistory().SetActive(true);
  const std::string before = SavedText(panel);
  bool pasted = false;
  try {
    pasted = panel.PasteFromClipboard();
  } catch (const std::exception&) {
    CheckSame(before, SavedText(panel), "a failed paste changed the document");
    Check(panel.PanelHistory().Count() == 0, "a failed paste left a step");
  }
  window.PaintPending();
  Check(clip.openDepth == 0, "the clipboard was left open");
  Check(panel.SelectionUpdateDepth() == 0, "a selection update was left open");
  if (pasted) {
    Check(panel.PanelHistory().Count() == 1, "a paste is one step");
    const std::string after = SavedText(panel);
    Check(panel.PanelHistory().Undo(), "the paste does not undo");
    window.PaintPending();
    CheckSame(before, SavedText(panel), "undo of a paste");
    Check(panel.PanelHistory().Redo(), "the paste does not redo");
    window.PaintPending();
    CheckSame(after, SavedText(panel), "redo of a paste");
  }
  return 0;
}

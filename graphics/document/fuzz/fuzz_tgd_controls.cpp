// Documents of real controls read from arbitrary bytes, as a document and as clipboard text.
// Whatever loads must paint, lose its first layer and scheme with every reference to them,
// and write back a text that reads again to the same text.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "canvas/RecordingCanvas.h"
#include "document/testing/TestVexaPanel.h"

using pv::graphics::TLoadMode;
using pv::graphics::TVexaControl;
using pv::graphics::test::TTestVexaPanel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (TLoadMode mode : {TLoadMode::Document, TLoadMode::Clipboard}) {
    TTestVexaPanel panel;
    panel.NewDocument();
    try {
      panel.LoadText(text, mode);
    } catch (const std::exception&) {
      if (panel.Loading() != 0) std::abort();
      continue;
    }
    if (panel.Loading() != 0) std::abort();
    pv::canvas::RecordingCanvas canvas({64, 64});
    panel.paintRect = {0, 0, 64, 64};
    for (int i = 0; i < panel.Schemes().GetCount(); ++i) panel.Schemes().GetChild(i)->PaintAll(canvas, 0, 0);
    const std::string first = panel.SaveText();
    TTestVexaPanel again;
    again.LoadText(first, TLoadMode::Document);
    // The first line is the framing's (a document name with control characters does not
    // survive it); everything the controls wrote must.
    const auto body = [](const std::string& t) { return t.substr(std::min(t.find('\n'), t.size())); };
    if (const std::string second = again.SaveText(); body(second) != body(first)) {
      std::fprintf(stderr, "first:\n");
      std::fwrite(first.data(), 1, first.size(), stderr);
      std::fprintf(stderr, "\nsecond:\n");
      std::fwrite(second.data(), 1, second.size(), stderr);
      std::abort();
    }
    if (again.Layers().GetCount() > 0) again.Layers().GetChild(0)->Free();
    if (again.Schemes().GetCount() > 0) again.Schemes().GetChild(0)->Free();
    again.SaveText();
  }
  return 0;
}

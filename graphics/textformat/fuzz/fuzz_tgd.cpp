// The document reader on arbitrary bytes, as a document and as clipboard text. Whatever it
// accepts must write back, read again and write the same text.

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>

#include "textformat/testing/TestPanel.h"

using pv::graphics::TLoadMode;
using pv::graphics::test::TTestPanel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (TLoadMode mode : {TLoadMode::Document, TLoadMode::Clipboard}) {
    TTestPanel panel;
    panel.NewDocument();
    try {
      panel.LoadText(text, mode);
    } catch (const std::exception&) {
      if (panel.Loading() != 0) std::abort();
      continue;
    }
    if (panel.Loading() != 0) std::abort();
    const std::string first = panel.SaveText();
    TTestPanel again;
    again.LoadText(first, TLoadMode::Document);
    if (again.SaveText() != first) std::abort();
  }
  return 0;
}

#pragma once
// A panel's document as the text a save writes, for tests and fuzzers that compare documents.

#include <memory>
#include <string>

#include "base/ByteStream.h"
#include "base/VexaFiler.h"
#include "panel/VexaPanel.h"

namespace pv::graphics::test {

inline std::string SavedText(TVexaPanel& panel) {
  TMemoryStream stream;
  std::unique_ptr<TVexaFiler> filer = panel.CreateFiler(stream, TVexaFilerProcess::ppSave);
  panel.SaveDocumentToFiler(*filer);
  filer->Flush();
  return stream.Text();
}

}  // namespace pv::graphics::test

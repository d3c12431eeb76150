#pragma once
// The document and clipboard framing of the text format.

#include "base/VexaFiler.h"
#include "textformat/DocModel.h"
#include "textformat/ObjectText.h"

namespace pv::graphics {

enum class TLoadMode { Document = 0, Clipboard = 1 };

// "document Name", the document properties, the layers, the schemes (or only the given one),
// "end". Progress: the filer's total is the number of object blocks. A write that does not
// reach the stream (a full disk) raises EStreamError.
void SaveDocumentToFiler(TVexaFiler& filer, IDocPanel& panel, IDocControl* onlyScheme = nullptr);
// "clipboard", the selected controls of the first selected control's scheme in paint order
// (layer by layer), "end"; false (nothing written) when nothing is selected.
bool SaveClipboardToFiler(TVexaFiler& filer, IDocPanel& panel);
// Reads a document (replacing the present one; a failed load leaves a new, empty document)
// or clipboard text (pasted into the active scheme). EDataFormatError for a first line that
// is neither, and for data that ends before its closing "end".
void LoadDocumentFromFiler(TVexaFiler& filer, IDocPanel& panel, TLoadMode mode);

}  // namespace pv::graphics

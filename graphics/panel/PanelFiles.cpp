// The document in the text format: filers with the panel's progress, saving and loading
// through them, files saved safely, and copying a whole document between panels.

#include <optional>

#include "actions/CreateDestroyGroups.h"
#include "actions/PanelGroups.h"
#include "base/ByteStream.h"
#include "document/Clone.h"
#include "document/Schemes.h"
#include "panel/PanelHistory.h"
#include "panel/ReplacingFileStream.h"
#include "panel/VexaPanel.h"

namespace pv::graphics {

std::unique_ptr<TVexaFiler> TVexaPanel::CreateFiler(TByteStream& stream, TVexaFilerProcess kind) {
  auto filer = std::make_unique<TVexaFiler>(stream);
  progressKind_ = kind;
  filer->OnProgress = [this](TVexaFiler&, int percent, TVexaFilerProcess process) {
    if (!OnProgress) return;
    if (progressKind_ == TVexaFilerProcess::ppCopy) {
      // A copy is a save then a load: one run from 0 to 100.
      if (process == TVexaFilerProcess::ppSave) OnProgress(*this, percent / 2, TVexaFilerProcess::ppCopy);
      if (process == TVexaFilerProcess::ppLoad) OnProgress(*this, percent / 2 + 50, TVexaFilerProcess::ppCopy);
      return;
    }
    if (process == progressKind_) OnProgress(*this, percent, process);
  };
  return filer;
}

bool TVexaPanel::SaveDocumentToFiler(TVexaFiler& filer, bool selectionOnly, bool oneScope, TVexaControl* scope) {
  if (selectionOnly) return SaveClipboardToFiler(filer, *this);
  if (!scope) oneScope = true;
  graphics::SaveDocumentToFiler(filer, *this, oneScope ? nullptr : scope);
  if (!scope || scope == schemes_) modified_ = false;
  return true;
}

namespace {

// The loaded controls: parent's children from the first one on; none without a parent.
void RequireBoundedClonesLoaded(TVexaControl* parent, int first) {
  if (!parent) return;
  std::vector<TVexaControl*> loaded;
  for (int i = first; i < parent->GetCount(); ++i) loaded.push_back(parent->GetChild(i));
  RequireBoundedClones(loaded);
}

}  // namespace

bool TVexaPanel::LoadDocumentFromFiler(TVexaFiler& filer, TLoadMode mode) {
  // Progress of a load runs over the bytes left to read.
  const int64_t size = filer.Stream().Size();
  const int64_t position = filer.Stream().Position();
  if (size > 0 && position >= 0) filer.SetTotal(size - position);
  // Whatever the load brings (or takes away again when it fails) is repainted as a whole.
  struct TInvalidationHeld {
    TVexaPanel& panel;
    explicit TInvalidationHeld(TVexaPanel& p) : panel(p) { ++panel.invalidationHeld_; }
    ~TInvalidationHeld() {
      --panel.invalidationHeld_;
      panel.Repaint();
    }
  } held(*this);
  BeginSelectionUpdate(false);
  // A paste is one undo step, and a paste that fails takes back what it had pasted.
  const bool paste = mode == TLoadMode::Clipboard;
  const bool recordPaste = paste && !history_->RecordingDisabled();
  // Pasted controls are appended to the active scheme's children.
  TVexaControl* target = activeScheme_;
  const int kept = target ? target->GetCount() : 0;
  try {
    // The paste's creations are recorded once the load is over: controls read without an ID
    // get theirs only when loading ends, and a creation recorded under ID 0 would not undo.
    std::optional<TRecordingOff> off;
    if (paste) off.emplace(*history_);
    graphics::LoadDocumentFromFiler(filer, *this, mode);
    try {
      RequireBoundedClonesLoaded(paste ? target : schemes_, paste ? kept : 0);
    } catch (...) {
      // Refused once read: a document goes as a document that did not read goes.
      if (!paste) NewDocument();
      throw;
    }
  } catch (...) {
    if (paste && target) {
      TRecordingOff off(*history_);
      while (target->GetCount() > kept) target->GetChild(target->GetCount() - 1)->Free();
    }
    // What the failed text set before its error goes with it.
    if (!paste) RenewDocument();
    EndSelectionUpdate(false);
    if (!paste) modified_ = false;
    throw;
  }
  if (recordPaste && target && target->GetCount() > kept) {
    THistoryRecording step(*history_, TPanelCreateControlsHistoryGroup::ClassInfo, this);
    for (int i = kept; i < target->GetCount(); ++i) {
      THistoryRecording created(*history_, TControlCreateHistoryGroup::ClassInfo, target->GetChild(i));
      created.End();
    }
    step.End();
  }
  EndSelectionUpdate(false);
  if (mode == TLoadMode::Document) modified_ = false;
  UpdateScrollRange();
  return true;
}

bool TVexaPanel::SaveDocumentToFile(const std::string& fileName) {
  const bool wasModified = modified_;
  try {
    TReplacingFileStream stream(fileName);
    std::unique_ptr<TVexaFiler> filer = CreateFiler(stream, TVexaFilerProcess::ppSave);
    try {
      SaveDocumentToFiler(*filer);
      stream.Commit();
    } catch (const EStreamError&) {
      // The stream's own reason says more than the filer's "write error".
      if (!stream.Reason().empty()) throw EStreamError(stream.Reason());
      throw;
    }
  } catch (const std::exception& e) {
    modified_ = wasModified;
    throw EStreamError("Cannot save " + fileName + ": " + e.what());
  }
  return true;
}

void TVexaPanel::LoadDocumentFromFile(const std::string& fileName) {
  TFileStream stream(fileName, "rb");
  std::unique_ptr<TVexaFiler> filer = CreateFiler(stream, TVexaFilerProcess::ppLoad);
  LoadDocumentFromFiler(*filer, TLoadMode::Document);
}

void TVexaPanel::Assign(TVexaPanel& source) {
  TMemoryStream stream;
  std::unique_ptr<TVexaFiler> filer = CreateFiler(stream, TVexaFilerProcess::ppCopy);
  // A copy is no save: the source stays as modified as it was.
  const bool sourceModified = source.Modified();
  source.SaveDocumentToFiler(*filer);
  source.SetModified(sourceModified);
  filer->Flush();
  // A filer of its own for the load: the saving one remembers its last percentage and would
  // swallow the load's first reports.
  stream.Seek(0);
  std::unique_ptr<TVexaFiler> reader = CreateFiler(stream, TVexaFilerProcess::ppCopy);
  LoadDocumentFromFiler(*reader, TLoadMode::Document);
}

}  // namespace pv::graphics

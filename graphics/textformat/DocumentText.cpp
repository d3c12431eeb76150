#include "textformat/DocumentText.h"

#include <algorithm>
#include <string>

#include "base/TextHelpers.h"
#include "history/History.h"
#include "props/PropList.h"
#include "props/PropRefList.h"
#include "textformat/ObjectText.h"

namespace pv::graphics {

void SaveDocumentToFiler(TVexaFiler& filer, IDocPanel& panel, IDocControl* onlyScheme) {
  IDocControl& root = *panel.SchemesRoot();
  IDocControl& layers = *panel.LayersRoot();
  int total = 0;
  for (int i = 0; i < layers.ChildCount(); ++i) total += CountObjects(*layers.Child(i));
  if (onlyScheme) {
    total += CountObjects(*onlyScheme);
  } else {
    for (int i = 0; i < root.ChildCount(); ++i) total += CountObjects(*root.Child(i));
  }
  filer.SetTotal(total);
  filer.SetSaved(0);
  filer.SaveLine("document " + NameText(root.GetName()));
  root.Props().SaveToFiler(filer, "  ");
  for (int i = 0; i < layers.ChildCount(); ++i) SaveObject(filer, *layers.Child(i), "  ");
  if (onlyScheme) {
    SaveObject(filer, *onlyScheme, "  ");
  } else {
    for (int i = 0; i < root.ChildCount(); ++i) SaveObject(filer, *root.Child(i), "  ");
  }
  filer.SaveLine("end");
  filer.Flush();
}

namespace {

IDocControl* SchemeOf(IDocPanel& panel, IDocControl* control) {
  while (control && !panel.IsScheme(*control)) control = control->Parent();
  return control;
}

}  // namespace

bool SaveClipboardToFiler(TVexaFiler& filer, IDocPanel& panel) {
  const std::vector<IDocControl*> selection = panel.Selection();
  if (selection.empty()) return false;
  IDocControl* scheme = SchemeOf(panel, selection.front());
  if (!scheme) return false;
  const auto selected = [&](IDocControl* c) { return std::find(selection.begin(), selection.end(), c) != selection.end(); };
  filer.SetTotal(0);
  filer.SaveLine("clipboard");
  // Paint order: layer by layer, each in the scheme's child order; controls without a
  // layer last.
  std::vector<IDocControl*> written;
  IDocControl& layers = *panel.LayersRoot();
  for (int l = 0; l <= layers.ChildCount(); ++l) {
    IDocControl* layer = l < layers.ChildCount() ? layers.Child(l) : nullptr;
    for (int i = 0; i < scheme->ChildCount(); ++i) {
      IDocControl* c = scheme->Child(i);
      if (!selected(c) || std::find(written.begin(), written.end(), c) != written.end()) continue;
      if (layer && c->Layer() != layer) continue;
      SaveObject(filer, *c, "  ");
      written.push_back(c);
    }
  }
  filer.SaveLine("end");
  filer.Flush();
  return true;
}

void LoadDocumentFromFiler(TVexaFiler& filer, IDocPanel& panel, TLoadMode mode) {
  const bool document = mode == TLoadMode::Document;
  THistory& history = panel.History();
  if (document) {
    history.DisableRecording();
  }
  struct RecordingBack {
    THistory& history;
    bool on;
    ~RecordingBack() {
      if (on) history.EnableRecording();
    }
  } recordingBack{history, document};

  try {
    IDocControl* parent = nullptr;
    if (document) {
      panel.ClearDocument();
    } else {
      parent = panel.ActiveScheme();
      panel.UnselectAll();
    }
    TLoadingScope loading(panel);
    std::string line;
    const bool read = filer.ReadLine(line);
    const bool framed = !line.empty() && (StartsWithKeyword(line, "document") ||
                                          (!document && StartsWithKeyword(line, "clipboard")));
    if (!read || !framed) throw EDataFormatError();
    IDocControl& root = *panel.SchemesRoot();
    const size_t blank = line.find(' ');
    // The name after "clipboard" is another document's: a paste keeps this one's.
    if (document && blank != std::string::npos) root.SetName(ReadNameText(TrimBlanks(std::string_view(line).substr(blank + 1))));
    // Data that ends before the framing's "end" was cut short: loading it as it is would
    // pass for the whole document, and its next save would lose the rest.
    bool ended = false;
    for (;;) {
      const bool lineEnded = filer.ReadLine(line);
      if (!lineEnded && line.empty()) break;
      if (IsBlockEnd(line)) {
        ended = true;
        break;
      }
      if (StartsWithKeyword(line, "object")) {
        LoadControl(filer, panel, parent, false, line, !document);
        continue;
      }
      // A paste adds controls: it leaves the document's own properties (its ID, its size)
      // alone, and a step that undoes the paste has nothing else to give back.
      if (!document) {
        filer.CheckSkipBlock(line);
        continue;
      }
      if (!StartsWithKeyword(line, "property") && filer.CheckSkipBlock(line)) continue;
      TPropList& props = root.Props();
      TPropRefList* previous = props.RefList();
      props.SetRefList(&panel.RefList());
      try {
        props.LoadProp(filer, line);
      } catch (...) {
        props.SetRefList(previous);
        throw;
      }
      props.SetRefList(previous);
    }
    if (!ended) throw EDataFormatError();
    loading.Finish();
  } catch (...) {
    if (document) panel.NewDocument();
    throw;
  }
}

}  // namespace pv::graphics

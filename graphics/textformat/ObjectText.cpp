#include "textformat/ObjectText.h"

#include <memory>
#include <string>

#include "base/TextHelpers.h"
#include "history/History.h"
#include "props/PropList.h"
#include "props/PropRefList.h"
#include "props/TextFormat.h"

namespace pv::graphics {

int IDocControl::IndexInParent() const {
  const IDocControl* parent = Parent();
  if (!parent) return -1;
  for (int i = 0; i < parent->ChildCount(); ++i) {
    if (parent->Child(i) == this) return i;
  }
  return -1;
}

IDocControl* IDocPanel::RegroupControls(std::string_view groupClass, IDocControl&, IDocControl*,
                                        const std::vector<IDocControl*>& members, const TRect&) {
  UnselectAll();
  for (IDocControl* member : members) Select(*member);
  return GroupSelection(groupClass);
}

std::string NameText(std::string_view name) {
  bool coded = !name.empty() && (name.front() == ' ' || name.back() == ' ' || name.front() == '\'');
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 32) coded = true;
  }
  // Every character that triggers the coding is one that QuoteValue quotes too.
  return coded ? QuoteValue(name) : std::string(name);
}

std::string ReadNameText(std::string_view text) {
  if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') return UnquoteValue(text);
  return std::string(text);
}

void SaveObject(TVexaFiler& filer, IDocControl& control, std::string_view indent) {
  std::string head(indent);
  head.append("object ").append(NameText(control.GetName())).append(": ").append(control.ClassName());
  filer.SaveLine(head);
  const std::string inner = std::string(indent) + "  ";
  control.Props().SaveToFiler(filer, inner);
  for (int i = 0; i < control.ChildCount(); ++i) SaveObject(filer, *control.Child(i), inner);
  filer.SaveLine(std::string(indent) + "end");
  filer.SetSaved(filer.Saved() + 1);
}

int CountObjects(const IDocControl& control) {
  int count = 1;
  for (int i = 0; i < control.ChildCount(); ++i) count += CountObjects(*control.Child(i));
  return count;
}

TLoadingScope::TLoadingScope(IDocPanel& panel) : panel_(panel), depth_(panel.BeginLoading()) {}

TLoadingScope::~TLoadingScope() {
  if (finished_) return;
  if (panel_.EndLoading() == 0) panel_.RefList().Clear();
}

void TLoadingScope::Finish() {
  if (finished_) return;
  finished_ = true;
  if (panel_.EndLoading() == 0) panel_.RefList().Apply();
}

namespace {

// The panel's reference list is attached to the control's properties while they are read.
class TRefListAttached {
 public:
  TRefListAttached(TPropList& list, TPropRefList& refs) : list_(list), previous_(list.RefList()) {
    list_.SetRefList(&refs);
  }
  ~TRefListAttached() { list_.SetRefList(previous_); }
  TRefListAttached(const TRefListAttached&) = delete;
  TRefListAttached& operator=(const TRefListAttached&) = delete;

 private:
  TPropList& list_;
  TPropRefList* previous_;
};

struct FreeOnFailure {
  IDocPanel& panel;
  IDocControl* control;
  ~FreeOnFailure() {
    if (control) panel.FreeControl(control);
  }
};

bool IsPlaced(IDocPanel& panel, IDocControl& control, IDocControl* parent, bool keepParentless) {
  if (panel.IsLayer(control)) {
    if (!parent) {
      control.SetParent(panel.LayersRoot());
      return true;
    }
    return parent == panel.LayersRoot();
  }
  if (panel.IsScheme(control)) {
    if (!parent) {
      control.SetParent(panel.SchemesRoot());
      return true;
    }
    return parent == panel.SchemesRoot();
  }
  return parent || keepParentless;
}

void ReadBody(TVexaFiler& filer, IDocPanel& panel, IDocControl& control, bool clipboard) {
  TPropList& props = control.Props();
  std::string line;
  while (filer.ReadLine(line)) {
    if (IsBlockEnd(line)) break;
    if (StartsWithKeyword(line, "object")) {
      LoadControl(filer, panel, &control, false, line, clipboard);
      continue;
    }
    if (!StartsWithKeyword(line, "property") && filer.CheckSkipBlock(line)) continue;
    TRefListAttached attached(props, panel.RefList());
    props.LoadProp(filer, line);
  }
  control.Loaded();
}

}  // namespace

IDocControl* LoadControl(TVexaFiler& filer, IDocPanel& panel, IDocControl* parent, bool keepParentless,
                         std::string_view line, bool clipboard) {
  if (!panel.HasControlClasses()) return nullptr;
  IDocControl* control = nullptr;
  {
    TRecordingOff recordingOff(panel.History());
    TLoadingScope loading(panel);
    if (loading.Depth() > kMaxObjectDepth) throw EDataFormatError();
    const size_t colon = line.rfind(':');
    if (colon == std::string_view::npos || colon < 1) {
      filer.SkipBlock();
      loading.Finish();
      return nullptr;
    }
    const std::string_view className = TrimBlanks(line.substr(colon + 1));
    const std::string_view name = colon > 6 ? TrimBlanks(line.substr(6, colon - 6)) : std::string_view();
    control = panel.CreateControl(className, parent);
    if (!control) {
      filer.SkipBlock();
      loading.Finish();
      return nullptr;
    }
    FreeOnFailure guard{panel, control};
    control->SetName(ReadNameText(name));
    if (!IsPlaced(panel, *control, parent, keepParentless)) {
      filer.SkipBlock();
      loading.Finish();
      return nullptr;  // the guard frees the misplaced control
    }
    ReadBody(filer, panel, *control, clipboard);
    if (clipboard) {
      if (!control->Layer()) {
        TCustomProp* layer = control->Props().PropByName("Layer");
        if (!layer || !layer->HasFlag(pfNotStored)) control->SetLayer(panel.ActiveLayer());
      }
      if (control->Parent() && panel.IsScheme(*control->Parent())) panel.Select(*control);
    }
    loading.Finish();
    guard.control = nullptr;
  }
  panel.ControlCreatedByLoad(*control);
  return control;
}

}  // namespace pv::graphics

// The random edit sequences: what each edit does through the panel's and the controls' own
// operations, the checks after every step, the generator and the shrinker.

#include "panel/tests/EditSequence.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>
#include <sstream>
#include <string_view>

#include "clipboard/MemoryClipboard.h"
#include "connectors/VexaConnector.h"
#include "controls/LinkProps.h"
#include "document/Clone.h"
#include "document/Group.h"
#include "document/Schemes.h"
#include "document/ServiceControls.h"
#include "panel/PanelHistory.h"
#include "panel/VexaGraphics.h"
#include "panel/VexaPanel.h"
#include "panel/tests/SavedText.h"
#include "panelwindow/NullPanelWindow.h"
#include "paths/PathTypes.h"
#include "props/Prop.h"
#include "props/PropList.h"
#include "shapes/VexaBox.h"
#include "shapes/VexaCurve.h"
#include "shapes/VexaEllipse.h"
#include "shapes/VexaPicture.h"
#include "shapes/VexaText.h"

namespace pv::graphics::test {
namespace {

constexpr const char* kKindNames[] = {
    "AddControl", "AddLayer",         "AddScheme",       "Select",          "SelectAlso",  "SelectAll",
    "MoveSelection", "ResizeSelection", "RotateSelection", "DeleteSelection", "GroupSelection",
    "UngroupSelection", "Link",        "Unlink",          "CloneSource",     "SetProperty", "Rename",
    "Bracket",       "Reparent",        "MoveToLayer",     "SetPoints",       "CutPaste",    "ActiveLayer"};
static_assert(std::size(kKindNames) == static_cast<size_t>(TEditKind::Count));

// splitmix64: the same numbers from a seed on every compiler and library.
struct TRandom {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int32_t Below(int32_t n) { return static_cast<int32_t>(Next() % static_cast<uint64_t>(n)); }
  int32_t Between(int32_t lo, int32_t hi) { return lo + Below(hi - lo + 1); }
};

const TVexaControlClass* const kClasses[] = {&TVexaBox::ClassInfo,     &TVexaEllipse::ClassInfo,
                                             &TVexaArc::ClassInfo,     &TVexaPicture::ClassInfo,
                                             &TVexaCurve::ClassInfo,   &TVexaText::ClassInfo,
                                             &TVexaConnector::ClassInfo, &TVexaClone::ClassInfo};
constexpr int32_t kClassCount = static_cast<int32_t>(std::size(kClasses));

// Values a property is set to; the last ones sit at the edges of the 32-bit range.
constexpr int32_t kValues[] = {0, 1, 500, 3000, 10000, 25000, -7000, 123456, 2147483647, -2147483647 - 1};
constexpr int32_t kValueCount = static_cast<int32_t>(std::size(kValues));

constexpr const char* kProperties[] = {"Left",       "Top",      "Width",     "Height",    "Tag",
                                       "Visible",    "Transparency", "Selectable", "MinimalGap", "Ortogonal",
                                       "RerouteMode", "AutoSize", "Roundness", "BeginAngle", "EndAngle",
                                       "Angle",      "WordWrap", "Font.Size", "Pen.Width", "Brush.Color"};

constexpr const char* kNames[] = {"a", "b", "renamed", "g", "x1"};

// A coordinate worked out in 64 bits, held in the range a document takes.
int32_t Held(int64_t value) { return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

uint32_t Index(int32_t value, size_t count) { return static_cast<uint32_t>(value) % static_cast<uint32_t>(count); }

struct TRun {
  panelwindow::TNullPanelWindow window{400, 300};
  TVexaPanel panel{window, true};
  clipboard::TMemoryClipboard clipboard;

  TRun() { panel.SetClipboard(&clipboard); }

  // Every control inside the schemes, parents before their children.
  std::vector<TVexaControl*> Controls() const {
    std::vector<TVexaControl*> out;
    const auto walk = [&](auto& self, TVexaControl& parent) -> void {
      for (int i = 0; i < parent.GetCount(); ++i) {
        out.push_back(parent.GetChild(i));
        self(self, *parent.GetChild(i));
      }
    };
    for (int i = 0; i < panel.Schemes().GetCount(); ++i) walk(walk, *panel.Schemes().GetChild(i));
    return out;
  }
  template <typename T>
  std::vector<T*> ControlsOf() const {
    std::vector<T*> out;
    for (TVexaControl* c : Controls()) {
      if (auto* t = dynamic_cast<T*>(c)) out.push_back(t);
    }
    return out;
  }
  TVexaControl* Pick(int32_t value) const {
    const std::vector<TVexaControl*> all = Controls();
    return all.empty() ? nullptr : all[Index(value, all.size())];
  }
  template <typename T>
  T* PickOf(int32_t value) const {
    const std::vector<T*> all = ControlsOf<T>();
    return all.empty() ? nullptr : all[Index(value, all.size())];
  }

  void Apply(const TEdit& e);
  void AddControl(const TEdit& e);
  void SetProperty(TVexaControl& control, int32_t which, int32_t value);
  void Bracket(TVexaControl& control, const TEdit& e);
  void SetPoints(TVexaControl& control, int32_t shape, int32_t bend);
};

void TRun::AddControl(const TEdit& e) {
  const TVexaControlClass& cls = *kClasses[Index(e.a, kClassCount)];
  const int32_t size = 3000 + static_cast<int32_t>(Index(e.d, 8)) * 2000;
  TVexaControl* c = panel.CreateControl(cls, e.b, e.c, size, size * 2 / 3);
  if (auto* curve = dynamic_cast<TVexaCurve*>(c)) SetPoints(*curve, e.d, e.b);
}

void TRun::SetProperty(TVexaControl& control, int32_t which, int32_t value) {
  std::vector<std::string_view> present;
  for (const char* name : kProperties) {
    const std::string_view n(name);
    if (control.Props().PropByName(n.substr(0, n.find('.')))) present.push_back(n);
  }
  if (present.empty()) return;
  const std::string_view name = present[Index(which, present.size())];
  const int32_t v = kValues[Index(value, kValueCount)];
  const size_t dot = name.find('.');
  TCustomProp& prop = *control.Props().PropByName(name.substr(0, dot));
  if (dot != std::string_view::npos) {
    prop.SetPropValue(name.substr(dot + 1), PropValue::Integer(v));
    return;
  }
  std::vector<std::string> names;
  prop.GetEnumList(names);
  if (!names.empty()) {
    prop.SetDisplayValue(names[Index(value, names.size())]);
  } else if (prop.GetDisplayValue() == "True" || prop.GetDisplayValue() == "False") {
    prop.SetDisplayValue(prop.GetDisplayValue() == "True" ? "False" : "True");
  } else {
    prop.SetDisplayValue(std::to_string(v));
  }
}

void TRun::Bracket(TVexaControl& control, const TEdit& e) {
  TControlUpdate update(control);
  control.SetLeft(Held(int64_t{control.GetLeft()} + (e.b % 8) * 1000));
  if (auto* connector = dynamic_cast<TVexaConnector*>(&control)) {
    connector->Props().PropByName("MinimalGap")->SetDisplayValue(std::to_string(500 + Index(e.c, 4) * 500));
  } else {
    control.SetTop(Held(int64_t{control.GetTop()} + (e.c % 8) * 1000));
  }
  if (e.d % 2) control.SetWidth(Held(int64_t{control.GetWidth()} + 2000));
}

void TRun::SetPoints(TVexaControl& control, int32_t shape, int32_t bend) {
  const TRect r = control.GetDocRect();
  const int count = 2 + static_cast<int>(Index(shape, 4));
  // In 64 bits: a control may span nearly all of the coordinate range.
  const int64_t w = std::max<int64_t>(int64_t{r.right} - r.left, 1000);
  const int64_t h = std::max<int64_t>(int64_t{r.bottom} - r.top, 1000);
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  for (int i = 0; i < count; ++i) {
    const int32_t x = Held(r.left + w * i / (count - 1));
    const int32_t y = Held(r.top + ((i + static_cast<int>(Index(bend, 3))) % 2 ? h : 0));
    points.push_back({x, y});
    types.push_back(i + 1 == count ? ptEndNode : ptNode);
  }
  control.SetPointsEx(points, types);
}

void TRun::Apply(const TEdit& e) {
  switch (e.kind) {
    case TEditKind::AddControl:
      AddControl(e);
      return;
    case TEditKind::AddLayer: {
      TVexaLayer* layer = panel.Layers().NewLayer();
      if (e.a % 2) panel.SetActiveLayer(layer);
      return;
    }
    case TEditKind::AddScheme: {
      auto* scheme = TVexaControl::New<TVexaScheme>(&panel, &panel.Schemes());
      if (e.a % 2) panel.SetActiveScheme(scheme);
      return;
    }
    case TEditKind::Select:
      panel.UnselectAll();
      [[fallthrough]];
    case TEditKind::SelectAlso:
      if (TVexaControl* c = Pick(e.a)) panel.SelectOne(c);
      return;
    case TEditKind::SelectAll:
      if (TVexaControl* scheme = panel.GetActiveScheme()) {
        for (int i = 0; i < scheme->GetCount(); ++i) panel.SelectOne(scheme->GetChild(i));
      }
      return;
    case TEditKind::MoveSelection:
      panel.MoveSelection(e.a, e.b);
      return;
    case TEditKind::ResizeSelection:
      if (panel.SelectedCount() == 0) return;
      panel.ResizeSelection(e.b, e.c, true, 1 + static_cast<int>(Index(e.a, 8)), false, e.d % 2 != 0);
      return;
    case TEditKind::RotateSelection: {
      if (panel.SelectedCount() == 0) return;
      const TRect r = panel.SelectionDocRect();
      TRotateRec rec;
      // In 64 bits: the selection may span more than half of the coordinate range.
      rec.x = Held(int64_t{r.left} + (int64_t{r.right} - r.left) / 2);
      rec.y = Held(int64_t{r.top} + (int64_t{r.bottom} - r.top) / 2);
      rec.angle = 90 * static_cast<int32_t>(Index(e.a, 4));
      rec.mirror = e.b % 2 != 0;
      panel.RotateSelection(rec);
      return;
    }
    case TEditKind::DeleteSelection:
      panel.DeleteSelected();
      return;
    case TEditKind::GroupSelection:
      panel.GroupSelection("TVexaGroup");
      return;
    case TEditKind::UngroupSelection:
      panel.UngroupSelection();
      return;
    case TEditKind::Link: {
      auto* connector = PickOf<TVexaConnector>(e.a);
      std::vector<TVexaControl*> targets;
      for (TVexaControl* c : Controls()) {
        if (!c->IsConnector()) targets.push_back(c);
      }
      if (!connector || targets.empty()) return;
      TVexaControl* target = targets[Index(e.c, targets.size())];
      const TRect r = target->GetDocRect();
      const TPoint sides[] = {{r.left, (r.top + r.bottom) / 2},
                              {r.right, (r.top + r.bottom) / 2},
                              {(r.left + r.right) / 2, r.top},
                              {(r.left + r.right) / 2, r.bottom}};
      TLinkPointProp& end = e.b % 2 ? connector->LinkB() : connector->LinkA();
      end.SetLinkedControl(target);
      end.SetLinkPoint(sides[Index(e.d, 4)]);
      return;
    }
    case TEditKind::Unlink:
      if (auto* connector = PickOf<TVexaConnector>(e.a)) {
        (e.b % 2 ? connector->LinkB() : connector->LinkA()).SetLinkedControl(nullptr);
      }
      return;
    case TEditKind::CloneSource:
      if (auto* clone = PickOf<TVexaClone>(e.a)) clone->SetSource(Pick(e.b));
      return;
    case TEditKind::SetProperty:
      if (TVexaControl* c = Pick(e.a)) SetProperty(*c, e.b, e.c);
      return;
    case TEditKind::Rename:
      if (TVexaControl* c = Pick(e.a)) c->SetName(kNames[Index(e.b, std::size(kNames))]);
      return;
    case TEditKind::Bracket:
      if (TVexaControl* c = Pick(e.a)) Bracket(*c, e);
      return;
    case TEditKind::Reparent: {
      TVexaControl* c = Pick(e.a);
      std::vector<TVexaControl*> parents;
      for (int i = 0; i < panel.Schemes().GetCount(); ++i) parents.push_back(panel.Schemes().GetChild(i));
      for (TVexaControl* g : Controls()) {
        if (g->IsGroup()) parents.push_back(g);
      }
      TVexaControl* parent = parents[Index(e.b, parents.size())];
      if (c && parent != c && !c->IsAncestorOf(parent)) c->SetParent(parent);
      return;
    }
    case TEditKind::MoveToLayer:
      if (TVexaControl* c = Pick(e.a)) c->SetLayer(panel.Layers().GetChild(Index(e.b, panel.Layers().GetCount())));
      return;
    case TEditKind::SetPoints:
      if (auto* curve = PickOf<TVexaCurve>(e.a)) SetPoints(*curve, e.b, e.c);
      return;
    case TEditKind::CutPaste:
      switch (Index(e.a, 3)) {
        case 0:
          panel.CutToClipboard();
          return;
        case 1:
          if (panel.CopyToClipboard()) panel.PasteFromClipboard();
          return;
        default:
          if (panel.CutToClipboard()) panel.PasteFromClipboard();
          return;
      }
    case TEditKind::ActiveLayer:
      panel.SetActiveLayer(panel.Layers().GetChild(Index(e.a, panel.Layers().GetCount())));
      return;
    case TEditKind::Count:
      return;
  }
}

std::string EditName(const std::vector<TEdit>& edits, size_t i) {
  return "edit " + std::to_string(i) + " (" + kKindNames[static_cast<size_t>(edits[i].kind)] + ")";
}

// The first line where two texts differ, both versions.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream e(expected);
  std::istringstream a(actual);
  std::string le;
  std::string la;
  for (int line = 1;; ++line) {
    const bool moreE = static_cast<bool>(std::getline(e, le));
    const bool moreA = static_cast<bool>(std::getline(a, la));
    if (!moreE && !moreA) return "texts differ only in line ends";
    if (!moreE) le = "<end>";
    if (!moreA) la = "<end>";
    if (le != la || !moreE || !moreA) {
      return "line " + std::to_string(line) + ": expected [" + le + "] got [" + la + "]";
    }
  }
}

std::string Reloaded(const std::string& text) {
  panelwindow::TNullPanelWindow window{400, 300};
  TVexaPanel again(window, true);
  TMemoryStream stream(text);
  std::unique_ptr<TVexaFiler> filer = again.CreateFiler(stream, TVexaFilerProcess::ppLoad);
  again.LoadDocumentFromFiler(*filer, TLoadMode::Document);
  return SavedText(again);
}

std::string CheckReload(const std::string& text, const std::string& where) {
  std::string second;
  try {
    second = Reloaded(text);
  } catch (const std::exception& error) {
    return "reload: the text saved after " + where + " does not load: " + error.what();
  }
  if (second == text) return {};
  return "reload: the text saved after " + where + " reads back changed, " + FirstDifference(text, second);
}

std::string RunChecked(const TEditSequence& sequence) {
  RegisterVexaGraphics();
  TRun run;
  for (const TEdit& e : sequence.document) {
    try {
      run.Apply(e);
    } catch (const std::exception&) {
      // A document part the panel refuses is left out.
    }
  }
  run.panel.UnselectAll();
  TVexaPanelHistory& history = run.panel.PanelHistory();
  history.Clear();
  // Every step of the longest sequence stays undoable.
  history.SetDepth(1000);
  history.SetActive(true);

  // The text after each recorded step and the history's position then; the step's edit.
  std::vector<std::string> texts{SavedText(run.panel)};
  std::vector<int> positions{history.ActionIndex()};
  std::vector<std::string> steps{"the document"};
  if (std::string broken = CheckReload(texts[0], steps[0]); !broken.empty()) return broken;

  for (size_t i = 0; i < sequence.edits.size(); ++i) {
    try {
      run.Apply(sequence.edits[i]);
    } catch (const std::exception&) {
      // A refused edit must leave the document as it was or as one step; checked below.
    }
    const std::string where = EditName(sequence.edits, i);
    std::string text = SavedText(run.panel);
    if (std::string broken = CheckReload(text, where); !broken.empty()) return broken;
    if (history.ActionIndex() == positions.back()) {
      if (text != texts.back()) {
        return "unrecorded: " + where + " changed the text without a history step, " +
               FirstDifference(texts.back(), text);
      }
      continue;
    }
    if (history.ActionIndex() <= positions.back()) {
      return "unrecorded: " + where + " took the history back from " + std::to_string(positions.back()) + " to " +
             std::to_string(history.ActionIndex());
    }
    texts.push_back(std::move(text));
    positions.push_back(history.ActionIndex());
    steps.push_back(where);
  }

  for (size_t k = texts.size() - 1; k-- > 0;) {
    while (history.ActionIndex() > positions[k]) {
      if (!history.Undo()) return "undo: the history refuses to undo " + steps[k + 1];
    }
    if (const std::string text = SavedText(run.panel); text != texts[k]) {
      return "undo: undoing " + steps[k + 1] + " does not give the text before it, " + FirstDifference(texts[k], text);
    }
  }
  for (size_t k = 1; k < texts.size(); ++k) {
    while (history.ActionIndex() < positions[k]) {
      if (!history.Redo()) return "redo: the history refuses to redo " + steps[k];
    }
    if (const std::string text = SavedText(run.panel); text != texts[k]) {
      return "redo: redoing " + steps[k] + " does not give the text after it, " + FirstDifference(texts[k], text);
    }
  }
  return {};
}

// The kind of fault and the kind of edit that showed it: a shrunk sequence keeps both, so that
// shrinking does not wander off to another fault.
std::string KindOf(const std::string& failure) {
  std::string kind = failure.substr(0, failure.find(':'));
  const size_t open = failure.find('(');
  const size_t close = failure.find(')', open);
  if (open != std::string::npos && close != std::string::npos) kind += " " + failure.substr(open, close - open + 1);
  return kind;
}

// Tries shorter versions of one list, keeping each that still fails the same way.
bool DropParts(TEditSequence& sequence, std::vector<TEdit> TEditSequence::*list, const std::string& kind) {
  bool shrunk = false;
  for (size_t chunk = std::max<size_t>((sequence.*list).size() / 2, 1); chunk >= 1; chunk /= 2) {
    for (size_t i = 0; i < (sequence.*list).size();) {
      TEditSequence candidate = sequence;
      std::vector<TEdit>& edits = candidate.*list;
      edits.erase(edits.begin() + static_cast<ptrdiff_t>(i),
                  edits.begin() + static_cast<ptrdiff_t>(std::min(i + chunk, edits.size())));
      if (const std::string f = RunEditSequence(candidate); !f.empty() && KindOf(f) == kind) {
        sequence = std::move(candidate);
        shrunk = true;
      } else {
        i += chunk;
      }
    }
    if (chunk == 1) break;
  }
  return shrunk;
}

bool ZeroNumbers(TEditSequence& sequence, std::vector<TEdit> TEditSequence::*list, const std::string& kind) {
  bool shrunk = false;
  for (size_t i = 0; i < (sequence.*list).size(); ++i) {
    for (int32_t TEdit::*field : {&TEdit::a, &TEdit::b, &TEdit::c, &TEdit::d}) {
      if ((sequence.*list)[i].*field == 0) continue;
      TEditSequence candidate = sequence;
      (candidate.*list)[i].*field = 0;
      if (const std::string f = RunEditSequence(candidate); !f.empty() && KindOf(f) == kind) {
        sequence = std::move(candidate);
        shrunk = true;
      }
    }
  }
  return shrunk;
}

void FormatList(std::ostringstream& out, const std::vector<TEdit>& edits) {
  out << "{";
  for (size_t i = 0; i < edits.size(); ++i) {
    const TEdit& e = edits[i];
    out << (i ? ",\n       " : "") << "{TEditKind::" << kKindNames[static_cast<size_t>(e.kind)] << ", " << e.a << ", "
        << e.b << ", " << e.c << ", " << e.d << "}";
  }
  out << "}";
}

}  // namespace

std::string RunEditSequence(const TEditSequence& sequence) {
  try {
    return RunChecked(sequence);
  } catch (const std::exception& error) {
    return std::string("throws: ") + error.what();
  }
}

TEditSequence RandomEditSequence(uint64_t seed) {
  TRandom rnd{seed};
  TEditSequence s;
  const auto edit = [&](TEditKind kind, int32_t a = 0, int32_t b = 0, int32_t c = 0, int32_t d = 0) {
    return TEdit{kind, a, b, c, d};
  };
  const auto any = [&] { return static_cast<int32_t>(rnd.Below(1000)); };
  const auto place = [&] { return 1000 * rnd.Between(0, 120); };
  const auto value = [&] { return rnd.Below(16) == 0 ? rnd.Between(8, 9) : rnd.Below(8); };

  if (rnd.Below(2)) s.document.push_back(edit(TEditKind::AddLayer, rnd.Below(2)));
  if (rnd.Below(4) == 0) s.document.push_back(edit(TEditKind::AddScheme, 0));
  const int controls = rnd.Between(5, 14);
  for (int i = 0; i < controls; ++i) {
    // Boxes most often, so that connectors and clones have something to hold on to.
    const int32_t cls = rnd.Below(3) == 0 ? 0 : rnd.Below(kClassCount);
    s.document.push_back(edit(TEditKind::AddControl, cls, place(), place(), any()));
    if (kClasses[cls] == &TVexaConnector::ClassInfo) {
      s.document.push_back(edit(TEditKind::Link, -1, 0, any(), any()));
      s.document.push_back(edit(TEditKind::Link, -1, 1, any(), any()));
    } else if (kClasses[cls] == &TVexaClone::ClassInfo) {
      s.document.push_back(edit(TEditKind::CloneSource, -1, any()));
    }
    if (rnd.Below(5) == 0) {
      s.document.push_back(edit(TEditKind::Select, any()));
      s.document.push_back(edit(TEditKind::SelectAlso, any()));
      s.document.push_back(edit(TEditKind::GroupSelection));
      s.document.push_back(edit(TEditKind::Select, -1));
    }
    if (rnd.Below(6) == 0) s.document.push_back(edit(TEditKind::MoveToLayer, any(), any()));
  }

  const int edits = rnd.Between(30, 40);
  for (int i = 0; i < edits; ++i) {
    // The selection changes often, so that the commands work on varied selections.
    static constexpr TEditKind kWeighted[] = {
        TEditKind::Select,        TEditKind::Select,          TEditKind::SelectAlso,      TEditKind::SelectAlso,
        TEditKind::SelectAll,     TEditKind::MoveSelection,   TEditKind::MoveSelection,   TEditKind::ResizeSelection,
        TEditKind::ResizeSelection, TEditKind::RotateSelection, TEditKind::DeleteSelection, TEditKind::GroupSelection,
        TEditKind::GroupSelection, TEditKind::UngroupSelection, TEditKind::Link,          TEditKind::Unlink,
        TEditKind::CloneSource,   TEditKind::SetProperty,     TEditKind::SetProperty,     TEditKind::SetProperty,
        TEditKind::Rename,        TEditKind::Bracket,         TEditKind::Reparent,        TEditKind::MoveToLayer,
        TEditKind::SetPoints,     TEditKind::CutPaste,        TEditKind::AddControl,      TEditKind::AddLayer,
        TEditKind::ActiveLayer};
    const TEditKind kind = kWeighted[rnd.Below(static_cast<int32_t>(std::size(kWeighted)))];
    switch (kind) {
      case TEditKind::MoveSelection:
        s.edits.push_back(edit(kind, 1000 * rnd.Between(-20, 20), 1000 * rnd.Between(-20, 20)));
        break;
      case TEditKind::ResizeSelection:
        s.edits.push_back(edit(kind, any(), 1000 * rnd.Between(-30, 30), 1000 * rnd.Between(-30, 30), any()));
        break;
      case TEditKind::AddControl:
        s.edits.push_back(edit(kind, rnd.Below(kClassCount), place(), place(), any()));
        break;
      case TEditKind::SetProperty:
        s.edits.push_back(edit(kind, any(), any(), value()));
        break;
      default:
        s.edits.push_back(edit(kind, any(), any(), any(), any()));
        break;
    }
  }
  return s;
}

TEditSequence ShrinkEditSequence(const TEditSequence& failing, const std::string& failure) {
  const std::string kind = KindOf(failure);
  TEditSequence s = failing;
  for (bool shrunk = true; shrunk;) {
    shrunk = DropParts(s, &TEditSequence::edits, kind);
    shrunk = DropParts(s, &TEditSequence::document, kind) || shrunk;
    shrunk = ZeroNumbers(s, &TEditSequence::edits, kind) || shrunk;
    shrunk = ZeroNumbers(s, &TEditSequence::document, kind) || shrunk;
  }
  return s;
}

std::string FormatEditSequence(const TEditSequence& sequence, const std::string& failure) {
  std::ostringstream out;
  out << "// " << failure << "\n"
      << "TEST(PanelEditSequences, Shrunk) {\n"
      << "  const TEditSequence sequence{\n      ";
  FormatList(out, sequence.document);
  out << ",\n      ";
  FormatList(out, sequence.edits);
  out << "};\n"
      << "  EXPECT_EQ(\"\", RunEditSequence(sequence));\n"
      << "}\n";
  return out.str();
}

}  // namespace pv::graphics::test

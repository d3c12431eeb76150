#include "document/testing/TestVexaPanel.h"

#include <algorithm>

#include "actions/CreateDestroyGroups.h"
#include "actions/GroupActions.h"
#include "document/Clone.h"
#include "document/DocumentClasses.h"
#include "props/PropHistory.h"
#include "winmath/WinMath.h"

namespace pv::graphics::test {

using winmath::MulDiv;

TTestVexaPanel::TTestVexaPanel() {
  RegisterDocumentClasses();
  schemes_ = TVexaControl::New<TVexaSchemes>(this, nullptr);
  layers_ = TVexaControl::New<TVexaLayers>(this, nullptr);
  grid_ = TVexaControl::New<TVexaGrid>(this, nullptr);
  schemes_->SetWidth(docWidth_);
  schemes_->SetHeight(docHeight_);
  // The panel history's mapping of actions to their sources: controls by ID, properties by
  // the control's ID and the property's name.
  history_.OnSetActionSource = [](THistory&, THistoryAction& a, TVexaObject* source) {
    if (auto* control = dynamic_cast<TVexaControl*>(source)) {
      a.SourceId = control->GetId();
    } else if (auto* prop = dynamic_cast<TCustomProp*>(source)) {
      auto* control = prop->OwnerList() ? dynamic_cast<TVexaControl*>(prop->OwnerList()->Control()) : nullptr;
      a.SourceId = control ? control->GetId() : 0;
      a.SourceName = std::string(prop->Name());
    }
  };
  history_.OnGetActionSource = [this](THistory&, THistoryAction& a, bool& found) -> TVexaObject* {
    if (&a.ClassType() == &TPropHistoryGroup::ClassInfo || (a.SourceId == 0 && a.SourceName.empty())) {
      found = true;
      return &a.ClassType() == &TPropHistoryGroup::ClassInfo ? nullptr : this;
    }
    TVexaControl* control = AsVexa(FindControl(a.SourceId));
    TVexaObject* source = control;
    if (control && !a.SourceName.empty()) source = control->Props().PropByName(a.SourceName);
    found = source != nullptr || InheritsFrom(a.ClassType(), TGroupUngroupHistoryAction::ClassInfo) ||
            InheritsFrom(a.ClassType(), TCreateDestroyHistoryGroup::ClassInfo);
    return source;
  };
}

void TTestVexaPanel::SetDocWidth(int32_t w) {
  docWidth_ = w;
  schemes_->SetWidth(w);
}

void TTestVexaPanel::SetDocHeight(int32_t h) {
  docHeight_ = h;
  schemes_->SetHeight(h);
}

TTestVexaPanel::~TTestVexaPanel() {
  history_.SetActive(false);
  ClearDocument();
  schemes_->Free();
  layers_->Free();
  grid_->Free();
}

IDocControl* TTestVexaPanel::CreateControl(std::string_view className, IDocControl* parent) {
  const TVexaControlClass* cls = FindControlClass(className);
  if (!cls || !cls->create) return nullptr;
  return cls->create(this, AsVexa(parent), nullptr);
}

IDocControl* TTestVexaPanel::FindControl(int32_t id) const {
  const auto found = byId_.find(static_cast<uint32_t>(id));
  return found == byId_.end() ? nullptr : found->second;
}

IDocControl* TTestVexaPanel::FindLayer(int32_t id) const {
  for (int i = 0; i < layers_->GetCount(); ++i) {
    if (layers_->GetChild(i)->GetId() == id) return layers_->GetChild(i);
  }
  return nullptr;
}

bool TTestVexaPanel::IsLayer(const IDocControl& c) const {
  return static_cast<const TVexaControl&>(c).InheritsFrom(TVexaLayer::ClassInfo);
}

bool TTestVexaPanel::IsScheme(const IDocControl& c) const {
  return static_cast<const TVexaControl&>(c).IsCustomScheme();
}

bool TTestVexaPanel::IsGroup(const IDocControl& c) const { return static_cast<const TVexaControl&>(c).IsGroup(); }

void TTestVexaPanel::ClearDocument() {
  selection_.clear();
  while (!parentless_.empty()) parentless_.back()->Free();
  schemes_->ClearChildren();
  layers_->ClearChildren();
}

void TTestVexaPanel::NewDocument() {
  ClearDocument();
  schemes_->SetName("Document");
  layers_->NewLayer();
  TVexaControl::New<TVexaScheme>(this, schemes_);
}

IDocControl* TTestVexaPanel::GroupSelection(std::string_view groupClass) {
  if (selection_.empty()) return nullptr;
  TVexaControl* parent = AsVexa(selection_.front())->GetParent();
  if (!parent) return nullptr;
  std::vector<TVexaControl*> members;
  int index = parent->GetCount();
  for (int i = 0; i < parent->GetCount(); ++i) {
    TVexaControl* c = parent->GetChild(i);
    if (!IsControlSelected(*c)) continue;
    members.push_back(c);
    index = std::min(index, i);
  }
  TVexaControl* group = AsVexa(CreateControl(groupClass, nullptr));
  if (!group) return nullptr;
  group->SetLayerControl(members.front()->GetLayer());
  // Every control keeps its place on the page while it changes parent.
  const auto keepPlace = [](TVexaControl* newParent, TVexaControl* control) {
    const TRect r = control->GetDocRect();
    newParent->AddChild(control);
    control->SetDocRect(r);
  };
  for (TVexaControl* m : members) keepPlace(group, m);
  keepPlace(parent, group);
  parent->MoveChild(parent->IndexOf(group), index);
  selection_ = {group};
  return group;
}

void TTestVexaPanel::UngroupSelection() {
  std::vector<TVexaControl*> groups;
  std::vector<IDocControl*> members;
  for (IDocControl* s : selection_) {
    TVexaControl* group = AsVexa(s);
    if (group->IsGroup() && group->GetParent()) groups.push_back(group);
  }
  for (TVexaControl* group : groups) {
    TVexaControl* parent = group->GetParent();
    int index = parent->IndexOf(group);
    while (group->GetCount() > 0) {
      TVexaControl* child = group->GetChild(0);
      members.push_back(child);
      const TRect r = child->GetDocRect();
      parent->AddChild(child);
      child->SetDocRect(r);
      parent->MoveChild(parent->IndexOf(child), index++);
    }
    group->Free();
  }
  selection_ = members;
}

uint32_t TTestVexaPanel::CheckControlId(TVexaControl& control, uint32_t oldId, uint32_t newId) {
  ReleaseControlId(control, oldId);
  const uint32_t assigned = AssignControlId(control, newId);
  control.Props().AddIdMapping(static_cast<int32_t>(newId), static_cast<int32_t>(assigned));
  return assigned;
}

uint32_t TTestVexaPanel::AssignControlId(TVexaControl& control, uint32_t wanted) {
  const auto id = static_cast<int32_t>(wanted);
  const int32_t assigned = id > 0 && ids_.Use(id) ? id : ids_.Generate();
  byId_[static_cast<uint32_t>(assigned)] = &control;
  return static_cast<uint32_t>(assigned);
}

void TTestVexaPanel::ReleaseControlId(TVexaControl& control, uint32_t id) {
  const auto found = byId_.find(id);
  if (found == byId_.end() || found->second != &control) return;
  byId_.erase(found);
  ids_.Release(static_cast<int32_t>(id));
}

void TTestVexaPanel::AddParentless(TVexaControl& control) {
  if (control.InheritsFrom(TVexaSchemes::ClassInfo) || control.InheritsFrom(TVexaLayers::ClassInfo) ||
      control.InheritsFrom(TVexaGrid::ClassInfo)) {
    return;
  }
  if (std::find(parentless_.begin(), parentless_.end(), &control) == parentless_.end()) parentless_.push_back(&control);
}

void TTestVexaPanel::RemoveParentless(TVexaControl& control) { std::erase(parentless_, &control); }

std::vector<TVexaControl*> TTestVexaPanel::TopControls() const {
  std::vector<TVexaControl*> tops;
  for (TVexaControl* c : {static_cast<TVexaControl*>(layers_), static_cast<TVexaControl*>(schemes_),
                          static_cast<TVexaControl*>(grid_)}) {
    if (c) tops.push_back(c);
  }
  tops.insert(tops.end(), parentless_.begin(), parentless_.end());
  return tops;
}

bool TTestVexaPanel::IsControlSelected(const TVexaControl& control) const {
  return std::find(selection_.begin(), selection_.end(), &control) != selection_.end();
}

void TTestVexaPanel::SelectControl(TVexaControl& control, bool select) {
  const bool selected = IsControlSelected(control);
  if (select && !selected) selection_.push_back(&control);
  if (!select && selected) std::erase(selection_, &control);
}

void TTestVexaPanel::ControlNotify(TVexaControl& control, TVexaNotify notify) {
  notifications.emplace_back(&control, notify);
}

TRect TTestVexaPanel::DocToPixelRect(const TRect& r) const {
  return {MulDiv(r.left, scale, 100000), MulDiv(r.top, scale, 100000), MulDiv(r.right, scale, 100000),
          MulDiv(r.bottom, scale, 100000)};
}

TPoint TTestVexaPanel::DocToPixelPoint(TPoint p) const {
  return {MulDiv(p.x, scale, 100000), MulDiv(p.y, scale, 100000)};
}

TPoint TTestVexaPanel::PixelToDocPoint(TPoint p) const {
  return {MulDiv(p.x, 100000, scale), MulDiv(p.y, 100000, scale)};
}

std::string TTestVexaPanel::SaveText() {
  TMemoryStream stream;
  TVexaFiler filer(stream);
  SaveDocumentToFiler(filer, *this);
  filer.Flush();
  return stream.Text();
}

void TTestVexaPanel::LoadText(const std::string& text, TLoadMode mode) {
  TMemoryStream stream(text);
  TVexaFiler filer(stream);
  const bool paste = mode == TLoadMode::Clipboard;
  TVexaControl* parent = paste ? activeScheme_ : schemes_;
  const int kept = paste && parent ? parent->GetCount() : 0;
  LoadDocumentFromFiler(filer, *this, mode);
  // Refused as the real panel refuses it: a document leaves a new one, a paste nothing.
  if (!parent) return;
  std::vector<TVexaControl*> loaded;
  for (int i = kept; i < parent->GetCount(); ++i) loaded.push_back(parent->GetChild(i));
  try {
    RequireBoundedClones(loaded);
  } catch (const ECloneLimitError&) {
    if (!paste) {
      NewDocument();
    } else {
      while (parent->GetCount() > kept) parent->GetChild(parent->GetCount() - 1)->Free();
    }
    throw;
  }
}

}  // namespace pv::graphics::test

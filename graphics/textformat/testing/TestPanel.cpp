#include "textformat/testing/TestPanel.h"

#include <algorithm>
#include <cstring>

#include "base/TextHelpers.h"
#include "props/PropHistory.h"
#include "props/tests/TestProps.h"

namespace pv::graphics::test {

namespace {

constexpr const char* kClasses[] = {"TVexaLayer", "TVexaScheme", "TVexaBox", "TVexaCurve", "TVexaGroup"};

void PutInt(std::vector<uint8_t>& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

int32_t GetInt(const std::vector<uint8_t>& in, size_t at) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(in[at + static_cast<size_t>(i)]) << (8 * i);
  return static_cast<int32_t>(u);
}

}  // namespace

// --- TTestControl

TTestControl::TTestControl(TTestPanel& panel, const char* className) : panel_(panel), className_(className) {
  props_.SetEvents(this);
  props_.SetHistory(&panel.History());
  TIntProp* id = props_.Create<TIntProp>("ID");
  id->SetExternal(&id_);
  left = props_.Create<TIntProp>("Left");
  top = props_.Create<TIntProp>("Top");
  width = props_.Create<TIntProp>("Width");
  height = props_.Create<TIntProp>("Height");
  props_.Create<TStrListProp>("Hint");
  props_.Create<TIntProp>("Tag");
  props_.Create<TBoolProp>("Visible")->SetFlags(pfNew | pfNotStored);
  layerProp_ = props_.Create<TStrProp>("Layer");
  layerProp_->SetFlags(pfNew | pfReference);
  if (std::strcmp(className, "TVexaBox") == 0) props_.Create<TTestBrushProp>("Brush");
  if (std::strcmp(className, "TVexaCurve") == 0) {
    points_ = std::make_unique<Points>();
    TDataProp* data = props_.Create<TDataProp>("Points");
    data->OnGetData = [this] { return PointsData(); };
    data->OnSetData = [this](const PropValue& v) { SetPointsData(v); };
  }
}

TTestControl::~TTestControl() {
  for (TTestControl* child : children_) {
    child->parent_ = nullptr;
    delete child;
  }
}

IDocPanel& TTestControl::Panel() const { return panel_; }

void TTestControl::Detach() {
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::find(siblings.begin(), siblings.end(), this));
    parent_ = nullptr;
  } else {
    panel_.Forget(*this);
  }
}

void TTestControl::InsertChild(int index, TTestControl* child) {
  child->Detach();
  index = std::clamp(index, 0, ChildCount());
  children_.insert(children_.begin() + index, child);
  child->parent_ = this;
}

void TTestControl::SetParent(IDocControl* parent) {
  if (parent == parent_) return;
  if (!parent) {
    Detach();
    panel_.loose_.push_back(this);
    return;
  }
  auto* p = static_cast<TTestControl*>(parent);
  p->InsertChild(p->ChildCount(), this);
}

void TTestControl::MoveChild(int from, int to) {
  if (from < 0 || from >= ChildCount() || to < 0 || to >= ChildCount()) return;
  TTestControl* child = children_[static_cast<size_t>(from)];
  children_.erase(children_.begin() + from);
  children_.insert(children_.begin() + to, child);
}

void TTestControl::SetLayer(IDocControl* layer) {
  layer_ = layer;
  layerProp_->SetValue(layer ? layer->GetName() : std::string());
}

TRect TTestControl::GetDocRect() const {
  return {left->GetValue(), top->GetValue(), left->GetValue() + width->GetValue(), top->GetValue() + height->GetValue()};
}

void TTestControl::GetPointsEx(std::vector<TPoint>& points, std::vector<uint8_t>& types) const {
  points = points_ ? points_->points : std::vector<TPoint>();
  types = points_ ? points_->types : std::vector<uint8_t>();
}

void TTestControl::RestoreDocRect(const TRect& r) {
  left->SetValue(r.left);
  top->SetValue(r.top);
  width->SetValue(r.right - r.left);
  height->SetValue(r.bottom - r.top);
}

void TTestControl::RestorePoints(const TRect& rect, const std::vector<TPoint>& points,
                                 const std::vector<uint8_t>& types) {
  RestoreDocRect(rect);
  if (points_) *points_ = Points{points, types};
}

void TTestControl::BeginUpdate() {
  if (updates_++ == 0) updateRect_ = GetDocRect();
}

void TTestControl::EndUpdate() { --updates_; }

void TTestControl::SetBounds(int32_t l, int32_t t, int32_t w, int32_t h) {
  BeginUpdate();
  if (panel_.OnBoundsChanging) panel_.OnBoundsChanging(*this);
  for (auto [prop, v] : {std::pair{left, l}, {top, t}, {width, w}, {height, h}}) {
    props_.History()->DisableRecording();  // the rectangle is recorded as one action
    prop->SetValue(v);
    props_.History()->EnableRecording();
  }
  EndUpdate();
}

void TTestControl::SetPoints(std::vector<TPoint> points, std::vector<uint8_t> types) {
  if (panel_.OnPointsChanging) panel_.OnPointsChanging(*this);
  if (points_) *points_ = Points{std::move(points), std::move(types)};
}

PropValue TTestControl::PointsData() const {
  if (!points_ || points_->points.empty()) return {};
  std::vector<uint8_t> bytes;
  PutInt(bytes, static_cast<int32_t>(points_->points.size()));
  for (size_t i = 0; i < points_->points.size(); ++i) {
    PutInt(bytes, points_->points[i].x);
    PutInt(bytes, points_->points[i].y);
    bytes.push_back(i < points_->types.size() ? points_->types[i] : 0);
  }
  return PropValue::Bytes(std::move(bytes));
}

void TTestControl::SetPointsData(const PropValue& value) {
  points_->points.clear();
  points_->types.clear();
  if (value.IsEmpty()) return;
  const auto& bytes = value.AsBytes();
  if (bytes.size() < 4) throw EConvertError("Invalid points");
  const int32_t n = GetInt(bytes, 0);
  if (n < 0 || bytes.size() != 4 + static_cast<size_t>(n) * 9) throw EConvertError("Invalid points");
  for (int32_t i = 0; i < n; ++i) {
    const size_t at = 4 + static_cast<size_t>(i) * 9;
    points_->points.push_back({GetInt(bytes, at), GetInt(bytes, at + 4)});
    points_->types.push_back(bytes[at + 8]);
  }
}

void TTestControl::PropBeforeChanged(TPropList&, TCustomProp& prop) {
  if (prop.Name() == "ID") idBefore_ = id_;
}

void TTestControl::PropChanged(TPropList&, TCustomProp& prop) {
  if (prop.Name() == "ID") {
    panel_.AssignId(*this, idBefore_, id_);
  } else if (&prop == layerProp_) {
    layer_ = panel_.LayerByName(layerProp_->GetValue());
  }
}

void TTestControl::PropStored(TPropList&, TCustomProp& prop, std::string_view subName, bool& stored) {
  if (!subName.empty()) return;
  const std::string_view name = prop.Name();
  if (name == "Tag") stored = static_cast<TIntProp&>(prop).GetValue() != 0;
  if (name == "Hint") stored = static_cast<TStrListProp&>(prop).GetCount() > 0;
  if (name == "Layer") stored = layer_ != nullptr && !layer_->GetName().empty();
  if (name == "Left" || name == "Top" || name == "Width" || name == "Height") {
    stored = static_cast<TIntProp&>(prop).GetValue() != 0;
  }
}

// --- TTestPanel

TTestPanel::TTestPanel() {
  RegisterPropHistoryActions();
  layers_ = new TTestControl(*this, "TVexaLayers");
  schemes_ = new TTestControl(*this, "TVexaSchemes");
  schemes_->SetName("Document");
  schemes_->Props().Create<TIntProp>("Version")->SetValue(140);
  schemes_->Props().Create<TIntProp>("ConnectorsMinGap")->SetValue(8000);
  AssignId(*schemes_, 0, 1);
  history_.OnSetActionSource = [](THistory&, THistoryAction& a, TVexaObject* source) {
    if (auto* control = dynamic_cast<IDocControl*>(source)) {
      a.SourceId = control->GetId();
    } else if (auto* prop = dynamic_cast<TCustomProp*>(source)) {
      auto* control = prop->OwnerList() ? dynamic_cast<IDocControl*>(prop->OwnerList()->Control()) : nullptr;
      a.SourceId = control ? control->GetId() : 0;
      a.SourceName = std::string(prop->Name());
    }
  };
  history_.OnGetActionSource = [this](THistory&, THistoryAction& a, bool& found) -> TVexaObject* {
    if (&a.ClassType() == &TPropHistoryGroup::ClassInfo || (a.SourceId == 0 && a.SourceName.empty())) {
      found = true;
      return &a.ClassType() == &TPropHistoryGroup::ClassInfo ? nullptr : this;
    }
    IDocControl* control = FindControl(a.SourceId);
    TVexaObject* source = control;
    if (control && !a.SourceName.empty()) source = control->Props().PropByName(a.SourceName);
    found = source != nullptr || (FoundWithoutSource && FoundWithoutSource(a));
    return source;
  };
}

TTestPanel::~TTestPanel() {
  history_.SetActive(false);
  delete layers_;
  delete schemes_;
  for (TTestControl* c : loose_) {
    c->parent_ = nullptr;
    delete c;
  }
}

IDocControl* TTestPanel::CreateControl(std::string_view className, IDocControl* parent) {
  for (const char* cls : kClasses) {
    if (!SameName(cls, className)) continue;
    auto* control = new TTestControl(*this, cls);
    control->id_ = ids_.Generate();
    if (parent) {
      static_cast<TTestControl*>(parent)->InsertChild(parent->ChildCount(), control);
    } else {
      loose_.push_back(control);
    }
    return control;
  }
  return nullptr;
}

TTestControl* TTestPanel::Add(const char* className, IDocControl* parent, const std::string& name) {
  auto* control = static_cast<TTestControl*>(CreateControl(className, parent ? parent : nullptr));
  control->SetName(name);
  return control;
}

void TTestPanel::ReleaseIds(TTestControl& control) {
  ids_.Release(control.id_);
  for (TTestControl* child : control.children_) ReleaseIds(*child);
}

void TTestPanel::Forget(TTestControl& control) { std::erase(loose_, &control); }

void TTestPanel::FreeControl(IDocControl* c) {
  auto* control = static_cast<TTestControl*>(c);
  ReleaseIds(*control);
  control->Detach();
  std::erase_if(selection_, [&](IDocControl* s) {
    for (IDocControl* p = s; p; p = p->Parent()) {
      if (p == control) return true;
    }
    return false;
  });
  delete control;
}

TTestControl* TTestPanel::Find(TTestControl& from, int32_t id) const {
  if (from.id_ == id) return &from;
  for (TTestControl* child : from.children_) {
    if (TTestControl* found = Find(*child, id)) return found;
  }
  return nullptr;
}

IDocControl* TTestPanel::FindControl(int32_t id) const {
  if (id == 0) return nullptr;
  if (TTestControl* c = Find(*layers_, id)) return c;
  if (TTestControl* c = Find(*schemes_, id)) return c;
  for (TTestControl* loose : loose_) {
    if (TTestControl* c = Find(*loose, id)) return c;
  }
  return nullptr;
}

IDocControl* TTestPanel::FindLayer(int32_t id) const {
  for (TTestControl* layer : layers_->children_) {
    if (layer->id_ == id) return layer;
  }
  return nullptr;
}

IDocControl* TTestPanel::LayerByName(std::string_view name) const {
  for (TTestControl* layer : layers_->children_) {
    if (SameName(layer->name_, name)) return layer;
  }
  return nullptr;
}

IDocControl* TTestPanel::ActiveScheme() const { return schemes_->children_.empty() ? nullptr : schemes_->children_[0]; }

IDocControl* TTestPanel::ActiveLayer() const { return layers_->children_.empty() ? nullptr : layers_->children_[0]; }

bool TTestPanel::IsLayer(const IDocControl& c) const { return std::strcmp(c.ClassName(), "TVexaLayer") == 0; }
bool TTestPanel::IsScheme(const IDocControl& c) const { return std::strcmp(c.ClassName(), "TVexaScheme") == 0; }
bool TTestPanel::IsGroup(const IDocControl& c) const { return std::strcmp(c.ClassName(), "TVexaGroup") == 0; }

void TTestPanel::ClearDocument() {
  selection_.clear();
  while (!layers_->children_.empty()) FreeControl(layers_->children_.back());
  while (!schemes_->children_.empty()) FreeControl(schemes_->children_.back());
  while (!loose_.empty()) FreeControl(loose_.back());
}

void TTestPanel::NewDocument() {
  ClearDocument();
  schemes_->SetName("Document");
  Add("TVexaLayer", layers_, "Layer1");
  Add("TVexaScheme", schemes_, "Scheme1");
}

void TTestPanel::Select(IDocControl& control) {
  if (std::find(selection_.begin(), selection_.end(), &control) == selection_.end()) selection_.push_back(&control);
}

IDocControl* TTestPanel::GroupSelection(std::string_view groupClass) {
  if (selection_.empty()) return nullptr;
  auto* parent = static_cast<TTestControl*>(selection_.front()->Parent());
  if (!parent) return nullptr;
  std::vector<TTestControl*> members;
  int index = parent->ChildCount();
  for (int i = 0; i < parent->ChildCount(); ++i) {
    auto* c = parent->children_[static_cast<size_t>(i)];
    if (std::find(selection_.begin(), selection_.end(), c) == selection_.end()) continue;
    members.push_back(c);
    index = std::min(index, i);
  }
  auto* group = static_cast<TTestControl*>(CreateControl(groupClass, nullptr));
  if (!group) return nullptr;
  for (TTestControl* m : members) group->InsertChild(group->ChildCount(), m);
  parent->InsertChild(index, group);
  selection_ = {group};
  return group;
}

void TTestPanel::UngroupSelection() {
  std::vector<IDocControl*> freed;
  std::vector<IDocControl*> members;
  for (IDocControl* s : selection_) {
    auto* group = static_cast<TTestControl*>(s);
    if (!IsGroup(*group) || !group->parent_) continue;
    TTestControl* parent = group->parent_;
    int index = group->IndexInParent();
    while (!group->children_.empty()) {
      members.push_back(group->children_.front());
      parent->InsertChild(index++, group->children_.front());
    }
    freed.push_back(group);
  }
  for (IDocControl* g : freed) FreeControl(g);
  selection_ = members;
}

// The ID check: the control's old ID goes back to the pool, a refused or negative one is
// replaced by a new one, and the load learns which ID a stored one became.
void TTestPanel::AssignId(TTestControl& control, int32_t oldId, int32_t id) {
  ids_.Release(oldId);
  int32_t assigned = id;
  if (id <= 0 || !ids_.Use(id)) assigned = ids_.Generate();
  control.id_ = assigned;
  control.props_.AddIdMapping(id, assigned);
}

void TTestPanel::SetControlId(IDocControl& control, int32_t id) {
  auto& c = static_cast<TTestControl&>(control);
  AssignId(c, c.id_, id);
}

void TTestPanel::ControlCreatedByLoad(IDocControl& control) {
  if (OnCreatedByLoad) OnCreatedByLoad(control);
}

std::string TTestPanel::SaveText() {
  TMemoryStream stream;
  TVexaFiler filer(stream);
  SaveDocumentToFiler(filer, *this);
  return stream.Text();
}

void TTestPanel::LoadText(const std::string& text, TLoadMode mode) {
  TMemoryStream stream(text);
  TVexaFiler filer(stream);
  LoadDocumentFromFiler(filer, *this, mode);
}

}  // namespace pv::graphics::test

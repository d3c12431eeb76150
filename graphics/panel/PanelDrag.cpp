// Drag copies between panels. A drag carries a copy of the selection as a group; a panel it
// passes over shows that group as if dropped (recording nothing) and takes it out again when
// the drag leaves; a drop dissolves the group into the active scheme with fresh IDs as one
// undo step. The panel that started a moving drag deletes its selection only once another
// panel has taken the drop as a move, and moves the selection itself when the drop comes
// back to it.

#include <cstring>

#include "base/ByteStream.h"
#include "base/TextHelpers.h"
#include "document/Group.h"
#include "forms/CursorIds.h"
#include "history/History.h"
#include "panel/PanelHistory.h"
#include "panel/VexaGraphics.h"
#include "panel/VexaPanel.h"
#include "props/Prop.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

using panelwindow::TDragData;
using panelwindow::TDragState;
using panelwindow::TDropAction;
using winmath::ClampToInt32;

struct TVexaPanel::TDragSession {
  std::unique_ptr<TVexaDragObject> object;
  // The selection when the drag began, by ID: the drag object's showing replaces it.
  std::vector<int32_t> selected;
  // Where the dragged group stood: a drop back here moves the selection by the difference.
  TPoint startTopLeft{0, 0};
  bool move = false;
  // The drop came back to this panel: a move moved the selection, a copy left the copies
  // selected.
  bool droppedHome = false;
};

namespace {

// The selection as document text in clipboard framing; empty with nothing selected.
std::string SelectionText(TVexaPanel& panel) {
  TMemoryStream stream;
  std::unique_ptr<TVexaFiler> filer = panel.CreateFiler(stream, TVexaFilerProcess::ppCopy);
  if (!panel.SaveDocumentToFiler(*filer, true)) return {};
  filer->Flush();
  return stream.Text();
}

}  // namespace

std::unique_ptr<TVexaDragObject> TVexaPanel::LoadDragGroup(TByteStream& stream, const std::string& name) {
  std::unique_ptr<TVexaFiler> filer = CreateFiler(stream, TVexaFilerProcess::ppCopy);
  TRecordingOff off(*history_);
  TLoadingScope loading(*this);
  // The group takes no ID: it only carries the controls and is dissolved where they land.
  auto* group = TVexaControl::New<TVexaGroup>(this, nullptr, nullptr);
  auto drag = std::make_unique<TVexaDragObject>(*group, TPoint{0, 0}, this);
  group->SetID(0);
  if (TCustomProp* id = group->Props().PropByName("ID")) id->SetFlags(static_cast<uint8_t>(id->Flags() | pfReadOnly));
  std::string line;
  if (!filer->ReadLine(line) ||
      !(StartsWithKeyword(line, "clipboard") || StartsWithKeyword(line, "document"))) {
    throw EDataFormatError();
  }
  bool ended = false;
  for (;;) {
    const bool lineEnded = filer->ReadLine(line);
    if (!lineEnded && line.empty()) break;
    if (IsBlockEnd(line)) {
      ended = true;
      break;
    }
    if (StartsWithKeyword(line, "object")) {
      LoadControl(*filer, *this, group, false, line);
    } else {
      filer->CheckSkipBlock(line);
    }
  }
  if (!ended) throw EDataFormatError();
  loading.Finish();
  // Loaded where they stood; the group fits them and holds them relative to its corner.
  group->RefitToChildren();
  group->SetName(name);
  return drag;
}

std::unique_ptr<TVexaDragObject> TVexaPanel::CreateDragGroup(TVexaControl* control, bool oneScope,
                                                             const std::string& name, bool selectionOnly) {
  TMemoryStream stream;
  {
    std::unique_ptr<TVexaFiler> filer = CreateFiler(stream, TVexaFilerProcess::ppCopy);
    // A copy is no save: the document stays as modified as it was.
    const bool wasModified = modified_;
    SaveDocumentToFiler(*filer, selectionOnly, oneScope, control);
    modified_ = wasModified;
    filer->Flush();
  }
  stream.Seek(0);
  std::unique_ptr<TVexaDragObject> drag =
      LoadDragGroup(stream, name.empty() && control ? control->GetName() : name);
  TVexaControl* group = drag->Control();
  const TRect place = selectionOnly ? SelectionDocRect() : (control ? control->GetDocRect() : group->GetDocRect());
  TRecordingOff off(*history_);
  group->BeginUpdate();
  group->SetLeft(place.left);
  group->SetTop(place.top);
  group->EndUpdate();
  return drag;
}

std::unique_ptr<TVexaDragObject> TVexaPanel::CreateDragObject(TVexaControl* control, bool oneScope,
                                                              const std::string& name, int32_t scale, TPoint origin,
                                                              TPoint mousePoint, bool selectionOnly) {
  // A large selection takes a while to copy: the hourglass says so.
  struct TBusyCursor {
    TVexaPanel& panel;
    int previous;
    ~TBusyCursor() { panel.Window().SetCursor(previous); }
  } busy{*this, Cursor()};
  window_.SetCursor(forms::crHourGlass);
  std::unique_ptr<TVexaDragObject> drag = CreateDragGroup(control, oneScope, name, selectionOnly);
  // The grab point in document units, from the view the mouse was seen in.
  const auto unscale = [&](int64_t pixels) {
    if (scale == scale_) return UnscaleValue(ClampToInt32(pixels));
    return ClampToInt32(pixels * 100000 / std::max(scale, 1));
  };
  const TVexaControl* group = drag->Control();
  drag->SetGrab(
      {ClampToInt32(static_cast<int64_t>(unscale(static_cast<int64_t>(mousePoint.x) + origin.x)) - group->GetLeft()),
       ClampToInt32(static_cast<int64_t>(unscale(static_cast<int64_t>(mousePoint.y) + origin.y)) - group->GetTop())});
  return drag;
}

std::unique_ptr<TVexaDragObject> TVexaPanel::DoStartDrag(TPoint mousePoint) {
  if (OnStartDrag) {
    std::unique_ptr<TVexaDragObject> drag;
    OnStartDrag(*this, drag);
    return drag;
  }
  return CreateDragObject(nullptr, false, "DragGroup", scale_, origin_, mousePoint, true);
}

TDropAction TVexaPanel::DragSelection(TPoint mousePoint, bool move) {
  // However the drag ends, the gesture that started it is over.
  struct TModeEnd {
    TVexaPanel& panel;
    ~TModeEnd() { panel.SetToolMode(panel.BaseToolMode()); }
  } modeEnd{*this};
  if (dragSession_ || selection_.empty()) return TDropAction::None;
  auto session = std::make_shared<TDragSession>();
  for (TVexaControl* c : selection_) session->selected.push_back(c->GetId());
  const std::string text = SelectionText(*this);
  session->object = DoStartDrag(mousePoint);
  if (!session->object || !session->object->Control()) return TDropAction::None;
  session->startTopLeft = {session->object->Control()->GetLeft(), session->object->Control()->GetTop()};
  session->move = move;

  TDragData data;
  data.objectKind = kDragObjectKind;
  data.object = session->object.get();
  if (!VexaControlsMime().empty()) {
    const std::string mime = VexaControlsMime();
    data.formats.push_back(mime);
    data.bytes = [text, mime](std::string_view format) -> std::optional<std::vector<uint8_t>> {
      if (format != mime) return std::nullopt;
      return std::vector<uint8_t>(text.begin(), text.end());
    };
  }
  dragSession_ = session;
  // The session ends on every path: nothing of the drag stays shown here, and a control that
  // was never dropped goes with the drag object.
  struct TSessionEnd {
    TVexaPanel& panel;
    ~TSessionEnd() {
      // A drag cancelled over a panel may end without a leave: the panel showing it is told.
      TVexaDragObject* object = panel.dragSession_->object.get();
      TVexaControl* control = object->Control();
      if (auto* holder = control ? dynamic_cast<TVexaPanel*>(control->Owner()) : nullptr) {
        if (holder->shownDrag_ == object) holder->TakeOutShownDrag();
      }
      panel.dragSession_.reset();
    }
  } sessionEnd{*this};
  const TDropAction action = window_.StartDrag(data, move ? TDropAction::Move : TDropAction::Copy);
  if (session->droppedHome) return move ? TDropAction::Move : TDropAction::Copy;
  RestoreSelection(session->selected);
  // Only now that another panel has taken the controls does the move remove them here.
  if (move && action == TDropAction::Move) DeleteSelected();
  return action;
}

void TVexaPanel::StartAutoDrag() {
  // The move gesture ends first (its step closed), so that what follows is not part of it.
  SetToolMode(BaseToolMode());
  DragSelection(MousePos(), true);
}

void TVexaPanel::ShowDrag(TVexaDragObject& source) {
  shownModified_ = modified_;
  shownSelection_.clear();
  for (TVexaControl* c : selection_) shownSelection_.push_back(c->GetId());
  source.PrepareForDrag(*this);
  shownDrag_ = &source;
}

void TVexaPanel::TakeOutShownDrag() {
  if (!shownDrag_) return;
  TVexaDragObject& shown = *shownDrag_;
  shownDrag_ = nullptr;
  TVexaControl* control = shown.Control();
  BeginSelectionUpdate(false);
  UnselectAll();
  if (control && control->GetParent()) {
    TRecordingOff off(*history_);
    control->GetParent()->ExtractChild(control);
    AddParentlessControl(control);
    control->SetLayerControl(nullptr);
  }
  RestoreSelection(shownSelection_);
  EndSelectionUpdate(false);
  modified_ = shownModified_;
  Repaint();
}

void TVexaPanel::ReleaseDrags() {
  if (shownDrag_ && shownDrag_->Control()) {
    auto* source = dynamic_cast<TVexaPanel*>(shownDrag_->SourcePanel());
    if (source && source != this) shownDrag_->PrepareForDrag(*source);
  }
  shownDrag_ = nullptr;
  foreignDrag_.reset();
}

void TVexaPanel::DragOver(TVexaDragObject* source, int32_t x, int32_t y, TDragState state, bool& accept) {
  // Without a scheme there is nowhere to drop.
  accept = source && source->Control() && activeScheme_;
  if (!accept || (shownDrag_ && shownDrag_ != source)) TakeOutShownDrag();
  if (!accept) return;
  // Keys pressed during the drag (Escape, Ctrl for a copy) reach the panel under the pointer.
  window_.TakeFocus();
  if (state == TDragState::Leave) {
    TakeOutShownDrag();
    return;
  }
  if (shownDrag_ != source) ShowDrag(*source);
  source->DropAt(*this, x, y);
  BeginSelectionUpdate(false);
  UnselectAll();
  SelectOne(source->Control());
  EndSelectionUpdate(false);
}

bool TVexaPanel::DropHome(TVexaDragObject& source, int32_t x, int32_t y) {
  const std::shared_ptr<TDragSession> session = dragSession_;
  if (!session || session->object.get() != &source || !session->move) return false;
  TakeOutShownDrag();
  const TPoint doc = PixelToDocPoint({x, y});
  const int64_t left = static_cast<int64_t>(doc.x) - source.Grab().x;
  const int64_t top = static_cast<int64_t>(doc.y) - source.Grab().y;
  RestoreSelection(session->selected);
  MoveSelection(ClampToInt32(left - session->startTopLeft.x), ClampToInt32(top - session->startTopLeft.y));
  session->droppedHome = true;
  return true;
}

void TVexaPanel::DragDrop(TVexaDragObject* source, int32_t x, int32_t y) {
  if (!source || !source->Control() || !activeScheme_) return;
  if (DropHome(*source, x, y)) {
    if (OnDragDrop) OnDragDrop(*this, *source, x, y);
    return;
  }
  if (shownDrag_ != source) {
    TakeOutShownDrag();
    ShowDrag(*source);
  }
  source->DropAt(*this, x, y);
  TVexaControl* group = source->Control();
  {
    TRecordingOff off(*history_);
    TPassControlRec pass;
    for (TVexaControl* c = pass.PassFirst(group); c; c = pass.PassNext()) {
      if (c != group && c->GetID() == 0) c->SetID(AssignControlId(*c, 0));
    }
    BeginSelectionUpdate(false);
    UnselectAll();
    SelectOne(group);
    EndSelectionUpdate(false);
    UngroupSelection();
  }
  // The group is gone; its controls are the document's now.
  source->GiveUpControl();
  shownDrag_ = nullptr;
  modified_ = true;
  if (dragSession_ && dragSession_->object.get() == source) dragSession_->droppedHome = true;
  PanelHistory().RecordSelectionCreation();
  UpdateScrollRange();
  Repaint();
  if (OnDragDrop) OnDragDrop(*this, *source, x, y);
}

TVexaDragObject* TVexaPanel::DragObjectOf(const TDragData& data) {
  if (data.object && data.objectKind && std::strcmp(data.objectKind, kDragObjectKind) == 0) {
    return static_cast<TVexaDragObject*>(data.object);
  }
  if (foreignDrag_) return foreignDrag_.get();
  const std::string& mime = VexaControlsMime();
  if (mime.empty() || !data.bytes) return nullptr;
  if (std::find(data.formats.begin(), data.formats.end(), mime) == data.formats.end()) return nullptr;
  const std::optional<std::vector<uint8_t>> bytes = data.bytes(mime);
  if (!bytes) return nullptr;
  TMemoryStream stream(std::string(bytes->begin(), bytes->end()));
  std::unique_ptr<TVexaDragObject> loaded = LoadDragGroup(stream, "DragGroup");
  if (loaded->Control()->GetCount() == 0) return nullptr;
  // Grabbed at its middle: where another program's drag took it is not known.
  const TVexaControl& group = *loaded->Control();
  loaded->SetGrab({group.GetWidth() / 2, group.GetHeight() / 2});
  foreignDrag_ = std::move(loaded);
  return foreignDrag_.get();
}

bool TVexaPanel::WindowDragOver(const TDragData& data, TPoint point, TDragState state) {
  bool accept = false;
  try {
    TVexaDragObject* source = state == TDragState::Leave && !data.object ? foreignDrag_.get() : DragObjectOf(data);
    if (state == TDragState::Leave && !source) source = shownDrag_;
    DragOver(source, point.x, point.y, state, accept);
  } catch (const std::exception&) {
    // Bytes of our format that do not read are no drag of ours.
    TakeOutShownDrag();
    accept = false;
  }
  if (state == TDragState::Leave) foreignDrag_.reset();
  return accept && state != TDragState::Leave;
}

bool TVexaPanel::WindowDragDrop(const TDragData& data, TPoint point, TDropAction) {
  bool taken = false;
  try {
    TVexaDragObject* source = DragObjectOf(data);
    if (source && source->Control() && activeScheme_) {
      DragDrop(source, point.x, point.y);
      taken = true;
    }
  } catch (const std::exception&) {
    TakeOutShownDrag();
  }
  foreignDrag_.reset();
  return taken;
}

}  // namespace pv::graphics

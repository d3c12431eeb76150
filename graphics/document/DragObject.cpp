#include "document/DragObject.h"

#include "controls/VexaControl.h"
#include "controls/VexaPanel.h"
#include "history/History.h"

namespace pv::graphics {

namespace {

// Recording stays off in a panel while the scope lives.
class TNoRecording {
 public:
  explicit TNoRecording(IVexaPanel* panel) : panel_(panel) {
    if (panel_) panel_->History().DisableRecording();
  }
  ~TNoRecording() {
    if (panel_) panel_->History().EnableRecording();
  }
  TNoRecording(const TNoRecording&) = delete;
  TNoRecording& operator=(const TNoRecording&) = delete;

 private:
  IVexaPanel* panel_;
};

}  // namespace

TVexaDragObject::TVexaDragObject(TVexaControl& control, TPoint grab, IVexaPanel* source)
    : control_(&control), grab_(grab), source_(source) {}

TVexaDragObject::~TVexaDragObject() {
  if (!control_ || control_->GetParent()) return;
  TNoRecording off(control_->Owner());
  control_->Free();
}

void TVexaDragObject::PrepareForDrag(IVexaPanel& target) {
  TNoRecording offSource(source_);
  TNoRecording offTarget(&target);
  control_->MoveToPanel(&target);
  control_->SetSelected(false);
  control_->SetLayerControl(nullptr);
  TPassControlRec pass;
  // The panel's ID check hands out fresh IDs for the zeros.
  for (TVexaControl* c = pass.PassFirst(control_); c; c = pass.PassNext()) c->SetID(0);
  control_->SetLeft(0);
  control_->SetTop(0);
}

void TVexaDragObject::DropAt(IVexaPanel& panel, int32_t x, int32_t y) {
  TNoRecording off(&panel);
  if (TVexaControl* scheme = panel.GetActiveScheme()) scheme->AddChild(control_);
  control_->SetLayerControl(panel.GetActiveLayer());
  const TPoint doc = panel.PixelToDocPoint({x, y});
  control_->BeginUpdate();
  control_->SetLeft(doc.x - grab_.x);
  control_->SetTop(doc.y - grab_.y);
  control_->EndUpdate();
}

}  // namespace pv::graphics

// The document as a whole: clearing it and starting a new one.

#include "document/Schemes.h"
#include "panel/PanelHistory.h"
#include "panel/VexaPanel.h"

namespace pv::graphics {

namespace {

// Recording stays off for the scope (and comes back on when it is left by an exception).
class TRecordingOff {
 public:
  explicit TRecordingOff(THistory& history) : history_(history) { history_.DisableRecording(); }
  ~TRecordingOff() { history_.EnableRecording(); }
  TRecordingOff(const TRecordingOff&) = delete;
  TRecordingOff& operator=(const TRecordingOff&) = delete;

 private:
  THistory& history_;
};

}  // namespace

void TVexaPanel::ClearDocument() {
  TRecordingOff off(*history_);
  history_->Clear();
  selection_.clear();
  selected_.clear();
  pointEdited_ = nullptr;
  activeScheme_ = nullptr;
  schemes_->ClearChildren();
  activeLayer_ = nullptr;
  layers_->ClearChildren();
  while (!parentless_.empty()) parentless_.back()->Free();
  Repaint();
}

void TVexaPanel::NewDocument() {
  TRecordingOff off(*history_);
  ClearDocument();
  TVexaControl* scheme = schemes_->GetCount() > 0 ? schemes_->GetChild(0) : TVexaControl::New<TVexaScheme>(this, schemes_);
  SetActiveScheme(scheme);
  TVexaControl* layer = layers_->GetCount() > 0 ? layers_->GetChild(0) : layers_->NewLayer();
  SetActiveLayer(layer);
}

}  // namespace pv::graphics

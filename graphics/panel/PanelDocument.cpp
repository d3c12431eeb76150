// The document as a whole: clearing it and starting a new one.

#include "document/Schemes.h"
#include "panel/PanelHistory.h"
#include "panel/VexaPanel.h"

namespace pv::graphics {

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

void TVexaPanel::RenewDocument() {
  TRecordingOff off(*history_);
  ClearDocument();
  // The root holds the document's own properties; made again, it holds a new panel's.
  schemes_->Free();
  // The panel's copy of the gap first: the new root's default then has nothing to pass on.
  connectorsMinGap_ = TVexaSchemes::kDefaultMinGap;
  schemes_ = TVexaControl::New<TVexaSchemes>(this, nullptr);
  schemes_->SetWidth(kNewDocWidth);
  schemes_->SetHeight(kNewDocHeight);
  NewDocument();
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

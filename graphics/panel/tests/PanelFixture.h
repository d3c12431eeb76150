#pragma once
// A panel on a null window of 400 x 300 pixels, with helpers that make plain controls.

#include <memory>
#include <string>

#include "document/Schemes.h"
#include "panel/VexaPanel.h"
#include "panelwindow/NullPanelWindow.h"

namespace pv::graphics::test {

struct PanelFixture {
  explicit PanelFixture(bool editing = true) : panel(window, editing) {}

  TVexaControl* Scheme() const { return panel.Schemes().GetChild(0); }
  TVexaControl* Box(TVexaControl* parent, const TRect& r, const std::string& name = {}) {
    TVexaControl* c = TVexaControl::New<TVexaControl>(&panel, parent, panel.GetActiveLayer());
    c->SetVisible(true);
    c->SetDocRect(r);
    if (!name.empty()) c->SetName(name);
    return c;
  }

  std::string SaveText() {
    TMemoryStream stream;
    std::unique_ptr<TVexaFiler> filer = panel.CreateFiler(stream, TVexaFilerProcess::ppSave);
    panel.SaveDocumentToFiler(*filer);
    filer->Flush();
    return stream.Text();
  }
  void LoadText(const std::string& text, TLoadMode mode = TLoadMode::Document) {
    TMemoryStream stream(text);
    std::unique_ptr<TVexaFiler> filer = panel.CreateFiler(stream, TVexaFilerProcess::ppLoad);
    panel.LoadDocumentFromFiler(*filer, mode);
  }

  panelwindow::TNullPanelWindow window{400, 300};
  TVexaPanel panel;
};

}  // namespace pv::graphics::test

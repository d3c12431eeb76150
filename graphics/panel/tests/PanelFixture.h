#pragma once
// A panel on a null window of 400 x 300 pixels, with helpers that make plain controls.

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

  panelwindow::TNullPanelWindow window{400, 300};
  TVexaPanel panel;
};

}  // namespace pv::graphics::test

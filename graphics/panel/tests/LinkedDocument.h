#pragma once
// A panel on a null window holding two boxes joined by a connector ("a", "b", "link"), a third
// box "c" and a connector "outer" from "c" to "a", with the history on; helpers to find
// controls by name and to check that a set of connectors links boxes of its own set.

#include <set>
#include <string>
#include <vector>

#include "connectors/VexaConnector.h"
#include "controls/LinkProps.h"
#include "panel/PanelHistory.h"
#include "panel/VexaGraphics.h"
#include "panel/tests/PanelFixture.h"
#include "shapes/VexaBox.h"

namespace pv::graphics::test {

struct Registered {
  Registered() { RegisterVexaGraphics(); }
};

struct LinkedDocument : Registered, PanelFixture {
  LinkedDocument() {
    panel.SetConnectorsMinGap(1000);
    a = Shape<TVexaBox>({10000, 10000, 20000, 20000}, "a");
    b = Shape<TVexaBox>({40000, 10000, 50000, 20000}, "b");
    link = Shape<TVexaConnector>({0, 0, 1, 1}, "link");
    LinkEnd(link->LinkA(), a, {20000, 15000});
    LinkEnd(link->LinkB(), b, {40000, 15000});
    c = Shape<TVexaBox>({10000, 60000, 20000, 70000}, "c");
    outer = Shape<TVexaConnector>({0, 0, 1, 1}, "outer");
    LinkEnd(outer->LinkA(), c, {15000, 60000});
    LinkEnd(outer->LinkB(), a, {15000, 20000});
    panel.SetModified(false);
    panel.PanelHistory().SetActive(true);
  }

  static void LinkEnd(TLinkPointProp& end, TVexaControl* control, TPoint point) {
    end.SetLinkedControl(control);
    end.SetLinkPoint(point);
  }
  void SelectOnly(const std::vector<TVexaControl*>& controls) {
    panel.UnselectAll();
    for (TVexaControl* s : controls) panel.Select(s);
  }
  std::vector<TVexaControl*> Selection() const {
    std::vector<TVexaControl*> out;
    for (int i = 0; i < panel.SelectedCount(); ++i) out.push_back(panel.Selected(i));
    return out;
  }
  std::set<int32_t> SelectedIds() const {
    std::set<int32_t> ids;
    for (TVexaControl* s : Selection()) ids.insert(s->GetId());
    return ids;
  }

  TVexaBox* a;
  TVexaBox* b;
  TVexaConnector* link;
  TVexaBox* c;
  TVexaConnector* outer;
};

// The controls of one scheme with that name.
inline std::vector<TVexaControl*> Named(TVexaControl& scheme, const std::string& name) {
  std::vector<TVexaControl*> out;
  for (int i = 0; i < scheme.GetCount(); ++i) {
    if (scheme.GetChild(i)->GetName() == name) out.push_back(scheme.GetChild(i));
  }
  return out;
}

// Every connector among the controls links both its ends to boxes among them.
inline bool ConnectorsLinkTheirOwnBoxes(const std::vector<TVexaControl*>& controls) {
  const std::set<TVexaControl*> own(controls.begin(), controls.end());
  int connectors = 0;
  for (TVexaControl* s : controls) {
    auto* connector = dynamic_cast<TVexaConnector*>(s);
    if (!connector) continue;
    ++connectors;
    if (!own.count(connector->LinkA().LinkedControl()) || !own.count(connector->LinkB().LinkedControl())) return false;
  }
  return connectors > 0;
}

}  // namespace pv::graphics::test

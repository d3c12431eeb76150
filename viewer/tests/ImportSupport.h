#pragma once
// Shared helpers of the import tests: a document panel on a null window, emptied as the
// viewer empties it before a conversion, and a description of the converted document in the
// terms the independent oracle (dxf_import_expect.py) prints.

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "DXF_model.h"
#include "TestSupport.h"
#include "VexaDxfImport.h"
#include "canvas/RecordingCanvas.h"
#include "document/Group.h"
#include "document/Schemes.h"
#include "document/ServiceControls.h"
#include "panel/VexaGraphics.h"
#include "panel/VexaPanel.h"
#include "panelwindow/NullPanelWindow.h"
#include "paths/PathTypes.h"
#include "shapes/VexaCurve.h"
#include "shapes/VexaEllipse.h"
#include "shapes/VexaText.h"

namespace pv::viewer::test {

namespace fs = std::filesystem;

// A document panel that texts can measure themselves in (the recording canvas's metrics).
struct ImportPanel {
  ImportPanel() : panel(window, true) {
    graphics::RegisterVexaGraphics();
    previous = canvas::SetBitmapCanvasFactory(&factory);
    panel.NewDocument();
    Empty();
  }
  ~ImportPanel() { canvas::SetBitmapCanvasFactory(previous); }
  ImportPanel(const ImportPanel&) = delete;
  ImportPanel& operator=(const ImportPanel&) = delete;

  // What the viewer does before a conversion: the active scheme's children and all layers go.
  void Empty() {
    panel.GetActiveScheme()->ClearChildren();
    panel.Layers().ClearChildren();
  }
  graphics::TVexaControl& Scheme() const { return *panel.GetActiveScheme(); }
  std::vector<std::string> LayerNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < panel.Layers().GetCount(); ++i) names.push_back(panel.Layers().GetChild(i)->GetName());
    return names;
  }

  canvas::RecordingBitmapCanvasFactory factory;
  canvas::BitmapCanvasFactory* previous = nullptr;
  panelwindow::TNullPanelWindow window{400, 300};
  graphics::TVexaPanel panel;
};

inline std::string LayerOf(const graphics::TVexaControl& c) { return c.GetLayer() ? c.GetLayer()->GetName() : "-"; }

// One line per control, as the oracle prints it; groups are listed and then looked into.
inline void Describe(const graphics::TVexaControl& parent, std::vector<std::string>& out) {
  using namespace graphics;
  for (int i = 0; i < parent.GetCount(); ++i) {
    const TVexaControl& c = *parent.GetChild(i);
    const TRect r = c.GetDocRect();
    std::ostringstream line;
    if (c.ClassType().Name() == std::string("TVexaGroup")) {
      line << "GROUP\t" << LayerOf(c) << '\t' << c.GetName();
      out.push_back(line.str());
      Describe(c, out);
      continue;
    }
    if (auto* curve = dynamic_cast<const TVexaCurve*>(&c)) {
      std::vector<TPoint> points;
      std::vector<uint8_t> types;
      curve->GetPointsEx(points, types);
      line << "CURVE\t" << LayerOf(c) << '\t' << (curve->GetIsSolid() ? 1 : 0) << '\t';
      for (size_t k = 0; k < points.size(); ++k) {
        if (k) line << ' ';
        line << points[k].x + r.left << ',' << points[k].y + r.top;
        if (types[k] != ptNode) line << ':' << int{types[k]};
      }
    } else if (auto* text = dynamic_cast<const TVexaText*>(&c)) {
      const int a = text->GetAlignment();
      const int32_t x = a == 1 ? r.right : a == 2 ? r.left + (r.right - r.left) / 2 : r.left;
      line << "TEXT\t" << LayerOf(c) << '\t' << x << '\t' << r.bottom << '\t' << text->Font().GetHeight() << '\t' << a
           << '\t' << text->Text().GetText();
    } else if (auto* ellipse = dynamic_cast<const TVexaEllipse*>(&c)) {
      const bool arc = c.ClassType().Name() == std::string("TVexaArc");
      line << (arc ? "ARC\t" : "ELLIPSE\t") << LayerOf(c) << '\t' << r.left << '\t' << r.top << '\t' << r.right << '\t'
           << r.bottom;
      if (arc) line << '\t' << ellipse->GetBeginAngle() << '\t' << ellipse->GetEndAngle();
    } else {
      line << "OTHER\t" << c.ClassName();
    }
    out.push_back(line.str());
  }
}

inline std::vector<std::string> Describe(const ImportPanel& p) {
  std::vector<std::string> out;
  Describe(p.Scheme(), out);
  return out;
}

inline std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// A drawing read from a file, with the reader's prompts answered.
struct ReadDrawing {
  RecordingPrompts prompts;
  RecordingBusyBox busy;
  std::vector<std::string> skipped;
  std::unique_ptr<DXF_Object> drawing;
};

inline std::unique_ptr<ReadDrawing> ReadFile(const fs::path& file) {
  auto r = std::make_unique<ReadDrawing>();
  r->drawing = DXF_Object::CreateFromFile(file, &r->skipped, r->busy, r->prompts);
  return r;
}

}  // namespace pv::viewer::test

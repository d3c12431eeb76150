#pragma once
// An editing panel in a 400 x 300 Qt scroll area on the offscreen platform, with the editor
// cursors loaded: the window that Qt-level panel tests drive with synthetic events.

#include <QApplication>
#include <QImage>

#include <memory>

#include "forms/Cursors.h"
#include "panel/VexaGraphics.h"
#include "panel/VexaPanel.h"
#include "panelwindow/QtPanelWindow.h"
#include "qtcanvas/QtCanvas.h"

namespace pv::graphics::test {

struct QtPanelFixture {
  QtPanelFixture() {
    RegisterVexaGraphics();
    qtcanvas::RegisterBitmapCanvasFactory();
    forms::LoadEditorCursors();
    window.setFrameShape(QFrame::NoFrame);
    window.resize(400, 300);
    window.show();
    QApplication::processEvents();
    panel = std::make_unique<TVexaPanel>(window, true);
  }
  ~QtPanelFixture() { panel.reset(); }
  QtPanelFixture(const QtPanelFixture&) = delete;
  QtPanelFixture& operator=(const QtPanelFixture&) = delete;

  // What the viewport shows now.
  QImage Shot() {
    QApplication::processEvents();
    return window.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  panelwindow::TQtPanelWindow window;
  std::unique_ptr<TVexaPanel> panel;
};

}  // namespace pv::graphics::test

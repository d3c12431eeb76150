#pragma once
// The library's start-up: a program calls RegisterVexaGraphics once before it makes a panel or
// loads a document. Registration is explicit (no static initialisers), so the order is fixed
// and a program that never uses the library pays nothing for it.

#include <string>

namespace pv::graphics {

// Registers the history actions (the history core, the property framework, the controls' and
// the panel's groups), every control class the document text may name (the document's own
// classes, the shapes and the connector), the picture kinds pictures are stored as, and the
// clipboard format of our own controls.
// Calling it again changes nothing.
void RegisterVexaGraphics();

// The name of the clipboard format that carries our own controls (the document text in
// clipboard framing).
inline constexpr const char* kVexaControlsFormat = "VexaGraphics controls";
// Its MIME type ("application/x-vexagraphics-controls"); empty until RegisterVexaGraphics.
const std::string& VexaControlsMime();

}  // namespace pv::graphics

#pragma once
// The library's start-up: a program calls RegisterVexaGraphics once before it makes a panel or
// loads a document. Registration is explicit (no static initialisers), so the order is fixed
// and a program that never uses the library pays nothing for it.

namespace pv::graphics {

// Registers the history actions (the history core, the property framework, the controls' and
// the panel's groups) and every control class the document text may name: the document's own
// classes, the shapes and the connector. Calling it again changes nothing.
void RegisterVexaGraphics();

}  // namespace pv::graphics

#pragma once
// The start-up call of the shape controls (explicit: static registration in a static library
// would be dropped by the linker).

namespace pv::graphics {

// Registers the document's classes (RegisterDocumentClasses) and then the shape classes.
void RegisterShapeClasses();

}  // namespace pv::graphics

#pragma once
// The start-up call of the shape control classes (a static library registers nothing by
// itself: static registration would be dropped by the linker).

namespace pv::graphics {

// Registers the shape controls with the control class registry, so that documents can name them.
void RegisterShapeClasses();

}  // namespace pv::graphics

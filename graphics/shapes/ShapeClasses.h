#pragma once
// The start-up call of the shape classes (nothing registers itself: a static registration in a
// static library would be dropped by the linker).

namespace pv::graphics {

// Registers the box, the ellipse and the arc, in that order.
void RegisterShapeClasses();

}  // namespace pv::graphics

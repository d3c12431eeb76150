#pragma once
// The start-up call of the document's control classes (the controls' library calls nothing by
// itself: static registration would be dropped by the linker).

namespace pv::graphics {

// Registers the layer, the scheme, the base control, the service control, the group and the
// clone (in that order),
// and the history actions the controls record.
void RegisterDocumentClasses();

}  // namespace pv::graphics

#pragma once
// Seeded random sequences of ordinary edits on a panel with the null window, checked after
// every step for the two promises of the document: a saved text reads back to the same text,
// and every change of the text is an undo step whose undo and redo give back exactly the texts
// seen on the way. A failing sequence shrinks to a short one, printed as a test to paste.
//
// A sequence is a document (edits run with the history off, in an empty panel) followed by
// the edits that are checked. An edit names its controls by position in the document's
// current list of controls, taken modulo its length, so that any part of a sequence still
// runs after others are dropped.

#include <cstdint>
#include <string>
#include <vector>

namespace pv::graphics::test {

enum class TEditKind : uint8_t {
  AddControl,     // a: class, b/c: left/top, d: size
  AddLayer,       // a: made active when odd
  AddScheme,      // a: made active when odd
  Select,         // a: the only selected control
  SelectAlso,     // a: added to the selection
  SelectAll,      // every child of the active scheme
  MoveSelection,  // a, b: dx, dy
  ResizeSelection,  // a: handle, b/c: dx, dy, d: proportional when odd
  RotateSelection,  // a: quarter turns, b: mirrored when odd
  DeleteSelection,
  GroupSelection,
  UngroupSelection,
  Link,           // a: connector, b: end (odd: B), c: control linked, d: side of it
  Unlink,         // a: connector, b: end
  CloneSource,    // a: clone, b: its new source
  SetProperty,    // a: control, b: property, c: value
  Rename,         // a: control, b: name
  Bracket,        // a: control, b/c/d: what the update changes
  Reparent,       // a: control, b: new parent (a group or a scheme)
  MoveToLayer,    // a: control, b: layer
  SetPoints,      // a: control with points, b/c: shape of the new points
  CutPaste,       // a: 0 cut, 1 copy and paste, 2 cut and paste
  ActiveLayer,    // a: layer
  Count
};

struct TEdit {
  TEditKind kind;
  int32_t a = 0;
  int32_t b = 0;
  int32_t c = 0;
  int32_t d = 0;
};

struct TEditSequence {
  std::vector<TEdit> document;
  std::vector<TEdit> edits;
};

// A document of 5 to 14 controls and 30 to 40 edits from the seed.
TEditSequence RandomEditSequence(uint64_t seed);

// Runs the sequence on a fresh panel; empty when every promise held, else what broke (its
// first word names the kind of fault).
std::string RunEditSequence(const TEditSequence& sequence);

// The shortest sequence found by dropping edits, dropping document parts and zeroing numbers
// that still fails with the same kind of fault.
TEditSequence ShrinkEditSequence(const TEditSequence& failing, const std::string& failure);

// C++ text that rebuilds the sequence as a test of RunEditSequence.
std::string FormatEditSequence(const TEditSequence& sequence, const std::string& failure);

}  // namespace pv::graphics::test

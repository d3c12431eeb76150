#pragma once
// The platform's mouse input as handlers receive it: which button, and the keys and buttons
// held, as bits. No Qt here: the document panel's window port passes the same values to
// model code.

#include <cstdint>

namespace pv::forms {

enum class TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

// The keys and buttons held during an input event, as bits.
enum TShiftFlag : unsigned {
  ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64,
};
using TShiftState = unsigned;

// The shift flag of a held button.
constexpr TShiftState ButtonFlag(TMouseButton button) {
  return button == TMouseButton::mbLeft ? ssLeft : button == TMouseButton::mbRight ? ssRight : ssMiddle;
}

}  // namespace pv::forms

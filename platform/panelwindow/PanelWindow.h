#pragma once
// The window of a document panel as the panel sees it: a client area with two scroll bars,
// invalidation, a cursor and a tool tip, and it passes on mouse, key and focus input. The document library talks only to this port; the Qt scroll
// area and the null window implement it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/Canvas.h"
#include "canvas/CanvasTypes.h"
#include "forms/MouseInput.h"

namespace pv::panelwindow {

using canvas::TRect;
using canvas::TPoint;

// ==== Drag and drop between windows: what a drag carries and how it ends ====
// None: cancelled or refused.
enum class TDropAction : uint8_t { None, Copy, Move };
enum class TDragState : uint8_t { Enter, Move, Leave };
// A drag's content: while it stays in this process, the object of the panel that started it
// (objectKind names its type, so a receiver never takes an object it does not know); for
// other programs, the same content as bytes of a MIME type.
struct TDragData {
  const char* objectKind = nullptr;
  void* object = nullptr;
  // The MIME types offered, and the bytes of one of them (none when it is not offered).
  std::vector<std::string> formats;
  std::function<std::optional<std::vector<uint8_t>>(std::string_view mime)> bytes;
};
// ==== end of drag and drop types

enum class TScrollBarKind : uint8_t { Horizontal, Vertical };

// Mouse input comes as the forms' paint boxes receive it.
using forms::ButtonFlag;
using forms::TMouseButton;
using forms::TShiftFlag;
using forms::TShiftState;
using enum forms::TShiftFlag;

// Key codes of the keys the panel handles (the platform's virtual-key numbers); any other
// key arrives with its own code and is passed over.
enum TPanelKey : uint16_t {
  vkEscape = 0x1B, vkLeft = 0x25, vkUp = 0x26, vkRight = 0x27, vkDown = 0x28, vkDelete = 0x2E,
  vkShift = 0x10, vkControl = 0x11, vkMenu = 0x12,
};

// What the window tells its panel.
class IPanelWindowEvents {
 public:
  virtual ~IPanelWindowEvents() = default;
  // ==== Drag and drop: a drag over the client area at a client point; true accepts a drop
  // there (a leave's answer does not count). A drop: true when the panel took it.
  virtual bool WindowDragOver(const TDragData&, TPoint, TDragState) { return false; }
  virtual bool WindowDragDrop(const TDragData&, TPoint, TDropAction) { return false; }
  // ==== end of drag and drop
  virtual void WindowResized() = 0;
  // The user (or the window itself) moved a scroll bar.
  virtual void WindowScrolled(TScrollBarKind bar) = 0;
  // The window needs updateRect (client pixels) painted; canvas pixel (0, 0) is its
  // left-top, and the canvas is clipped to its size.
  virtual void WindowPaint(canvas::Canvas&, const TRect&) {}
  // Mouse input in client pixels. The window keeps sending moves and the release to the
  // panel while a button is held, also outside the client area.
  virtual void WindowMouseDown(TMouseButton, TShiftState, int32_t, int32_t) {}
  virtual void WindowMouseMove(TShiftState, int32_t, int32_t) {}
  virtual void WindowMouseUp(TMouseButton, TShiftState, int32_t, int32_t) {}
  // The second press of a double click (its own press came as a mouse down before).
  virtual void WindowDoubleClick(TMouseButton, TShiftState, int32_t, int32_t) {}
  // True when the panel used the key (the window then does nothing else with it).
  virtual bool WindowKeyDown(uint16_t, TShiftState) { return false; }
  virtual void WindowKeyUp(uint16_t, TShiftState) {}
  // The window lost the keyboard focus, or was hidden: a release may never come.
  virtual void WindowFocusLost() {}
  virtual void WindowHidden() {}
};

class IPanelWindow {
 public:
  virtual ~IPanelWindow() = default;
  // ==== Drag and drop: runs a drag from this window until it ends and gives the action the
  // drop took (None: cancelled, or refused where it ended). preferred: the action a plain
  // drop takes (Copy allows only copies).
  virtual TDropAction StartDrag(const TDragData&, TDropAction) { return TDropAction::None; }
  // ==== end of drag and drop

  virtual void SetEvents(IPanelWindowEvents* events) = 0;
  // Placed in a host window: scroll geometry means something only then.
  virtual bool HasParent() const = 0;
  // The client area in pixels, origin (0, 0).
  virtual TRect ClientRect() const = 0;

  // The scroll bar covers 0 .. range pixels; it shows when the range exceeds the client
  // extent. line: the step of one arrow click.
  virtual void SetScrollRange(TScrollBarKind bar, int32_t range, int32_t line) = 0;
  virtual bool ScrollBarVisible(TScrollBarKind bar) const = 0;
  virtual int32_t ScrollPos(TScrollBarKind bar) const = 0;
  // Clamped to the range less the client extent.
  virtual void SetScrollPos(TScrollBarKind bar, int32_t pos) = 0;

  virtual void Invalidate(const TRect& rect) = 0;
  virtual void InvalidateAll() = 0;
  // An index of the screen's cursor table (0: the arrow).
  virtual void SetCursor(int index) = 0;
  virtual bool Focused() const = 0;
  // Gives the window the keyboard focus.
  virtual void TakeFocus() {}
  // The tip shown when the pointer rests over the client area; empty for none (a tip on
  // screen goes away).
  virtual void SetToolTip(const std::string& text) = 0;
};

}  // namespace pv::panelwindow

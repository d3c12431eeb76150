#pragma once
// Event handlers of the windows run inside Guarded: an exception that a handler lets out is
// shown in a message box (as the application's default handler would) and the program goes
// on. Nothing may escape into Qt's event loop, which cannot unwind through its C frames.

#include <exception>
#include <string>
#include <utility>

#include "forms/Dialogs.h"

class QWidget;

namespace pv::forms {

// Shows the failure of a handler; never throws.
void ReportHandlerFailure(QWidget* owner, const std::string& text) noexcept;

template <typename Handler>
void Guarded(QWidget* owner, Handler&& handler) noexcept {
  try {
    std::forward<Handler>(handler)();
  } catch (const std::exception& e) {
    ReportHandlerFailure(owner, e.what());
  } catch (...) {
    ReportHandlerFailure(owner, "Unknown error");
  }
}

}  // namespace pv::forms

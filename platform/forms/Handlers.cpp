#include "forms/Handlers.h"

#include <cstdio>

namespace pv::forms {

void ReportHandlerFailure(QWidget* owner, const std::string& text) noexcept {
  try {
    Dialogs().MessageBox(owner, ApplicationTitle(), text, MsgType::Error, MsgButtons::Ok);
  } catch (...) {
    // The box itself failed (out of memory, say): the console is all that is left.
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

}  // namespace pv::forms

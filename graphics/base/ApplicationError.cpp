#include "base/ApplicationError.h"

#include <cstdio>
#include <utility>

namespace pv::graphics {

namespace {

ApplicationExceptionHandler& Handler() {
  static ApplicationExceptionHandler handler;
  return handler;
}

void WriteToStandardError(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "VexaGraphics: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "VexaGraphics: unknown exception\n");
  }
}

}  // namespace

ApplicationExceptionHandler SetApplicationExceptionHandler(ApplicationExceptionHandler handler) {
  return std::exchange(Handler(), std::move(handler));
}

void HandleApplicationException() {
  const std::exception_ptr error = std::current_exception();
  if (!error) return;
  if (Handler()) {
    Handler()(error);
  } else {
    WriteToStandardError(error);
  }
}

}  // namespace pv::graphics

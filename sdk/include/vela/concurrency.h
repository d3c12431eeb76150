#pragma once
// Failures of vela50's synchronisation kit. A client sees them only when a
// wait inside the scanner framework itself goes wrong.

#include <exception>

#include "vela/export.h"

namespace concurrency::exceptions {

struct VELA_API failed : std::bad_exception {
  const char* what() const noexcept override;  // "concurrency::failed"
};

struct VELA_API timeout : std::exception {
  const char* what() const noexcept override;  // "concurrency::timeout"
};

}  // namespace concurrency::exceptions

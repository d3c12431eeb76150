#pragma once
// Where exceptions go that must not stop a loop over listeners: the application's handler
// (the host shows them; the default writes them to standard error).

#include <exception>
#include <functional>

namespace pv::graphics {

using ApplicationExceptionHandler = std::function<void(std::exception_ptr)>;

// Replaces the handler; an empty one restores the default. Returns the previous handler.
ApplicationExceptionHandler SetApplicationExceptionHandler(ApplicationExceptionHandler handler);
// Hands the exception being handled (call inside a catch block) to the handler.
void HandleApplicationException();

}  // namespace pv::graphics

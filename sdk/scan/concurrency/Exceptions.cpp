#include <vela/concurrency.h>

namespace concurrency::exceptions {

const char* failed::what() const noexcept { return "concurrency::failed"; }

const char* timeout::what() const noexcept { return "concurrency::timeout"; }

}  // namespace concurrency::exceptions

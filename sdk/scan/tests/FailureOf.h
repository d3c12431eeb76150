#pragma once
// The text of the exception of type E (or derived) a call throws, or
// "(no exception)"; any other exception escapes and fails the test.

#include <exception>
#include <functional>
#include <string>

template <typename E = std::exception>
std::string FailureOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const E& e) {
    return e.what();
  }
  return "(no exception)";
}

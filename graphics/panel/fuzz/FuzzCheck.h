#pragma once
// The panel fuzzers' check: a broken property is named on stderr and the run aborts, which
// the fuzzer reports as a finding with the input that caused it.

#include <cstdio>
#include <cstdlib>

namespace pv::graphics::fuzz {

inline void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

}  // namespace pv::graphics::fuzz

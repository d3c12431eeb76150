// The argument check every stream's Read and Write shares.
#pragma once

#include <cstdint>

#include "vela/base.h"

namespace vela::base {

// A count below zero, or bytes to move with no buffer to move them through, is the
// caller's mistake: refuse it before the stream changes.
inline void CheckByteArguments(const void* bytes, int32_t count) {
  if (count < 0 || (count > 0 && !bytes)) throw exceptions::invalid_argument();
}

}  // namespace vela::base

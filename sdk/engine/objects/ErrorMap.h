// Engine result codes turned into the SDK's exceptions.
#pragma once

#include <cstdint>

namespace vela::math {

// Returns for 0. Every code the engine documents throws its exception with a
// fixed text; any other code throws math_error whose text is `context`, the
// name of the engine call that returned it.
void ThrowOnXResult(const char* context, uint32_t code);

}  // namespace vela::math

// Until the engine's data building is in the tree, the object layer's tests
// run against the fake engine only.
#include <stdexcept>

#include "engine/objects/EngineCalls.h"

namespace vela::math {
const EngineCalls& NumericEngine() { throw std::logic_error("the numeric engine is not built yet"); }
}  // namespace vela::math

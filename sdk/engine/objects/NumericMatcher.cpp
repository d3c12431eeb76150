#include "engine/algorithms/DispatchMatchAlgorithm.h"
#include "engine/objects/MatchCalls.h"

namespace vela::math {

const MatchCalls& NumericMatchCalls() {
  static const MatchCalls calls{&engine::DispatchMatchAlgorithm};
  return calls;
}

}  // namespace vela::math

#include "engine/objects/MatchCalls.h"

#include <atomic>

namespace vela::math {

namespace {
std::atomic<const MatchCalls*> replacement{nullptr};
}  // namespace

const MatchCalls& CurrentMatchCalls() {
  const MatchCalls* calls = replacement.load(std::memory_order_acquire);
  return calls ? *calls : NumericMatchCalls();
}

ScopedMatchCalls::ScopedMatchCalls(const MatchCalls& calls)
    : previous(replacement.exchange(&calls, std::memory_order_acq_rel)) {}

ScopedMatchCalls::~ScopedMatchCalls() { replacement.store(previous, std::memory_order_release); }

}  // namespace vela::math

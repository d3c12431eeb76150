#include "engine/objects/EngineCalls.h"

#include <atomic>

namespace vela::math {

namespace {
std::atomic<const EngineCalls*> replacement{nullptr};
}  // namespace

const EngineCalls& CurrentEngine() {
  const EngineCalls* calls = replacement.load(std::memory_order_acquire);
  return calls ? *calls : NumericEngine();
}

ScopedEngineCalls::ScopedEngineCalls(const EngineCalls& calls)
    : previous(replacement.exchange(&calls, std::memory_order_acq_rel)) {}

ScopedEngineCalls::~ScopedEngineCalls() { replacement.store(previous, std::memory_order_release); }

}  // namespace vela::math

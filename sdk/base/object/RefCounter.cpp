#include "vela/base.h"

namespace vela::base {

BaseRefCounter::BaseRefCounter() : count(0) {}

BaseRefCounter::BaseRefCounter(const BaseRefCounter&) : count(0) {}

BaseRefCounter& BaseRefCounter::operator=(const BaseRefCounter&) { return *this; }

BaseRefCounter::~BaseRefCounter() = default;

void BaseRefCounter::AddRef() const { count.fetch_add(1, std::memory_order_relaxed); }

void BaseRefCounter::Release() const {
  // Decide on the value this decrement produced: a second read of the counter
  // could see another thread's change and free the object twice or never.
  const int32_t now = count.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (now == 0) {
    delete this;
    return;
  }
  if (now < 0) {
    // Undo the step so the object stays usable by whoever really owns it.
    count.fetch_add(1, std::memory_order_relaxed);
    throw exceptions::invalid_refcounter();
  }
}

long BaseRefCounter::Version() const { return 1; }

}  // namespace vela::base

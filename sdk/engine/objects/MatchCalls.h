// The numeric engine's matcher algorithms as the object layer reaches them.
// They go through one table so that tests can stand in for the engine and
// choose the scores it answers.
#pragma once

#include <cstdint>
#include <span>

#include "engine/matching/MatchContext.h"

namespace vela::math {

struct MatchCalls {
  // Scores block `probe` against block `stored` with the algorithm of the
  // id; false for an id the engine does not know.
  bool (*dispatch)(int32_t algorithmId, std::span<const uint8_t> probe,
                   std::span<const uint8_t> stored, engine::MatchContext& context, int32_t& score);
};

// The calls in use: the numeric engine, unless a test has put its own in place.
const MatchCalls& CurrentMatchCalls();

// The numeric engine itself.
const MatchCalls& NumericMatchCalls();

// Puts `calls` in place of the engine for the guard's lifetime. Tests only;
// matchers in other threads see the change too.
class ScopedMatchCalls {
 public:
  explicit ScopedMatchCalls(const MatchCalls& calls);
  ~ScopedMatchCalls();
  ScopedMatchCalls(const ScopedMatchCalls&) = delete;
  ScopedMatchCalls& operator=(const ScopedMatchCalls&) = delete;

 private:
  const MatchCalls* previous;
};

}  // namespace vela::math

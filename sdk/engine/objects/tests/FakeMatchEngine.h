// Stands in for the engine's matcher algorithms: answers a score a test
// chooses and records which algorithm each comparison asked for.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

#include "engine/objects/MatchCalls.h"
#include "engine/objects/TemplateImpl.h"
#include "engine/objects/XTemplateImpl.h"

namespace vela::math::testing {

// A block that carries the score the stand-in answers for it: the int32
// after its size and data id.
std::vector<uint8_t> ScoredBlock(int32_t score, int32_t dataId = 165);
int32_t ScoreCarriedBy(std::span<const uint8_t> block);

base::smart_ptr<Template> ScoredTemplate(int32_t score, int32_t dataId = 165);
base::smart_ptr<XTemplate> ScoredXTemplate(int32_t score, int32_t dataId = 150);

class FakeMatchEngine {
 public:
  FakeMatchEngine();
  ~FakeMatchEngine();
  FakeMatchEngine(const FakeMatchEngine&) = delete;
  FakeMatchEngine& operator=(const FakeMatchEngine&) = delete;

  // The score of a comparison; by default the one the stored block carries.
  // Called from whichever thread matches, so it must be safe to share.
  std::function<int32_t(int32_t algorithm, std::span<const uint8_t> probe,
                        std::span<const uint8_t> stored)>
      score = [](int32_t, std::span<const uint8_t>, std::span<const uint8_t> stored) {
        return ScoreCarriedBy(stored);
      };
  // Left in the context's last-result slot after each comparison when set.
  bool leaveAlignment = false;
  std::array<int32_t, 3> alignment{};
  // Ids it claims not to know.
  std::vector<int32_t> unknownIds;

  std::vector<int32_t> Algorithms() const;

 private:
  static bool Dispatch(int32_t algorithmId, std::span<const uint8_t> probe,
                       std::span<const uint8_t> stored, engine::MatchContext& context,
                       int32_t& score);

  static FakeMatchEngine* active;
  mutable std::mutex lock;
  std::vector<int32_t> algorithms;
  MatchCalls calls;
  ScopedMatchCalls guard;
};

}  // namespace vela::math::testing

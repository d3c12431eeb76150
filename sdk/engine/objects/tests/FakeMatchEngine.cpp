#include "FakeMatchEngine.h"

#include <algorithm>

#include "base/ByteOrder.h"

namespace vela::math::testing {

using base::smart_ptr;

std::vector<uint8_t> ScoredBlock(int32_t score, int32_t dataId) {
  std::vector<uint8_t> block(12);
  WriteLe<int32_t>(block.data(), int32_t(block.size()));
  WriteLe<int32_t>(block.data() + 4, dataId);
  WriteLe<int32_t>(block.data() + 8, score);
  return block;
}

int32_t ScoreCarriedBy(std::span<const uint8_t> block) {
  return block.size() >= 12 ? ReadLe<int32_t>(block.data() + 8) : 0;
}

smart_ptr<Template> ScoredTemplate(int32_t score, int32_t dataId) {
  return smart_ptr<Template>(new TemplateImpl(TemplateIds{uint16_t(dataId), 14}, 0,
                                              ScoredBlock(score, dataId), {}, {}, {}));
}

smart_ptr<XTemplate> ScoredXTemplate(int32_t score, int32_t dataId) {
  return smart_ptr<XTemplate>(
      new XTemplateImpl(TemplateIds{uint16_t(dataId), 14}, ScoredBlock(score, dataId), {}));
}

FakeMatchEngine* FakeMatchEngine::active = nullptr;

FakeMatchEngine::FakeMatchEngine() : calls{&Dispatch}, guard(calls) { active = this; }

FakeMatchEngine::~FakeMatchEngine() { active = nullptr; }

std::vector<int32_t> FakeMatchEngine::Algorithms() const {
  std::lock_guard<std::mutex> hold(lock);
  return algorithms;
}

bool FakeMatchEngine::Dispatch(int32_t algorithmId, std::span<const uint8_t> probe,
                               std::span<const uint8_t> stored, engine::MatchContext& context,
                               int32_t& score) {
  FakeMatchEngine& self = *active;
  {
    std::lock_guard<std::mutex> hold(self.lock);
    self.algorithms.push_back(algorithmId);
  }
  if (std::count(self.unknownIds.begin(), self.unknownIds.end(), algorithmId)) return false;
  score = self.score(algorithmId, probe, stored);
  if (self.leaveAlignment) engine::SetMatchResult(context, self.alignment);
  return true;
}

}  // namespace vela::math::testing

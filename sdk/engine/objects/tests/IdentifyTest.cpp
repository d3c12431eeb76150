// Identification over a stand-in engine: the ranking of candidates, the two
// kinds of set, and several threads identifying against one set.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "FakeMatchEngine.h"
#include "engine/objects/MatchResults.h"
#include "engine/objects/TemplateImpl.h"
#include "vela/math.h"

namespace vela::math {
namespace {

using base::smart_ptr;
using testing::FakeMatchEngine;
using testing::ScoredTemplate;
namespace ex = base::exceptions;

struct Ranked {
  int32_t score, id;
  bool operator==(const Ranked&) const = default;
};

std::vector<Ranked> Ranking(const smart_ptr<CandidateList>& list) {
  std::vector<Ranked> ranked;
  for (int32_t i = 0; i < list->Count(); ++i)
    ranked.push_back({list->GetByIndex(i)->GetScore(), list->GetByIndex(i)->GetId()});
  return ranked;
}

void PrintTo(const Ranked& r, std::ostream* out) { *out << "{" << r.score << ", id " << r.id << "}"; }

smart_ptr<MatchResult> Scored(int32_t score) {
  return smart_ptr<MatchResult>(new MatchResultImpl(score, {}));
}

TEST(CandidateList, TiesKeepTheirOrderAndTheTailIsCut) {
  struct Case {
    const char* name;
    int32_t minScore, maxCount;
    std::vector<int32_t> scores;  // added with ids 1, 2, 3, ...
    std::vector<Ranked> expected;
  };
  const Case cases[] = {
      {"the text's example", 40, 2, {10, 900, 900, 50, 1200}, {{1200, 5}, {900, 2}}},
      {"room for all", 40, 10, {10, 900, 900, 50, 1200}, {{1200, 5}, {900, 2}, {900, 3}, {50, 4}}},
      {"ties in order found", 0, 10, {5, 7, 5, 7, 5}, {{7, 2}, {7, 4}, {5, 1}, {5, 3}, {5, 5}}},
      {"a late tie at the cut is dropped", 0, 2, {7, 7, 7}, {{7, 1}, {7, 2}}},
      {"a better one pushes the last out", 0, 2, {5, 6, 9}, {{9, 3}, {6, 2}}},
      {"exactly the minimum counts", 50, 5, {49, 50, 51}, {{51, 3}, {50, 2}}},
      {"max count 0", 0, 0, {100, 200}, {}},
      {"a negative max count keeps nothing", 0, -3, {100, 200}, {}},
      {"negative scores above a negative minimum", -4, 5, {-5, -4, -1}, {{-1, 3}, {-4, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const smart_ptr<CandidateListImpl> list(new CandidateListImpl(c.minScore, c.maxCount));
    int32_t id = 0;
    for (int32_t score : c.scores) {
      ++id;
      list->Add(Scored(score), id, id * 10);
    }
    EXPECT_EQ(Ranking(list), c.expected);
    for (int32_t i = 0; i < list->Count(); ++i)
      EXPECT_EQ(list->GetByIndex(i)->GetValue(), list->GetByIndex(i)->GetId() * 10);
    EXPECT_THROW(list->GetByIndex(list->Count()), ex::out_of_range);
    EXPECT_THROW(list->GetByIndex(-1), ex::out_of_range);
  }
}

TEST(Identify, RanksTheEntriesOfEitherKindOfSet) {
  FakeMatchEngine engine;
  const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_LOW, MATCH_SPEED_QUICK);
  const smart_ptr<RecordSet> records = Create_RecordSet();
  const smart_ptr<TemplateSet> templates = Create_TemplateSet();
  const int32_t scores[] = {10, 900, 900, 50, 1200};
  for (int32_t i = 0; i < 5; ++i) {
    // Added out of id order: the walk is by id.
    const int32_t id = 50 - i * 10;
    records->Add(ScoredTemplate(scores[4 - i]), id, id + 1);
    templates->Add(ScoredTemplate(scores[4 - i]), id, id + 1);
  }
  const smart_ptr<Template> probe = ScoredTemplate(0);
  const std::vector<Ranked> expected = {{1200, 50}, {900, 20}};
  const smart_ptr<CandidateList> fromRecords = matcher->Identify(probe, records, 2, 40);
  EXPECT_EQ(Ranking(fromRecords), expected);
  EXPECT_EQ(fromRecords->GetByIndex(1)->GetValue(), 21);
  EXPECT_EQ(Ranking(matcher->Identify(probe, templates, 2, 40)), expected);
  EXPECT_EQ(matcher->Identify(probe, templates, 0, 40)->Count(), 0);
  EXPECT_EQ(matcher->Identify(probe, Create_RecordSet(), 5, 0)->Count(), 0);
}

TEST(Identify, LeavesTheClientsEnumerationAlone) {
  FakeMatchEngine engine;
  const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_LOW, MATCH_SPEED_THOROUGH);
  const smart_ptr<TemplateSet> set = Create_TemplateSet();
  for (int32_t id = 1; id <= 3; ++id) set->Add(ScoredTemplate(id * 100), id);
  ASSERT_TRUE(set->MoveNext());
  ASSERT_TRUE(set->MoveNext());
  EXPECT_EQ(matcher->Identify(ScoredTemplate(0), set, 5, 0)->Count(), 3);
  EXPECT_EQ(set->Current()->GetId(), 2);
  ASSERT_TRUE(set->MoveNext());
  EXPECT_EQ(set->Current()->GetId(), 3);
}

TEST(Identify, SkipsWhatItCannotCompareButRefusesABadProbe) {
  FakeMatchEngine engine;
  const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_LOW, MATCH_SPEED_THOROUGH);
  const smart_ptr<RecordSet> set = Create_RecordSet();
  set->Add(ScoredTemplate(800), 1);
  set->Add(ScoredTemplate(900, 1), 2);  // a list of impressions among finger sets
  set->Add(smart_ptr<Template>(new TemplateImpl(TemplateIds{165, 14}, 0, {1, 0, 0}, {}, {}, {})), 3);
  const smart_ptr<CandidateList> found = matcher->Identify(ScoredTemplate(0), set, 5, 0);
  ASSERT_EQ(found->Count(), 1);
  EXPECT_EQ(found->GetByIndex(0)->GetId(), 1);
  const smart_ptr<CandidateList> lists = matcher->Identify(ScoredTemplate(0, 1), set, 5, 0);
  ASSERT_EQ(lists->Count(), 1);
  EXPECT_EQ(lists->GetByIndex(0)->GetId(), 2);
  EXPECT_THROW(matcher->Identify(smart_ptr<Template>(), set, 5, 0), ex::invalid_argument);
  EXPECT_THROW(
      matcher->Identify(smart_ptr<Template>(new TemplateImpl(TemplateIds{165, 14}, 0, {1, 0, 0}, {}, {}, {})),
                        set, 5, 0),
      ex::invalid_argument);
  EXPECT_THROW(matcher->Identify(ScoredTemplate(0), smart_ptr<RecordSet>(), 5, 0),
               ex::invalid_argument);
}

// A set a client made itself is walked through its interface.
class ClientRecordSet final : public virtual RecordSet {
 public:
  void Add(smart_ptr<BiometricTemplate> stored, int32_t id) override { Add(stored, id, id); }
  void Add(smart_ptr<BiometricTemplate> stored, int32_t id, int32_t value) override {
    held.push_back({stored, id, value});
  }
  int32_t Count() const override { return int32_t(held.size()); }
  smart_ptr<SetEntry> GetByIndex(int32_t index) const override;
  smart_ptr<SetEntry> GetById(int32_t) const override { throw ex::not_implemented(); }
  void Remove(int32_t) override { throw ex::not_implemented(); }

 private:
  struct Held {
    smart_ptr<BiometricTemplate> stored;
    int32_t id, value;
  };
  class Entry final : public virtual SetEntry {
   public:
    explicit Entry(Held h) : h(std::move(h)) {}
    smart_ptr<BiometricTemplate> GetTemplate() const override { return h.stored; }
    int32_t GetId() const override { return h.id; }
    int32_t GetValue() const override { return h.value; }

   private:
    Held h;
  };
  std::vector<Held> held;
};

smart_ptr<SetEntry> ClientRecordSet::GetByIndex(int32_t index) const {
  return smart_ptr<SetEntry>(new Entry(held.at(size_t(index))));
}

TEST(Identify, WalksASetTheClientMade) {
  FakeMatchEngine engine;
  const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_LOW, MATCH_SPEED_THOROUGH);
  const smart_ptr<RecordSet> set(new ClientRecordSet());
  set->Add(ScoredTemplate(300), 8);
  set->Add(ScoredTemplate(700), 9, 90);
  const smart_ptr<CandidateList> list = matcher->Identify(ScoredTemplate(0), set, 5, 0);
  EXPECT_EQ(Ranking(list), (std::vector<Ranked>{{700, 9}, {300, 8}}));
  EXPECT_EQ(list->GetByIndex(0)->GetValue(), 90);
}

TEST(Identify, ThreadsIdentifyAgainstOneSetAtOnce) {
  // Each comparison gives the other threads a chance to run, so a walk that
  // shared the set's enumerator would lose or repeat entries.
  FakeMatchEngine engine;
  engine.score = [](int32_t, std::span<const uint8_t>, std::span<const uint8_t> stored) {
    std::this_thread::yield();
    return testing::ScoreCarriedBy(stored);
  };
  constexpr int32_t kEntries = 300;
  const smart_ptr<TemplateSet> set = Create_TemplateSet();
  for (int32_t id = 0; id < kEntries; ++id) set->Add(ScoredTemplate(id), id);

  std::atomic<int> wrong{0};
  auto identify = [&] {
    const smart_ptr<Matcher> matcher = Create_Matcher(SECURITY_LEVEL_LOW, MATCH_SPEED_THOROUGH);
    for (int round = 0; round < 10; ++round) {
      const smart_ptr<CandidateList> list = matcher->Identify(ScoredTemplate(0), set, kEntries, 0);
      bool right = list->Count() == kEntries;
      for (int32_t i = 0; right && i < kEntries; ++i)
        right = list->GetByIndex(i)->GetId() == kEntries - 1 - i;
      if (!right) ++wrong;
    }
  };
  auto enumerate = [&] {
    for (int round = 0; round < 10; ++round) {
      int32_t expected = 0;
      set->Reset();
      while (set->MoveNext())
        if (set->Current()->GetId() != expected++) ++wrong;
      if (expected != kEntries) ++wrong;
    }
  };
  auto counted = [&](auto body) {
    return [&wrong, body] {
      try {
        body();
      } catch (const std::exception&) {
        ++wrong;
      }
    };
  };
  std::vector<std::thread> threads;
  for (int t = 0; t < 3; ++t) threads.emplace_back(counted(identify));
  threads.emplace_back(counted(enumerate));
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace vela::math

// The id pool against a plain set of used IDs over random sequences, and its stated cases.

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "base/IdPool.h"

namespace pv::graphics {
namespace {

// The pool's ranges hold exactly the model's IDs, sorted, disjoint and non-adjacent.
void ExpectSameAs(const TIdPool& pool, const std::set<int32_t>& model) {
  const auto& r = pool.Ranges();
  ASSERT_EQ(r.size() % 2, 0u);
  std::set<int32_t> fromPool;
  for (size_t i = 0; i < r.size(); i += 2) {
    ASSERT_GE(r[i], 1);
    ASSERT_LE(r[i], r[i + 1]);
    if (i > 0) {
      ASSERT_GT(static_cast<int64_t>(r[i]), static_cast<int64_t>(r[i - 1]) + 1);
    }
    for (int64_t id = r[i]; id <= r[i + 1]; ++id) fromPool.insert(static_cast<int32_t>(id));
  }
  ASSERT_EQ(fromPool, model);
}

int32_t SmallestFree(const std::set<int32_t>& model) {
  int32_t id = 1;
  while (model.count(id)) ++id;
  return id;
}

TEST(IdPool, MatchesASetOverRandomSequences) {
  std::mt19937 rng(15);
  for (int round = 0; round < 20; ++round) {
    TIdPool pool;
    std::set<int32_t> model;
    std::uniform_int_distribution<int> op(0, 9);
    std::uniform_int_distribution<int32_t> small(-3, 60);
    for (int step = 0; step < 2000; ++step) {
      const int o = op(rng);
      int32_t id = small(rng);
      if (o == 9) id = (step % 2) ? TIdPool::MaxId - (small(rng) + 3) % 3 : INT32_MIN + 1;
      if (o < 4) {
        const bool expected = id > 0 && !model.count(id);
        ASSERT_EQ(pool.Use(id), expected) << "Use " << id;
        if (expected) model.insert(id);
      } else if (o < 7) {
        const bool expected = id > 0 && model.count(id);
        ASSERT_EQ(pool.Release(id), expected) << "Release " << id;
        model.erase(id);
      } else if (o < 8) {
        const int32_t expected = SmallestFree(model);
        ASSERT_EQ(pool.Generate(), expected);
        model.insert(expected);
      } else {
        ASSERT_EQ(pool.Used(id), id > 0 && model.count(id) > 0) << "Used " << id;
      }
      ExpectSameAs(pool, model);
    }
  }
}

TEST(IdPool, GeneratesTheSmallestFreeIdAndMerges) {
  TIdPool pool;
  EXPECT_TRUE(pool.Use(3));
  EXPECT_EQ(pool.Generate(), 1);
  EXPECT_EQ(pool.Generate(), 2);
  EXPECT_EQ(pool.Ranges(), (std::vector<int32_t>{1, 3}));
  EXPECT_EQ(pool.Generate(), 4);
  EXPECT_TRUE(pool.Release(2));
  EXPECT_EQ(pool.Ranges(), (std::vector<int32_t>{1, 1, 3, 4}));
  EXPECT_FALSE(pool.Release(2));
  EXPECT_FALSE(pool.Release(0));
  EXPECT_FALSE(pool.Use(0));
  EXPECT_FALSE(pool.Use(-7));
  EXPECT_FALSE(pool.Release(-7));
}

TEST(IdPool, EdgesOfTheIdRange) {
  TIdPool pool;
  EXPECT_TRUE(pool.Use(TIdPool::MaxId));
  EXPECT_TRUE(pool.Use(TIdPool::MaxId - 1));
  EXPECT_EQ(pool.Ranges(), (std::vector<int32_t>{TIdPool::MaxId - 1, TIdPool::MaxId}));
  EXPECT_TRUE(pool.Release(TIdPool::MaxId));
  EXPECT_TRUE(pool.Used(TIdPool::MaxId - 1));
  EXPECT_FALSE(pool.Used(TIdPool::MaxId));
}

}  // namespace
}  // namespace pv::graphics

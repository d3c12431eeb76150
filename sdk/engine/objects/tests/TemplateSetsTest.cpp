// Template sets and record sets: order by id, values, the enumerator, and
// what each refuses.
#include <gtest/gtest.h>

#include <string>

#include "FakeMatchEngine.h"
#include "vela/math.h"

namespace vela::math {
namespace {

using base::smart_ptr;
using testing::ScoredTemplate;
using testing::ScoredXTemplate;
namespace ex = base::exceptions;

template <class Exception, class Call>
void ExpectFailure(Call call, const char* text) {
  try {
    call();
    ADD_FAILURE() << "nothing thrown, expected " << text;
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), text);
  }
}

std::vector<int32_t> EnumeratedIds(const smart_ptr<TemplateSet>& set) {
  std::vector<int32_t> ids;
  set->Reset();
  while (set->MoveNext()) ids.push_back(set->Current()->GetId());
  return ids;
}

TEST(TemplateSet, EnumeratesInIdOrderWithValues) {
  const smart_ptr<TemplateSet> set = Create_TemplateSet();
  const smart_ptr<Template> seven = ScoredTemplate(7);
  set->Add(seven, 7);
  set->Add(ScoredXTemplate(3), 3, 300);
  set->Add(ScoredTemplate(5), 5, -5);
  EXPECT_EQ(set->Count(), 3);
  EXPECT_EQ(EnumeratedIds(set), (std::vector<int32_t>{3, 5, 7}));

  set->Reset();
  ASSERT_TRUE(set->MoveNext());
  EXPECT_EQ(set->Current()->GetValue(), 300);
  ASSERT_TRUE(set->MoveNext());
  EXPECT_EQ(set->Current()->GetValue(), -5);
  ASSERT_TRUE(set->MoveNext());
  const smart_ptr<SetEntry> last = set->Current();
  EXPECT_EQ(last->GetValue(), 7) << "the two-argument Add stores the id as value";
  EXPECT_EQ(last->GetTemplate().get(), static_cast<BiometricTemplate*>(seven.get()));
  EXPECT_FALSE(set->MoveNext());
  EXPECT_FALSE(set->MoveNext()) << "past the end stays there";
  ExpectFailure<ex::out_of_range>([&] { set->Current(); }, "Out of range");

  EXPECT_EQ(set->GetById(7).get(), static_cast<BiometricTemplate*>(seven.get()));
}

TEST(TemplateSet, EnumeratorStatesAndResets) {
  const smart_ptr<TemplateSet> set = Create_TemplateSet();
  EXPECT_FALSE(set->MoveNext());
  ExpectFailure<ex::out_of_range>([&] { set->Current(); }, "Out of range");

  set->Add(ScoredTemplate(0), 10);
  set->Add(ScoredTemplate(0), 20);
  // Before the first MoveNext there is no current entry.
  ExpectFailure<ex::out_of_range>([&] { set->Current(); }, "Out of range");
  ASSERT_TRUE(set->MoveNext());
  ASSERT_TRUE(set->MoveNext());
  EXPECT_EQ(set->Current()->GetId(), 20);
  // Add starts the walk again, even when it fails.
  EXPECT_THROW(set->Add(ScoredTemplate(0), 20), ex::invalid_argument);
  ExpectFailure<ex::out_of_range>([&] { set->Current(); }, "Out of range");
  ASSERT_TRUE(set->MoveNext());
  EXPECT_EQ(set->Current()->GetId(), 10);
  // Removing the current entry starts it again too.
  set->Remove(10);
  ExpectFailure<ex::out_of_range>([&] { set->Current(); }, "Out of range");
  EXPECT_EQ(EnumeratedIds(set), (std::vector<int32_t>{20}));
}

TEST(TemplateSet, RefusesWithItsOwnTexts) {
  const smart_ptr<TemplateSet> set = Create_TemplateSet();
  set->Add(ScoredTemplate(1), 1);
  ExpectFailure<ex::invalid_argument>([&] { set->Add(ScoredTemplate(2), 1, 99); },
                                      "template with such id already exist in collection");
  EXPECT_EQ(set->Count(), 1);
  ExpectFailure<ex::invalid_argument>([&] { set->Remove(2); }, "no entry with such id");
  ExpectFailure<ex::invalid_argument>([&] { set->GetById(2); },
                                      "no template with such id in collection");
  ExpectFailure<ex::invalid_argument>([&] { set->Add(smart_ptr<Template>(), 3); },
                                      "Invalid argument");
  EXPECT_EQ(set->Count(), 1);
}

TEST(RecordSet, IndexesInIdOrder) {
  const smart_ptr<RecordSet> set = Create_RecordSet();
  set->Add(ScoredTemplate(7), 7);
  set->Add(ScoredTemplate(3), 3, 33);
  set->Add(ScoredXTemplate(5), 5);
  set->Add(ScoredTemplate(4), 4);
  ASSERT_EQ(set->Count(), 4);
  const int32_t ids[] = {3, 4, 5, 7};
  const int32_t values[] = {33, 4, 5, 7};
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(set->GetByIndex(i)->GetId(), ids[i]);
    EXPECT_EQ(set->GetByIndex(i)->GetValue(), values[i]);
  }
  EXPECT_EQ(set->GetById(4)->GetValue(), 4);
  EXPECT_EQ(set->GetById(3)->GetTemplate()->GetData()[8], 3);

  set->Remove(4);
  EXPECT_EQ(set->GetByIndex(1)->GetId(), 5);
  EXPECT_EQ(set->Count(), 3);
}

TEST(RecordSet, RefusesWithItsOwnTexts) {
  const smart_ptr<RecordSet> set = Create_RecordSet();
  set->Add(ScoredTemplate(0), 1);
  ExpectFailure<ex::out_of_range>([&] { set->Add(ScoredTemplate(0), 1, 5); }, "Out of range");
  for (int32_t index : {-1, 1, 1000})
    ExpectFailure<ex::out_of_range>([&] { set->GetByIndex(index); }, "Out of range");
  ExpectFailure<ex::invalid_argument>([&] { set->GetById(2); }, "Invalid argument");
  ExpectFailure<ex::invalid_argument>([&] { set->Remove(2); }, "no entry with such id");
  EXPECT_EQ(set->Count(), 1);
  EXPECT_EQ(set->GetById(1)->GetValue(), 1) << "a refused Add changed the entry";
}

TEST(RecordSet, IndexingStaysRightAcrossManyChanges) {
  // Entries added out of order and removed here and there: every position
  // still names the right id.
  const smart_ptr<RecordSet> set = Create_RecordSet();
  std::vector<int32_t> expected;
  for (int32_t i = 0; i < 2000; ++i) {
    const int32_t id = (i * 7919) % 2000;  // every id once, scattered
    set->Add(ScoredTemplate(0), id);
  }
  for (int32_t id = 0; id < 2000; ++id) {
    if (id % 3 == 0)
      set->Remove(id);
    else
      expected.push_back(id);
  }
  ASSERT_EQ(set->Count(), int32_t(expected.size()));
  for (size_t i = 0; i < expected.size(); i += 97)
    EXPECT_EQ(set->GetByIndex(int32_t(i))->GetId(), expected[i]);
  EXPECT_EQ(set->GetByIndex(int32_t(expected.size()) - 1)->GetId(), expected.back());
}

}  // namespace
}  // namespace vela::math

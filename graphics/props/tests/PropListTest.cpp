// The sorted list, its notifications, undo of properties through the history, and the
// deferred references of a load.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "history/History.h"
#include "props/PropHistory.h"
#include "props/PropList.h"
#include "props/PropRefList.h"
#include "props/SimpleProps.h"
#include "props/tests/TestProps.h"

namespace pv::graphics {
namespace {

TEST(PropList, KeepsNamesSortedAndUnique) {
  TPropList list;
  for (const char* name : {"Width", "ID", "Hint", "left", "Top"}) ASSERT_NE(list.Create<TIntProp>(name), nullptr);
  EXPECT_EQ(list.Create<TIntProp>("Left"), nullptr);
  for (const char* name : {"end", "object", "property", "document", "clipboard", "library", "", "A B", "x=y",
                           "endpoint", "objects"}) {
    EXPECT_EQ(list.Create<TIntProp>(name), nullptr) << name;
  }
  ASSERT_NE(list.Create<TIntProp>("EndAngle"), nullptr);
  ASSERT_NE(list.Create<TIntProp>("End"), nullptr);
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.NameByIndex(i));
  EXPECT_EQ(names, (std::vector<std::string>{"End", "EndAngle", "Hint", "ID", "left", "Top", "Width"}));
  EXPECT_EQ(list.PropByName("LEFT"), list.PropByIndex(4));
  EXPECT_EQ(list.PropByName("Right"), nullptr);
  EXPECT_EQ(list.PropByIndex(6)->Name(), "Width");
  EXPECT_EQ(list.PropByIndex(0)->Flags(), pfNew);

  std::unique_ptr<TCustomProp> outside = std::make_unique<TIntProp>();
  EXPECT_EQ(list.AddProp(outside, "Top"), -1);
  EXPECT_NE(outside, nullptr);  // refused: still the caller's
  EXPECT_EQ(outside->OwnerList(), nullptr);
  list.DeleteProp(0);
  EXPECT_EQ(list.Count(), 6);
}

TEST(PropList, NotifiesThroughThePropertyAndTheListLinks) {
  TPropList list;
  TIntProp* left = list.Create<TIntProp>("Left");
  int owner = 0;
  TNotifyLink watcher(&owner);
  std::vector<std::string> seen;
  watcher.OnNotify = [&](TNotifyLink&, TNotifyLink* from, const TNotifyLinkInfo& info) {
    if (info.Code == TNotifyCode::Free) return;
    const std::string who = from == &list.GetNotifyLink() ? "list" : "prop";
    seen.push_back(who + (info.Code == TNotifyCode::PropBeforeChange ? " before" : " changed"));
    EXPECT_EQ(info.Subject, left);
  };
  list.GetNotifyLink().AddListener(&watcher);
  left->GetNotifyLink().AddListener(&watcher);
  left->SetValue(1);
  EXPECT_EQ(seen, (std::vector<std::string>{"list before", "prop before", "list changed", "prop changed"}));
}

// Hooks and links are kept beside the properties, by address: a property that goes must take
// its own along, or the next property made at that address (an arena slot, a reused block)
// would read another's value or notify another's partners.
TEST(PropList, StateKeptApartGoesWithItsProperty) {
  int owner = 0;
  TNotifyLink watcher(&owner);
  int notified = 0;
  bool farewell = false;
  watcher.OnNotify = [&](TNotifyLink&, TNotifyLink*, const TNotifyLinkInfo& info) {
    if (info.Code == TNotifyCode::Free) {
      farewell = true;
    } else {
      ++notified;
    }
  };
  int32_t mirror = 7;
  for (int round = 0; round < 50; ++round) {
    TPropList list;
    TIntProp* hooked = list.Create<TIntProp>("Hooked");
    hooked->SetExternal(&mirror);
    hooked->GetNotifyLink().AddListener(&watcher);
    TIntProp* plain = list.Create<TIntProp>("Plain");
    plain->GetNotifyLink();
    EXPECT_EQ(hooked->GetValue(), 7);
    EXPECT_EQ(hooked->Name(), "Hooked");
    farewell = false;
    list.DeleteProp(list.IndexOfProp(hooked));
    EXPECT_TRUE(farewell) << "the partner hears that the property went";
    EXPECT_TRUE(plain->HasNotifyLink());

    // Very likely at the freed address: nothing of the old property shows through.
    TIntProp* fresh = list.Create<TIntProp>("Fresh");
    EXPECT_FALSE(fresh->HasNotifyLink());
    EXPECT_EQ(fresh->GetValue(), 0);
    fresh->GetNotifyLink();
    fresh->SetOnGetValue(nullptr);
    fresh->SetValue(3);
    EXPECT_EQ(fresh->GetValue(), 3);
    EXPECT_EQ(mirror, 7);
    EXPECT_EQ(fresh->Name(), "Fresh");
  }
  EXPECT_EQ(notified, 0);
}

// A property placed in a control's block finds its list at the block's start, without a
// pointer of its own; one placed there but taken into another list, and one made outside any
// block, keep theirs apart. Each must name its own list and reach its own events.
TEST(PropList, PropertiesFindTheirListInsideAndOutsideTheBlock) {
  alignas(std::max_align_t) std::byte block[256];
  TPropList home;
  TPropList other;
  test::TEventLog homeLog;
  test::TEventLog otherLog;
  home.SetEvents(&homeLog);
  other.SetEvents(&otherLog);
  TIntProp* placed = nullptr;
  TIntProp* strayed = nullptr;
  TIntProp* later = nullptr;
  {
    TPropArena arena(block, sizeof block, &home);
    placed = home.Create<TIntProp>("Left");
    strayed = other.Create<TIntProp>("Top");
    arena.Close();
    later = home.Create<TIntProp>("Width");
    EXPECT_EQ(arena.Asked(), sizeof(TPropList*) + 2 * sizeof(TIntProp)) << "the list's place, then the two placed";
  }
  const auto inBlock = [&](const void* p) {
    return static_cast<const std::byte*>(p) >= block && static_cast<const std::byte*>(p) < block + sizeof block;
  };
  ASSERT_TRUE(inBlock(placed));
  ASSERT_TRUE(inBlock(strayed));
  ASSERT_FALSE(inBlock(later));

  struct Case {
    TIntProp* prop;
    TPropList* list;
    std::string_view name;
  };
  for (const Case& c : {Case{placed, &home, "Left"}, Case{strayed, &other, "Top"}, Case{later, &home, "Width"}}) {
    EXPECT_EQ(c.prop->OwnerList(), c.list) << c.name;
    EXPECT_EQ(c.prop->Name(), c.name);
    EXPECT_EQ(c.list->NameOf(c.prop), c.name);
    c.prop->SetValue(5);
  }
  EXPECT_EQ(homeLog.log, (std::vector<std::string>{"before Left", "changed Left", "before Width", "changed Width"}));
  EXPECT_EQ(otherLog.log, (std::vector<std::string>{"before Top", "changed Top"}));
  EXPECT_EQ(other.NameOf(placed), "");

  // A property that goes takes its entry along: the next one made at its address has no list.
  other.DeleteProp(other.IndexOfProp(strayed));
  home.DeleteProp(home.IndexOfProp(later));
  const auto outside = std::make_unique<TIntProp>();
  EXPECT_EQ(outside->OwnerList(), nullptr);
  EXPECT_EQ(outside->Name(), "");
}

// Names are numbered on first use and looked up by where their text lies: a text that
// changes in place must still give the property its own name.
TEST(PropList, ANameReadFromAReusedBufferIsItsOwn) {
  TPropList list;
  char buffer[] = "Alpha";
  const std::string_view name(buffer, 5);
  ASSERT_NE(list.Create<TIntProp>(name), nullptr);
  std::memcpy(buffer, "Gamma", 5);
  ASSERT_NE(list.Create<TIntProp>(name), nullptr);
  std::memcpy(buffer, "alpha", 5);
  EXPECT_EQ(list.Create<TIntProp>(name), nullptr) << "names differ in more than case";
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.NameByIndex(0), "Alpha");
  EXPECT_EQ(list.NameByIndex(1), "Gamma");
  EXPECT_EQ(list.PropByIndex(1)->Name(), "Gamma");
}

// Lists whose properties all lie in their blocks keep one shared order of places instead of
// an entry per property. A property that comes, or one that goes from other than the end,
// gives the list entries of its own again: order, names and values stay as they were.
TEST(PropList, ASharedLayoutKeepsOrderNamesAndValuesThroughAddsAndDeletes) {
  constexpr size_t kBlock = 256;
  TPropList lists[3];
  const auto names = [](const TPropList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.NameByIndex(i));
    return out;
  };
  const auto values = [](const TPropList& list) {
    std::vector<int32_t> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(static_cast<TIntProp*>(list.PropByIndex(i))->GetValue());
    return out;
  };
  for (int n = 0; n < 3; ++n) {
    std::byte* block = lists[n].TakeBlock(std::unique_ptr<std::byte[]>(new std::byte[kBlock]));
    TPropArena arena(block, kBlock, &lists[n]);
    int32_t value = 10 * n;
    for (const char* name : {"Top", "Left", "Width"}) lists[n].Create<TIntProp>(name)->SetValue(++value);
    if (n == 2) {
      arena.Close();
      lists[n].Create<TIntProp>("Height");  // outside the block: nothing to share
    }
    lists[n].ShareLayout();
  }
  EXPECT_TRUE(lists[0].SharesLayout());
  EXPECT_TRUE(lists[1].SharesLayout());
  EXPECT_FALSE(lists[2].SharesLayout());
  for (int n = 0; n < 2; ++n) {
    EXPECT_EQ(names(lists[n]), (std::vector<std::string>{"Left", "Top", "Width"}));
    EXPECT_EQ(values(lists[n]), (std::vector<int32_t>{10 * n + 2, 10 * n + 1, 10 * n + 3}));
    TCustomProp* top = lists[n].PropByName("TOP");
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(lists[n].IndexOfProp(top), 1);
    EXPECT_EQ(top->OwnerList(), &lists[n]);
  }

  std::unique_ptr<TCustomProp> height = std::make_unique<TIntProp>();
  EXPECT_EQ(lists[0].AddProp(height, "Height"), 0);
  EXPECT_FALSE(lists[0].SharesLayout());
  EXPECT_EQ(names(lists[0]), (std::vector<std::string>{"Height", "Left", "Top", "Width"}));
  EXPECT_EQ(values(lists[0]), (std::vector<int32_t>{0, 2, 1, 3}));

  lists[1].DeleteProp(2);
  EXPECT_TRUE(lists[1].SharesLayout()) << "the last one goes as when the list is cleared";
  EXPECT_EQ(names(lists[1]), (std::vector<std::string>{"Left", "Top"}));
  lists[1].DeleteProp(0);
  EXPECT_FALSE(lists[1].SharesLayout());
  EXPECT_EQ(names(lists[1]), (std::vector<std::string>{"Top"}));
  EXPECT_EQ(values(lists[1]), (std::vector<int32_t>{11}));
  EXPECT_EQ(lists[1].PropByName("Left"), nullptr);
}

// A list on a history, found again by the property's name as a panel would.
class PropHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterPropHistoryActions();
    list.SetHistory(&history);
    history.OnSetActionSource = [](THistory&, THistoryAction& a, TVexaObject* s) {
      if (auto* p = dynamic_cast<TCustomProp*>(s)) a.SourceName = std::string(p->Name());
    };
    history.OnGetActionSource = [this](THistory&, THistoryAction& a, bool& found) -> TVexaObject* {
      TCustomProp* p = list.PropByName(a.SourceName);
      found = p != nullptr || a.SourceName.empty();
      return p;
    };
    history.SetActive(true);
  }
  THistory history;
  TPropList list;
};

TEST_F(PropHistoryTest, UndoAndRedoFollowAValueStack) {
  TIntProp* left = list.Create<TIntProp>("Left");
  TStrListProp* hint = list.Create<TStrListProp>("Hint");
  std::mt19937 rng(1103);
  std::vector<std::pair<int32_t, std::string>> stack{{0, ""}};
  size_t at = 0;
  for (int step = 0; step < 400; ++step) {
    const int op = std::uniform_int_distribution<int>(0, 4)(rng);
    if (op < 2) {
      auto state = stack[at];
      if (op == 0) {
        state.first = step * 1000 - 7;
        left->SetValue(state.first);
      } else {
        state.second = "line " + std::to_string(step) + "\r\n'quoted' (x)";
        hint->SetText(state.second);
      }
      stack.resize(at + 1);
      stack.push_back(state);
      ++at;
      if (stack.size() > 101) {
        stack.erase(stack.begin());
        --at;
      }
    } else if (op < 4) {
      ASSERT_EQ(history.Undo(), at > 0);
      if (at > 0) --at;
    } else {
      ASSERT_EQ(history.Redo(), at + 1 < stack.size());
      if (at + 1 < stack.size()) ++at;
    }
    ASSERT_EQ(left->GetValue(), stack[at].first) << step;
    ASSERT_EQ(hint->GetText(), stack[at].second) << step;
  }
}

TEST_F(PropHistoryTest, UnchangedValuesRecordNothingAndReadOnlyIsRestored) {
  TIntProp* id = list.Create<TIntProp>("ID");
  id->SetValue(0);
  EXPECT_EQ(history.Count(), 0);
  id->SetValue(4);
  id->SetFlags(pfReadOnly);
  EXPECT_TRUE(history.Undo());
  EXPECT_EQ(id->GetValue(), 0);
  EXPECT_TRUE(history.Redo());
  EXPECT_EQ(id->GetValue(), 4);
  EXPECT_EQ(list.HistoryState(), THistoryState::Idle);

  TIntProp* quiet = list.Create<TIntProp>("Quiet");
  quiet->SetNotRecorded(true);
  quiet->SetValue(9);
  EXPECT_EQ(history.Count(), 1);
}

TEST_F(PropHistoryTest, AGroupKeepsTheFirstStateOfEachProperty) {
  auto* brush = list.Create<test::TTestBrushProp>("Brush");
  ASSERT_NE(history.BeginAction(TPropHistoryGroup::ClassInfo, nullptr), nullptr);
  brush->SetPropValue("Color", PropValue::Integer(1));
  brush->SetPropValue("Style", PropValue::String("bsClear"));
  brush->SetPropValue("Bitmap", PropValue::Bytes({1, 2}));
  history.EndAction();
  EXPECT_EQ(history.Count(), 1);
  history.Undo();
  EXPECT_EQ(brush->color, 0);
  EXPECT_EQ(brush->style, "bsSolid");
  EXPECT_TRUE(brush->bitmap.empty());
  history.Redo();
  EXPECT_EQ(brush->color, 1);
  EXPECT_EQ(brush->bitmap, (std::vector<uint8_t>{1, 2}));
  // A property group that got no change leaves no step.
  history.BeginAction(TPropHistoryGroup::ClassInfo, nullptr);
  history.EndAction();
  EXPECT_EQ(history.Count(), 1);
}

TEST(PropRefList, DefersReferencesUntilApplied) {
  TPropRefList refs;
  TPropList list;
  TIntProp* link = list.Create<TIntProp>("Link");
  link->SetFlags(pfReference);
  TIntProp* left = list.Create<TIntProp>("Left");
  list.SetRefList(&refs);
  TMemoryStream stream("Link = 12\r\nLeft = 3\r\n");
  TVexaFiler filer(stream);
  std::string line;
  while (filer.ReadLine(line)) list.LoadProp(filer, line);
  list.SetRefList(nullptr);
  EXPECT_EQ(left->GetValue(), 3);
  EXPECT_EQ(link->GetValue(), 0);
  EXPECT_EQ(refs.DeferredCount(), 1u);
  // While applied, the reference list is attached and translates the stored IDs.
  EXPECT_TRUE(refs.AddIdMapping(12, 40));
  EXPECT_TRUE(refs.AddIdMapping(7, 7));
  EXPECT_FALSE(refs.AddIdMapping(12, 41));
  EXPECT_FALSE(refs.AddIdMapping(0, 5));
  int32_t translated = 0;
  link->SetOnGetValue(nullptr);
  struct Watch : TPropListEvents {
    TPropRefList* refs;
    int32_t* out;
    void PropChanged(TPropList& l, TCustomProp& p) override {
      if (l.IsResolving()) *out = l.RefList()->TranslateId(static_cast<TIntProp&>(p).GetValue());
    }
  } watch;
  watch.out = &translated;
  list.SetEvents(&watch);
  refs.Apply();
  EXPECT_EQ(link->GetValue(), 12);
  EXPECT_EQ(translated, 40);
  EXPECT_EQ(refs.TranslateId(12), 0);  // forgotten after Apply
  EXPECT_FALSE(list.IsResolving());
  EXPECT_EQ(list.RefList(), nullptr);
}

TEST(PropRefList, AFreedControlTakesItsDeferredValuesAlong) {
  TPropRefList refs;
  TPropList kept;
  TIntProp* keptLink = kept.Create<TIntProp>("Link");
  keptLink->SetFlags(pfReference);
  refs.AddDeferred(*keptLink, {}, PropValue::String("5"));
  {
    TPropList freed;
    TIntProp* link = freed.Create<TIntProp>("Link");
    link->SetFlags(pfReference);
    refs.AddDeferred(*link, {}, PropValue::String("6"));
    EXPECT_EQ(refs.DeferredCount(), 2u);
  }
  EXPECT_EQ(refs.DeferredCount(), 1u);
  TPropList other;
  TIntProp* deleted = other.Create<TIntProp>("Link");
  refs.AddDeferred(*deleted, {}, PropValue::String("7"));
  other.DeleteProp(0);
  refs.Apply();  // nothing is written through freed properties (the sanitizer watches)
  EXPECT_EQ(keptLink->GetValue(), 5);
}

TEST(PropRefList, AFailingValueDropsTheRestAndRestoresTheLists) {
  TPropRefList refs;
  TPropList list;
  TIntProp* a = list.Create<TIntProp>("A");
  TIntProp* b = list.Create<TIntProp>("B");
  refs.AddDeferred(*a, {}, PropValue::String("1"));
  refs.AddDeferred(*b, {}, PropValue::String("not a number"));
  EXPECT_THROW(refs.Apply(), EConvertError);
  EXPECT_EQ(refs.DeferredCount(), 0u);
  EXPECT_FALSE(list.IsResolving());
  EXPECT_EQ(list.RefList(), nullptr);
  EXPECT_EQ(a->GetValue(), 0);
}

}  // namespace
}  // namespace pv::graphics

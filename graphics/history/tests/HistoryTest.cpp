// The history against a model timeline of values, and its groups, refusals and failures.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <stdexcept>
#include <string>

#include "history/History.h"

namespace pv::graphics {
namespace {

// A source with one integer, found again by its ID.
struct TValueSource : TVexaObject {
  int32_t id = 0;
  int value = 0;
};

// Keeps the value as decimal text; throws on the value 666 so failures can be provoked.
class TValueAction : public THistoryStreamAction {
 public:
  static const THistoryActionClass ClassInfo;
  using THistoryStreamAction::THistoryStreamAction;
  const THistoryActionClass& ClassType() const override { return ClassInfo; }
  bool IsSameAction(const THistoryActionClass& cls, TVexaObject* source) const override {
    return &cls == &ClassInfo && static_cast<TValueSource*>(source)->id == SourceId;
  }
  bool SaveLoad(TByteStream& stream, TVexaObject* source, bool load) override {
    auto* s = static_cast<TValueSource*>(source);
    if (!load) {
      if (s->value == 666) throw std::runtime_error("cannot save");
      const std::string text = std::to_string(s->value);
      return stream.Write(text.data(), text.size());
    }
    char buffer[32] = {};
    const size_t n = stream.Read(buffer, sizeof buffer - 1);
    s->value = std::stoi(std::string(buffer, n));
    return true;
  }
};
const THistoryActionClass TValueAction::ClassInfo{"TValueAction", &THistoryStreamAction::ClassInfo,
                                                  &CreateHistoryAction<TValueAction>, nullptr};

class TDropGroup : public THistoryGroup {
 public:
  static const THistoryActionClass ClassInfo;
  TDropGroup(THistory& h, THistoryGroup* parent) : THistoryGroup(h, parent) { SetDropWhenEmpty(true); }
  const THistoryActionClass& ClassType() const override { return ClassInfo; }
};
const THistoryActionClass TDropGroup::ClassInfo{"TDropGroup", &THistoryGroup::ClassInfo,
                                                &CreateHistoryAction<TDropGroup>, nullptr};

const THistoryActionClass kUnregistered{"TUnregistered", &THistoryStreamAction::ClassInfo,
                                        &CreateHistoryAction<TValueAction>, nullptr};

// The panel's part: sources by ID, the group's source is the history's owner.
class HistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterHistoryCoreActions();
    RegisterHistoryActionClass(TValueAction::ClassInfo);
    RegisterHistoryActionClass(TDropGroup::ClassInfo);
    for (int i = 1; i <= 3; ++i) sources[i].id = i;
    history.OnSetActionSource = [](THistory&, THistoryAction& a, TVexaObject* s) {
      if (auto* v = dynamic_cast<TValueSource*>(s)) a.SourceId = v->id;
    };
    history.OnGetActionSource = [this](THistory&, THistoryAction& a, bool& found) -> TVexaObject* {
      if (a.SourceId == 0) {
        found = true;
        return &owner;
      }
      auto it = sources.find(a.SourceId);
      found = it != sources.end();
      return found ? &it->second : nullptr;
    };
    history.SetActive(true);
  }

  // A change as the property framework makes it: record, then store.
  void Set(int id, int value) {
    history.RecordStep(TValueAction::ClassInfo, &sources[id]);
    sources[id].value = value;
  }

  TValueSource owner;
  std::map<int, TValueSource> sources;
  THistory history{&owner};
};

TEST_F(HistoryTest, UndoAndRedoFollowAModelTimeline) {
  std::mt19937 rng(1105);
  for (int depth : {1, 2, 5, 100}) {
    history.Clear();
    history.SetDepth(depth);
    sources[1].value = 0;
    std::vector<int> timeline{0};
    size_t at = 0;
    for (int step = 0; step < 600; ++step) {
      const int op = std::uniform_int_distribution<int>(0, 5)(rng);
      if (op < 3) {
        const int value = step + 1;
        Set(1, value);
        timeline.resize(at + 1);
        timeline.push_back(value);
        ++at;
        if (timeline.size() - 1 > static_cast<size_t>(depth)) {
          timeline.erase(timeline.begin());
          --at;
        }
      } else if (op < 5) {
        ASSERT_EQ(history.Undo(), at > 0);
        if (at > 0) --at;
      } else {
        ASSERT_EQ(history.Redo(), at + 1 < timeline.size());
        if (at + 1 < timeline.size()) ++at;
      }
      ASSERT_EQ(sources[1].value, timeline[at]) << "depth " << depth << " step " << step;
      ASSERT_EQ(history.ActionIndex(), static_cast<int>(at) - 1);
      ASSERT_EQ(history.Count(), static_cast<int>(timeline.size()) - 1);
      ASSERT_EQ(history.State(), THistoryState::Idle);
    }
  }
}

TEST_F(HistoryTest, DepthTrimsTheOldestAndIsAtLeastOne) {
  for (int i = 1; i <= 101; ++i) Set(1, i);
  EXPECT_EQ(history.Count(), 100);
  EXPECT_EQ(history.ActionIndex(), 99);
  history.SetDepth(0);
  EXPECT_EQ(history.Depth(), 1);
  history.Clear();
  Set(1, 5);
  Set(1, 6);
  EXPECT_EQ(history.Count(), 1);
  EXPECT_TRUE(history.Undo());
  EXPECT_EQ(sources[1].value, 5);
  EXPECT_FALSE(history.Undo());
  EXPECT_TRUE(history.Redo());
  EXPECT_FALSE(history.Redo());
  EXPECT_EQ(sources[1].value, 6);
}

TEST_F(HistoryTest, AGroupRecordsTheFirstChangeOfEachSource) {
  sources[1].value = 10;
  sources[2].value = 20;
  ASSERT_NE(history.BeginAction(THistoryGroup::ClassInfo, &owner), nullptr);
  Set(1, 11);
  Set(1, 12);
  Set(2, 21);
  EXPECT_TRUE(history.EndAction());
  EXPECT_EQ(history.Count(), 1);
  EXPECT_EQ(static_cast<THistoryGroup*>(history.GetAction(0))->Count(), 2);
  EXPECT_EQ(history.State(), THistoryState::Idle);
  EXPECT_TRUE(history.Undo());
  EXPECT_EQ(sources[1].value, 10);
  EXPECT_EQ(sources[2].value, 20);
  EXPECT_TRUE(history.Redo());
  EXPECT_EQ(sources[1].value, 12);
  EXPECT_EQ(sources[2].value, 21);
}

TEST_F(HistoryTest, AnEmptyDropGroupLeavesNoStep) {
  Set(1, 1);
  ASSERT_NE(history.BeginAction(TDropGroup::ClassInfo, &owner), nullptr);
  EXPECT_TRUE(history.EndAction());
  EXPECT_EQ(history.Count(), 1);
  EXPECT_EQ(history.OpenGroup(), nullptr);
  EXPECT_EQ(history.State(), THistoryState::Idle);
  // A plain group stays even when empty.
  history.BeginAction(THistoryGroup::ClassInfo, &owner);
  history.EndAction();
  EXPECT_EQ(history.Count(), 2);
}

// A step that drops itself as it ends is gone: the caller gets no step to fill in, at the top
// and inside an open group.
TEST_F(HistoryTest, AStepDroppedAsItEndsIsNotHandedBack) {
  EXPECT_EQ(history.RecordStep(TDropGroup::ClassInfo, &owner), nullptr);
  EXPECT_EQ(history.Count(), 0);
  ASSERT_NE(history.BeginAction(THistoryGroup::ClassInfo, &owner), nullptr);
  EXPECT_EQ(history.RecordStep(TDropGroup::ClassInfo, &owner), nullptr);
  EXPECT_NE(history.RecordStep(TValueAction::ClassInfo, &sources[1]), nullptr);
  EXPECT_TRUE(history.EndAction());
  EXPECT_EQ(history.Count(), 1);
  EXPECT_EQ(history.State(), THistoryState::Idle);
}

TEST_F(HistoryTest, SilentRefusals) {
  EXPECT_EQ(history.BeginAction(kUnregistered, &sources[1]), nullptr);
  history.DisableRecording();
  EXPECT_EQ(history.RecordStep(TValueAction::ClassInfo, &sources[1]), nullptr);
  EXPECT_FALSE(history.EnableRecording());
  EXPECT_TRUE(history.EnableRecording());
  history.SetActive(false);
  EXPECT_EQ(history.RecordStep(TValueAction::ClassInfo, &sources[1]), nullptr);
  EXPECT_EQ(history.Count(), 0);
  EXPECT_FALSE(history.Undo());
  EXPECT_FALSE(history.Redo());
}

TEST_F(HistoryTest, ClearAndSwitchingOffResetTheOpenGroup) {
  Set(1, 1);
  history.BeginAction(THistoryGroup::ClassInfo, &owner);
  Set(1, 2);
  history.Clear();
  EXPECT_EQ(history.ActionIndex(), -1);
  EXPECT_EQ(history.OpenGroup(), nullptr);
  EXPECT_EQ(history.State(), THistoryState::Idle);
  Set(1, 3);
  EXPECT_EQ(history.Count(), 1);
  EXPECT_TRUE(history.Undo());
  EXPECT_EQ(sources[1].value, 2);

  history.BeginAction(THistoryGroup::ClassInfo, &owner);
  history.SetActive(false);  // ignored while recording
  EXPECT_TRUE(history.Active());
  history.EndAction();
  history.SetActive(false);
  EXPECT_EQ(history.Count(), 0);
  EXPECT_EQ(history.ActionIndex(), -1);
}

TEST_F(HistoryTest, AnActionWhoseSourceIsGoneIsSkipped) {
  Set(1, 1);
  Set(2, 2);
  Set(1, 3);
  sources.erase(2);
  EXPECT_TRUE(history.Undo());  // source 1: 3 -> 1
  EXPECT_EQ(sources[1].value, 1);
  EXPECT_TRUE(history.Undo());  // source 2's step is stepped over, source 1: 1 -> 0
  EXPECT_EQ(sources[1].value, 0);
  EXPECT_EQ(history.ActionIndex(), -1);
  EXPECT_TRUE(history.Redo());
  EXPECT_EQ(sources[1].value, 1);
  EXPECT_TRUE(history.Redo());
  EXPECT_EQ(sources[1].value, 3);
  EXPECT_FALSE(history.Redo());
}

TEST_F(HistoryTest, ExceptionsCancelTheActionBeingRecorded) {
  sources[1].value = 666;
  EXPECT_THROW(history.RecordStep(TValueAction::ClassInfo, &sources[1]), std::runtime_error);
  EXPECT_EQ(history.Count(), 0);
  EXPECT_EQ(history.State(), THistoryState::Idle);
  sources[1].value = 0;
  try {
    THistoryRecording recording(history, THistoryGroup::ClassInfo, &owner);
    Set(1, 1);
    throw std::runtime_error("command failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(history.Count(), 0);
  EXPECT_EQ(history.OpenGroup(), nullptr);
  EXPECT_EQ(history.State(), THistoryState::Idle);
  {
    THistoryRecording recording(history, THistoryGroup::ClassInfo, &owner);
    Set(1, 2);
    EXPECT_TRUE(recording.End());
  }
  EXPECT_EQ(history.Count(), 1);
}

TEST_F(HistoryTest, AFailedUndoLeavesTheIndexAndReturnsToIdle) {
  Set(1, 666);  // the undo would have to save 666 as the redo state
  EXPECT_THROW(history.Undo(), std::runtime_error);
  EXPECT_EQ(history.ActionIndex(), 0);
  EXPECT_EQ(history.State(), THistoryState::Idle);
  EXPECT_EQ(history.GetAction(0)->State(), THistoryState::Idle);
}

TEST_F(HistoryTest, CurrentSourceDuringAGroupUndo) {
  history.BeginAction(THistoryGroup::ClassInfo, &owner);
  Set(1, 1);
  Set(2, 2);
  history.EndAction();
  std::vector<TVexaObject*> seen;
  history.OnChange = [&](THistory& h) { seen.push_back(h.GetCurrentSource()); };
  EXPECT_EQ(history.GetCurrentSource(), nullptr);
  // Watch the sources from inside the undo through a group member's lookup.
  auto lookup = history.OnGetActionSource;
  history.OnGetActionSource = [&](THistory& h, THistoryAction& a, bool& found) {
    TVexaObject* s = lookup(h, a, found);
    seen.push_back(h.GetCurrentSource());
    return s;
  };
  history.Undo();
  // group itself (owner), then child 2 (still the group's previous source), then child 1.
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0], nullptr);
  EXPECT_EQ(seen[2], &sources[2]);
}

TEST_F(HistoryTest, ReopenLastGroupCollectsLaterChanges) {
  history.BeginAction(THistoryGroup::ClassInfo, &owner);
  Set(1, 1);
  history.EndAction();
  THistoryGroup* group = history.ReopenLastGroup();
  ASSERT_NE(group, nullptr);
  Set(2, 5);
  history.EndAction();
  EXPECT_EQ(history.Count(), 1);
  EXPECT_EQ(group->Count(), 2);
  history.Undo();
  EXPECT_EQ(sources[1].value, 0);
  EXPECT_EQ(sources[2].value, 0);
  EXPECT_EQ(history.ReopenLastGroup(), nullptr);  // undone: nothing to reopen
}

}  // namespace
}  // namespace pv::graphics

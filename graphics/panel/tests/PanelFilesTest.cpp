// The document in the text format through the panel: the empty document, round trips byte
// for byte, data cut short or nested too deeply, IDs read from a file, and saving that never
// loses the old file, and routes planned again on reading.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "connectors/VexaConnector.h"
#include "controls/LinkProps.h"
#include "document/Clone.h"
#include "document/Group.h"
#include "panel/PanelHistory.h"
#include "panel/VexaGraphics.h"
#include "panel/tests/PanelFixture.h"
#include "textformat/ObjectText.h"

namespace pv::graphics {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// A control that cannot be written: its stored properties raise an error once asked.
class TSaveFailingControl : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }
  bool failing = false;

 protected:
  void PropStored(TCustomProp& prop, std::string_view subName, bool& stored) override {
    if (failing) throw std::runtime_error("the control cannot be written");
    TVexaControl::PropStored(prop, subName, stored);
  }
};
const TVexaControlClass TSaveFailingControl::ClassInfo{{"TSaveFailingControl", &TVexaControl::ClassInfo.ref},
                                                       &TVexaControl::Creator<TSaveFailingControl>};

struct PanelFiles : ::testing::Test, test::PanelFixture {
  PanelFiles() {
    char pattern[] = "/tmp/pv_panel_files_XXXXXX";
    folder = ::mkdtemp(pattern);
  }
  ~PanelFiles() override {
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(folder);
  }

  // Two schemes, a second layer, nested groups and names that the format must carry as
  // they are.
  void BuildDocument() {
    TVexaControl* second = TVexaControl::New<TVexaScheme>(&panel, &panel.Schemes());
    second->SetName("Second page");
    panel.Layers().NewLayer()->SetName("Top layer");
    Box(Scheme(), {1000, 2000, 3000, 4000}, "name with blanks");
    Box(Scheme(), {0, 0, 500, 500}, "quotes ' and \" : and = here");
    Box(Scheme(), {10, 20, 30, 40}, "UTF-8 \xd0\xa1\xd1\x85\xd0\xb5\xd0\xbc\xd0\xb0 \xe2\x82\xac");
    TVexaControl* outer = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
    outer->SetName("outer");
    TVexaControl* inner = TVexaControl::New<TVexaGroup>(&panel, outer, panel.GetActiveLayer());
    inner->SetName("inner");
    Box(inner, {5000, 5000, 6000, 7000}, "deep");
    Box(outer, {8000, 1000, 9000, 2000}, "shallow");
    Box(second, {100, 100, 200, 200}, "on page two")->SetTag(42);
  }

  std::set<std::string> FolderEntries() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
  }

  // The old file is intact, the error names the file and the reason, the document is still
  // modified and nothing else is left in the folder.
  void ExpectFailedSave(const fs::path& target, const std::string& oldBytes, const std::string& reason) {
    panel.SetModified(true);
    try {
      panel.SaveDocumentToFile(target.string());
      ADD_FAILURE() << "the save reported success";
    } catch (const EStreamError& e) {
      EXPECT_EQ("Cannot save " + target.string() + ": " + reason, e.what());
    }
    EXPECT_TRUE(panel.Modified());
    if (fs::exists(target)) {
      EXPECT_EQ(oldBytes, ReadFile(target));
    }
    for (const std::string& name : FolderEntries()) EXPECT_EQ(target.filename().string(), name) << "left behind";
  }

  fs::path folder;
};

TEST_F(PanelFiles, TheEmptyDocumentIsTheGoldenFile) {
  const std::string golden = ReadFile(fs::path(PV_SOURCE_DIR) / "graphics/panel/tests/data/empty.tgd");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(golden, SaveText());
  const fs::path target = folder / "empty.tgd";
  EXPECT_TRUE(panel.SaveDocumentToFile(target.string()));
  EXPECT_EQ(golden, ReadFile(target));
}

TEST_F(PanelFiles, NewDocumentGivesTheEmptyDocumentAgainWithoutHistory) {
  const std::string empty = SaveText();
  panel.PanelHistory().SetActive(true);
  BuildDocument();
  ASSERT_GT(panel.PanelHistory().Count(), 0);
  panel.NewDocument();
  EXPECT_EQ(0, panel.PanelHistory().Count());
  EXPECT_EQ(empty, SaveText());
  panel.ClearDocument();
  EXPECT_EQ(0, panel.Schemes().GetCount());
  EXPECT_EQ(nullptr, panel.GetActiveScheme());
  EXPECT_EQ(nullptr, panel.GetActiveLayer());
  EXPECT_EQ(0, panel.PanelHistory().Count());
}

TEST_F(PanelFiles, ADocumentRoundTripsByteForByte) {
  BuildDocument();
  const std::string text = SaveText();
  const fs::path target = folder / "doc.tgd";
  panel.SaveDocumentToFile(target.string());
  EXPECT_FALSE(panel.Modified());
  EXPECT_EQ(text, ReadFile(target));

  test::PanelFixture other;
  other.panel.LoadDocumentFromFile(target.string());
  EXPECT_FALSE(other.panel.Modified());
  EXPECT_EQ(text, other.SaveText());
  EXPECT_EQ(2, other.panel.Schemes().GetCount());
  EXPECT_EQ(2, other.panel.Layers().GetCount());
}

// The stored route no longer fits the link: reading keeps it as stored, and routing it again
// makes it rise above the stored rectangle, its middle halfway along an odd height. Planned
// from the old rectangle and again from the new one once the saved text is read, the middle
// must come out at the same place.
TEST_F(PanelFiles, AConnectorReroutedAboveItsStoredRectReadsBackTheSame) {
  RegisterVexaGraphics();
  LoadText(ReadFile(fs::path(PV_SOURCE_DIR) / "graphics/panel/tests/data/connector_rerouted_above_its_rect.tgd"));
  const auto pointsOf = [](const TVexaConnector& link) {
    std::vector<TPoint> points;
    for (int i = 0; i < link.GetPointsCount(); ++i) points.push_back(link.GetPoint(i));
    return points;
  };
  auto* link = dynamic_cast<TVexaConnector*>(panel.FindControlByID(9));
  ASSERT_NE(nullptr, link);
  EXPECT_EQ((std::vector<TPoint>{{0, 0}, {1000, -30001}}), pointsOf(*link));
  EXPECT_EQ(20000, link->GetLeft());
  EXPECT_EQ(15000, link->GetTop());
  link->Reroute();
  EXPECT_EQ((std::vector<TPoint>{{0, 30001}, {0, 15000}, {1000, 15000}, {1000, 0}}), pointsOf(*link));
  EXPECT_EQ((TRect{20000, -15001, 21000, 15000}), link->GetDocRect());

  const std::string text = SaveText();
  test::PanelFixture other;
  other.LoadText(text);
  EXPECT_EQ(text, other.SaveText());
  auto* again = dynamic_cast<TVexaConnector*>(other.panel.FindControlByID(9));
  ASSERT_NE(nullptr, again);
  again->Reroute();
  EXPECT_EQ(text, other.SaveText());
}

// A box carries a connector and, after it, the box the connector links to; the carrying box's
// position comes after both (the tgd fuzzer's reduction). The children stand where the box
// puts them only once the whole text is read: the connector routes from there, its ends on
// the linked box, and reads back the same. At the origin the new link's point is where a
// point that was never reported lies, and must still set the route off.
TEST_F(PanelFiles, AConnectorRoutesFromWhereTheWholeTextPlacesIt) {
  RegisterVexaGraphics();
  const std::string reduced = ReadFile(fs::path(PV_SOURCE_DIR) / "graphics/panel/tests/data/connector_placed_after_its_block.tgd");
  ASSERT_NE(std::string::npos, reduced.find(" Left=6\n"));
  const struct {
    int32_t left;
    TPoint end;
  } cases[] = {{6, {6, 0}}, {0, {0, 0}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.left);
    std::string text = reduced;
    text.replace(text.find(" Left=6\n"), 8, " Left=" + std::to_string(c.left) + "\n");
    test::PanelFixture first;
    first.LoadText(text);
    TVexaConnector* link = nullptr;
    first.panel.ForEachControl([&](TVexaControl& control) {
      if (auto* connector = dynamic_cast<TVexaConnector*>(&control)) link = connector;
    });
    ASSERT_NE(nullptr, link);
    const TVexaControl* box = link->LinkA().LinkedControl();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ((TRect{c.end.x, c.end.y, c.end.x + 1, c.end.y + 1}), box->GetDocRect());
    EXPECT_EQ(c.end, link->LinkA().GetLinkPoint());
    // Both ends at the link point: the route is its two ends.
    EXPECT_EQ(2, link->GetPointsCount());
    EXPECT_EQ((TRect{c.end.x, c.end.y, c.end.x, c.end.y}), link->GetDocRect());

    const std::string saved = first.SaveText();
    test::PanelFixture second;
    second.LoadText(saved);
    EXPECT_EQ(saved, second.SaveText());
  }
}

TEST_F(PanelFiles, AssignCopiesTheDocumentAndReportsOneProgressRun) {
  BuildDocument();
  panel.SetModified(true);
  test::PanelFixture copy;
  std::vector<int> percents;
  copy.panel.OnProgress = [&](TVexaPanel&, int percent, TVexaFilerProcess kind) {
    EXPECT_EQ(TVexaFilerProcess::ppCopy, kind);
    percents.push_back(percent);
  };
  copy.panel.Assign(panel);
  copy.panel.OnProgress = nullptr;
  EXPECT_TRUE(panel.Modified());
  EXPECT_EQ(SaveText(), copy.SaveText());
  ASSERT_FALSE(percents.empty());
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_EQ(100, percents.back());
  EXPECT_TRUE(std::any_of(percents.begin(), percents.end(), [](int p) { return p > 0 && p <= 50; }));
}

TEST_F(PanelFiles, ADocumentCutAtAnyLineBoundaryIsADataFormatError) {
  BuildDocument();
  const std::string text = SaveText();
  size_t cuts = 0;
  for (size_t end = text.find("\r\n"); end + 2 < text.size(); end = text.find("\r\n", end + 2)) {
    for (const size_t cut : {end, end + 2}) {
      ++cuts;
      try {
        LoadText(text.substr(0, cut));
        ADD_FAILURE() << "loaded a document cut after byte " << cut;
      } catch (const EDataFormatError& e) {
        EXPECT_STREQ("Data format error", e.what());
      }
      // What is left is a new, empty document, not a part of the old one.
      ASSERT_EQ(1, panel.Schemes().GetCount()) << cut;
      EXPECT_EQ(0, panel.Schemes().GetChild(0)->GetCount()) << cut;
      EXPECT_EQ(1, panel.Layers().GetCount()) << cut;
    }
  }
  EXPECT_GT(cuts, 100u);
  // The final line end alone may be missing.
  LoadText(text.substr(0, text.size() - 2));
  EXPECT_EQ(text, SaveText());
}

// Whatever the failed text had set before its error (the name, the size, the connectors' gap)
// and whatever document was there before, a failed load leaves the new document of a fresh
// panel.
TEST_F(PanelFiles, AFailedLoadLeavesTheNewDocumentOfAFreshPanel) {
  const std::string empty = SaveText();
  panel.SetConnectorsMinGap(2000);
  BuildDocument();
  panel.Schemes().SetName("Earlier");
  const std::string text =
      "document Failed\r\n  ConnectorsMinGap = 3000\r\n  Height = 50000\r\n  Tag = 7\r\n  Width = 60000\r\n"
      "  object Layer1: TVexaLayer\r\n    ID = 5\r\n    Visible = True\r\n  end\r\n"
      "  object Scheme1: TVexaScheme\r\n    ID = 4\r\n";
  EXPECT_THROW(LoadText(text), EDataFormatError);
  EXPECT_EQ(empty, SaveText());
  EXPECT_EQ(TVexaSchemes::kDefaultMinGap, panel.ConnectorsMinGap());
  EXPECT_EQ(320000, panel.GetDocWidth());
  EXPECT_EQ(240000, panel.GetDocHeight());
  // It is a document to edit like any other, and a good text loads into it.
  Box(Scheme(), {0, 0, 1000, 1000}, "after");
  const std::string edited = SaveText();
  LoadText(edited);
  EXPECT_EQ(edited, SaveText());
}

TEST_F(PanelFiles, AMillionNestedGroupsAreRefusedWithoutExhaustingTheStack) {
  std::string text = "document Deep\r\n  object Scheme1: TVexaScheme\r\n";
  constexpr int kDepth = 1000000;
  text.reserve(static_cast<size_t>(kDepth) * 26);
  for (int i = 0; i < kDepth; ++i) text += "object g: TVexaGroup\r\n";
  for (int i = 0; i < kDepth; ++i) text += "end\r\n";
  text += "end\r\nend\r\n";
  EXPECT_THROW(LoadText(text), EDataFormatError);
  EXPECT_EQ(1, panel.Schemes().GetCount());
  EXPECT_EQ(0, panel.Schemes().GetChild(0)->GetCount());
}

// A box in a group; then levels of groups, each holding two clones of the group below: a few
// hundred bytes a level, each level painting twice what the one below paints.
// As a document, or as the clipboard text of all its controls.
std::string CloneBombText(int levels, bool clipboard = false) {
  test::PanelFixture source;
  TVexaControl* below = TVexaControl::New<TVexaGroup>(&source.panel, source.Scheme(), source.panel.GetActiveLayer());
  source.Box(below, {0, 0, 1000, 1000});
  for (int level = 1; level <= levels; ++level) {
    TVexaControl* group = TVexaControl::New<TVexaGroup>(&source.panel, source.Scheme(), source.panel.GetActiveLayer());
    for (int k = 0; k < 2; ++k) {
      auto* clone = TVexaControl::New<TVexaClone>(&source.panel, group, source.panel.GetActiveLayer());
      clone->SetSource(below);
      clone->SetLeft(k * 1000);
    }
    below = group;
  }
  if (!clipboard) return source.SaveText();
  std::vector<TVexaControl*> all;
  for (int i = 0; i < source.Scheme()->GetCount(); ++i) all.push_back(source.Scheme()->GetChild(i));
  source.SelectOnly(all);
  TMemoryStream stream;
  std::unique_ptr<TVexaFiler> filer = source.panel.CreateFiler(stream, TVexaFilerProcess::ppSave);
  source.panel.SaveDocumentToFiler(*filer, true);
  filer->Flush();
  return stream.Text();
}

TEST_F(PanelFiles, ClonesOfClonesThatWouldPaintTooMuchAreRefusedAndNothingChanges) {
  // Ten levels paint about 10,000 controls through clones and load; fourteen paint 160,000.
  const std::string fine = CloneBombText(10);
  const std::string bomb = CloneBombText(14);
  LoadText(fine);
  EXPECT_EQ(fine, SaveText());
  const auto expectRefused = [](const std::function<void()>& load) {
    try {
      load();
      ADD_FAILURE() << "loaded";
    } catch (const ECloneLimitError& e) {
      EXPECT_EQ(std::string(e.what()), "Clones of clones would paint more than " +
                                           std::to_string(kMaxClonePaintedControls) + " controls (or nest more than " +
                                           std::to_string(kMaxCloneDepth) + " deep)");
    }
  };
  // Pasted: the document stays as it was, with no step to undo.
  const int steps = panel.PanelHistory().Count();
  expectRefused([&] { LoadText(CloneBombText(14, true), TLoadMode::Clipboard); });
  EXPECT_EQ(fine, SaveText());
  EXPECT_EQ(steps, panel.PanelHistory().Count());
  // Loaded: refused as a damaged document is, leaving a new one.
  expectRefused([&] { LoadText(bomb); });
  EXPECT_EQ(1, panel.Schemes().GetCount());
  EXPECT_EQ(0, Scheme()->GetCount());
  EXPECT_FALSE(panel.Modified());
}

// The same levels written outermost first: every clone's source stands further down the text,
// so every reference waits for the end of the text, and the clones of all levels get their
// sources one after the other, the innermost level first.
std::string TopDownCloneBombText(int levels) {
  std::string text =
      "document Document\r\n  Height = 240000\r\n  ID = 1\r\n  Version = 140\r\n  Width = 320000\r\n"
      "  object Layer1: TVexaLayer\r\n    ID = 5\r\n    Visible = True\r\n  end\r\n"
      "  object Scheme1: TVexaScheme\r\n    Default = True\r\n    ID = 4\r\n";
  // A group (no source) or a clone of the group of ID source.
  const auto head = [&](const std::string& kind, int id, int source, int left, int width, const std::string& indent) {
    text += indent + "object " + kind + ": TVexa" + kind + "\r\n" + indent + "  Height = 1000\r\n" + indent +
            "  ID = " + std::to_string(id) + "\r\n" + indent + "  Layer = Layer1\r\n" + indent +
            "  Left = " + std::to_string(left) + "\r\n";
    if (source) text += indent + "  Source = \\" + std::to_string(source) + ":Group\r\n";
    text += indent + "  Top = 0\r\n" + indent + "  Width = " + std::to_string(width) + "\r\n";
  };
  // Level k: group k * 3 + 10 (k + 1 boxes wide) of two clones of level k - 1; level 0 holds a box.
  for (int level = levels; level >= 0; --level) {
    const int id = 3 * level + 10;
    head("Group", id, 0, 0, 1000 * (level + 1), "    ");
    if (level == 0) {
      text += "      object Control: TVexaControl\r\n        Height = 1000\r\n        ID = 11\r\n"
              "        Layer = Layer1\r\n        Left = 0\r\n        Top = 0\r\n        Width = 1000\r\n      end\r\n";
    }
    for (int k = 0; level > 0 && k < 2; ++k) {
      head("Clone", id + 1 + k, id - 3, 1000 * k, 1000 * level, "      ");
      text += "      end\r\n";
    }
    text += "    end\r\n";
  }
  return text + "  end\r\nend\r\n";
}

TEST_F(PanelFiles, ClonesOfClonesWrittenOutermostFirstLoadAndAreRefusedInTimeThatGrowsWithTheText) {
  // Ten levels load, each clone showing the level below it.
  LoadText(TopDownCloneBombText(10));
  ASSERT_EQ(11, Scheme()->GetCount());
  for (int i = 0; i < 10; ++i) {
    TVexaControl* group = Scheme()->GetChild(i);
    for (int k = 0; k < 2; ++k) {
      auto* clone = dynamic_cast<TVexaClone*>(group->GetChild(k));
      ASSERT_NE(nullptr, clone) << i;
      EXPECT_EQ(Scheme()->GetChild(i + 1), clone->GetSource()) << i;
    }
  }
  // A thousand levels are refused. Each clone's reference resolved repainted the clone, whose
  // refresh rectangle walked every level below it: the load took time that grew with the
  // square of the levels (half a minute for these), where the text is read and refused in
  // time that grows with its length.
  try {
    LoadText(TopDownCloneBombText(1000));
    ADD_FAILURE() << "loaded";
  } catch (const ECloneLimitError& e) {
    EXPECT_EQ(0u, std::string(e.what()).find("Clones of clones would paint more than"));
  }
  EXPECT_EQ(1, panel.Schemes().GetCount());
  EXPECT_EQ(0, Scheme()->GetCount());
}

TEST_F(PanelFiles, IdsThatAreMissingZeroNegativeOrTakenAreReplacedWhenLoadingEnds) {
  const std::string text =
      "document Ids\r\n"
      "  object Layer1: TVexaLayer\r\n    ID = 2\r\n  end\r\n"
      "  object Scheme1: TVexaScheme\r\n    ID = 3\r\n"
      "    object none: TVexaControl\r\n    end\r\n"
      "    object zero: TVexaControl\r\n      ID = 0\r\n    end\r\n"
      "    object negative: TVexaControl\r\n      ID = -5\r\n    end\r\n"
      "    object taken: TVexaControl\r\n      ID = 3\r\n    end\r\n"
      "    object top: TVexaControl\r\n      ID = 4294967295\r\n    end\r\n"
      "    object kept: TVexaControl\r\n      ID = 40\r\n    end\r\n"
      "  end\r\n"
      "end\r\n";
  LoadText(text);
  TVexaControl* scheme = panel.Schemes().GetChild(0);
  ASSERT_EQ(6, scheme->GetCount());
  std::set<int32_t> ids{panel.Schemes().GetId(), panel.Layers().GetChild(0)->GetId(), scheme->GetId()};
  for (int i = 0; i < scheme->GetCount(); ++i) {
    TVexaControl* c = scheme->GetChild(i);
    EXPECT_GT(c->GetId(), 0) << c->GetName();
    EXPECT_EQ(c, panel.FindControlByID(c->GetId())) << c->GetName();
    EXPECT_TRUE(ids.insert(c->GetId()).second) << c->GetName() << " shares ID " << c->GetId();
  }
  EXPECT_EQ(40, scheme->GetChild(5)->GetId());
}

TEST_F(PanelFiles, ASuccessfulSaveReplacesTheFileKeepsItsModeAndClearsModified) {
  const fs::path target = folder / "doc.tgd";
  WriteFile(target, "old bytes");
  ::chmod(target.c_str(), 0640);
  BuildDocument();
  ASSERT_TRUE(panel.Modified());
  EXPECT_TRUE(panel.SaveDocumentToFile(target.string()));
  EXPECT_FALSE(panel.Modified());
  EXPECT_EQ(SaveText(), ReadFile(target));
  struct stat st {};
  ASSERT_EQ(0, ::stat(target.c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 07777);
  EXPECT_EQ((std::set<std::string>{"doc.tgd"}), FolderEntries());
}

TEST_F(PanelFiles, SavingOverAReadOnlyFileFailsAndKeepsIt) {
  const fs::path target = folder / "doc.tgd";
  WriteFile(target, "old bytes");
  ::chmod(target.c_str(), 0444);
  BuildDocument();
  ExpectFailedSave(target, "old bytes", "Permission denied");
}

TEST_F(PanelFiles, SavingIntoAMissingFolderFails) {
  BuildDocument();
  const fs::path target = folder / "missing" / "doc.tgd";
  panel.SetModified(true);
  try {
    panel.SaveDocumentToFile(target.string());
    ADD_FAILURE() << "the save reported success";
  } catch (const EStreamError& e) {
    EXPECT_EQ("Cannot save " + target.string() + ": No such file or directory", std::string(e.what()));
  }
  EXPECT_TRUE(panel.Modified());
  EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(PanelFiles, SavingIntoAReadOnlyFolderFailsAndKeepsTheFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions of folders do not bind the superuser";
  const fs::path target = folder / "doc.tgd";
  WriteFile(target, "old bytes");
  ::chmod(folder.c_str(), 0555);
  BuildDocument();
  ExpectFailedSave(target, "old bytes", "Permission denied");
}

TEST_F(PanelFiles, AStreamThatFailsAfterSomeBytesKeepsTheOldFile) {
  BuildDocument();
  // Larger than the stream's buffer, so that writes fail while saving and not only at the end.
  for (int i = 0; i < 1000; ++i) Box(Scheme(), {i, i, i + 1000, i + 1000});
  const std::string text = SaveText();
  ASSERT_GT(text.size(), 65536u * 2);
  const fs::path target = folder / "doc.tgd";
  const std::string old(text.size() + 100, 'x');
  WriteFile(target, old);
  // The file size limit makes every write past it fail (EFBIG) instead of raising a signal.
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit previous{};
  ASSERT_EQ(0, ::getrlimit(RLIMIT_FSIZE, &previous));
  for (const rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{100}, rlim_t{65536}, rlim_t{text.size() - 1}}) {
    SCOPED_TRACE(limit);
    rlimit small = previous;
    small.rlim_cur = limit;
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &small));
    ExpectFailedSave(target, old, "File too large");
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &previous));
  }
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_TRUE(panel.SaveDocumentToFile(target.string()));
  EXPECT_EQ(text, ReadFile(target));
}

TEST_F(PanelFiles, AControlWhoseSaveFailsKeepsTheOldFile) {
  BuildDocument();
  // Many controls ahead of it, so that part of the file has reached the disk when it fails.
  for (int i = 0; i < 2000; ++i) Box(Scheme(), {i, i, i + 1000, i + 1000});
  auto* bad = TVexaControl::New<TSaveFailingControl>(&panel, Scheme(), panel.GetActiveLayer());
  const fs::path target = folder / "doc.tgd";
  WriteFile(target, "old bytes");
  bad->failing = true;
  ExpectFailedSave(target, "old bytes", "the control cannot be written");
  bad->failing = false;
  EXPECT_TRUE(panel.SaveDocumentToFile(target.string()));
  EXPECT_EQ(SaveText(), ReadFile(target));
}

TEST_F(PanelFiles, LoadingAMissingFileLeavesTheDocumentAlone) {
  BuildDocument();
  const std::string text = SaveText();
  EXPECT_THROW(panel.LoadDocumentFromFile((folder / "none.tgd").string()), EStreamError);
  EXPECT_EQ(text, SaveText());
}

TEST_F(PanelFiles, PastingOwnDataTwiceGivesTwoCopiesWithFreshIdsAndUndoesAsOneStepEach) {
  BuildDocument();
  TVexaControl* outer = Scheme()->FindChildByName("outer");
  ASSERT_NE(nullptr, outer);
  panel.SelectOne(outer);
  panel.SelectOne(Scheme()->GetChild(0));
  TMemoryStream clip;
  std::unique_ptr<TVexaFiler> writer = panel.CreateFiler(clip, TVexaFilerProcess::ppSave);
  ASSERT_TRUE(panel.SaveDocumentToFiler(*writer, true));
  writer->Flush();
  const std::string before = SaveText();
  const int children = Scheme()->GetCount();
  panel.PanelHistory().SetActive(true);
  for (int paste = 1; paste <= 2; ++paste) {
    LoadText(clip.Text(), TLoadMode::Clipboard);
    EXPECT_EQ(children + 2 * paste, Scheme()->GetCount());
    EXPECT_EQ(2, panel.SelectedCount());
  }
  std::set<int32_t> ids;
  panel.ForEachControl([&](TVexaControl& c) {
    if (c.GetParent()) {
      EXPECT_TRUE(ids.insert(c.GetId()).second) << c.GetName();
    }
  });
  EXPECT_EQ(2, panel.PanelHistory().Count());
  EXPECT_EQ("Create control(s)", panel.PanelHistory().GetAction(1)->Caption);
  // A clipboard cut short is refused like a document and takes back what it had pasted.
  const std::string pasted = SaveText();
  const std::string text = clip.Text();
  for (size_t cut = text.find("\r\n"); cut + 2 < text.size(); cut = text.find("\r\n", cut + 2)) {
    EXPECT_THROW(LoadText(text.substr(0, cut + 2), TLoadMode::Clipboard), EDataFormatError) << cut;
    EXPECT_EQ(pasted, SaveText()) << cut;
  }
  EXPECT_EQ(2, panel.PanelHistory().Count());
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(panel.PanelHistory().Undo());
  EXPECT_EQ(before, SaveText());
}

// A connector carried by the connector it links to: freeing the pasted controls frees the
// linking child before its parent, which must not keep the child's link point after it.
TEST_F(PanelFiles, UndoingAPasteOfAConnectorLinkedToTheConnectorCarryingItFreesCleanly) {
  RegisterVexaGraphics();
  const std::string before = SaveText();
  panel.PanelHistory().SetActive(true);
  LoadText(ReadFile(fs::path(PV_SOURCE_DIR) / "graphics/panel/tests/data/connector_in_a_connector_linked_to_it.tgd"),
           TLoadMode::Clipboard);
  const auto linkedPoints = [&] {
    int points = 0, links = 0;
    panel.ForEachControl([&](TVexaControl& c) {
      points += c.GetLinkPointsCount();
      if (auto* connector = dynamic_cast<TVexaConnector*>(&c)) {
        if (connector->LinkA().LinkedControl()) {
          EXPECT_EQ(connector->GetParent(), connector->LinkA().LinkedControl());
          ++links;
        }
      }
    });
    EXPECT_EQ(links, points);
    return points;
  };
  ASSERT_EQ(1, linkedPoints());
  ASSERT_TRUE(panel.PanelHistory().Undo());
  EXPECT_EQ(before, SaveText());
  ASSERT_TRUE(panel.PanelHistory().Redo());
  EXPECT_EQ(1, linkedPoints());
  ASSERT_TRUE(panel.PanelHistory().Undo());
  EXPECT_EQ(before, SaveText());
}

TEST_F(PanelFiles, SavingOnlyTheSelectionWritesNothingWithoutOne) {
  BuildDocument();
  TMemoryStream stream;
  std::unique_ptr<TVexaFiler> filer = panel.CreateFiler(stream, TVexaFilerProcess::ppSave);
  EXPECT_FALSE(panel.SaveDocumentToFiler(*filer, true));
  filer->Flush();
  EXPECT_EQ("", stream.Text());
  panel.SelectOne(Scheme()->GetChild(0));
  EXPECT_TRUE(panel.SaveDocumentToFiler(*filer, true));
  filer->Flush();
  EXPECT_EQ(0u, stream.Text().find("clipboard\r\n  object name with blanks: TVexaControl\r\n"));
}


}  // namespace
}  // namespace pv::graphics

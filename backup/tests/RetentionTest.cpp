#include <gtest/gtest.h>

#include <algorithm>

#include "DumpFiles.h"
#include "Retention.h"
#include "TestSupport.h"

using namespace safestow;
using namespace safestow::test;

namespace {

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const DumpFile& f : ListDumpFiles(folder)) names.push_back(f.name);
  return names;
}

constexpr std::size_t kMb = 1048576;

}  // namespace

TEST(DumpFiles, ListedOldestFirstByModificationTimeNotByName) {
  TempDir dir;
  // By name these sort the wrong way round: the stamp starts with the day.
  MakeDump(dir.path(), "31-12-2026-02-00-00.DMP", 10, 300);
  MakeDump(dir.path(), "01-01-2027-02-00-00.DMP", 20, 200);
  MakeDump(dir.path(), "02-01-2027-02-00-00.dmp", 30, 100);  // the mask ignores case
  MakeDump(dir.path(), "notes.txt", 5, 400);
  MakeDump(dir.path(), ".hidden.DMP", 5, 500);
  fs::create_directories(dir.path() / "old.DMP");
  const auto files = ListDumpFiles(dir.path());
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].name, "31-12-2026-02-00-00.DMP");
  EXPECT_EQ(files[1].name, "01-01-2027-02-00-00.DMP");
  EXPECT_EQ(files[2].size, 30u);
  EXPECT_TRUE(ListDumpFiles(dir.path() / "missing").empty());
}

TEST(DumpFiles, AStarInTheMaskStaysAWildcardWhereTheNameHoldsAStar) {
  // File names here may hold "*" and "?" themselves.
  const struct {
    const char* name;
    const char* mask;
    bool matches;
  } cases[] = {
      {"*", "*", true},         {"*a.DMP", "*.DMP", true}, {"**x", "*", true},
      {"a*b.DMP", "a*.DMP", true}, {"?*.DMP", "?*.DMP", true}, {"*a.DMPX", "*.DMP", false},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " / " << c.mask;
}

TEST(DumpFiles, MasksSizesAndSizeText) {
  EXPECT_TRUE(MatchesMask("a.DMP", "*.DMP"));
  EXPECT_TRUE(MatchesMask("a.dmp", "*.DMP"));
  EXPECT_TRUE(MatchesMask("a.b.DMP", "*.DMP"));
  EXPECT_FALSE(MatchesMask("a.DMPX", "*.DMP"));
  EXPECT_TRUE(MatchesMask("x1", "x?"));
  EXPECT_FALSE(MatchesMask("x", "x?"));

  TempDir dir;
  MakeDump(dir.path(), "a.DMP", 1000, 0);
  MakeDump(dir.path() / "sub" / "deeper", "b.bin", 500, 0);
  EXPECT_EQ(AddDirectorySize(dir.path()), 1500u);
  EXPECT_EQ(AddDirectorySize(dir.path() / "missing"), 0u);

  EXPECT_EQ(FormatSizeText(1.5, 2), "1,50");
  EXPECT_EQ(FormatSizeText(0, 2), "0,00");
  EXPECT_EQ(FormatSizeText(1234.56789, 2), "1234,57");
  EXPECT_EQ(ArchiveSizeText(3 * kMb / 2), "Размер архива: 1,50 Mb");
}

TEST(Retention, ByCountTable) {
  struct Case {
    int present;
    int keep;
    int left;
  };
  const Case cases[] = {{33, 31, 31}, {31, 31, 31}, {0, 31, 0}, {5, 1, 1}, {5, 0, 1}, {5, -3, 1}};
  for (const Case& c : cases) {
    TempDir dir;
    for (int i = 0; i < c.present; ++i) MakeDump(dir.path(), "d" + std::to_string(i) + ".DMP", 1, 1000 - i);
    const RetentionResult r = RetainByCount(dir.path(), c.keep);
    EXPECT_EQ(static_cast<int>(Names(dir.path()).size()), c.left) << c.present << " keep " << c.keep;
    // The oldest go first and the newest stays.
    for (std::size_t i = 0; i < r.deleted.size(); ++i) EXPECT_EQ(r.deleted[i], "d" + std::to_string(i) + ".DMP");
    if (c.present > 0) {
      EXPECT_EQ(Names(dir.path()).back(), "d" + std::to_string(c.present - 1) + ".DMP");
    }
  }
}

TEST(Retention, BySizeTable) {
  struct Case {
    const char* what;
    std::vector<std::size_t> dumpsMb;  // oldest first
    std::size_t otherMb;               // a file that is not a dump
    double limit;
    std::size_t deleted;
  };
  const Case cases[] = {
      {"exactly at the limit", {1, 1, 1}, 0, 3, 0},
      {"above: down to below", {1, 1, 1, 1}, 0, 3, 2},
      {"other files count, only dumps go", {1, 1}, 2, 3, 1},
      {"the newest dump stays", {1, 1}, 10, 3, 1},
      {"limit 0 deletes nothing", {1, 1}, 0, 0, 0},
      {"negative limit deletes nothing", {1, 1}, 0, -5, 0},
      {"empty folder", {}, 0, 1, 0},
  };
  for (const Case& c : cases) {
    TempDir dir;
    for (std::size_t i = 0; i < c.dumpsMb.size(); ++i) {
      MakeDump(dir.path(), "d" + std::to_string(i) + ".DMP", c.dumpsMb[i] * kMb, 1000 - static_cast<int>(i));
    }
    if (c.otherMb) MakeDump(dir.path() / "logs", "export.log", c.otherMb * kMb, 0);
    const RetentionResult r = RetainBySize(dir.path(), c.limit);
    EXPECT_EQ(r.deleted.size(), c.deleted) << c.what;
    EXPECT_EQ(Names(dir.path()).size(), c.dumpsMb.size() - c.deleted) << c.what;
    if (c.otherMb) {
      EXPECT_TRUE(fs::exists(dir.path() / "logs" / "export.log")) << c.what;
    }
  }
}

TEST(Retention, AFailedDeleteEndsThePruning) {
  TempDir dir;
  for (int i = 0; i < 5; ++i) MakeDump(dir.path(), "d" + std::to_string(i) + ".DMP", kMb, 100 - i);
  int attempts = 0;
  const auto refuse = [&](const fs::path&) {
    ++attempts;
    return false;
  };
  RetentionResult r = RetainByCount(dir.path(), 1, refuse);
  EXPECT_EQ(attempts, 1);
  EXPECT_EQ(r.failed, "d0.DMP");
  EXPECT_TRUE(r.deleted.empty());

  attempts = 0;
  r = RetainBySize(dir.path(), 1, refuse);
  EXPECT_EQ(attempts, 1);
  EXPECT_EQ(Names(dir.path()).size(), 5u);
}

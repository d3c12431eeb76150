#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ini/CodePage1251.h"
#include "ini/IniFile.h"

namespace fs = std::filesystem;
using pv::ini::IniFile;

namespace {

class IniFileFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("pv_ini_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void WriteBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
  }
  // Runs Python (an independent INI reader) and returns what it printed.
  static std::string Python(const std::string& script, int* status = nullptr) {
    const std::string cmd = "/usr/bin/python3 -c '" + script + "' 2>&1";
    FILE* pipe = ::popen(cmd.c_str(), "r");
    std::string out;
    char buf[512];
    while (pipe && std::fgets(buf, sizeof buf, pipe)) out += buf;
    const int rc = pipe ? ::pclose(pipe) : -1;
    if (status) *status = rc;
    return out;
  }
  static bool HavePython() { return fs::exists("/usr/bin/python3"); }

  fs::path dir_;
};

}  // namespace

TEST(IniFile, SectionsAndKeysIgnoreCase) {
  const IniFile ini = IniFile::FromCp1251(
      pv::ini::Utf8ToCp1251("[Parameters]\r\npathBACKUP=C:\\x\\\r\n[Задание]\r\nИмя=1\r\n"));
  EXPECT_EQ(ini.ReadString("PARAMETERS", "PathBackup", "?"), "C:\\x\\");
  EXPECT_EQ(ini.ReadString("parameters", "pathbackup", "?"), "C:\\x\\");
  EXPECT_EQ(ini.ReadInteger("ЗАДАНИЕ", "имя", 0), 1);
  EXPECT_EQ(ini.ReadString("PARAMETERS", "Missing", "default"), "default");
  EXPECT_EQ(ini.ReadString("Missing", "PathBackup", "default"), "default");
}

TEST(IniFile, ValuesAreTrimmedAndUnquotedAsWindowsReadsThem) {
  const IniFile ini = IniFile::FromCp1251(
      "[S]\n a = spaced  \nq=\"quoted value\"\nmixed='x\"\nempty=\nfirst=1\nFIRST=2\n");
  EXPECT_EQ(ini.ReadString("S", "a", ""), "spaced");
  EXPECT_EQ(ini.ReadString("S", "q", ""), "quoted value");
  EXPECT_EQ(ini.ReadString("S", "mixed", ""), "'x\"");
  EXPECT_EQ(ini.ReadString("S", "empty", "def"), "");
  EXPECT_EQ(ini.ReadInteger("S", "first", 0), 1);  // the first of duplicates wins
}

TEST(IniFile, ReadIntegerTable) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  const Case cases[] = {
      {"31", 31},        {" -7 ", -7},      {"+5", 5},           {"$1F", 31},
      {"0x10", 16},      {"$FFFFFFFF", -1}, {"2147483647", INT32_MAX},
      {"2147483648", 99}, {"12abc", 99},    {"", 99},            {"abc", 99},
      {"-", 99},         {"1.5", 99},
  };
  for (const Case& c : cases) {
    const IniFile ini = IniFile::FromCp1251(std::string("[S]\nk=") + c.text + "\n");
    EXPECT_EQ(ini.ReadInteger("S", "K", 99), c.expected) << '"' << c.text << '"';
  }
}

TEST(IniFile, UnchangedLinesAndOtherSectionsAreKept) {
  const std::string original =
      "; written by hand\r\n[Other]\r\nkeep = \"as is\"\r\nnoequals\r\n\r\n"
      "[PARAMETERS]\r\nUserID=A/B\r\n\r\n[Tail]\r\nx=1\r\n";
  IniFile ini = IniFile::FromCp1251(original);
  EXPECT_EQ(ini.ToCp1251(), original);

  ini.WriteString("parameters", "USERID", "C/D");
  ini.WriteInteger("PARAMETERS", "SizeDAYBackup", 31);
  ini.WriteString("New", "k", "v");
  EXPECT_EQ(ini.ToCp1251(),
            "; written by hand\r\n[Other]\r\nkeep = \"as is\"\r\nnoequals\r\n\r\n"
            "[PARAMETERS]\r\nUserID=C/D\r\nSizeDAYBackup=31\r\n\r\n[Tail]\r\nx=1\r\n[New]\r\nk=v\r\n");
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Other", "PARAMETERS", "Tail", "New"}));
  EXPECT_EQ(ini.ReadSection("parameters"), (std::vector<std::string>{"UserID", "SizeDAYBackup"}));
}

TEST(IniFile, EraseSectionAndDeleteKey) {
  IniFile ini = IniFile::FromCp1251("[A]\nx=1\ny=2\n[B]\nz=3\n");
  ini.DeleteKey("a", "X");
  ini.EraseSection("b");
  EXPECT_FALSE(ini.ValueExists("A", "x"));
  EXPECT_TRUE(ini.ValueExists("A", "y"));
  EXPECT_FALSE(ini.SectionExists("B"));
  EXPECT_EQ(ini.ToCp1251(), "[A]\r\ny=2\r\n");
}

TEST_F(IniFileFiles, MissingFileReadsAsEmptyAndIsCreatedOnUpdate) {
  IniFile ini(dir_ / "Safestow.ini");
  EXPECT_TRUE(ini.ReadSections().empty());
  ini.WriteString("PARAMETERS", "UserID", "VALMERIS/QUENTARO");
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(ReadBytes(dir_ / "Safestow.ini"), "[PARAMETERS]\r\nUserID=VALMERIS/QUENTARO\r\n");
  EXPECT_FALSE(fs::exists(dir_ / "Safestow.ini.tmp"));
}

TEST_F(IniFileFiles, FailedWriteKeepsTheOldFile) {
  const fs::path target = dir_ / "locked" / "Alarms.ini";
  IniFile ini = IniFile::FromCp1251("[A]\nx=1\n");
  std::string error;
  EXPECT_FALSE(ini.SaveAs(target, &error));  // the folder does not exist
  EXPECT_NE(error.find("Alarms.ini"), std::string::npos);

  // A target that is a folder cannot be replaced: the folder stays as it was.
  fs::create_directories(dir_ / "dir.ini" / "inside");
  EXPECT_FALSE(ini.SaveAs(dir_ / "dir.ini", &error));
  EXPECT_TRUE(fs::exists(dir_ / "dir.ini" / "inside"));
}

// A file that is there but cannot be read reads as empty, says why, and is never replaced:
// writing would lose what it holds.
TEST_F(IniFileFiles, UnreadableFileReadsAsEmptyWithItsReasonAndIsNotOverwritten) {
  fs::create_directories(dir_ / "Folder.ini" / "inside");
  WriteBytes(dir_ / "Locked.ini", "[PARAMETERS]\r\nUserID=VALMERIS/QUENTARO\r\n");
  fs::permissions(dir_ / "Locked.ini", fs::perms::none);
  struct Case {
    fs::path file;
    const char* reason;
    bool skip;
  };
  const Case cases[] = {
      {dir_ / "Folder.ini", "Is a directory", false},
      {"/proc/self/mem", "Input/output error", !fs::exists("/proc/self/mem")},  // opens, then fails to read
      {dir_ / "Locked.ini", "Permission denied", ::geteuid() == 0},            // root reads it anyway
  };
  for (const Case& c : cases) {
    if (c.skip) continue;
    IniFile ini(c.file);
    EXPECT_NE(ini.ReadError().find(c.reason), std::string::npos) << c.file << ": " << ini.ReadError();
    EXPECT_NE(ini.ReadError().find(c.file.string()), std::string::npos) << c.file;
    EXPECT_TRUE(ini.ReadSections().empty()) << c.file;
    EXPECT_EQ(ini.ReadString("PARAMETERS", "UserID", "default"), "default") << c.file;
    ini.WriteString("PARAMETERS", "UserID", "other");
    std::string error;
    EXPECT_FALSE(ini.UpdateFile(&error)) << c.file;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
  EXPECT_TRUE(fs::exists(dir_ / "Folder.ini" / "inside"));
  fs::permissions(dir_ / "Locked.ini", fs::perms::owner_all);
  EXPECT_EQ(ReadBytes(dir_ / "Locked.ini"), "[PARAMETERS]\r\nUserID=VALMERIS/QUENTARO\r\n");
  EXPECT_TRUE(IniFile(dir_ / "Missing.ini").ReadError().empty());
  EXPECT_TRUE(IniFile(dir_ / "Locked.ini").ReadError().empty());
}

TEST_F(IniFileFiles, FileIsCp1251ForAnIndependentReader) {
  if (!HavePython()) GTEST_SKIP() << "/usr/bin/python3 is not installed";
  IniFile ini(dir_ / "Alarms.ini");
  ini.WriteInteger("Global Options", "AlarmCount", 1);
  ini.WriteString("Alarm1", "Message", "Задание резервного копирования");
  ini.WriteString("Alarm1", "Time", "02:00");
  ASSERT_TRUE(ini.UpdateFile());

  const std::string bytes = ReadBytes(dir_ / "Alarms.ini");
  EXPECT_NE(bytes.find("\xC7\xE0\xE4\xE0\xED\xE8\xE5"), std::string::npos);  // "Задание" in 1251

  const std::string out = Python(
      "import configparser,sys\n"
      "c=configparser.RawConfigParser()\n"
      "c.read(\"" + (dir_ / "Alarms.ini").string() + "\", encoding=\"cp1251\")\n"
      "sys.stdout.buffer.write((c[\"Global Options\"][\"alarmcount\"]+\"|\"+c[\"Alarm1\"][\"message\"]+\"|\"+c[\"Alarm1\"][\"time\"]).encode(\"utf-8\"))\n");
  EXPECT_EQ(out, "1|Задание резервного копирования|02:00");
}

TEST_F(IniFileFiles, ReadsAFileWrittenByAnIndependentWriter) {
  if (!HavePython()) GTEST_SKIP() << "/usr/bin/python3 is not installed";
  const fs::path path = dir_ / "Safestow.ini";
  int status = 0;
  const std::string out = Python(
      "import configparser\n"
      "c=configparser.RawConfigParser()\n"
      "c.optionxform=str\n"
      "c[\"PARAMETERS\"]={\"PathBackup\":\"/srv/Бэкап/\",\"SizeDAYBackup\":\"7\"}\n"
      "f=open(\"" + path.string() + "\",\"w\",encoding=\"cp1251\")\n"
      "c.write(f)\n"
      "f.close()\n",
      &status);
  ASSERT_EQ(status, 0) << out;
  const IniFile ini(path);
  EXPECT_EQ(ini.ReadString("parameters", "pathbackup", ""), "/srv/Бэкап/");
  EXPECT_EQ(ini.ReadInteger("PARAMETERS", "SizeDAYBackup", 0), 7);
}

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

#include "DXF_numbers.h"
#include "DXF_write.h"
#include "TestSupport.h"

namespace pv::viewer {
namespace {

using test::Dxf;
using test::ReadDxfText;

std::string ReadFileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Written(const std::vector<DxfLayerView>& layers) {
  std::ostringstream out;
  DXF_Writer writer(out, layers);
  writer.WriteDxfFile();
  return out.str();
}

// A scratch folder of the test's own, removed afterwards.
class TempDir {
 public:
  TempDir() {
    // mkdtemp makes a new folder or fails: two tests (or two checkouts) never share one.
    std::string pattern = (std::filesystem::temp_directory_path() / "planview-write-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("no scratch folder: " + pattern);
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Every kind of entity the model holds, on two layers, with a block and an insert of it.
const std::string kAllEntities = Dxf({
    "0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "LAYER",
    "0", "LAYER", "2", "0", "62", "7",
    "0", "LAYER", "2", "WALLS", "62", "1",
    "0", "ENDTAB", "0", "ENDSEC",
    "0", "SECTION", "2", "BLOCKS",
    "0", "BLOCK", "8", "0", "2", "DOOR", "10", "1.0", "20", "2.0", "30", "0.0",
    "0", "LINE", "8", "0", "62", "3", "10", "0.0", "20", "0.0", "30", "0.0", "11", "1.0", "21", "0.0", "31", "0.0",
    "0", "ENDBLK", "8", "0",
    "0", "ENDSEC",
    "0", "SECTION", "2", "ENTITIES",
    "0", "POINT", "8", "WALLS", "10", "1.5", "20", "2.25", "30", "0.0",
    "0", "LINE", "8", "WALLS", "62", "5", "10", "5432100.123", "20", "-0.1", "30", "0.0",
    "11", "123456789.5", "21", "1e-7", "31", "0.0",
    "0", "CIRCLE", "8", "WALLS", "10", "10.0", "20", "10.0", "30", "0.0", "40", "2.5",
    "0", "ARC", "8", "WALLS", "10", "0.0", "20", "0.0", "30", "0.0", "40", "3.0", "50", "350.0", "51", "10.0",
    "0", "TEXT", "8", "WALLS", "10", "1.0", "20", "1.0", "30", "0.0", "40", "0.5", "1", "Hello", "72", "1",
    "11", "2.0", "21", "1.0", "31", "0.0",
    "0", "3DFACE", "8", "WALLS", "10", "0", "20", "0", "30", "0", "11", "1", "21", "0", "31", "0",
    "12", "1", "22", "1", "32", "0", "13", "1", "23", "1", "33", "0",
    "0", "SOLID", "8", "WALLS", "39", "2.0", "10", "0", "20", "0", "30", "0", "11", "2", "21", "0", "31", "0",
    "12", "0", "22", "2", "32", "0", "13", "2", "23", "2", "33", "0",
    "0", "POLYLINE", "8", "WALLS", "66", "1", "70", "1",
    "0", "VERTEX", "8", "WALLS", "10", "0", "20", "0", "30", "0",
    "0", "VERTEX", "8", "WALLS", "10", "4", "20", "0", "30", "0",
    "0", "VERTEX", "8", "WALLS", "10", "4", "20", "3", "30", "0",
    "0", "SEQEND", "8", "WALLS",
    "0", "INSERT", "8", "0", "66", "1", "2", "DOOR", "10", "20.0", "20", "5.0", "30", "0.0",
    "41", "2.0", "42", "2.0", "43", "1.0", "50", "90.0",
    "0", "ATTRIB", "8", "0", "10", "20.0", "20", "5.0", "30", "0.0", "40", "0.25", "1", "D1", "2", "TAG", "70", "0",
    "0", "SEQEND", "8", "0",
    "0", "ENDSEC", "0", "EOF"});

TEST(DxfNumbers, RealsKeepEveryDigitInTheFixedForm) {
  struct Case {
    double x;
    const char* text;
  } cases[] = {
      {0.0, "0.000"},           {-0.0, "0.000"},         {1.5, "1.500"},
      {0.1, "0.100"},           {-2.25, "-2.250"},       {5432100.123, "5432100.123"},
      {123456.789, "123456.789"}, {1e-7, "0.0000001"},   {1.0 / 3.0, "0.3333333333333333"},
      {9999999.0, "9999999.000"}, {123456789.5, "1.234567895E+08"}, {1e10, "1.000000E+10"},
      {-12345678.0, "-1.2345678E+07"},
  };
  for (const Case& c : cases) EXPECT_EQ(DxfRealText(c.x), c.text) << c.x;
}

TEST(DxfNumbers, GeneralFormDropsTrailingZerosAndThePointOfWholeValues) {
  struct Case {
    double x;
    const char* text;
  } cases[] = {
      {1e10, "10000000000"}, {-1e10, "-10000000000"}, {2.5, "2.5"}, {0.0, "0"},
      {-3.0, "-3"},          {1e20, "1E20"},          {1.5e-7, "1.5E-7"}, {5432100.123, "5432100.123"},
  };
  for (const Case& c : cases) EXPECT_EQ(DxfGeneralText(c.x), c.text) << c.x;
}

TEST(DxfNumbers, EveryWrittenRealReadsBackAsTheSameDouble) {
  std::mt19937_64 random(12345);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-12, 12);
  for (int i = 0; i < 20000; ++i) {
    const double x = mantissa(random) * std::pow(10.0, exponent(random));
    for (const std::string& text : {DxfRealText(x), DxfGeneralText(x)}) {
      double back = 0;
      const auto r = std::from_chars(text.data(), text.data() + text.size(), back);
      ASSERT_EQ(r.ec, std::errc()) << text;
      ASSERT_EQ(back, x) << text;
    }
  }
}

TEST(DXF_Writer, WritesTheGoldenFileByteForByte) {
  auto read = ReadDxfText(kAllEntities);
  ASSERT_TRUE(read->prompts.errors.empty());
  const std::string written = Written(LayerViews(*read->drawing));
  const std::filesystem::path golden = std::filesystem::path(PV_SOURCE_DIR) / "viewer/tests/golden/all_entities.dxf";
  if (std::getenv("PV_UPDATE_GOLDEN")) std::ofstream(golden, std::ios::binary) << written;
  EXPECT_EQ(written, ReadFileText(golden));
}

TEST(DXF_Writer, AnEmptyDrawingWritesTheStartingExtentsAndEmptySections) {
  DXF_Object empty;
  const std::string written = Written(LayerViews(empty));
  EXPECT_EQ(written, Dxf({"0", "SECTION", "2", "HEADER", "9", "$EXTMIN", "10", "10000000000", "20", "10000000000",
                          "30", "10000000000", "9", "$EXTMAX", "10", "-10000000000", "20", "-10000000000", "30",
                          "-10000000000", "0", "ENDSEC", "0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "VPORT",
                          "0", "VPORT", "2", "*ACTIVE", "41", "  1.000000", "0", "ENDTAB", "0", "TABLE", "2",
                          "LAYER", "0", "ENDTAB", "0", "ENDSEC", "0", "SECTION", "2", "BLOCKS", "0", "ENDSEC", "0",
                          "SECTION", "2", "ENTITIES", "0", "ENDSEC", "0", "EOF"},
                         "\r\n"));
}

TEST(DXF_Writer, ReadingBackGivesTheSameRecordsWithTheLayersReversed) {
  auto first = ReadDxfText(kAllEntities);
  const std::string once = Written(LayerViews(*first->drawing));
  auto second = ReadDxfText(once);
  ASSERT_TRUE(second->prompts.errors.empty());
  ASSERT_EQ(second->drawing->LayerCount(), first->drawing->LayerCount());
  // The layer table lists the layers last first, so they come back reversed.
  const int n = first->drawing->LayerCount();
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(second->drawing->Layer(static_cast<size_t>(i))->Name(),
              first->drawing->Layer(static_cast<size_t>(n - 1 - i))->Name());
  }
  // Same lists, same entities, same records: nothing was lost or rounded.
  for (int i = 0; i < n; ++i) {
    const DXF_Layer* a = first->drawing->Layer(static_cast<size_t>(i));
    DXF_Layer* b = second->Layer(a->Name());
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->ListCount(), a->ListCount()) << a->Name();
    for (int j = 0; j < a->ListCount(); ++j) {
      const Entity_List* la = a->List(static_cast<size_t>(j));
      const Entity_List* lb = b->ListByName(la->Name());
      ASSERT_EQ(lb->Count(), la->Count()) << la->Name();
      for (size_t k = 0; k < la->Count(); ++k) {
        std::ostringstream ra, rb;
        la->Entity(k)->WriteToDxf(ra, "L");
        lb->Entity(k)->WriteToDxf(rb, "L");
        EXPECT_EQ(rb.str(), ra.str()) << la->Name() << " " << k;
      }
    }
  }
  const auto* line = second->Entity<Line_>("WALLS", "Line_", 0);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->GetPoint().x, 5432100.123);
  EXPECT_EQ(Written(LayerViews(*second->drawing)).size(), once.size());
}

TEST(DXF_Writer, ASolidKeepsItsExtrusionAndAFaceWritesNone) {
  auto first = ReadDxfText(Dxf({"0", "SECTION", "2", "ENTITIES",
                                "0", "SOLID", "8", "K", "10", "1", "20", "1", "11", "3", "21", "1", "12", "1", "22",
                                "2", "13", "3", "23", "2", "210", "0", "220", "0", "230", "-1",
                                "0", "3DFACE", "8", "K", "10", "0", "20", "0", "30", "0", "11", "1", "21", "0", "31",
                                "0", "12", "0", "22", "1", "32", "0",
                                "0", "ENDSEC", "0", "EOF"}));
  ASSERT_TRUE(first->prompts.errors.empty());
  const std::string written = Written(LayerViews(*first->drawing));
  // The group codes of the 3DFACE record, up to the next record.
  std::istringstream lines(written);
  std::vector<std::string> pairs;
  for (std::string line; std::getline(lines, line);) {
    line.erase(0, line.find_first_not_of(" \r"));
    line.erase(line.find_last_not_of(" \r") + 1);
    pairs.push_back(line);
  }
  std::vector<std::string> faceCodes;
  for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
    if (pairs[i] == "0" && pairs[i + 1] == "3DFACE") {
      for (size_t j = i + 2; j + 1 < pairs.size() && pairs[j] != "0"; j += 2) faceCodes.push_back(pairs[j]);
    }
  }
  ASSERT_FALSE(faceCodes.empty());
  EXPECT_EQ(std::count(faceCodes.begin(), faceCodes.end(), "210"), 0);
  auto second = ReadDxfText(written);
  const auto* solid = second->Entity<Solid_>("K", "Solid_", 0);
  ASSERT_NE(solid, nullptr);
  EXPECT_EQ(solid->Extrusion().z, -1.0);
  ASSERT_NE(solid->OCS(), nullptr);
  const auto* before = first->Entity<Solid_>("K", "Solid_", 0);
  ASSERT_EQ(solid->Points().size(), before->Points().size());
  for (size_t i = 0; i < solid->Points().size(); ++i) {
    EXPECT_EQ(solid->Points()[i].x, before->Points()[i].x) << i;
    EXPECT_EQ(solid->Points()[i].y, before->Points()[i].y) << i;
  }
}

// A stream that fails once it has taken `limit` characters.
class FailingBuffer : public std::streambuf {
 public:
  explicit FailingBuffer(size_t limit) : limit_(limit) {}

 protected:
  int_type overflow(int_type c) override { return ++taken_ > limit_ ? traits_type::eof() : c; }

 private:
  size_t limit_;
  size_t taken_ = 0;
};

// The values of the angle codes (50, 51) of a DXF text, in order.
std::vector<std::string> AngleValues(const std::string& file) {
  std::vector<std::string> values;
  std::istringstream lines(file);
  std::string code, value;
  while (std::getline(lines, code) && std::getline(lines, value)) {
    if (!code.empty() && code.back() == '\r') code.pop_back();
    if (!value.empty() && value.back() == '\r') value.pop_back();
    if (code == "50" || code == "51") values.push_back(value);
  }
  return values;
}

// The model keeps angles in radians; an angle read in degrees is written back as it was read.
TEST(DXF_Writer, AnglesAreWrittenBackAsTheyWereRead) {
  const std::vector<std::string> angles{"0.000", "30.000", "45.000", "90.000", "180.000", "270.000", "359.950"};
  std::string text = Dxf({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "8", "0", "2", "B", "10", "0.0", "20", "0.0",
                          "30", "0.0", "0", "ENDBLK", "0", "ENDSEC", "0", "SECTION", "2", "ENTITIES"});
  std::vector<std::string> expected;
  for (size_t i = 0; i < angles.size(); ++i) {
    const std::string& end = angles[(i + 1) % angles.size()];
    text += Dxf({"0", "ARC", "8", "A", "10", "1.000", "20", "2.000", "30", "0.000", "40", "3.000", "50", angles[i],
                 "51", end});
    expected.insert(expected.end(), {angles[i], end});
  }
  for (size_t i = 1; i < angles.size(); ++i) {  // a rotation of 0 is not written
    text += Dxf({"0", "INSERT", "8", "A", "2", "B", "10", "0.000", "20", "0.000", "30", "0.000", "50", angles[i]});
    expected.push_back(angles[i]);
  }
  text += Dxf({"0", "ENDSEC", "0", "EOF"});
  ASSERT_EQ(AngleValues(text), expected);
  const auto read = ReadDxfText(text);
  const std::string saved = Written(LayerViews(*read->drawing));
  EXPECT_EQ(AngleValues(saved), expected);
  const auto again = ReadDxfText(saved);
  EXPECT_EQ(AngleValues(Written(LayerViews(*again->drawing))), expected);
}

// Angles that need more than twelve digits are saved with every digit they need: a drawing
// saved and read again holds the same radians, and saving it again writes the same text.
TEST(DXF_Writer, AnglesKeepEveryDigitTheyNeed) {
  const std::vector<std::string> angles{"33.333333333333336", "-47.11111111111111", "0.123456789012345",
                                        "359.99999999999994", "0.000000001", "271.00000000000006"};
  std::string text = Dxf({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "8", "0", "2", "B", "10", "0.0", "20", "0.0",
                          "30", "0.0", "0", "ENDBLK", "0", "ENDSEC", "0", "SECTION", "2", "ENTITIES"});
  for (const std::string& angle : angles) {
    text += Dxf({"0", "ARC", "8", "A", "10", "1.000", "20", "2.000", "30", "0.000", "40", "3.000", "50", angle,
                 "51", "90.000"});
    text += Dxf({"0", "INSERT", "8", "A", "2", "B", "10", "0.000", "20", "0.000", "30", "0.000", "50", angle});
  }
  text += Dxf({"0", "ENDSEC", "0", "EOF"});
  const auto read = ReadDxfText(text);
  const std::string saved = Written(LayerViews(*read->drawing));
  const auto again = ReadDxfText(saved);
  for (size_t i = 0; i < angles.size(); ++i) {
    const auto* arc = again->Entity<Arc_>("A", "Arc_", i);
    const auto* insert = again->Entity<Insert_>("A", "Insert_", i);
    ASSERT_NE(arc, nullptr) << angles[i];
    ASSERT_NE(insert, nullptr) << angles[i];
    EXPECT_EQ(arc->StartAngle(), read->Entity<Arc_>("A", "Arc_", i)->StartAngle()) << angles[i];
    EXPECT_EQ(insert->Rotation(), read->Entity<Insert_>("A", "Insert_", i)->Rotation()) << angles[i];
  }
  EXPECT_EQ(AngleValues(Written(LayerViews(*again->drawing))), AngleValues(saved));
}

TEST(DXF_Writer, AFailedWriteThrows) {
  auto read = ReadDxfText(kAllEntities);
  FailingBuffer buffer(500);
  std::ostream out(&buffer);
  DXF_Writer writer(out, LayerViews(*read->drawing));
  EXPECT_THROW(writer.WriteDxfFile(), std::ios_base::failure);
}

selection_lists ChooseAll(const DXF_Object& drawing) {
  selection_lists selection;
  for (int i = 0; i < drawing.LayerCount(); ++i) {
    const DXF_Layer* layer = drawing.Layer(static_cast<size_t>(i));
    for (int j = 0; j < layer->ListCount(); ++j) selection.lists.push_back(layer->List(static_cast<size_t>(j)));
  }
  return selection;
}

// Where every list is: its layer, its place there and its owner.
std::vector<std::tuple<const DXF_Layer*, int, const Entity_List*, const DXF_Layer*>> Placement(const DXF_Object& d) {
  std::vector<std::tuple<const DXF_Layer*, int, const Entity_List*, const DXF_Layer*>> out;
  for (int i = 0; i < d.LayerCount(); ++i) {
    const DXF_Layer* layer = d.Layer(static_cast<size_t>(i));
    for (int j = 0; j < layer->ListCount(); ++j) {
      out.emplace_back(layer, j, layer->List(static_cast<size_t>(j)), layer->List(static_cast<size_t>(j))->Owner());
    }
  }
  return out;
}

TEST(SaveAsDxf, WritesTheChosenListsAndLeavesEveryListInItsLayer) {
  TempDir dir;
  auto read = ReadDxfText(kAllEntities);
  const auto before = Placement(*read->drawing);
  selection_lists selection;
  selection.lists.push_back(read->Layer("WALLS")->ListByName("Circle_"));
  selection.lists.push_back(read->Layer("WALLS")->ListByName("Line_"));
  const auto file = dir.path() / "plan.dxf";
  SaveAsDxf(selection, file);
  EXPECT_EQ(Placement(*read->drawing), before);

  auto back = ReadDxfText(ReadFileText(file));
  ASSERT_EQ(back->drawing->LayerCount(), 1);
  EXPECT_EQ(back->drawing->Layer(0)->Name(), "WALLS");
  EXPECT_EQ(back->drawing->Layer(0)->ListCount(), 2);
  EXPECT_EQ(back->Count("WALLS", "Circle_"), 1u);
  EXPECT_EQ(back->Count("WALLS", "Line_"), 1u);
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST(SaveAsDxf, AFailedSaveReportsTheFileAndLeavesTheOldFileAndTheListsAlone) {
  TempDir dir;
  auto read = ReadDxfText(kAllEntities);
  const auto before = Placement(*read->drawing);
  const selection_lists selection = ChooseAll(*read->drawing);
  const auto file = dir.path() / "plan.dxf";
  std::ofstream(file) << "old drawing";
  // The temporary file cannot be made: a folder stands where it would go.
  std::filesystem::create_directory(dir.path() / "~plan.dxf.tmp");
  try {
    SaveAsDxf(selection, file);
    FAIL() << "the save should have failed";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("plan.dxf"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadFileText(file), "old drawing");
  EXPECT_EQ(Placement(*read->drawing), before);

  // Renaming over a folder fails too, and the temporary file goes away.
  std::filesystem::remove(dir.path() / "~plan.dxf.tmp");
  const auto folder = dir.path() / "folder.dxf";
  std::filesystem::create_directory(folder);
  std::ofstream(folder / "inside") << "x";
  EXPECT_THROW(SaveAsDxf(selection, folder), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "~folder.dxf.tmp"));
  EXPECT_TRUE(std::filesystem::is_directory(folder));
}

}  // namespace
}  // namespace pv::viewer

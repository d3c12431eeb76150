// Files read by our reader and by an independent one (ezdxf, through dxf_expect.py) must agree:
// layers, entities per layer and list, block contents, and every top-level entity's values.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <numbers>
#include <sstream>

#include "TestSupport.h"

namespace pv::viewer {
namespace {

namespace fs = std::filesystem;
using Row = std::vector<std::string>;

const fs::path kScripts = VIEWER_TEST_SCRIPTS;

std::vector<Row> Expectations(const fs::path& dxf) {
  std::string out;
  if (!test::RunCommand("/usr/bin/python3 '" + (kScripts / "dxf_expect.py").string() + "' '" + dxf.string() + "'", out)) {
    ADD_FAILURE() << "dxf_expect.py failed on " << dxf;
    return {};
  }
  std::vector<Row> rows;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    Row row;
    std::istringstream fields(line);
    std::string field;
    while (std::getline(fields, field, '\t')) row.push_back(field);
    if (line.ends_with('\t')) row.emplace_back();
    rows.push_back(row);
  }
  return rows;
}

struct Read {
  test::RecordingPrompts prompts;
  test::RecordingBusyBox busy;
  std::vector<std::string> skipped;
  std::unique_ptr<DXF_Object> drawing;
};

std::unique_ptr<Read> ReadFile(const fs::path& file) {
  auto r = std::make_unique<Read>();
  r->drawing = DXF_Object::CreateFromFile(file, &r->skipped, r->busy, r->prompts);
  return r;
}

Entity_List* FindList(const DXF_Object& d, std::string_view layer, std::string_view list) {
  for (int i = 0; i < d.LayerCount(); ++i) {
    DXF_Layer* l = d.Layer(static_cast<size_t>(i));
    if (l->Name() != layer) continue;
    for (int j = 0; j < l->ListCount(); ++j) {
      if (l->List(static_cast<size_t>(j))->Name() == list) return l->List(static_cast<size_t>(j));
    }
  }
  return nullptr;
}

double Num(const Row& row, size_t i) { return std::stod(row.at(i)); }

void ExpectPoint(const Point3D& p, const Row& row, size_t at, const std::string& where) {
  EXPECT_NEAR(p.x, Num(row, at), 1e-9) << where;
  EXPECT_NEAR(p.y, Num(row, at + 1), 1e-9) << where;
  EXPECT_NEAR(p.z, Num(row, at + 2), 1e-9) << where;
}

// Values of one ENT row (layer, list, index, colour, values...) against our entity.
void CompareEntity(const DXF_Entity& e, const Row& row) {
  const std::string where = row[1] + "/" + row[2] + "#" + row[3];
  const std::string& kind = row[2];
  EXPECT_EQ(e.ColorIndex(), std::stoi(row[4])) << where;
  constexpr size_t v = 5;
  constexpr double kDegrees = 180.0 / std::numbers::pi;
  if (kind == "Point_") {
    ExpectPoint(dynamic_cast<const Point_&>(e).GetPoint(), row, v, where);
  } else if (kind == "Line_") {
    const auto& l = dynamic_cast<const Line_&>(e);
    ExpectPoint(l.GetPoint(), row, v, where);
    ExpectPoint(l.EndPoint(), row, v + 3, where);
  } else if (kind == "Circle_" || kind == "Arc_") {
    const auto& c = dynamic_cast<const Circle_&>(e);
    ExpectPoint(c.GetPoint(), row, v, where);
    EXPECT_NEAR(c.Radius(), Num(row, v + 3), 1e-9) << where;
    if (kind == "Arc_") {
      const auto& a = dynamic_cast<const Arc_&>(e);
      EXPECT_NEAR(a.StartAngle() * kDegrees, Num(row, v + 4), 1e-9) << where;
      EXPECT_NEAR(a.EndAngle() * kDegrees, Num(row, v + 5), 1e-9) << where;
    }
  } else if (kind == "Text_") {
    const auto& t = dynamic_cast<const Text_&>(e);
    ExpectPoint(t.GetPoint(), row, v, where);
    EXPECT_NEAR(t.Height(), Num(row, v + 3), 1e-9) << where;
    EXPECT_EQ(t.Text(), row.at(v + 4)) << where;
  } else if (kind == "Insert_") {
    const auto& i = dynamic_cast<const Insert_&>(e);
    ExpectPoint(i.GetPoint(), row, v, where);
    ExpectPoint(i.Scale(), row, v + 3, where);
    EXPECT_NEAR(i.Rotation() * kDegrees, Num(row, v + 6), 1e-9) << where;
    EXPECT_EQ(i.Attribs().size(), std::stoul(row.at(v + 7))) << where;
    EXPECT_EQ(i.BlockName(), row.at(v + 8)) << where;
  } else if (kind == "Polyline_") {
    const auto& p = dynamic_cast<const Polyline_&>(e);
    EXPECT_EQ(p.Closed(), row.at(v) == "1") << where;
    ASSERT_EQ(p.Points().size(), std::stoul(row.at(v + 1))) << where;
    for (size_t k = 0; k < p.Points().size(); ++k) ExpectPoint(p.Points()[k], row, v + 2 + 3 * k, where);
  } else if (kind == "Face3D_" || kind == "Solid_") {
    const auto& f = dynamic_cast<const Polyline_&>(e);
    ASSERT_EQ(f.Points().size(), std::stoul(row.at(v))) << where;
    for (size_t k = 0; k < f.Points().size(); ++k) ExpectPoint(f.Points()[k], row, v + 1 + 3 * k, where);
  } else if (kind == "Polygon_mesh_") {
    const auto& m = dynamic_cast<const Polygon_mesh_&>(e);
    EXPECT_EQ(m.M(), std::stoi(row.at(v))) << where;
    EXPECT_EQ(m.N(), std::stoi(row.at(v + 1))) << where;
    EXPECT_EQ(m.Points().size(), std::stoul(row.at(v + 2))) << where;
  } else if (kind == "Polyface_mesh_") {
    const auto& m = dynamic_cast<const Polyface_mesh_&>(e);
    EXPECT_EQ(m.Points().size(), std::stoul(row.at(v))) << where;
    EXPECT_EQ(m.Faces().size(), std::stoul(row.at(v + 1))) << where;
  }
}

void CompareWithEzdxf(const fs::path& file) {
  SCOPED_TRACE(file.filename().string());
  const auto rows = Expectations(file);
  ASSERT_FALSE(rows.empty());
  const auto read = ReadFile(file);
  const DXF_Object& d = *read->drawing;
  EXPECT_TRUE(read->prompts.errors.empty()) << read->prompts.errors.front();
  EXPECT_TRUE(read->prompts.warnings.empty()) << read->prompts.warnings.front();

  size_t tableLayers = 0;
  std::map<std::pair<std::string, std::string>, size_t> expectedCounts;
  std::map<std::string, std::map<std::string, size_t>> expectedBlocks;
  size_t expectedBlockCount = 0;
  for (const Row& row : rows) {
    if (row[0] == "LAYER") {
      ASSERT_LT(tableLayers, static_cast<size_t>(d.LayerCount()));
      EXPECT_EQ(d.Layer(tableLayers)->Name(), row[1]);
      EXPECT_EQ(d.Layer(tableLayers)->Colour(), std::stoi(row[2])) << row[1];
      ++tableLayers;
    } else if (row[0] == "COUNT") {
      expectedCounts[{row[1], row[2]}] = std::stoul(row[3]);
    } else if (row[0] == "BLOCKS") {
      expectedBlockCount = std::stoul(row[1]);
    } else if (row[0] == "BLOCK") {
      expectedBlocks[row[1]][row[2]] = std::stoul(row[3]);
    } else if (row[0] == "ENT") {
      Entity_List* list = FindList(d, row[1], row[2]);
      ASSERT_NE(list, nullptr) << row[1] << "/" << row[2];
      ASSERT_LT(std::stoul(row[3]), list->Count());
      CompareEntity(*list->Entity(std::stoul(row[3])), row);
    }
  }
  // Every list we made holds what ezdxf counts (blocks apart).
  size_t blocks = 0;
  for (int i = 0; i < d.LayerCount(); ++i) {
    DXF_Layer* layer = d.Layer(static_cast<size_t>(i));
    for (int j = 0; j < layer->ListCount(); ++j) {
      Entity_List* list = layer->List(static_cast<size_t>(j));
      if (list->Name() == "Block_") {
        blocks += list->Count();
        for (const auto& e : list->Entities()) {
          const auto& block = dynamic_cast<const Block_&>(*e);
          std::map<std::string, size_t> ours;
          for (const auto& inner : block.Entities()) ++ours[inner->ClassName()];
          const auto it = expectedBlocks.find(block.Name());
          const std::map<std::string, size_t> theirs = it == expectedBlocks.end() ? decltype(ours){} : it->second;
          EXPECT_EQ(ours, theirs) << block.Name();
          if (it != expectedBlocks.end()) expectedBlocks.erase(it);
        }
        continue;
      }
      const auto key = std::make_pair(layer->Name(), list->Name());
      EXPECT_EQ(list->Count(), expectedCounts[key]) << key.first << "/" << key.second;
      expectedCounts.erase(key);
    }
  }
  for (const auto& [key, n] : expectedCounts) ADD_FAILURE() << "missing " << key.first << "/" << key.second << " " << n;
  for (const auto& [name, lists] : expectedBlocks) ADD_FAILURE() << "missing block " << name;
  EXPECT_EQ(blocks, expectedBlockCount);
}

class EzdxfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed (/usr/bin/python3 -c 'import ezdxf')";
  }
};

TEST_F(EzdxfTest, FixtureWithEveryEntityKind) {
  const fs::path dir = fs::temp_directory_path() / ("dxf_fixture_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path file = dir / "every_entity_r12.dxf";
  std::string out;
  ASSERT_TRUE(test::RunCommand("/usr/bin/python3 '" + (kScripts / "make_fixture.py").string() + "' '" + file.string() + "'", out));
  CompareWithEzdxf(file);
  // Blocks of the fixture resolve and draw; the insert of DOOR is drawn scaled and turned.
  const auto read = ReadFile(file);
  Entity_List* doors = FindList(*read->drawing, "DOORS", "Insert_");
  ASSERT_NE(doors, nullptr);
  canvas::RecordingCanvas canvas;
  auto tenPixels = [](void*, const Point3D& p, const Matrix4x4* m) {
    const Point3D q = m ? DXF_Utils::TransformPoint(*m, p) : p;
    return canvas::TPoint{static_cast<int32_t>(std::lround(q.x * 10)), static_cast<int32_t>(std::lround(-q.y * 10))};
  };
  doors->DrawAll(canvas, nullptr, tenPixels, nullptr);
  EXPECT_GT(canvas.Count(canvas::CanvasOp::Arc), 0u);
  EXPECT_EQ(canvas.Count(canvas::CanvasOp::TextOut), 1u);  // the attribute; the definition is not drawn
  // ezdxf writes an empty extents box; ours is computed from the entities.
  EXPECT_LT(read->drawing->GetMinExtents().x, read->drawing->GetMaxExtents().x);
  fs::remove_all(dir);
}

class SharedDxfFiles : public EzdxfTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SharedDxfFiles, ReadAsEzdxfReadsThem) {
  const fs::path file = fs::path(PV_SHARED_DATA_DIR) / "dxf" / GetParam();
  if (!fs::exists(file)) GTEST_SKIP() << "shared test data not found: " << file;
  CompareWithEzdxf(file);
}

INSTANTIATE_TEST_SUITE_P(Real, SharedDxfFiles,
                         ::testing::Values("gather3_r12.dxf", "gear_r12.dxf", "offset_self_intersect_r12.dxf",
                                           "square_with_hole_r12.dxf", "librecad_block10_r2000.dxf",
                                           "librecad_dim_sample_r2000.dxf"));

TEST(SharedDxfFilesR2000, NoLongerComeOutEmpty) {
  const fs::path file = fs::path(PV_SHARED_DATA_DIR) / "dxf" / "librecad_dim_sample_r2000.dxf";
  if (!fs::exists(file)) GTEST_SKIP() << "shared test data not found: " << file;
  const auto read = ReadFile(file);
  EXPECT_TRUE(read->busy.Notes().empty() || read->busy.Notes() == std::vector<std::string>{"File contained no Max/Min extents. Scanning..."});
  EXPECT_EQ(FindList(*read->drawing, "0", "Line_")->Count(), 5u);
  EXPECT_EQ(FindList(*read->drawing, "0", "Block_")->Count(), 24u);
  // The entities this reader does not know are listed once each time they are met.
  EXPECT_NE(std::find(read->skipped.begin(), read->skipped.end(), "DIMENSION"), read->skipped.end());
  EXPECT_NE(std::find(read->skipped.begin(), read->skipped.end(), "MTEXT"), read->skipped.end());
}

}  // namespace
}  // namespace pv::viewer

// The import against an independent oracle: dxf_import_expect.py reads the same file with
// ezdxf, follows inserts through ezdxf's own virtual entities and prints where every control
// must lie in the document with the same fit. Every control's points are compared exactly, on
// a generated drawing and on the shared real files. The round trip through the text format
// gives the same bytes, with the layers in the drawing's order and the controls per layer.
#include <gtest/gtest.h>

#include <map>
#include <unistd.h>

#include "ImportSupport.h"

namespace pv::viewer {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using test::ImportPanel;

const fs::path kScripts = VIEWER_TEST_SCRIPTS;

std::string Num(double v) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.17g", v);
  return buffer;
}

struct Expected {
  Strings lines;
  long skipped = -1;
};

Expected RunOracle(const fs::path& dxf, const TDxfImportFit& fit, uint8_t flags) {
  std::string out;
  const std::string command = "/usr/bin/python3 '" + (kScripts / "dxf_import_expect.py").string() + "' '" +
                              dxf.string() + "' " + Num(fit.ScaleX) + ' ' + Num(fit.ScaleY) + ' ' + Num(fit.MinX) +
                              ' ' + Num(fit.MaxY) + ' ' + std::to_string(flags);
  Expected e;
  if (!test::RunCommand(command, out)) {
    ADD_FAILURE() << "dxf_import_expect.py failed on " << dxf;
    return e;
  }
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("SKIPPED\t", 0) == 0) {
      e.skipped = std::stol(line.substr(8));
    } else {
      e.lines.push_back(line);
    }
  }
  return e;
}

// The drawing read by our reader, converted with the fit the viewer would compute for a zoom
// box of 800 x 600 pixels, and compared with the oracle.
void CompareWithOracle(const fs::path& file, uint8_t flags) {
  SCOPED_TRACE(file.filename().string() + " flags " + std::to_string(flags));
  const auto read = test::ReadFile(file);
  ASSERT_NE(read->drawing, nullptr);
  TVexaDxfImport importer;
  importer.ImportFlags = flags;
  importer.Fit = ComputeImportFit(800, 600, 20, read->drawing->GetMaxExtents(), read->drawing->GetMinExtents());
  ImportPanel doc;
  ASSERT_TRUE(importer.ImportDxfObject(&doc.panel, read->drawing.get()));
  const Expected expected = RunOracle(file, importer.Fit, flags);
  const Strings got = test::Sorted(test::Describe(doc));
  const Strings want = test::Sorted(expected.lines);
  EXPECT_EQ(got.size(), want.size());
  // Differences one by one, so that a failure names the control.
  std::vector<std::string> onlyGot;
  std::vector<std::string> onlyWant;
  std::set_difference(got.begin(), got.end(), want.begin(), want.end(), std::back_inserter(onlyGot));
  std::set_difference(want.begin(), want.end(), got.begin(), got.end(), std::back_inserter(onlyWant));
  EXPECT_EQ(onlyGot, Strings{}) << "made but not expected";
  EXPECT_EQ(onlyWant, Strings{}) << "expected but not made";
  EXPECT_EQ(importer.Report().Skipped, expected.skipped);
  EXPECT_EQ(importer.Report().Controls, static_cast<long>(got.size()));
}

// Controls per layer: the layer is every line's second field.
std::map<std::string, int> PerLayer(const Strings& lines) {
  std::map<std::string, int> counts;
  for (const std::string& line : lines) {
    const size_t start = line.find('\t') + 1;
    ++counts[line.substr(start, line.find('\t', start) - start)];
  }
  return counts;
}

Strings WithoutFontHeights(Strings lines) {
  for (std::string& line : lines) {
    if (line.rfind("TEXT\t", 0) != 0) continue;
    size_t at = 0;
    for (int field = 0; field < 4; ++field) at = line.find('\t', at) + 1;
    line.erase(at, line.find('\t', at) - at);
  }
  return lines;
}

class Oracle : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed (/usr/bin/python3 -c 'import ezdxf')";
    dir = fs::temp_directory_path() / ("dxf_import_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fixture = dir / "import_r12.dxf";
    std::string out;
    ASSERT_TRUE(test::RunCommand(
        "/usr/bin/python3 '" + (kScripts / "make_import_fixture.py").string() + "' '" + fixture.string() + "'", out));
  }
  void TearDown() override {
    if (!dir.empty()) fs::remove_all(dir);
  }
  fs::path dir;
  fs::path fixture;
};

TEST_F(Oracle, GeneratedDrawingUnderEveryGroupingFlag) {
  for (uint8_t flags : {uint8_t{3}, uint8_t{0}, uint8_t{15}}) CompareWithOracle(fixture, flags);
}

TEST_F(Oracle, TheFarLineIsTheOnlySkipAndIsNotedOnce) {
  const auto read = test::ReadFile(fixture);
  TVexaDxfImport importer;
  importer.Fit = ComputeImportFit(800, 600, 20, read->drawing->GetMaxExtents(), read->drawing->GetMinExtents());
  ImportPanel doc;
  ASSERT_TRUE(importer.ImportDxfObject(&doc.panel, read->drawing.get()));
  EXPECT_EQ(importer.Report().Skipped, 1);
  EXPECT_EQ(importer.Report().Notes,
            (Strings{"1 entities lie outside the document's coordinate range and were not converted",
                     "1 block insertions were not followed (a block that inserts itself, nesting too deep or too "
                     "many insertions)"}));
}

// DXF -> document -> text -> a fresh panel -> text: the same bytes. The layers come in the
// drawing's order and each holds as many controls as the drawing's layer gives.
TEST_F(Oracle, RoundTripThroughTheTextFormatKeepsEveryByte) {
  const auto read = test::ReadFile(fixture);
  TVexaDxfImport importer;
  importer.Fit = ComputeImportFit(800, 600, 20, read->drawing->GetMaxExtents(), read->drawing->GetMinExtents());
  ImportPanel doc;
  ASSERT_TRUE(importer.ImportDxfObject(&doc.panel, read->drawing.get()));
  const fs::path first = dir / "first.tgd";
  const fs::path second = dir / "second.tgd";
  ASSERT_TRUE(doc.panel.SaveDocumentToFile(first.string()));
  ImportPanel fresh;
  fresh.panel.LoadDocumentFromFile(first.string());
  ASSERT_TRUE(fresh.panel.SaveDocumentToFile(second.string()));
  std::string a;
  std::string b;
  ASSERT_TRUE(test::RunCommand("cat '" + first.string() + "'", a));
  ASSERT_TRUE(test::RunCommand("cat '" + second.string() + "'", b));
  EXPECT_GT(a.size(), 1000u);
  EXPECT_EQ(a, b);

  Strings drawingLayers;
  for (int i = 0; i < read->drawing->LayerCount(); ++i) drawingLayers.push_back(read->drawing->Layer(static_cast<size_t>(i))->Name());
  EXPECT_EQ(fresh.LayerNames(), drawingLayers);
  // Controls per layer, read back, against the oracle's count per layer.
  EXPECT_EQ(PerLayer(test::Describe(fresh)), PerLayer(RunOracle(fixture, importer.Fit, importer.ImportFlags).lines));
  // The text format keeps a font's size in points, so a text's height comes back to within one
  // document unit (a thousandth of a pixel); everything else comes back as it was.
  const Strings reloaded = test::Sorted(WithoutFontHeights(test::Describe(fresh)));
  const Strings converted = test::Sorted(WithoutFontHeights(test::Describe(doc)));
  Strings changed;
  std::set_symmetric_difference(reloaded.begin(), reloaded.end(), converted.begin(), converted.end(),
                                std::back_inserter(changed));
  EXPECT_EQ(changed, Strings{});
}

class SharedFiles : public ::testing::TestWithParam<const char*> {};

TEST_P(SharedFiles, MatchTheOracle) {
  if (!test::EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed (/usr/bin/python3 -c 'import ezdxf')";
  const fs::path file = fs::path(PV_SHARED_DATA_DIR) / "dxf" / GetParam();
  if (!fs::exists(file)) GTEST_SKIP() << "shared test data not found: " << file;
  CompareWithOracle(file, TVexaDxfImport::kDefaultFlags);
}

INSTANTIATE_TEST_SUITE_P(Real, SharedFiles,
                         ::testing::Values("gather3_r12.dxf", "gear_r12.dxf", "offset_self_intersect_r12.dxf",
                                           "square_with_hole_r12.dxf", "librecad_block10_r2000.dxf",
                                           "librecad_dim_sample_r2000.dxf"));

}  // namespace
}  // namespace pv::viewer

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "TestSupport.h"

namespace pv::viewer {
namespace {

using test::ReadDxfText;
using test::UnitMap;
using Strings = std::vector<std::string>;

const std::string kAt = "\r\nError occured at or near line number ";
const std::string kUndefinedBlock = "Cannot reference an undefined BLOCK\r\n\r\n(File may not have been saved with BLOCKs)\r\n";
const std::string kNoHeader = "No Header or invalid Header section in DXF file";
const std::string kNoTables = "No Layers or invalid Tables section in DXF file";
const std::string kNoBlocks = "No Blocks or invalid Blocks section in DXF file";
const std::string kNoEntities = "No Entities or invalid Entities section in DXF file";
const std::string kScanning = "File contained no Max/Min extents. Scanning...";

// DXF text built pair by pair, counting lines as the reader does.
class DxfText {
 public:
  DxfText& P(int code, std::string_view value) {
    lines_.push_back(std::to_string(code));
    lines_.emplace_back(value);
    return *this;
  }
  DxfText& Raw(std::string_view line) {
    lines_.emplace_back(line);
    return *this;
  }
  DxfText& Section(std::string_view name) { return P(0, "SECTION").P(2, name); }
  DxfText& EndSec() { return P(0, "ENDSEC"); }
  DxfText& Line(std::string_view layer, double x1, double y1, double x2, double y2) {
    return P(0, "LINE").P(8, layer).P(10, Num(x1)).P(20, Num(y1)).P(30, "0").P(11, Num(x2)).P(21, Num(y2)).P(31, "0");
  }
  DxfText& Extents(double lo, double hi) {
    return Section("HEADER").P(9, "$EXTMIN").P(10, Num(lo)).P(20, Num(lo)).P(30, "0").P(9, "$EXTMAX").P(10, Num(hi))
        .P(20, Num(hi)).P(30, "0").EndSec();
  }
  DxfText& Eof() { return P(0, "EOF"); }
  int Lines() const { return static_cast<int>(lines_.size()); }
  std::string Text(std::string_view eol = "\n") const {
    std::string out;
    for (const auto& l : lines_) out += l + std::string(eol);
    return out;
  }
  static std::string Num(double v) {
    std::string s = std::to_string(v);
    return s;
  }

 private:
  std::vector<std::string> lines_;
};

// A file of one ENTITIES section around the given entity pairs, with header extents so that
// no scanning note is shown.
std::string EntitiesFile(const DxfText& entities) {
  DxfText t;
  t.Extents(-100, 100).Section("ENTITIES");
  return t.Text() + entities.Text() + DxfText().EndSec().Eof().Text();
}

TEST(DXF_Reader, LineEndingsReadAlike) {
  for (std::string_view eol : {"\n", "\r", "\r\n"}) {
    DxfText t;
    t.Extents(-10, 10).Section("ENTITIES").Line("A", 1.5, 2, 3, -4).EndSec().Eof();
    const auto r = ReadDxfText(t.Text(eol));
    ASSERT_EQ(r->Count("A", "Line_"), 1u) << static_cast<int>(eol.size());
    const auto* line = r->Entity<Line_>("A", "Line_", 0);
    EXPECT_EQ(line->GetPoint().x, 1.5);
    EXPECT_EQ(line->EndPoint().y, -4.0);
    EXPECT_TRUE(r->prompts.errors.empty());
    EXPECT_EQ(r->busy.Notes(), (Strings{kNoTables, kNoBlocks}));
  }
}

TEST(DXF_Reader, GroupCodeLines) {
  // Leading blanks are fine.
  DxfText padded;
  padded.Extents(-10, 10).Section("ENTITIES").Raw("  0").Raw("LINE").P(8, "A").EndSec().Eof();
  EXPECT_EQ(ReadDxfText(padded.Text())->Count("A", "Line_"), 1u);
  // A trailing blank makes the code line invalid: reading stops there as at the end, and the
  // record it cuts short builds nothing.
  DxfText trailing;
  trailing.Extents(-10, 10).Section("ENTITIES").Line("A", 0, 0, 1, 1).Line("A", 0, 0, 2, 2).Raw("0 ").Raw("LINE");
  trailing.P(8, "A").EndSec();
  const auto r = ReadDxfText(trailing.Text());
  EXPECT_EQ(r->Count("A", "Line_"), 1u);
  EXPECT_EQ(r->prompts.errors, Strings{kNoEntities});
}

TEST(DXF_Reader, MissingSectionsAreNotedAndEntitiesStillRead) {
  DxfText t;
  t.Section("ENTITIES").Line("A", 5, 5, 6, 7).EndSec().Eof();
  const auto r = ReadDxfText(t.Text());
  EXPECT_EQ(r->busy.Notes(), (Strings{kNoHeader, kNoTables, kNoBlocks, kScanning}));
  EXPECT_EQ(r->prompts.pauses, (std::vector<int>{1500, 1500, 1500, 1500}));
  EXPECT_EQ(r->busy.calls.front(), "ShowThinkingWithBar Reading DXF file...");
  EXPECT_EQ(r->busy.calls.back(), "HideThinking");
  EXPECT_EQ(r->Count("A", "Line_"), 1u);
  // The scanned box starts from the origin.
  EXPECT_EQ(r->drawing->GetMinExtents().x, 0.0);
  EXPECT_EQ(r->drawing->GetMaxExtents().x, 6.0);
  EXPECT_EQ(r->drawing->GetMaxExtents().y, 7.0);
}

TEST(DXF_Reader, NoEntitiesSectionIsAReadError) {
  DxfText t;
  t.Extents(-1, 1).Eof();
  const auto r = ReadDxfText(t.Text());
  EXPECT_EQ(r->prompts.errors, Strings{kNoEntities});
  EXPECT_TRUE(r->isDxf);
}

TEST(DXF_Reader, NotDxfGetsOneClearError) {
  struct Case {
    std::string bytes;
    std::string error;
  };
  const Case cases[] = {
      {std::string("AutoCAD Binary DXF\r\n\x1a\0\0\0", 24), "Binary DXF files cannot be read: save the drawing as ASCII DXF"},
      {"\x89PNG\r\n\x1a\n", "The file is not a DXF file"},
      {"hello world\n", "The file is not a DXF file"},
      {"", "The file is not a DXF file"},
  };
  for (const Case& c : cases) {
    const auto r = ReadDxfText(c.bytes);
    EXPECT_FALSE(r->isDxf);
    EXPECT_EQ(r->prompts.errors, Strings{c.error});
    EXPECT_TRUE(r->busy.Notes().empty());
    EXPECT_TRUE(r->prompts.pauses.empty());
    EXPECT_EQ(r->drawing->LayerCount(), 0);
  }
}

TEST(DXF_Reader, VertexLimit) {
  auto polyline = [](int vertices, int& lineOfError) {
    DxfText t;
    t.Extents(-1, 1).Section("ENTITIES").P(0, "POLYLINE").P(8, "P").P(66, "1").P(70, "0");
    for (int i = 0; i < vertices; ++i) {
      t.P(0, "VERTEX").P(10, std::to_string(i)).P(20, "0");
      if (i == 8192) lineOfError = t.Lines() + 2;  // the pair after the record is read with it
    }
    t.P(0, "SEQEND").Line("P", 0, 0, 1, 1).EndSec().Eof();
    return t.Text();
  };
  int line = 0;
  const auto full = ReadDxfText(polyline(8192, line));
  ASSERT_EQ(full->Count("P", "Polyline_"), 1u);
  EXPECT_EQ(full->Entity<Polyline_>("P", "Polyline_", 0)->Points().size(), 8192u);
  const auto over = ReadDxfText(polyline(8193, line));
  EXPECT_EQ(over->prompts.warnings, Strings{"Polyline contained more than 8192 vertices" + kAt + std::to_string(line)});
  EXPECT_EQ(over->Count("P", "Polyline_"), 0u);
  EXPECT_EQ(over->Count("P", "Line_"), 1u);  // OK goes on with the next entity
}

TEST(DXF_Reader, PolygonAndPolyfaceMeshes) {
  DxfText t;
  auto vertex = [&](int flags, double x, double y) {
    t.P(0, "VERTEX").P(8, "M").P(10, DxfText::Num(x)).P(20, DxfText::Num(y)).P(70, std::to_string(flags));
  };
  t.Extents(-1, 1).Section("ENTITIES");
  // 2 x 3 mesh: M from 71, N from 72, rows of N vertices.
  t.P(0, "POLYLINE").P(8, "M").P(66, "1").P(70, "16").P(71, "2").P(72, "3");
  for (int i = 0; i < 6; ++i) vertex(64, i % 3, i / 3);
  t.P(0, "SEQEND");
  // 2 x 2 announced, 3 given: silently left out.
  t.P(0, "POLYLINE").P(8, "M").P(70, "16").P(71, "2").P(72, "2");
  for (int i = 0; i < 3; ++i) vertex(64, i, 0);
  t.P(0, "SEQEND");
  // A polyface with a quadrilateral and then a triangle.
  t.P(0, "POLYLINE").P(8, "M").P(70, "64");
  for (int i = 0; i < 4; ++i) vertex(192, i, i);
  t.P(0, "VERTEX").P(8, "M").P(70, "128").P(71, "1").P(72, "2").P(73, "3").P(74, "4");
  t.P(0, "VERTEX").P(8, "M").P(70, "128").P(71, "1").P(72, "-3").P(73, "4");
  t.P(0, "SEQEND");
  // A mesh vertex without flag 64 fails the POLYLINE.
  t.P(0, "POLYLINE").P(8, "M").P(70, "16").P(71, "1").P(72, "1");
  vertex(0, 0, 0);
  const int failLine = t.Lines() + 2;
  t.P(0, "SEQEND").EndSec().Eof();
  const auto r = ReadDxfText(t.Text());
  ASSERT_EQ(r->Count("M", "Polygon_mesh_"), 1u);
  const auto* mesh = r->Entity<Polygon_mesh_>("M", "Polygon_mesh_", 0);
  EXPECT_EQ(mesh->M(), 2);
  EXPECT_EQ(mesh->N(), 3);
  EXPECT_EQ(mesh->Points()[3].y, 1.0);  // the second row starts at vertex N
  ASSERT_EQ(r->Count("M", "Polyface_mesh_"), 1u);
  const auto& faces = r->Entity<Polyface_mesh_>("M", "Polyface_mesh_", 0)->Faces();
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_EQ(faces[0], (Polyface_mesh_::Face{0, 1, 2, 3}));
  EXPECT_EQ(faces[1], (Polyface_mesh_::Face{0, 2, 3, -1}));  // |-3| - 1, and -1 for the absent fourth
  EXPECT_EQ(r->prompts.warnings, Strings{"Error reading POLYLINE entity" + kAt + std::to_string(failLine)});
}

TEST(DXF_Reader, LayersFromTableAndFromEntities) {
  DxfText t;
  t.Extents(-1, 1).Section("TABLES").P(0, "TABLE").P(2, "LAYER").P(70, "2");
  t.P(0, "LAYER").P(2, "0").P(70, "0").P(62, "7");
  // Bookkeeping groups before the name, colour before the name: the entry keeps both.
  t.P(0, "LAYER").P(5, "1F").P(330, "2").P(100, "AcDbSymbolTableRecord").P(62, "-3").P(2, "DOORS").P(70, "0");
  t.P(0, "ENDTAB").EndSec();
  t.Section("ENTITIES").Line("DOORS", 0, 0, 1, 0).Line("WALLS", 0, 0, 1, 1);
  t.Raw("0").Raw("LINE").P(8, "DOORS").P(62, "256").EndSec().Eof();
  const auto r = ReadDxfText(t.Text());
  ASSERT_EQ(r->drawing->LayerCount(), 3);
  EXPECT_EQ(r->drawing->Layer(0)->Colour(), 7);
  EXPECT_EQ(r->drawing->Layer(1)->Name(), "DOORS");
  EXPECT_EQ(r->drawing->Layer(1)->Colour(), -3);
  EXPECT_EQ(r->drawing->Layer(2)->Name(), "WALLS");  // not in the table: appended with colour 0
  EXPECT_EQ(r->drawing->Layer(2)->Colour(), 0);
  const auto* byLayer = r->Entity<Line_>("DOORS", "Line_", 1);
  EXPECT_EQ(byLayer->ColorIndex(), -3);
  EXPECT_EQ(byLayer->Color(), 0x00FF00);
  EXPECT_EQ(r->busy.Notes(), Strings{kNoBlocks});
}

TEST(DXF_Reader, UnknownEntitiesAreSkippedWhole) {
  DxfText t;
  t.Extents(-1, 1).Section("BLOCKS").P(0, "BLOCK").P(8, "0").P(2, "B").P(10, "0").P(20, "0");
  t.P(0, "MTEXT").P(8, "0").P(1, "text").P(10, "1").Line("0", 0, 0, 1, 0).P(0, "ENDBLK").EndSec();
  t.Section("ENTITIES").P(0, "LWPOLYLINE").P(8, "A").P(90, "2").P(10, "0").P(20, "0").P(10, "1").P(20, "1");
  t.Line("A", 0, 0, 2, 2).P(0, "HATCH").P(8, "A").P(2, "SOLID").Line("A", 0, 0, 3, 3).EndSec().Eof();
  const auto r = ReadDxfText(t.Text());
  EXPECT_EQ(r->skipped, (Strings{"MTEXT", "LWPOLYLINE", "HATCH"}));
  EXPECT_EQ(r->Count("A", "Line_"), 2u);
  ASSERT_EQ(r->Count("0", "Block_"), 1u);
  EXPECT_EQ(r->Entity<Block_>("0", "Block_", 0)->Entities().size(), 1u);
}

TEST(DXF_Reader, NumbersThatDoNotConvert) {
  struct Case {
    const char* code;
    const char* value;
    std::string text;
  };
  const Case cases[] = {
      {"10", "1,5", "Invalid Floating point conversion"}, {"10", "abc", "Invalid Floating point conversion"},
      {"10", "1e999", "Invalid Floating point conversion"}, {"10", "nan", "Invalid Floating point conversion"},
      {"10", "inf", "Invalid Floating point conversion"}, {"62", "1.5", "Invalid Integer conversion"},
      {"62", "99999999999", "Invalid Integer conversion"},
  };
  for (const Case& c : cases) {
    DxfText e;
    e.P(0, "LINE").P(8, "A").P(std::atoi(c.code), c.value);
    const auto r = ReadDxfText(EntitiesFile(e));
    // HEADER is 22 lines, then 4 for the section start: the value is on line 32.
    EXPECT_EQ(r->prompts.warnings, Strings{c.text + kAt + "32"}) << c.value;
  }
  DxfText fine;
  fine.P(0, "LINE").P(8, "A").P(10, " +2.5 ").P(62, "  7").P(20, ".5");
  const auto r = ReadDxfText(EntitiesFile(fine));
  EXPECT_TRUE(r->prompts.warnings.empty());
  EXPECT_EQ(r->Entity<Line_>("A", "Line_", 0)->GetPoint().x, 2.5);
  EXPECT_EQ(r->Entity<Line_>("A", "Line_", 0)->GetPoint().y, 0.5);
}

// What CAD programs since R13 write: CLASSES and OBJECTS sections, handles, owners and subclass
// markers everywhere, an "*Active" viewport named after its handles.
TEST(DXF_Reader, LaterReleasesAreNoLongerEmpty) {
  DxfText t;
  t.P(999, "written by a later release").Extents(-1, 1);
  t.Section("CLASSES").P(0, "CLASS").P(1, "ACDBDICTIONARYWDFLT").P(2, "AcDbDictionaryWithDefault").EndSec();
  t.Section("TABLES").P(0, "TABLE").P(2, "VPORT").P(5, "8").P(330, "0").P(100, "AcDbSymbolTable").P(70, "1");
  t.P(0, "VPORT").P(5, "29").P(330, "8").P(100, "AcDbSymbolTableRecord").P(100, "AcDbViewportTableRecord");
  t.P(2, "*Active").P(70, "0").P(0, "ENDTAB");
  t.P(0, "TABLE").P(2, "LAYER").P(5, "2").P(102, "{ACAD_XDICTIONARY").P(360, "3").P(102, "}").P(70, "1");
  t.P(0, "LAYER").P(5, "10").P(330, "2").P(100, "AcDbSymbolTableRecord").P(100, "AcDbLayerTableRecord");
  t.P(2, "0").P(70, "0").P(62, "7").P(6, "CONTINUOUS").P(370, "-3").P(390, "F").P(0, "ENDTAB");
  t.P(0, "TABLE").P(2, "BLOCK_RECORD").P(5, "1").P(0, "BLOCK_RECORD").P(2, "*Model_Space").P(0, "ENDTAB").EndSec();
  t.Section("BLOCKS").P(0, "BLOCK").P(5, "20").P(330, "1F").P(100, "AcDbEntity").P(8, "0");
  t.P(100, "AcDbBlockBegin").P(2, "*Model_Space").P(70, "0").P(10, "0").P(20, "0").P(30, "0").P(3, "*Model_Space");
  t.P(0, "ENDBLK").P(5, "21").P(330, "1F").P(100, "AcDbEntity").P(8, "0").P(100, "AcDbBlockEnd").EndSec();
  t.Section("ENTITIES").P(0, "LINE").P(5, "30").P(330, "1F").P(100, "AcDbEntity").P(8, "0").P(100, "AcDbLine");
  t.P(10, "1").P(20, "2").P(30, "0").P(11, "3").P(21, "4").P(31, "0").P(1001, "APP").P(1000, "data").P(1040, "x");
  t.EndSec().Section("OBJECTS").P(0, "DICTIONARY").P(5, "C").P(3, "ACAD_GROUP").EndSec().Eof();
  const auto r = ReadDxfText(t.Text());
  EXPECT_TRUE(r->busy.Notes().empty());
  EXPECT_TRUE(r->prompts.errors.empty());
  EXPECT_TRUE(r->prompts.warnings.empty());
  EXPECT_EQ(r->skipped, Strings{"BLOCK_RECORD"});
  EXPECT_EQ(r->Count("0", "Line_"), 1u);
  EXPECT_EQ(r->Count("0", "Block_"), 1u);
  EXPECT_EQ(r->Entity<Line_>("0", "Line_", 0)->EndPoint().y, 4.0);
  EXPECT_EQ(r->Layer("0")->Colour(), 7);
}

TEST(DXF_Reader, ViewportTableEndsAtItsEndtab) {
  DxfText t;
  t.Extents(-1, 1).Section("TABLES").P(0, "TABLE").P(2, "VPORT").P(0, "VPORT").P(2, "MYVIEW").P(0, "ENDTAB");
  t.P(0, "TABLE").P(2, "VPORT").P(0, "ENDTAB");  // empty
  t.P(0, "TABLE").P(2, "LAYER").P(0, "LAYER").P(2, "KEPT").P(62, "3").P(0, "ENDTAB").EndSec();
  t.Section("ENTITIES").Line("KEPT", 0, 0, 1, 1).EndSec().Eof();
  const auto r = ReadDxfText(t.Text());
  EXPECT_EQ(r->busy.Notes(), Strings{kNoBlocks});
  EXPECT_EQ(r->skipped, Strings{"MYVIEW"});
  EXPECT_EQ(r->Layer("KEPT")->Colour(), 3);
  EXPECT_EQ(r->Count("KEPT", "Line_"), 1u);
}

TEST(DXF_Reader, AFailedSectionResumesAfterItsEndsec) {
  DxfText t;
  t.Extents(-1, 1).Section("TABLES").P(0, "TABLE").P(2, "LAYER").P(0, "LAYER").P(2, "FIRST").P(62, "2");
  t.P(0, "LAYER").P(2, "BROKEN").P(62, "red");
  const int badLine = t.Lines();
  t.P(0, "ENDTAB").EndSec();
  t.Section("BLOCKS").P(0, "BLOCK").P(8, "0").P(2, "B").P(10, "0").P(20, "0").P(0, "ENDBLK").EndSec();
  t.Section("ENTITIES").Line("FIRST", 0, 0, 1, 1).EndSec().Eof();
  const auto r = ReadDxfText(t.Text());
  EXPECT_EQ(r->prompts.errors, Strings{"Invalid Integer conversion" + kAt + std::to_string(badLine)});
  EXPECT_EQ(r->busy.Notes(), Strings{kNoTables});
  EXPECT_EQ(r->Layer("FIRST")->Colour(), 2);  // read before the failure: kept
  EXPECT_EQ(r->Count("0", "Block_"), 1u);
  EXPECT_EQ(r->Count("FIRST", "Line_"), 1u);
}

TEST(DXF_Reader, SeqendIsConsumedExactly) {
  DxfText e;
  // INSERT announcing attributes but ending at once.
  e.P(0, "INSERT").P(8, "A").P(2, "B").P(66, "1").P(0, "SEQEND").P(8, "A").Line("A", 0, 0, 1, 0);
  // INSERT with two attributes.
  e.P(0, "INSERT").P(8, "A").P(2, "B").P(66, "1");
  e.P(0, "ATTRIB").P(8, "A").P(1, "v1").P(2, "T1").P(40, "1").P(0, "ATTRIB").P(8, "X").P(1, "v2").P(2, "T2");
  e.P(70, "1").P(0, "SEQEND").Line("A", 0, 0, 2, 0);
  // INSERT announcing attributes with the next entity right after it.
  e.P(0, "INSERT").P(8, "A").P(2, "B").P(66, "1").Line("A", 0, 0, 3, 0);
  // POLYLINE without vertices.
  e.P(0, "POLYLINE").P(8, "A").P(70, "1").P(0, "SEQEND").Line("A", 0, 0, 4, 0);
  DxfText t;
  t.Extents(-1, 1).Section("BLOCKS").P(0, "BLOCK").P(8, "0").P(2, "B").P(10, "0").P(20, "0").P(0, "ENDBLK").EndSec();
  t.Section("ENTITIES");
  const auto r = ReadDxfText(t.Text() + e.Text() + DxfText().EndSec().Eof().Text());
  EXPECT_TRUE(r->prompts.warnings.empty());
  EXPECT_EQ(r->Count("A", "Line_"), 4u);
  ASSERT_EQ(r->Count("A", "Insert_"), 3u);
  const auto* withAttribs = r->Entity<Insert_>("A", "Insert_", 1);
  ASSERT_EQ(withAttribs->Attribs().size(), 2u);
  EXPECT_EQ(withAttribs->Attribs()[1]->Tag(), "T2");
  EXPECT_FALSE(withAttribs->Attribs()[1]->Visible());
  EXPECT_NE(r->Layer("X"), nullptr);  // an attribute's layer is made, the insert stays on its own
  ASSERT_EQ(r->Count("A", "Polyline_"), 1u);
  EXPECT_TRUE(r->Entity<Polyline_>("A", "Polyline_", 0)->Points().empty());
}

TEST(DXF_Reader, BlocksMayInsertLaterBlocksAndThemselves) {
  DxfText t;
  t.Extents(-1, 1).Section("BLOCKS");
  t.P(0, "BLOCK").P(8, "0").P(2, "A").P(10, "0").P(20, "0");
  t.P(0, "INSERT").P(8, "0").P(2, "B").P(10, "10").P(20, "0");  // B is defined below
  t.P(0, "INSERT").P(8, "0").P(2, "A").P(10, "1").P(20, "0");   // A inserts itself
  t.P(0, "INSERT").P(8, "0").P(2, "MISSING").P(10, "0").P(20, "0");
  const int missingLine = t.Lines() + 2;
  t.P(0, "ENDBLK");
  t.P(0, "BLOCK").P(8, "0").P(2, "B").P(10, "0").P(20, "0").Line("0", 0, 0, 1, 0).P(0, "ENDBLK").EndSec();
  t.Section("ENTITIES").P(0, "INSERT").P(8, "0").P(2, "A").P(10, "100").P(20, "0").EndSec().Eof();
  const auto r = ReadDxfText(t.Text());
  EXPECT_EQ(r->prompts.warnings, Strings{kUndefinedBlock + kAt + std::to_string(missingLine)});
  const auto* a = r->Entity<Block_>("0", "Block_", 0);
  EXPECT_EQ(a->Entities().size(), 2u);  // the insert of a missing block is taken out
  auto* top = r->Entity<Insert_>("0", "Insert_", 0);
  canvas::RecordingCanvas c;
  top->Draw(c, nullptr, UnitMap, nullptr);
  EXPECT_EQ(c.Count(canvas::CanvasOp::LineTo), 1u);
  EXPECT_EQ(c.Commands().back().ToString(), "LineTo 111,0");
}

TEST(DXF_Reader, UndefinedBlocksCancelAndOtherEntityErrors) {
  DxfText e;
  e.P(0, "INSERT").P(8, "A").P(2, "NOWHERE");
  const int insertLine = e.Lines() + 26 + 2;
  e.P(0, "CIRCLE").P(8, "A").P(40, "1").P(210, "0").P(220, "0").P(230, "0");
  const int circleLine = e.Lines() + 26 + 2;
  e.Line("A", 0, 0, 1, 1);
  const auto ok = ReadDxfText(EntitiesFile(e));
  EXPECT_EQ(ok->prompts.warnings, (Strings{kUndefinedBlock + kAt + std::to_string(insertLine),
                                           "Error reading CIRCLE entity" + kAt + std::to_string(circleLine)}));
  EXPECT_EQ(ok->busy.calls[ok->busy.calls.size() - 2], "ShowThinkingWithBar Reading DXF file...");
  EXPECT_EQ(ok->Count("A", "Line_"), 1u);
  EXPECT_EQ(ok->Count("A", "Insert_"), 0u);
  EXPECT_EQ(ok->Count("A", "Circle_"), 0u);

  const auto cancelled = ReadDxfText(EntitiesFile(e), false);
  EXPECT_EQ(cancelled->prompts.warnings.size(), 1u);
  EXPECT_EQ(cancelled->prompts.errors, Strings{"User aborted"});
  EXPECT_EQ(cancelled->Count("A", "Line_"), 0u);

  DxfText many;
  many.P(0, "INSERT").P(8, "A").P(2, "B").P(66, "1");
  for (int i = 0; i < 17; ++i) many.P(0, "ATTRIB").P(8, "A").P(2, "T");
  many.P(0, "SEQEND").Line("A", 0, 0, 1, 1);
  const auto refused = ReadDxfText(EntitiesFile(many));
  EXPECT_EQ(refused->prompts.messages, Strings{"This version only handles 16 ATTRIBs"});
  EXPECT_EQ(refused->Count("A", "Line_"), 1u);

  // The same insert inside a block is told alike and leaves out only itself: the rest of the
  // block, the blocks after it and the entities are read.
  DxfText blocks;
  blocks.Extents(-100, 100).Section("BLOCKS").P(0, "BLOCK").P(8, "0").P(2, "B").P(10, "0").P(20, "0");
  blocks.P(0, "ENDBLK").P(0, "BLOCK").P(8, "0").P(2, "C").P(10, "0").P(20, "0");
  const std::string inBlock = blocks.Text() + many.Text() +
                              DxfText().P(0, "ENDBLK").P(0, "BLOCK").P(8, "0").P(2, "D").P(10, "0").P(20, "0")
                                  .Line("0", 0, 0, 2, 2).P(0, "ENDBLK").EndSec().Section("ENTITIES")
                                  .P(0, "INSERT").P(8, "A").P(2, "D").Line("A", 0, 0, 3, 3).EndSec().Eof().Text();
  const auto inside = ReadDxfText(inBlock);
  EXPECT_TRUE(inside->isDxf);
  EXPECT_EQ(inside->prompts.messages, Strings{"This version only handles 16 ATTRIBs"});
  EXPECT_EQ(inside->prompts.errors, Strings{});
  EXPECT_EQ(inside->prompts.warnings, Strings{});
  ASSERT_EQ(inside->Count("0", "Block_"), 3u);
  const auto* c = inside->Entity<Block_>("0", "Block_", 1);
  ASSERT_EQ(c->Entities().size(), 1u);  // the line after the insert
  EXPECT_NE(dynamic_cast<const Line_*>(c->Entities()[0].get()), nullptr);
  EXPECT_EQ(inside->Count("A", "Insert_"), 1u);
  EXPECT_EQ(inside->Count("A", "Line_"), 1u);
}

// Later releases put a multi-line attribute's text in an embedded object (from code 101 to
// the end of the record), with codes of its own that mean other things there (72 is its
// flow direction, 1 its formatted text): the attribute keeps what its own codes say.
TEST(DXF_Reader, AnEmbeddedObjectDoesNotOverwriteItsAttribute) {
  DxfText t;
  t.Extents(-100, 100).Section("BLOCKS").P(0, "BLOCK").P(8, "0").P(2, "B").P(10, "0").P(20, "0").P(0, "ENDBLK");
  t.EndSec().Section("ENTITIES").P(0, "INSERT").P(8, "A").P(2, "B").P(66, "1").P(10, "1").P(20, "2");
  t.P(0, "ATTRIB").P(8, "A").P(100, "AcDbText").P(10, "3").P(20, "4").P(40, "2").P(1, "first line");
  t.P(11, "5").P(21, "4").P(100, "AcDbAttribute").P(2, "TAG").P(70, "0").P(72, "1");
  t.P(101, "Embedded Object").P(10, "30").P(20, "40").P(40, "9").P(71, "1").P(72, "5").P(1, "first line\\Psecond");
  t.P(11, "7").P(21, "8").P(0, "SEQEND").EndSec().Eof();
  const auto r = ReadDxfText(t.Text());
  EXPECT_EQ(r->prompts.warnings, Strings{});
  ASSERT_EQ(r->Count("A", "Insert_"), 1u);
  const auto& attribs = r->Entity<Insert_>("A", "Insert_", 0)->Attribs();
  ASSERT_EQ(attribs.size(), 1u);
  const Attrib_& a = *attribs[0];
  EXPECT_EQ(a.Text(), "first line");
  EXPECT_EQ(a.Alignment(), 1);
  EXPECT_EQ(a.Height(), 2.0);
  EXPECT_EQ(a.GetPoint().x, 3.0);
  EXPECT_EQ(a.GetPoint().y, 4.0);
  EXPECT_EQ(a.AlignmentPoint().x, 5.0);
  EXPECT_EQ(a.AlignmentPoint().y, 4.0);
}

TEST(DXF_Reader, ExtentsFromHeaderOrFromEntities) {
  DxfText valid;
  valid.Extents(-5, 50).Section("ENTITIES").Line("A", 1, 1, 2, 2).EndSec().Eof();
  auto r = ReadDxfText(valid.Text());
  EXPECT_EQ(r->busy.Notes(), (Strings{kNoTables, kNoBlocks}));
  EXPECT_EQ(r->drawing->GetMaxExtents().x, 50.0);
  // An empty box (min above max) is computed from the entities, without the origin.
  DxfText inverted;
  inverted.Extents(1e20, -1e20).Section("ENTITIES").Line("A", 10, 20, 30, 40).EndSec().Eof();
  r = ReadDxfText(inverted.Text());
  EXPECT_EQ(r->busy.Notes().back(), kScanning);
  EXPECT_EQ(r->drawing->GetMinExtents().x, 10.0);
  EXPECT_EQ(r->drawing->GetMinExtents().y, 20.0);
  EXPECT_EQ(r->drawing->GetMaxExtents().y, 40.0);
  EXPECT_EQ(r->drawing->GetMaxExtents().z, 0.0);
  // Extents of one point, as some writers leave them, are computed from the entities too.
  DxfText onePoint;
  onePoint.Extents(7, 7).Section("ENTITIES").Line("A", 10, 20, 30, 40).EndSec().Eof();
  r = ReadDxfText(onePoint.Text());
  EXPECT_EQ(r->busy.Notes().back(), kScanning);
  EXPECT_EQ(r->drawing->GetMinExtents().x, 10.0);
  EXPECT_EQ(r->drawing->GetMaxExtents().x, 30.0);
  EXPECT_EQ(r->drawing->GetMaxExtents().y, 40.0);
}

TEST(DXF_Reader, AnEntityWithoutALayerIsOnLayerZero) {
  DxfText e;
  e.P(0, "POINT").P(10, "1").P(20, "2").P(30, "0");
  e.P(0, "CIRCLE").P(8, "A").P(10, "1").P(20, "2").P(30, "0").P(40, "3");
  const auto r = ReadDxfText(EntitiesFile(e));
  EXPECT_EQ(r->Count("0", "Point_"), 1u);
  EXPECT_EQ(r->Layer(""), nullptr);
  EXPECT_EQ(r->Count("A", "Circle_"), 1u);
}

// A gigabyte of 'x' without a line end, counting the bytes served.
class Endless : public DxfByteSource {
 public:
  explicit Endless(uint64_t* served) : served_(served) {}
  long Read(char* buffer, size_t size) override {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(size, kSize - position_));
    std::memset(buffer, 'x', n);
    position_ += n;
    *served_ += n;
    return static_cast<long>(n);
  }
  bool Seek(uint64_t position) override {
    position_ = std::min(position, kSize);
    return true;
  }
  uint64_t Size() const override { return kSize; }

 private:
  static constexpr uint64_t kSize = 1ull << 30;
  uint64_t position_ = 0;
  uint64_t* served_;
};

// A file without line ends is told apart from DXF after a line's worth of bytes, not after
// reading all of it.
TEST(DXF_Reader, ALongFileWithoutLineEndsIsNotReadThrough) {
  uint64_t served = 0;
  test::RecordingPrompts prompts;
  test::RecordingBusyBox busy;
  DXF_Reader reader(std::make_unique<Endless>(&served), busy, prompts);
  EXPECT_FALSE(reader.ReadDxfFile());
  EXPECT_EQ(prompts.errors, Strings{"The file is not a DXF file"});
  EXPECT_LE(served, 2 * DxfGroupReader::kBlockSize);
}

TEST(DXF_Reader, EveryEntityKind) {
  DxfText e;
  e.P(0, "POINT").P(8, "K").P(10, "1").P(20, "2").P(30, "3");
  e.P(0, "TEXT").P(8, "K").P(10, "1").P(20, "1").P(40, "2.5").P(1, "Hello").P(72, "2").P(11, "5").P(21, "1");
  e.P(0, "CIRCLE").P(8, "K").P(10, "1").P(20, "1").P(40, "3");
  e.P(0, "ARC").P(8, "K").P(10, "1").P(20, "1").P(40, "3").P(50, "90").P(51, "180");
  e.P(0, "3DFACE").P(8, "K").P(10, "0").P(20, "0").P(11, "1").P(21, "0").P(12, "1").P(22, "1").P(13, "1").P(23, "1");
  e.P(0, "SOLID").P(8, "K").P(39, "2").P(10, "0").P(20, "0").P(11, "1").P(21, "0").P(12, "0").P(22, "1").P(13, "1")
      .P(23, "1");
  e.P(0, "ATTDEF").P(8, "K").P(10, "0").P(20, "0").P(40, "1").P(1, "default").P(2, "TAG").P(3, "Prompt?").P(70, "1");
  e.P(0, "ATTRIB").P(8, "K").P(10, "0").P(20, "0").P(40, "1").P(1, "value").P(2, "TAG");
  e.P(0, "POLYLINE").P(8, "K").P(70, "1").P(210, "0").P(220, "0").P(230, "-2");
  e.P(0, "VERTEX").P(10, "0").P(20, "0").P(0, "VERTEX").P(10, "1").P(20, "0").P(0, "SEQEND");
  const auto r = ReadDxfText(EntitiesFile(e));
  EXPECT_TRUE(r->prompts.warnings.empty());
  EXPECT_EQ(r->Entity<Point_>("K", "Point_", 0)->GetPoint().z, 3.0);
  const auto* text = r->Entity<Text_>("K", "Text_", 0);
  EXPECT_EQ(text->Text(), "Hello");
  EXPECT_EQ(text->Alignment(), 2);
  EXPECT_EQ(text->AlignmentPoint().x, 5.0);
  EXPECT_EQ(text->Height(), 2.5);
  EXPECT_EQ(r->Entity<Circle_>("K", "Circle_", 0)->Radius(), 3.0);
  EXPECT_NEAR(r->Entity<Arc_>("K", "Arc_", 0)->EndAngle(), M_PI, 1e-15);
  EXPECT_EQ(r->Entity<Face3D_>("K", "Face3D_", 0)->Points().size(), 3u);
  EXPECT_EQ(r->Entity<Solid_>("K", "Solid_", 0)->Points().size(), 4u);
  EXPECT_EQ(r->Entity<Solid_>("K", "Solid_", 0)->Thickness(), 2.0);
  const auto* attdef = r->Entity<Attdef_>("K", "Attdef_", 0);
  EXPECT_EQ(attdef->Prompt(), "Prompt?");
  EXPECT_EQ(attdef->Text(), "default");
  EXPECT_FALSE(attdef->Visible());
  EXPECT_EQ(r->Entity<Attrib_>("K", "Attrib_", 0)->Text(), "value");
  const auto* poly = r->Entity<Polyline_>("K", "Polyline_", 0);
  EXPECT_TRUE(poly->Closed());
  EXPECT_EQ(poly->Extrusion().z, -1.0);  // normalised
  ASSERT_NE(poly->OCS(), nullptr);
}

TEST(DXF_Reader, ProgressBarAndFiles) {
  const auto dir = std::filesystem::temp_directory_path() / ("dxf_read_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  DxfText t;
  t.Extents(-1, 1).Section("ENTITIES");
  for (int i = 0; i < 500; ++i) t.Line("A", i, 0, i, 1);
  t.EndSec().Eof();
  const auto file = dir / "plan.dxf";
  std::ofstream(file, std::ios::binary) << t.Text("\r\n");
  test::RecordingPrompts prompts;
  test::RecordingBusyBox busy;
  std::vector<std::string> skipped;
  auto drawing = DXF_Object::CreateFromFile(file, &skipped, busy, prompts);
  EXPECT_EQ(drawing->Name(), "plan.dxf");
  EXPECT_EQ(drawing->LayerByName("A")->ListByName("Line_")->Count(), 500u);
  EXPECT_EQ(drawing->GetMaxExtents().x, 1.0);
  EXPECT_EQ(busy.barMaximum, static_cast<int32_t>(std::filesystem::file_size(file) / 4096));
  EXPECT_GE(busy.steps, busy.barMaximum + 1);
  EXPECT_TRUE(skipped.empty());  // nothing after the ENDSEC of ENTITIES is read
  EXPECT_THROW(DXF_Object::CreateFromFile(dir / "missing.dxf", nullptr, busy, prompts), std::system_error);
  std::filesystem::remove_all(dir);
}

TEST(ThinkingBox, BoundsAreCentred) {
  const canvas::TRect area{100, 200, 901, 801};
  const canvas::TRect box = ThinkingBoxBounds("Reading DXF file...", {8, 12}, false, area);
  EXPECT_EQ(box.Width(), 19 * 8 + 12);
  EXPECT_EQ(box.Height(), 18);
  EXPECT_EQ(box.left, 100 + (801 - 164) / 2);
  EXPECT_EQ(box.top, 200 + (601 - 18) / 2);
  EXPECT_EQ(ThinkingBoxBounds("x", {8, 12}, true, area).Height(), 42);
  EXPECT_EQ(ThinkingBarBounds("abc", {8, 12}, box).Width(), 20);
}

}  // namespace
}  // namespace pv::viewer

// The DXF-to-document import on drawings built in memory: what each entity class becomes, the
// degenerate geometry that must give the right rectangle or a counted skip, the walk's limits,
// and a document that survives the text format byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "ImportSupport.h"

namespace pv::viewer {
namespace {

using canvas::TPoint;
using canvas::TRect;
using graphics::TVexaControl;
using Strings = std::vector<std::string>;
using test::ImportPanel;

// A drawing assembled entity by entity; blocks go to layer 0 as the reader files them.
struct Drawing {
  std::unique_ptr<DXF_Object> object = std::make_unique<DXF_Object>("Plan");

  template <class T>
  T& Add(std::string_view layer, std::unique_ptr<T> entity) {
    T& e = *entity;
    object->LayerByName(layer)->AddEntity(std::move(entity));
    return e;
  }
  Block_& AddBlock(const std::string& name, const Point3D& base = WCS_Origin) {
    return Add("0", std::make_unique<Block_>(name, base));
  }
  Entity_List* Blocks() const { return object->LayerByName("0")->ListByName("Block_"); }
  // An insert (inside a block when given) that finds its block among the drawing's blocks.
  Insert_& AddInsert(std::string_view layer, const std::string& block, const Point3D& at, double degrees = 0.0,
                     const Point3D& scale = {1, 1, 1}, Block_* into = nullptr,
                     std::vector<std::unique_ptr<Attrib_>> attribs = {}) {
    auto insert = std::make_unique<Insert_>(WCS_Z_Axis, block, std::move(attribs), 0, degrees, scale, at);
    Insert_& i = *insert;
    if (into) {
      into->Add(std::move(insert));
    } else {
      Add(layer, std::move(insert));
    }
    i.ResolveBlock(Blocks());
    return i;
  }
};

std::unique_ptr<Line_> Line(Point3D a, Point3D b) { return std::make_unique<Line_>(a, 1, b); }
std::unique_ptr<Circle_> Circle(Point3D c, double r, Point3D extrusion = WCS_Z_Axis) {
  return std::make_unique<Circle_>(extrusion, 1, r, c);
}
std::unique_ptr<Arc_> Arc(Point3D c, double r, double a1, double a2, Point3D extrusion = WCS_Z_Axis) {
  return std::make_unique<Arc_>(extrusion, 1, a1, a2, r, c);
}
std::unique_ptr<Text_> Text(Point3D at, double height, std::string text, int alignment = 0) {
  return std::make_unique<Text_>(WCS_Z_Axis, alignment, 1, height, std::move(text), at, at);
}

// One drawing unit is one document unit's thousand (scale 1, origin at (0, 0), y down from 100).
TDxfImportFit UnitFit() {
  TDxfImportFit fit;
  fit.MinX = 0;
  fit.MaxX = 100;
  fit.MinY = 0;
  fit.MaxY = 100;
  return fit;
}

struct Import : ::testing::Test {
  ImportPanel doc;
  TVexaDxfImport importer;
  Drawing d;

  Import() { importer.Fit = UnitFit(); }
  Strings Run() {
    EXPECT_TRUE(importer.ImportDxfObject(&doc.panel, d.object.get()));
    return test::Describe(doc);
  }
};

TEST_F(Import, EachClassBecomesItsControlNamedWithPenAndColour) {
  importer.Fit = {2, 2, 0, 5, 0, 0};
  d.Add("0", Line({0, 0, 0}, {10, 0, 0}));
  EXPECT_EQ(Run(), (Strings{"CURVE\t0\t0\t0,0 20000,0:1"}));
  auto* curve = dynamic_cast<graphics::TVexaCurve*>(doc.Scheme().GetChild(0));
  ASSERT_NE(curve, nullptr);
  EXPECT_EQ(curve->GetName(), "LINE");
  EXPECT_EQ(curve->Pen().GetColor(), DXF_Colors[1]);
  EXPECT_EQ(curve->Pen().GetWidth(), 10);
  EXPECT_EQ(doc.panel.GetDocWidth(), 10000);
  EXPECT_EQ(doc.panel.Schemes().GetName(), "Plan");
}

TEST_F(Import, LayersKeepTheDrawingsOrderAndAreReusedByName) {
  d.Add("0", Line({0, 0, 0}, {1, 1, 0}));
  d.Add("WALLS", Line({0, 0, 0}, {2, 2, 0}));
  Run();
  EXPECT_EQ(doc.LayerNames(), (Strings{"0", "WALLS"}));
  EXPECT_EQ(test::LayerOf(*doc.Scheme().GetChild(1)), "WALLS");
  Run();  // into the same panel: the layers are found by name, the controls are added
  EXPECT_EQ(doc.LayerNames(), (Strings{"0", "WALLS"}));
  EXPECT_EQ(doc.Scheme().GetCount(), 4);
  EXPECT_EQ(importer.Report().Controls, 2);
}

TEST_F(Import, PolygonMeshGivesRowsAndOneCurveOfColumns) {
  const Point3D p[] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}};
  d.Add("0", std::make_unique<Polygon_mesh_>(1, 0x10 | 1, p, 2, 3));  // closed in M
  EXPECT_EQ(Run(), (Strings{"CURVE\t0\t0\t0,100000 1000,100000 2000,100000:1",
                            "CURVE\t0\t0\t0,99000 1000,99000 2000,99000:1",
                            "CURVE\t0\t1\t0,100000 0,99000:2 1000,100000 1000,99000:2 2000,100000 2000,99000:2"}));
  EXPECT_EQ(importer.Report().Controls, 3);
}

TEST_F(Import, PolyfaceFacesStopAtTheFirstIndexThatNamesNoVertex) {
  const Point3D v[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
  const Polyface_mesh_::Face faces[] = {{0, 1, 2, -1}, {0, 1, 7, 2}, {9, 0, 1, 2}};
  importer.ImportFlags |= TVexaDxfImport::ifPolyfaceMeshGroups;
  d.Add("0", std::make_unique<Polyface_mesh_>(1, faces, v));
  EXPECT_EQ(Run(), (Strings{"GROUP\t0\tPOLYLINE", "CURVE\t0\t1\t0,100000 1000,100000 1000,99000:2",
                            "CURVE\t0\t1\t0,100000 1000,100000:2"}));
}

TEST_F(Import, PointsSolidsAttdefsAndZeroHeightTextsMakeNothing) {
  d.Add("0", std::make_unique<Point_>(WCS_Z_Axis, 1, Point3D{1, 1, 0}));
  const Point3D corners[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}};
  d.Add("0", std::make_unique<Solid_>(WCS_Z_Axis, 0.0, 1, corners, 3));
  d.Add("0", std::make_unique<Attdef_>(WCS_Z_Axis, 1, 1.0, 0, 0, "P", "V", "T", Point3D{}, Point3D{}));
  d.Add("0", Text({1, 1, 0}, 0.0, "flat"));
  EXPECT_TRUE(Run().empty());
  EXPECT_EQ(importer.Report().Skipped, 0);
}

TEST_F(Import, BlockDefinitionsAreNotDrawnWhereTheyAreDefined) {
  Block_& b = d.AddBlock("B");
  b.Add(Line({0, 0, 0}, {1, 0, 0}));
  d.AddInsert("WALLS", "B", {10, 10, 0});
  EXPECT_EQ(Run(), (Strings{"GROUP\tWALLS\tINSERT", "GROUP\tWALLS\tB", "CURVE\tWALLS\t0\t10000,90000 11000,90000:1"}));
}

TEST_F(Import, TextHeightFollowsTheScaleEvenFarFromTheOrigin) {
  // A georeferenced drawing: y near 5,000,000 and a fit that puts it on screen.
  importer.Fit = {0.5, 0.5, 400000, 400100, 4999900, 5000000};
  d.Add("0", Text({400010, 4999990, 0}, 2.5, "Parcel 12"));
  const Strings out = Run();
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0], "TEXT\t0\t5000\t5000\t1252\t0\tParcel 12");
}

TEST_F(Import, TextsAndAttributesInsideInsertsAreMappedThroughTheInsert) {
  Block_& b = d.AddBlock("TAG");
  b.Add(Text({1, 0, 0}, 1.0, "in block", 2));
  std::vector<std::unique_ptr<Attrib_>> attribs;
  attribs.push_back(std::make_unique<Attrib_>(WCS_Z_Axis, 1, 0.5, 0, 1, "NO", "12", Point3D{20, 30, 0},
                                              Point3D{20, 30, 0}));  // invisible: still converted
  d.AddInsert("0", "TAG", {20, 30, 0}, 90.0, {2, 2, 2}, nullptr, std::move(attribs));
  // The block's (1, 0) lands at (20, 32), its height of 1 grows to 2.
  EXPECT_EQ(Run(), (Strings{"GROUP\t0\tINSERT", "TEXT\t0\t20000\t70000\t502\t0\t12", "GROUP\t0\tTAG",
                            "TEXT\t0\t20000\t68000\t2002\t1\tin block"}));
}

// Circles and arcs: the centre through the matrix, the radius scaled, arc ends turned with the
// insert, swapped under a mirror and reduced into 0 .. 359999.
TEST_F(Import, CirclesAndArcsThroughTurnedAndMirroredInserts) {
  struct Case {
    const char* what;
    double degrees;
    Point3D scale;
    std::unique_ptr<DXF_Entity> entity;
    Strings expected;
  };
  Case cases[] = {
      {"circle in a 45-degree insert", 45.0, {1, 1, 1}, Circle({10, 0, 0}, 2.0),
       {"ELLIPSE\t0\t55071\t40929\t59071\t44929"}},
      {"arc turned by 45 degrees", 45.0, {1, 1, 1}, Arc({0, 0, 0}, 1.0, 0.0, 90.0),
       {"ARC\t0\t49000\t49000\t51000\t51000\t45000\t135000"}},
      {"arc mirrored in x", 0.0, {-1, 1, 1}, Arc({0, 0, 0}, 1.0, 0.0, 90.0),
       {"ARC\t0\t49000\t49000\t51000\t51000\t90000\t180000"}},
      {"arc scaled by 3 and turned past a full turn", 300.0, {3, 3, 3}, Arc({0, 0, 0}, 1.0, 100.0, 200.0),
       {"ARC\t0\t47000\t47000\t53000\t53000\t40000\t140000"}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    Drawing drawing;
    Block_& b = drawing.AddBlock("B");
    b.Add(std::move(c.entity));
    drawing.AddInsert("0", "B", {50, 50, 0}, c.degrees, c.scale);
    ImportPanel target;
    importer.ImportFlags = 0;
    ASSERT_TRUE(importer.ImportDxfObject(&target.panel, drawing.object.get()));
    EXPECT_EQ(test::Describe(target), c.expected);
  }
}

// Geometry the reader accepts that a document cannot hold as it stands: each gives the right
// rectangle or is left out, counted, with one note per kind.
TEST_F(Import, DegenerateGeometryGivesTheRightRectangleOrACountedSkip) {
  struct Case {
    const char* what;
    std::function<void(Drawing&)> build;
    Strings expected;
    long skipped;
  };
  const Case cases[] = {
      // The document's smallest control at the centre.
      {"radius 0", [](Drawing& x) { x.Add("0", Circle({5, 5, 0}, 0.0)); }, {"ELLIPSE\t0\t5000\t95000\t5001\t95001"}, 0},
      {"negative radius", [](Drawing& x) { x.Add("0", Circle({5, 5, 0}, -1.0)); },
       {"ELLIPSE\t0\t4000\t94000\t6000\t96000"}, 0},
      {"huge radius", [](Drawing& x) { x.Add("0", Circle({5, 5, 0}, 1e12)); }, {}, 1},
      {"arc of 450 degrees", [](Drawing& x) { x.Add("0", Arc({5, 5, 0}, 1.0, 0.0, 450.0)); },
       {"ARC\t0\t4000\t94000\t6000\t96000\t0\t90000"}, 0},
      {"negative arc angles", [](Drawing& x) { x.Add("0", Arc({5, 5, 0}, 1.0, -90.0, -0.25)); },
       {"ARC\t0\t4000\t94000\t6000\t96000\t270000\t359750"}, 0},
      {"arc angle too large to turn into thousandths", [](Drawing& x) { x.Add("0", Arc({5, 5, 0}, 1.0, 1e308, 90.0)); },
       {"ARC\t0\t4000\t94000\t6000\t96000\t0\t90000"}, 0},
      {"circle with extrusion (0, 0, -1)", [](Drawing& x) { x.Add("0", Circle({5, 5, 0}, 1.0, {0, 0, -1})); },
       {"ELLIPSE\t0\t-6000\t94000\t-4000\t96000"}, 0},
      {"arc with extrusion (0, 0, -1)", [](Drawing& x) { x.Add("0", Arc({-5, 5, 0}, 1.0, 0.0, 90.0, {0, 0, -1})); },
       {"ARC\t0\t4000\t94000\t6000\t96000\t90000\t180000"}, 0},
      {"polyline without points",
       [](Drawing& x) { x.Add("0", std::make_unique<Polyline_>(WCS_Z_Axis, false, 1, std::span<const Point3D>{})); },
       {}, 1},
      {"line at x = 1e12", [](Drawing& x) { x.Add("0", Line({1e12, 0, 0}, {1e12 + 1, 0, 0})); }, {}, 1},
      {"line at NaN", [](Drawing& x) { x.Add("0", Line({NAN, 0, 0}, {1, 0, 0})); }, {}, 1},
      {"text at y = 5e6, far outside the fit", [](Drawing& x) { x.Add("0", Text({0, 5e6, 0}, 1.0, "far")); }, {}, 1},
      {"text of huge height", [](Drawing& x) { x.Add("0", Text({0, 0, 0}, 1e12, "tall")); }, {}, 1},
      {"polygon mesh with one far vertex",
       [](Drawing& x) {
         const Point3D p[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1e15, 0}};
         x.Add("0", std::make_unique<Polygon_mesh_>(1, 0x10, p, 2, 2));
       },
       {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Drawing drawing;
    c.build(drawing);
    ImportPanel target;
    ASSERT_TRUE(importer.ImportDxfObject(&target.panel, drawing.object.get()));
    EXPECT_EQ(test::Describe(target), c.expected);
    EXPECT_EQ(importer.Report().Skipped, c.skipped);
    EXPECT_EQ(importer.Report().Notes.size(), c.skipped ? 1u : 0u);
  }
}

TEST_F(Import, SkippedEntitiesAreReportedOnceAsANote) {
  for (int i = 0; i < 3; ++i) d.Add("0", Line({1e12, 0, 0}, {0, 0, 0}));
  d.Add("0", Line({0, 0, 0}, {1, 1, 0}));
  EXPECT_EQ(Run().size(), 1u);
  EXPECT_EQ(importer.Report().Skipped, 3);
  EXPECT_EQ(importer.Report().Notes,
            Strings{"3 entities lie outside the document's coordinate range and were not converted"});
}

TEST_F(Import, NestedInsertsCombineTheirMatrices) {
  Block_& inner = d.AddBlock("INNER", {1, 0, 0});
  inner.Add(Line({1, 0, 0}, {2, 0, 0}));
  Block_& outer = d.AddBlock("OUTER");
  d.AddInsert("0", "INNER", {0, 10, 0}, 90.0, {1, 1, 1}, &outer);
  d.AddInsert("0", "OUTER", {20, 20, 0}, 0.0, {2, 2, 2});
  // INNER's (1, 0)-(2, 0) is (0, 0)-(1, 0) from its base, turned to (0, 10)-(0, 11) in OUTER,
  // then doubled and moved to (20, 40)-(20, 42).
  EXPECT_EQ(Run(), (Strings{"GROUP\t0\tINSERT", "GROUP\t0\tOUTER", "GROUP\t0\tINSERT", "GROUP\t0\tINNER",
                            "CURVE\t0\t0\t20000,60000 20000,58000:1"}));
}

TEST_F(Import, ABlockThatInsertsItselfIsEnteredOnce) {
  Block_& self = d.AddBlock("SELF");
  self.Add(Line({0, 0, 0}, {1, 0, 0}));
  d.AddInsert("0", "SELF", {1, 1, 0}, 0.0, {1, 1, 1}, &self);
  d.AddInsert("0", "SELF", {0, 0, 0});
  EXPECT_EQ(Run(), (Strings{"GROUP\t0\tINSERT", "GROUP\t0\tSELF", "CURVE\t0\t0\t0,100000 1000,100000:1",
                            "GROUP\t0\tINSERT"}));
  EXPECT_EQ(importer.Report().Notes.size(), 1u);
}

TEST_F(Import, AConversionOfMillionsOfControlsStopsBeforeItStarts) {
  // Ten blocks of 30 lines, each inserting the next ten times: 3·10^10 lines from one insert
  // (the walk's own limit on blocks entered still lets millions through).
  for (int level = 0; level < 10; ++level) {
    Block_& b = d.AddBlock("L" + std::to_string(level));
    for (int k = 0; k < 30; ++k) b.Add(Line({0, double(k), 0}, {1, double(k), 0}));
  }
  for (int level = 0; level + 1 < 10; ++level) {
    Block_* b = d.Blocks()->FindBlock("L" + std::to_string(level));
    for (int k = 0; k < 10; ++k) d.AddInsert("0", "L" + std::to_string(level + 1), {double(k), 0, 0}, 0, {1, 1, 1}, b);
  }
  d.AddInsert("0", "L0", {0, 0, 0});
  try {
    importer.ImportDxfObject(&doc.panel, d.object.get());
    FAIL() << "no exception";
  } catch (const EDxfImportTooLarge& e) {
    EXPECT_STREQ(e.what(), "The drawing would make more than 2000000 document controls; the conversion was stopped");
  }
  EXPECT_EQ(doc.Scheme().GetCount(), 0);
  EXPECT_TRUE(doc.LayerNames().empty());
  // The importer is free again.
  Drawing small;
  small.Add("0", Line({0, 0, 0}, {1, 0, 0}));
  EXPECT_TRUE(importer.ImportDxfObject(&doc.panel, small.object.get()));
}

TEST_F(Import, InsertsThatMultiplyUnderTheControlCapAreStoppedByTheirExpandedSize) {
  // Five levels, each inserting the next ten times, and 30 lines at the bottom: 300,000 lines
  // from a few kilobytes of text, well under the cap on all controls.
  constexpr int kLevels = 5;
  for (int level = 0; level < kLevels; ++level) {
    Block_& b = d.AddBlock("L" + std::to_string(level));
    if (level + 1 < kLevels) continue;
    for (int k = 0; k < 30; ++k) b.Add(Line({0, double(k), 0}, {1, double(k), 0}));
  }
  for (int level = 0; level + 1 < kLevels; ++level) {
    Block_* b = d.Blocks()->FindBlock("L" + std::to_string(level));
    for (int k = 0; k < 10; ++k) d.AddInsert("0", "L" + std::to_string(level + 1), {double(k), 0, 0}, 0, {1, 1, 1}, b);
  }
  d.AddInsert("0", "L0", {0, 0, 0});
  long inserted = 0;
  EXPECT_LT(importer.CountControls(*d.object, TVexaDxfImport::kMaxControls, &inserted), TVexaDxfImport::kMaxControls);
  EXPECT_GT(inserted, TVexaDxfImport::kMaxInsertedControls);
  try {
    importer.ImportDxfObject(&doc.panel, d.object.get());
    FAIL() << "no exception";
  } catch (const EDxfImportTooLarge& e) {
    EXPECT_EQ(std::string(e.what()), "The drawing's block insertions would make more than " +
                                         std::to_string(TVexaDxfImport::kMaxInsertedControls) +
                                         " document controls; the conversion was stopped");
  }
  EXPECT_EQ(doc.Scheme().GetCount(), 0);
  EXPECT_TRUE(doc.LayerNames().empty());
}

TEST_F(Import, ControlsCountedAsInsertedAreThoseInsideBlocksOnce) {
  // Under the default flags a block and an insert are a group each.
  struct Case {
    const char* what;
    int plainLines;
    int insertsOfInner;  // top-level inserts of a block of two lines
    int insertsOfOuter;  // top-level inserts of a block that inserts the inner one twice
    long total;
    long inserted;
  };
  const Case cases[] = {
      {"plain entities only", 3, 0, 0, 3, 0},
      {"one insert: its block group and lines", 1, 1, 0, 1 + 1 + 3, 3},
      {"inserts of inserts are counted once", 0, 0, 2, 2 * (1 + 1 + 2 * (1 + 3)), 2 * (1 + 2 * 4)},
      {"both", 2, 3, 1, 2 + 3 * 4 + 10, 3 * 3 + 9},
  };
  for (const Case& c : cases) {
    Drawing drawing;
    Block_& inner = drawing.AddBlock("INNER");
    inner.Add(Line({0, 0, 0}, {1, 0, 0}));
    inner.Add(Line({0, 1, 0}, {1, 1, 0}));
    Block_& outer = drawing.AddBlock("OUTER");
    for (int k = 0; k < 2; ++k) drawing.AddInsert("0", "INNER", {double(k), 0, 0}, 0, {1, 1, 1}, &outer);
    for (int k = 0; k < c.plainLines; ++k) drawing.Add("0", Line({0, double(k), 0}, {1, double(k), 0}));
    for (int k = 0; k < c.insertsOfInner; ++k) drawing.AddInsert("0", "INNER", {double(k), 0, 0});
    for (int k = 0; k < c.insertsOfOuter; ++k) drawing.AddInsert("0", "OUTER", {double(k), 0, 0});
    long inserted = -1;
    EXPECT_EQ(importer.CountControls(*drawing.object, TVexaDxfImport::kMaxControls, &inserted), c.total) << c.what;
    EXPECT_EQ(inserted, c.inserted) << c.what;
  }
}

TEST_F(Import, RefusedWhileRunningOrWithoutPanelOrDrawing) {
  EXPECT_FALSE(importer.ImportDxfObject(nullptr, d.object.get()));
  EXPECT_FALSE(importer.ImportDxfObject(&doc.panel, nullptr));
  EXPECT_FALSE(importer.ImportList(nullptr));
  EXPECT_FALSE(importer.ImportLayer(nullptr));
  EXPECT_FALSE(importer.ImportEntity(nullptr, nullptr, nullptr));
  // A panel event that starts another import during the first one is refused.
  bool inner = true;
  doc.panel.OnPropChanged = [&](graphics::TVexaPanel&, TVexaControl&, graphics::TCustomProp&) {
    inner = inner && importer.ImportDxfObject(&doc.panel, d.object.get());
  };
  d.Add("0", Line({0, 0, 0}, {1, 0, 0}));
  Run();
  EXPECT_FALSE(inner);
}

TEST_F(Import, AMissingBlockRaisesAndLeavesTheImporterFree) {
  d.Add("0", std::make_unique<Insert_>(WCS_Z_Axis, "GONE", std::vector<std::unique_ptr<Attrib_>>{}, 0, 0.0,
                                       Point3D{1, 1, 1}, Point3D{}));
  d.Add("WALLS", Line({0, 0, 0}, {1, 0, 0}));
  EXPECT_THROW(importer.ImportDxfObject(&doc.panel, d.object.get()), std::runtime_error);
  // Found while counting, before anything was made.
  EXPECT_TRUE(doc.LayerNames().empty());
  EXPECT_EQ(doc.Scheme().GetCount(), 0);
  Drawing fine;
  EXPECT_TRUE(importer.ImportDxfObject(&doc.panel, fine.object.get()));
}

TEST(ComputeImportFit, OneScaleForBothAxesAndNeverNegative) {
  const TDxfImportFit fit = ComputeImportFit(840, 440, 20, {100, 50, 0}, {0, 0, 0});
  EXPECT_EQ(fit.ScaleX, 4.0);  // min(800 / 100, 400 / 50)
  EXPECT_EQ(fit.ScaleY, 4.0);
  EXPECT_EQ(fit.MaxY, 50.0);
  EXPECT_EQ(fit.CentreX, 50.0);
  const TDxfImportFit tiny = ComputeImportFit(30, 30, 20, {100, 50, 0}, {0, 0, 0});
  EXPECT_GT(tiny.ScaleX, 0.0);
  const TDxfImportFit flat = ComputeImportFit(840, 440, 20, {100, 0, 0}, {0, 0, 0});
  EXPECT_EQ(flat.ScaleY, 1.0);
}

}  // namespace
}  // namespace pv::viewer

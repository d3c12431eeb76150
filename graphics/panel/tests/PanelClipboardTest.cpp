// Copy and paste on the in-memory clipboard: our own controls pasted twice give two copies
// with fresh IDs whose connectors link their own boxes, each paste one undo step byte for
// byte; pictures and UTF-8 text from other programs become controls in the middle of the
// view; data that cannot be read changes nothing, and the clipboard is closed on every path.

#include <gtest/gtest.h>

#include "base/ModelText.h"
#include "clipboard/MemoryClipboard.h"
#include "document/Clone.h"
#include "document/ServiceControls.h"
#include "document/testing/DocumentPoints.h"
#include "panel/tests/LinkedDocument.h"
#include "picture/BmpCodec.h"
#include "picture/Graphics.h"
#include "picture/PngCodec.h"
#include "shapes/VexaPicture.h"
#include "shapes/VexaText.h"

namespace pv::graphics {
namespace {

using clipboard::TClipboardItem;
using clipboard::TMemoryClipboard;

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

canvas::Bitmap Stripes(int32_t w, int32_t h) {
  canvas::Bitmap b(w, h);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) b.Row(y)[x] = (x / 4) % 2 ? 0x00FF0000u : 0x000000FFu;
  }
  return b;
}

std::vector<uint8_t> Jpeg(const canvas::Bitmap& b) {
  picture::JpegGraphic jpeg;
  jpeg.Assign(b);
  return jpeg.SaveToBytes();
}

struct PanelClipboard : ::testing::Test, test::LinkedDocument {
  PanelClipboard() { panel.SetClipboard(&clip); }

  int Count() const { return Scheme()->GetCount(); }
  TVexaControl* Last() const { return Scheme()->GetChild(Scheme()->GetCount() - 1); }
  // The centre of what the window shows, document units.
  TPoint ViewCentre() const {
    const TRect v = panel.VisibleDocRect();
    return {(v.left + v.right) / 2, (v.top + v.bottom) / 2};
  }
  // Undo and redo of the last step give the bytes from before and after it, twice over.
  void ExpectOneStep(const std::string& before, const std::string& after) {
    for (int round = 0; round < 2; ++round) {
      ASSERT_TRUE(panel.PanelHistory().Undo());
      EXPECT_EQ(before, SaveText());
      ASSERT_TRUE(panel.PanelHistory().Redo());
      EXPECT_EQ(after, SaveText());
    }
  }

  TMemoryClipboard clip;
};

TEST_F(PanelClipboard, TheStartUpCallRegistersOurFormatUnderItsName) {
  EXPECT_EQ("application/x-vexagraphics-controls", VexaControlsMime());
  EXPECT_EQ("VexaGraphics controls", clipboard::ClipboardFormatName(VexaControlsMime()));
}

TEST_F(PanelClipboard, OwnDataPastedTwiceGivesTwoCopiesWithFreshIdsLinkingTheirOwnBoxes) {
  SelectOnly({a, b, link});
  ASSERT_TRUE(panel.CopyToClipboard());
  ASSERT_EQ(1u, clip.Items().size());
  EXPECT_EQ(VexaControlsMime(), clip.Items()[0].mime);
  const std::string copied(clip.Items()[0].data.begin(), clip.Items()[0].data.end());
  EXPECT_EQ(0u, copied.find("clipboard\r\n  object a: TVexaBox\r\n"));
  EXPECT_EQ(0, panel.PanelHistory().Count()) << "a copy changes nothing";

  std::set<int32_t> ids;
  panel.ForEachControl([&](TVexaControl& s) { ids.insert(s.GetId()); });
  std::vector<std::string> texts{SaveText()};
  for (int paste = 1; paste <= 2; ++paste) {
    SCOPED_TRACE(paste);
    ASSERT_TRUE(panel.CanPaste(true));
    ASSERT_TRUE(panel.PasteFromClipboard());
    texts.push_back(SaveText());
    EXPECT_EQ(5 + 3 * paste, Count());
    const std::vector<TVexaControl*> pasted = Selection();
    ASSERT_EQ(3u, pasted.size());
    for (TVexaControl* s : pasted) {
      EXPECT_TRUE(ids.insert(s->GetId()).second) << s->GetName() << " reuses ID " << s->GetId();
      EXPECT_EQ(s, panel.FindControlByID(s->GetId()));
    }
    EXPECT_TRUE(test::ConnectorsLinkTheirOwnBoxes(pasted));
    EXPECT_EQ(paste, panel.PanelHistory().Count());
    EXPECT_EQ("Create control(s)", panel.PanelHistory().GetAction(paste - 1)->Caption);
  }
  // The originals keep their links.
  EXPECT_EQ(a, link->LinkA().LinkedControl());
  EXPECT_EQ(b, link->LinkB().LinkedControl());
  EXPECT_EQ(a, outer->LinkB().LinkedControl());
  ExpectOneStep(texts[1], texts[2]);
  ASSERT_TRUE(panel.PanelHistory().Undo());
  ASSERT_TRUE(panel.PanelHistory().Undo());
  EXPECT_EQ(texts[0], SaveText());
  EXPECT_EQ(clip.opens, clip.closes);
}

// Controls read without an ID get theirs only when the load ends; the paste's step must still
// find them to undo.
TEST_F(PanelClipboard, APasteLeavesTheDocumentsOwnPropertiesAloneAndUndoesControlsReadWithoutIds) {
  const int32_t rootId = panel.Schemes().GetId();
  clip.SetItems({{VexaControlsMime(), Bytes("clipboard Other name\r\n  ID = 40\r\n  Width = 5\r\n  property Brush\r\n"
                                            "    Color = 0\r\n  end\r\n  object x: TVexaBox\r\n    ID = 41\r\n"
                                            "  end\r\n  object y: TVexaBox\r\n    Left = 7\r\n  end\r\nend\r\n")}});
  const std::string before = SaveText();
  ASSERT_TRUE(panel.PasteFromClipboard());
  EXPECT_EQ(2, panel.SelectedCount());
  EXPECT_GT(panel.Selected(1)->GetId(), 0);
  EXPECT_EQ(1, panel.PanelHistory().Count());
  EXPECT_EQ(rootId, panel.Schemes().GetId());
  EXPECT_EQ(320000, panel.GetDocWidth());
  EXPECT_EQ("Document", panel.Schemes().GetName());
  ExpectOneStep(before, SaveText());
}

// The connector comes before the box it links to: redo brings both back before the link is
// looked for, as the paste itself does.
TEST_F(PanelClipboard, APastedConnectorLinkedToABoxAfterItKeepsItsLinkOnRedo) {
  clip.SetItems({{VexaControlsMime(), Bytes("clipboard\r\n  object link: TVexaConnector\r\n    LinkA = \\7:b\r\n"
                                            "  end\r\n  object b: TVexaBox\r\n    ID = 7\r\n    Width = 5000\r\n"
                                            "    Height = 3000\r\n  end\r\nend\r\n")}});
  const std::string before = SaveText();
  ASSERT_TRUE(panel.PasteFromClipboard());
  const std::vector<TVexaControl*> pasted = Selection();
  ASSERT_EQ(2u, pasted.size());
  auto* connector = dynamic_cast<TVexaConnector*>(pasted[0]);
  ASSERT_NE(nullptr, connector);
  ASSERT_EQ(pasted[1], connector->LinkA().LinkedControl());
  const std::string after = SaveText();
  ExpectOneStep(before, after);
  connector = dynamic_cast<TVexaConnector*>(Scheme()->GetChild(Count() - 2));
  ASSERT_NE(nullptr, connector);
  EXPECT_EQ(Last(), connector->LinkA().LinkedControl());
}

TEST_F(PanelClipboard, CanPasteSeesOurFormatPicturesAndText) {
  const struct {
    const char* what;
    std::vector<TClipboardItem> items;
    bool any;
    bool own;
  } cases[] = {
      {"empty", {}, false, false},
      {"ours", {{VexaControlsMime(), Bytes("clipboard\r\nend\r\n")}}, true, true},
      {"UTF-8 text", {{clipboard::kTextUtf8Mime, Bytes("x")}}, true, false},
      {"plain text", {{clipboard::kTextMime, Bytes("x")}}, true, false},
      {"PNG", {{"application/x-other", {}}, {clipboard::kPngMime, {1}}}, true, false},
      {"BMP", {{clipboard::kBmpMime, {1}}}, true, false},
      {"JPEG", {{clipboard::kJpegMime, {1}}}, true, false},
      {"SVG the clipboard cannot render", {{clipboard::kSvgMime, Bytes("<svg/>")}}, false, false},
      {"another program's own", {{"application/x-other", {1}}, {"text/html", Bytes("<b>")}}, false, false},
  };
  for (const auto& row : cases) {
    clip.SetItems(row.items);
    EXPECT_EQ(row.any, panel.CanPaste(false)) << row.what;
    EXPECT_EQ(row.own, panel.CanPaste(true)) << row.what;
  }
  clip.Clear();
  EXPECT_FALSE(panel.PasteFromClipboard());
  // Our format holding only classes unknown here pastes nothing and keeps the selection.
  SelectOnly({c});
  clip.SetItems({{VexaControlsMime(), Bytes("clipboard\r\n  object x: TNoSuchClass\r\n  end\r\nend\r\n")}});
  EXPECT_FALSE(panel.PasteFromClipboard());
  EXPECT_EQ((std::vector<TVexaControl*>{c}), Selection());
  clip.SetText("only text");
  EXPECT_FALSE(panel.PasteFromClipboard(true));
  EXPECT_EQ(0, panel.PanelHistory().Count());
}

TEST_F(PanelClipboard, APictureBecomesAPictureControlOfItsSizeInTheMiddleOfTheView) {
  panel.SetScale(200);
  window.ScrollTo(panelwindow::TScrollBarKind::Horizontal, 150);
  const canvas::Bitmap stripes = Stripes(40, 20);
  const struct {
    const char* what;
    std::vector<TClipboardItem> items;
    const char* graphicClass;
  } cases[] = {
      {"PNG", {{"application/x-other", {9}}, {clipboard::kPngMime, picture::WritePng(stripes)}}, "TBitmap"},
      {"BMP", {{clipboard::kBmpMime, picture::WriteBmp(stripes)}}, "TBitmap"},
      {"JPEG before PNG", {{clipboard::kJpegMime, Jpeg(stripes)}, {clipboard::kPngMime, picture::WritePng(stripes)}},
       "TJPEGImage"},
      {"PNG before JPEG", {{clipboard::kPngMime, picture::WritePng(stripes)}, {clipboard::kJpegMime, Jpeg(stripes)}},
       "TBitmap"},
      {"a picture before text", {{clipboard::kTextUtf8Mime, Bytes("text")}, {clipboard::kBmpMime, picture::WriteBmp(stripes)}},
       "TBitmap"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    panel.PanelHistory().Clear();
    clip.SetItems(row.items);
    const std::string before = SaveText();
    const int count = Count();
    ASSERT_TRUE(panel.PasteFromClipboard());
    ASSERT_EQ(count + 1, Count());
    auto* pic = dynamic_cast<TVexaPicture*>(Last());
    ASSERT_NE(nullptr, pic);
    EXPECT_EQ(row.graphicClass, pic->Picture().GraphicClass());
    EXPECT_EQ(40, pic->Picture().GraphicWidth());
    EXPECT_FALSE(pic->GetAutoSize());
    // Its own size: one picture pixel a screen pixel at 100 %.
    EXPECT_EQ(40000, pic->GetWidth());
    EXPECT_EQ(20000, pic->GetHeight());
    const TRect v = panel.VisibleDocRect();
    EXPECT_EQ((v.left + v.right - 40000) / 2, pic->GetLeft());
    EXPECT_EQ((v.top + v.bottom - 20000) / 2, pic->GetTop());
    EXPECT_EQ((std::vector<TVexaControl*>{pic}), Selection());
    EXPECT_EQ(1, panel.PanelHistory().Count());
    ExpectOneStep(before, SaveText());
  }
  EXPECT_EQ(clip.opens, clip.closes);
}

TEST_F(PanelClipboard, PlainTextBecomesATextControlHoldingItsLines) {
  const std::string utf8 = "\xd0\xa1\xd1\x85\xd0\xb5\xd0\xbc\xd0\xb0 1\r\nline two";
  for (const char* mime : {clipboard::kTextUtf8Mime, clipboard::kTextMime}) {
    SCOPED_TRACE(mime);
    clip.SetText(utf8, mime);
    const std::string before = SaveText();
    ASSERT_TRUE(panel.PasteFromClipboard());
    auto* text = dynamic_cast<TVexaText*>(Last());
    ASSERT_NE(nullptr, text);
    ASSERT_EQ(2, text->Text().GetCount());
    EXPECT_EQ(utf8, FromModelText(text->Text().GetText()));
    EXPECT_FALSE(text->GetAutoSize());
    const TPoint centre = ViewCentre();
    EXPECT_LE(std::abs(text->GetLeft() + text->GetWidth() / 2 - centre.x), 1);
    EXPECT_LE(std::abs(text->GetTop() + text->GetHeight() / 2 - centre.y), 1);
    EXPECT_TRUE(panel.IsSelected(text));
    ExpectOneStep(before, SaveText());
  }
}

TEST_F(PanelClipboard, DataThatCannotBeReadIsADataFormatErrorAndChangesNothing) {
  SelectOnly({a, b, link});
  ASSERT_TRUE(panel.CopyToClipboard());
  const std::string good(clip.Items()[0].data.begin(), clip.Items()[0].data.end());
  std::vector<uint8_t> png = picture::WritePng(Stripes(8, 8));
  png.resize(png.size() / 2);
  const struct {
    const char* what;
    std::vector<TClipboardItem> items;
  } cases[] = {
      {"ours, not framed", {{VexaControlsMime(), Bytes("object a: TVexaBox\r\nend\r\n")}}},
      {"ours, cut short", {{VexaControlsMime(), Bytes(good.substr(0, good.size() / 2))}}},
      {"ours, empty", {{VexaControlsMime(), {}}}},
      {"ours before a good picture", {{VexaControlsMime(), Bytes("garbage")}, {clipboard::kBmpMime, picture::WriteBmp(Stripes(2, 2))}}},
      {"PNG cut in half", {{clipboard::kPngMime, png}}},
      {"BMP that is none", {{clipboard::kBmpMime, Bytes("BMxx")}}},
      {"JPEG that is none", {{clipboard::kJpegMime, Bytes("\xff\xd8 not really")}}},
      {"a broken picture before text", {{clipboard::kPngMime, Bytes("nope")}, {clipboard::kTextMime, Bytes("t")}}},
  };
  panel.SetModified(false);
  const std::string before = SaveText();
  const std::set<int32_t> selected = SelectedIds();
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    clip.SetItems(row.items);
    try {
      panel.PasteFromClipboard();
      ADD_FAILURE() << "pasted";
    } catch (const EDataFormatError& e) {
      EXPECT_STREQ("Data format error", e.what());
    }
    EXPECT_EQ(before, SaveText());
    EXPECT_EQ(selected, SelectedIds());
    EXPECT_EQ(0, panel.PanelHistory().Count());
    EXPECT_FALSE(panel.Modified());
    EXPECT_EQ(0, panel.PanelHistory().GroupDepth());
    EXPECT_EQ(0, clip.openDepth) << "the clipboard stays open";
    EXPECT_TRUE(panel.Parentless().empty());
  }
}

// A paste that fails anywhere in its text leaves the document as it was: its text, the
// controls its connectors and clones named, its layers, and the IDs the next control gets.
TEST_F(PanelClipboard, APasteThatFailsAnywhereLeavesTheDocumentAsItWas) {
  auto* clone = Shape<TVexaClone>({60000, 60000, 70000, 70000}, "clone");
  clone->SetSource(b);
  TVexaLayer* upper = panel.Layers().NewLayer();
  upper->SetName("Upper");
  c->SetLayerControl(upper);
  // The pasted connector still names a, and the pasted clone b, both left in the document.
  SelectOnly({c, outer, clone});
  ASSERT_TRUE(panel.CopyToClipboard());
  const std::string text(clip.Items()[0].data.begin(), clip.Items()[0].data.end());
  panel.UnselectAll();
  panel.PanelHistory().Clear();
  const std::string before = SaveText();
  const auto nextId = [&] {
    panel.PanelHistory().DisableRecording();
    TVexaControl* probe = Shape<TVexaBox>({0, 0, 10, 10}, "probe");
    const int32_t id = probe->GetId();
    probe->Free();
    panel.PanelHistory().EnableRecording();
    return id;
  };
  const int32_t id = nextId();
  const std::vector<TPoint> routeA = test::DocumentPoints(*outer);
  size_t cuts = 0;
  for (size_t cut = text.find("\r\n"); cut + 2 < text.size(); cut = text.find("\r\n", cut + 2)) {
    ++cuts;
    clip.SetItems({{VexaControlsMime(), Bytes(text.substr(0, cut + 2))}});
    EXPECT_THROW(panel.PasteFromClipboard(), EDataFormatError) << cut;
    EXPECT_EQ(before, SaveText()) << cut;
    EXPECT_EQ(0, panel.PanelHistory().Count()) << cut;
    EXPECT_EQ(id, nextId()) << cut;
    EXPECT_EQ(2, panel.Layers().GetCount()) << cut;
  }
  EXPECT_GT(cuts, 20u);
  // A value that cannot be read, on any line.
  for (size_t start = 0, end = text.find("\r\n"); end != std::string::npos;
       start = end + 2, end = text.find("\r\n", start)) {
    if (text.find(" = ", start) > end) continue;
    const std::string broken = text.substr(0, text.find(" = ", start) + 3) + "{x:" + text.substr(end);
    clip.SetItems({{VexaControlsMime(), Bytes(broken)}});
    try {
      panel.PasteFromClipboard();
      panel.PanelHistory().Undo();
      panel.PanelHistory().Clear();
    } catch (const std::exception&) {
      EXPECT_EQ(0, panel.PanelHistory().Count()) << broken;
    }
    EXPECT_EQ(before, SaveText()) << broken;
    EXPECT_EQ(id, nextId()) << broken;
  }
  // The document still edits and saves as before.
  EXPECT_EQ(routeA, test::DocumentPoints(*outer));
  SelectOnly({a});
  panel.MoveSelection(1000, 0);
  ExpectOneStepUndoesAndRedoes(before);
}

TEST_F(PanelClipboard, AHeldClipboardIsAnErrorAndCopyNeedsASelection) {
  clip.SetText("kept");
  EXPECT_FALSE(panel.CopyToClipboard());
  EXPECT_EQ(Bytes("kept"), clip.Data(clipboard::kTextUtf8Mime));
  clip.held = true;
  const std::string before = SaveText();
  EXPECT_THROW(panel.PasteFromClipboard(), std::runtime_error);
  SelectOnly({c});
  EXPECT_THROW(panel.CopyToClipboard(), std::runtime_error);
  EXPECT_EQ(before, SaveText());
  EXPECT_EQ(0, panel.PanelHistory().Count());
  clip.held = false;
  // A cut is a copy and one delete step; its paste brings the box back with a fresh ID.
  ASSERT_TRUE(panel.CutToClipboard());
  const std::string cut = SaveText();
  EXPECT_EQ(1, panel.PanelHistory().Count());
  EXPECT_EQ(nullptr, outer->LinkA().LinkedControl());
  ASSERT_TRUE(panel.PasteFromClipboard());
  ASSERT_EQ(1, panel.SelectedCount());
  EXPECT_EQ("c", panel.Selected(0)->GetName());
  EXPECT_NE(0, panel.Selected(0)->GetId());
  ASSERT_TRUE(panel.PanelHistory().Undo());
  EXPECT_EQ(cut, SaveText());
  ASSERT_TRUE(panel.PanelHistory().Undo());
  EXPECT_EQ(before, SaveText());
}

}  // namespace
}  // namespace pv::graphics

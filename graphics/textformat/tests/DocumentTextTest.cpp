// Object blocks and the document and clipboard framing over a small test document: the
// format's own example as golden input, an independent reader's view of our output, and
// the failures a document load must survive.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/ModelText.h"
#include "base/TextHelpers.h"
#include "props/PropRefList.h"
#include "props/tests/TestProps.h"
#include "textformat/ObjectText.h"
#include "textformat/testing/TestPanel.h"

namespace pv::graphics {
namespace {

using test::TTestControl;
using test::TTestPanel;

const char kExample[] =
    "document Document\r\n"
    "  ConnectorsMinGap = 8000\r\n"
    "  ID = 1\r\n"
    "  Version = 140\r\n"
    "  object Layer1: TVexaLayer\r\n"
    "    ID = 2\r\n"
    "  end\r\n"
    "  object Scheme1: TVexaScheme\r\n"
    "    ID = 3\r\n"
    "    object Box1: TVexaBox\r\n"
    "      property Brush\r\n"
    "        Color = 16777215\r\n"
    "      end\r\n"
    "      Height = 20000\r\n"
    "      Hint = (\r\n"
    "        'first line'\r\n"
    "        'second' )\r\n"
    "      ID = 4\r\n"
    "      Layer = Layer1\r\n"
    "      Left = 10000\r\n"
    "      Top = 5000\r\n"
    "      Width = 30000\r\n"
    "    end\r\n"
    "  end\r\n"
    "end\r\n";

TTestControl* Ctl(IDocControl* c) { return static_cast<TTestControl*>(c); }

TEST(DocumentText, TheFormatsOwnExampleReadsAndWritesBack) {
  TTestPanel panel;
  panel.LoadText(kExample, TLoadMode::Document);
  IDocControl* scheme = panel.SchemesRoot()->Child(0);
  ASSERT_EQ(scheme->ChildCount(), 1);
  TTestControl* box = Ctl(scheme->Child(0));
  EXPECT_EQ(box->GetName(), "Box1");
  EXPECT_EQ(box->GetId(), 4);
  EXPECT_EQ(box->GetDocRect().right, 40000);
  EXPECT_EQ(box->Layer(), panel.LayersRoot()->Child(0));
  EXPECT_EQ(box->loadedCount, 1);
  EXPECT_EQ(panel.Loading(), 0);
  EXPECT_EQ(panel.SaveText(), kExample);
}

TEST(DocumentText, AnIndependentReaderSeesTheSameTree) {
  const std::string script = std::string(PV_SOURCE_DIR) + "/graphics/textformat/tests/tgd_tree.py";
  TTestPanel panel;
  panel.NewDocument();
  IDocControl* scheme = panel.ActiveScheme();
  const std::vector<std::string> names = {"plain", "two words", "it's", "a=b", "(paren", "line\r\nbreak",
                                          ToModelText("Привет мир"), ""};
  for (size_t i = 0; i < names.size(); ++i) {
    TTestControl* box = panel.Add("TVexaBox", scheme, "Box" + std::to_string(i));
    box->SetLayer(panel.ActiveLayer());
    box->SetBounds(static_cast<int32_t>(i) * 1000 - 3000, 7, 100, static_cast<int32_t>(i));
    static_cast<TStrListProp*>(box->Props().PropByName("Hint"))
        ->SetPropValue({}, PropValue::StringArray({names[i], "second", names[names.size() - 1 - i]}));
    box->Props().PropByName("Tag")->SetPropValue({}, PropValue::Integer(static_cast<int32_t>(i * 977)));
    auto* brush = static_cast<test::TTestBrushProp*>(box->Props().PropByName("Brush"));
    brush->style = names[i].empty() ? "bsSolid" : names[i];
    brush->bitmap.assign(i * 11, static_cast<uint8_t>(i));
  }
  TTestControl* curve = panel.Add("TVexaCurve", scheme, "Curve");
  curve->SetPoints({{0, 0}, {1000, -2000}, {5, 5}}, {0, 3, 2});
  TTestControl* group = panel.Add("TVexaGroup", scheme, "Group");
  panel.Add("TVexaBox", group, "Inner")->SetBounds(1, 2, 3, 4);
  const std::string text = panel.SaveText();

  const auto file = std::filesystem::temp_directory_path() / ("tgd_tree_" + std::to_string(::getpid()) + ".tgd");
  std::ofstream(file, std::ios::binary) << text;
  std::string python;
  FILE* pipe = ::popen(("/usr/bin/python3 '" + script + "' '" + file.string() + "'").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) python.append(buffer, n);
  ASSERT_EQ(::pclose(pipe), 0) << python;
  std::filesystem::remove(file);

  // Our own reading of the text, dumped the same way.
  TTestPanel reread;
  reread.LoadText(text, TLoadMode::Document);
  std::ostringstream ours;
  const auto hex = [](const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
      char h[2];
      ByteToHex(c, h);
      out.append(h, 2);
    }
    return out;
  };
  const auto dumpValue = [&](int depth, const std::string& name, const PropValue& v, TPropKind kind) {
    ours << "VAL\t" << depth << "\t" << name << "\t";
    if (v.IsEmpty()) {
      ours << "E\t\n";
    } else if (kind == TPropKind::StringList) {
      ours << "L\t";
      for (size_t i = 0; i < v.AsStringArray().size(); ++i) ours << (i ? "," : "") << hex(v.AsStringArray()[i]);
      ours << "\n";
    } else if (kind == TPropKind::Binary) {
      ours << "B\t" << hex(std::string(v.AsBytes().begin(), v.AsBytes().end())) << "\n";
    } else {
      ours << "S\t" << hex(v.ToString()) << "\n";
    }
  };
  std::function<void(IDocControl&, int)> dump = [&](IDocControl& c, int depth) {
    TPropList& props = c.Props();
    for (int i = 0; i < props.Count(); ++i) {
      TCustomProp& p = *props.PropByIndex(i);
      if (p.HasFlag(pfNotStored) || !props.IsPropStored(p, {})) continue;
      if (p.GetPropType({}) == TPropKind::SubProperties) {
        std::ostringstream block;
        std::swap(block, ours);
        for (int k = 0; k < p.PublishedCount(); ++k) {
          const TPublishedInfo info = p.PublishedInfo(k);
          if (info.kind == TPropKind::SubProperties || !props.IsPropStored(p, info.name)) continue;
          dumpValue(depth + 2, info.name, p.GetPublished(k), info.kind);
        }
        std::swap(block, ours);
        if (block.str().empty()) continue;
        ours << "BLOCK\t" << depth + 1 << "\t" << props.NameByIndex(i) << "\n" << block.str() << "END\t" << depth + 1 << "\n";
        continue;
      }
      dumpValue(depth + 1, props.NameByIndex(i), p.GetPropValue({}), p.GetPropType({}));
    }
    for (int i = 0; i < c.ChildCount(); ++i) {
      IDocControl& child = *c.Child(i);
      ours << "OBJ\t" << depth + 1 << "\t" << child.GetName() << "\t" << child.ClassName() << "\n";
      dump(child, depth + 1);
    }
    ours << "END\t" << depth << "\n";
  };
  ours << "DOC\tDocument\n";
  std::ostringstream layersAndSchemes;
  {
    IDocControl& root = *reread.SchemesRoot();
    // The document level holds the root's properties, then layers, then schemes.
    TTestPanel& p = reread;
    std::function<void(IDocControl&)> top = [&](IDocControl& c) {
      ours << "OBJ\t1\t" << c.GetName() << "\t" << c.ClassName() << "\n";
      dump(c, 1);
    };
    TPropList& props = root.Props();
    for (int i = 0; i < props.Count(); ++i) {
      TCustomProp& prop = *props.PropByIndex(i);
      if (prop.HasFlag(pfNotStored) || !props.IsPropStored(prop, {})) continue;
      dumpValue(1, props.NameByIndex(i), prop.GetPropValue({}), prop.GetPropType({}));
    }
    for (int i = 0; i < p.LayersRoot()->ChildCount(); ++i) top(*p.LayersRoot()->Child(i));
    for (int i = 0; i < root.ChildCount(); ++i) top(*root.Child(i));
    ours << "END\t0\n";
  }
  EXPECT_EQ(python, ours.str());
  EXPECT_EQ(reread.SaveText(), text);
}

TEST(DocumentText, FramingErrorsLeaveANewDocument) {
  for (const char* bad : {"", "hello\r\n", "\r\ndocument\r\n", "clipboard\r\nend\r\n", "doc"}) {
    TTestPanel panel;
    panel.NewDocument();
    panel.Add("TVexaBox", panel.ActiveScheme(), "Old");
    EXPECT_THROW(panel.LoadText(bad, TLoadMode::Document), EDataFormatError) << bad;
    EXPECT_EQ(panel.ActiveScheme()->ChildCount(), 0);
    EXPECT_EQ(panel.LayersRoot()->ChildCount(), 1);
    EXPECT_EQ(panel.Loading(), 0);
  }
}

TEST(DocumentText, AFailedLoadFreesTheHalfReadControlAndItsReferences) {
  TTestPanel panel;
  const std::string text =
      "document D\r\n"
      "  object L: TVexaLayer\r\n  end\r\n"
      "  object S: TVexaScheme\r\n"
      "    object A: TVexaBox\r\n      Layer = L\r\n    end\r\n"
      "    object B: TVexaBox\r\n      Layer = L\r\n      Left = not a number\r\n    end\r\n"
      "  end\r\n"
      "end\r\n";
  EXPECT_THROW(panel.LoadText(text, TLoadMode::Document), EConvertError);
  EXPECT_EQ(panel.Loading(), 0);
  EXPECT_EQ(panel.RefList().DeferredCount(), 0u);
  EXPECT_EQ(panel.ActiveScheme()->ChildCount(), 0);
  EXPECT_EQ(panel.History().RecordingDisabled(), false);
  // The panel loads the next document as usual.
  panel.LoadText(kExample, TLoadMode::Document);
  EXPECT_EQ(panel.SaveText(), kExample);
}

TEST(DocumentText, SkipsWhatDoesNotBelongAndKeepsTheRest) {
  TTestPanel panel;
  panel.LoadText(
      "document  My doc \r\n"
      "  object Stray: TVexaBox\r\n    Left = 1\r\n  end\r\n"           // no parent at top level
      "  object NoColon TVexaBox\r\n    object X: TVexaBox\r\n    end\r\n  end\r\n"
      "  object U: TUnknown\r\n    property Brush\r\n    end\r\n  end\r\n"
      "  library\r\n    object Y: TVexaBox\r\n    end\r\n  end\r\n"
      "  object S: TVexaScheme\r\n"
      "    object Inner: TVexaScheme\r\n    end\r\n"                      // a scheme inside a scheme
      "    object A:B: TVexaBox\r\n"
      "      EndAngle = 90000\r\n"                                          // not the end of the block
      "      Left = 5\r\n"
      "      end = 1\r\n"                                                   // a keyword line: ends it
      "      Top = 9\r\n"
      "    object C: TVexaBox\r\n      Left = 7\r\n\r\n      Top = 8\r\n"  // an empty line ends C
      "  end\r\n"
      "  Version = 141\r\n"
      "end\r\n",
      TLoadMode::Document);
  EXPECT_EQ(panel.SchemesRoot()->GetName(), "My doc");
  ASSERT_EQ(panel.SchemesRoot()->ChildCount(), 1);
  IDocControl* scheme = panel.SchemesRoot()->Child(0);
  ASSERT_EQ(scheme->ChildCount(), 2);
  EXPECT_EQ(scheme->Child(0)->GetName(), "A:B");
  EXPECT_EQ(scheme->Child(0)->GetDocRect().left, 5);
  EXPECT_EQ(scheme->Child(0)->GetDocRect().top, 0);  // "Top = 9" came after the block ended
  EXPECT_EQ(scheme->Child(1)->GetDocRect().left, 7);
  EXPECT_EQ(scheme->Child(1)->GetDocRect().top, 0);
  EXPECT_EQ(scheme->GetDocRect().top, 8);
  EXPECT_EQ(panel.SchemesRoot()->Props().PropByName("Version")->GetPropValue({}), PropValue::Integer(141));
}

TEST(DocumentText, DeepNestingIsRefusedNotOverflowed) {
  const auto nested = [](int depth) {
    std::string text = "document D\r\n  object S: TVexaScheme\r\n";
    for (int i = 0; i < depth; ++i) text += "object G: TVexaGroup\r\n";
    for (int i = 0; i < depth; ++i) text += "end\r\n";
    return text + "  end\r\nend\r\n";
  };
  TTestPanel panel;
  panel.LoadText(nested(100), TLoadMode::Document);
  IDocControl* c = panel.SchemesRoot()->Child(0);
  int depth = 0;
  while (c->ChildCount() > 0) {
    c = c->Child(0);
    ++depth;
  }
  EXPECT_EQ(depth, 100);
  EXPECT_THROW(panel.LoadText(nested(100000), TLoadMode::Document), EDataFormatError);
  EXPECT_EQ(panel.Loading(), 0);
  EXPECT_EQ(panel.ActiveScheme()->ChildCount(), 0);
}

TEST(DocumentText, RefusedAndNegativeIdsGetNewOnes) {
  TTestPanel panel;
  panel.LoadText(
      "document D\r\n"
      "  object S: TVexaScheme\r\n    ID = 5\r\n"
      "    object A: TVexaBox\r\n      ID = 7\r\n    end\r\n"
      "    object B: TVexaBox\r\n      ID = 7\r\n    end\r\n"
      "    object C: TVexaBox\r\n      ID = -3\r\n    end\r\n"
      "  end\r\nend\r\n",
      TLoadMode::Document);
  IDocControl* scheme = panel.SchemesRoot()->Child(0);
  std::set<int32_t> ids{1, scheme->GetId()};
  for (int i = 0; i < scheme->ChildCount(); ++i) {
    const int32_t id = scheme->Child(i)->GetId();
    EXPECT_GT(id, 0);
    EXPECT_TRUE(ids.insert(id).second) << id;
    EXPECT_TRUE(panel.Ids().Used(id));
  }
  EXPECT_EQ(scheme->Child(0)->GetId(), 7);
}

TEST(DocumentText, NamesOfEveryKindReadBackAndKeepTheirLines) {
  // Each name must come back exactly, and the object line must stay one line; names that
  // read back as they stand keep the plain form older files have.
  struct Case {
    std::string name;
    std::string line;  // the object line as written, empty: not checked
  };
  const std::vector<Case> cases = {
      {"Box1", "    object Box1: TVexaBox"},
      {"my box", "    object my box: TVexaBox"},
      {"a:b = c", "    object a:b = c: TVexaBox"},
      {"O'Brien", "    object O'Brien: TVexaBox"},
      {"\xc3\xa9t\xc3\xa9", "    object \xc3\xa9t\xc3\xa9: TVexaBox"},
      {"two\r\nlines", "    object 'two'#13#10'lines': TVexaBox"},
      {"\nend", ""},
      {"  padded ", ""},
      {"tab\there", ""},
      {"\x01" "control", ""},
      {"'quoted'", ""},
      {"'", ""},
  };
  TTestPanel panel;
  panel.NewDocument();
  panel.SchemesRoot()->SetName("doc\r\nend");
  IDocControl* scheme = panel.ActiveScheme();
  for (const Case& c : cases) panel.Add("TVexaBox", scheme, c.name);
  const std::string text = panel.SaveText();
  for (const Case& c : cases) {
    if (!c.line.empty()) {
      EXPECT_NE(text.find(c.line + "\r\n"), std::string::npos) << c.line;
    }
  }
  TTestPanel reread;
  reread.LoadText(text, TLoadMode::Document);
  EXPECT_EQ(reread.SchemesRoot()->GetName(), "doc\r\nend");
  IDocControl* again = reread.SchemesRoot()->Child(0);
  ASSERT_EQ(again->ChildCount(), static_cast<int>(cases.size()));
  for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(again->Child(static_cast<int>(i))->GetName(), cases[i].name) << i;
  EXPECT_EQ(reread.SaveText(), text);
}

TEST(DocumentText, ClipboardCopiesTheSelectionInPaintOrder) {
  TTestPanel panel;
  panel.NewDocument();
  IDocControl* back = panel.ActiveLayer();
  TTestControl* frontLayer = panel.Add("TVexaLayer", panel.LayersRoot(), "Front");
  IDocControl* scheme = panel.ActiveScheme();
  TTestControl* a = panel.Add("TVexaBox", scheme, "A");
  TTestControl* b = panel.Add("TVexaBox", scheme, "B");
  TTestControl* c = panel.Add("TVexaBox", scheme, "C");
  a->SetLayer(frontLayer);
  b->SetLayer(back);
  c->SetLayer(back);
  TMemoryStream empty;
  TVexaFiler nothing(empty);
  EXPECT_FALSE(SaveClipboardToFiler(nothing, panel));
  EXPECT_EQ(empty.Size(), 0);
  panel.Select(*a);
  panel.Select(*c);
  TMemoryStream clip;
  TVexaFiler filer(clip);
  ASSERT_TRUE(SaveClipboardToFiler(filer, panel));
  const std::string text = clip.Text();
  EXPECT_EQ(text.substr(0, 11), "clipboard\r\n");
  EXPECT_LT(text.find("object C"), text.find("object A"));  // the back layer paints first
  int created = 0;
  panel.OnCreatedByLoad = [&](IDocControl&) { ++created; };
  panel.LoadText(text, TLoadMode::Clipboard);
  EXPECT_EQ(created, 2);
  ASSERT_EQ(scheme->ChildCount(), 5);
  EXPECT_EQ(panel.Selection().size(), 2u);
  for (IDocControl* pasted : panel.Selection()) {
    EXPECT_NE(pasted->GetId(), a->GetId());
    EXPECT_NE(pasted->GetId(), c->GetId());
    EXPECT_NE(pasted->Layer(), nullptr);
  }
  EXPECT_THROW(panel.LoadText("hello\r\n", TLoadMode::Clipboard), EDataFormatError);
  EXPECT_EQ(scheme->ChildCount(), 5);  // a failed paste leaves the document alone
}

TEST(DocumentText, SaveProgressCountsObjectBlocks) {
  TTestPanel panel;
  panel.NewDocument();
  for (int i = 0; i < 6; ++i) panel.Add("TVexaBox", panel.ActiveScheme());
  TMemoryStream stream;
  TVexaFiler filer(stream);
  std::vector<int> seen;
  filer.OnProgress = [&](TVexaFiler&, int percent, TVexaFilerProcess kind) {
    EXPECT_EQ(kind, TVexaFilerProcess::ppSave);
    seen.push_back(percent);
  };
  SaveDocumentToFiler(filer, panel);
  EXPECT_EQ(filer.Total(), 8);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), 100);
}

TEST(DocumentText, ASaveToAFullDiskIsAnError) {
  TTestPanel panel;
  panel.NewDocument();
  panel.Add("TVexaBox", panel.ActiveScheme(), "Box");
  TFileStream full("/dev/full", "wb");
  TVexaFiler filer(full);
  EXPECT_THROW(SaveDocumentToFiler(filer, panel), EStreamError);
}

}  // namespace
}  // namespace pv::graphics

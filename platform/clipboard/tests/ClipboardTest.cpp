// The clipboard port without a desktop: private formats by name, the in-memory clipboard's
// order and refusal, and the program's clipboard that a desktop program replaces.

#include <gtest/gtest.h>

#include "clipboard/MemoryClipboard.h"

namespace pv::clipboard {
namespace {

TEST(ClipboardFormats, ANameGivesItsOwnMimeTypeAndIsFoundAgain) {
  const struct {
    const char* name;
    const char* mime;
  } cases[] = {
      {"VexaGraphics controls", "application/x-vexagraphics-controls"},
      {"  Two  blanks & signs!", "application/x-two-blanks-signs"},
      {"UTF-8 \xd0\xa1\xd1\x85\xd0\xb5\xd0\xbc\xd0\xb0 x", "application/x-utf-8-x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.mime, RegisterClipboardFormat(c.name)) << c.name;
    EXPECT_EQ(c.mime, RegisterClipboardFormat(c.name)) << "again: " << c.name;
    EXPECT_EQ(c.name, ClipboardFormatName(c.mime));
  }
  EXPECT_EQ("", ClipboardFormatName("application/x-never-registered"));
  EXPECT_EQ("", ClipboardFormatName(kTextMime));
}

TEST(MemoryClipboard, KeepsItemsInTheirOrderAndReplacesThemAsAWhole) {
  TMemoryClipboard clip;
  EXPECT_TRUE(clip.Formats().empty());
  EXPECT_FALSE(clip.Data(kPngMime).has_value());
  clip.SetItems({{kSvgMime, {'<', 's'}}, {kPngMime, {1, 2, 3}}, {kTextMime, {}}});
  EXPECT_EQ((std::vector<std::string>{kSvgMime, kPngMime, kTextMime}), clip.Formats());
  EXPECT_TRUE(clip.HasFormat(kPngMime));
  EXPECT_FALSE(clip.HasFormat(kBmpMime));
  EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), clip.Data(kPngMime));
  // An empty item is there, with no bytes.
  ASSERT_TRUE(clip.Data(kTextMime).has_value());
  EXPECT_TRUE(clip.Data(kTextMime)->empty());
  clip.SetText("caf\xc3\xa9");
  EXPECT_EQ((std::vector<std::string>{kTextUtf8Mime}), clip.Formats());
  EXPECT_EQ(5u, clip.Data(kTextUtf8Mime)->size());
  EXPECT_FALSE(clip.RendersPicture(kSvgMime));
}

TEST(MemoryClipboard, AHeldClipboardRefusesToOpenAndTheScopeClosesOnlyWhatItOpened) {
  TMemoryClipboard clip;
  {
    TClipboardOpen open(clip);
    EXPECT_TRUE(open.IsOpen());
    EXPECT_EQ(1, clip.openDepth);
  }
  EXPECT_EQ(0, clip.openDepth);
  EXPECT_EQ(1, clip.closes);
  clip.held = true;
  {
    TClipboardOpen open(clip);
    EXPECT_FALSE(open.IsOpen());
  }
  EXPECT_EQ(1, clip.opens);
  EXPECT_EQ(1, clip.closes);
}

TEST(SystemClipboard, IsOneInMemoryUntilAProgramInstallsItsOwn) {
  IClipboard& memory = SystemClipboard();
  EXPECT_EQ(&memory, &SystemClipboard());
  TMemoryClipboard desktop;
  SetSystemClipboard(&desktop);
  EXPECT_EQ(&desktop, &SystemClipboard());
  SetSystemClipboard(nullptr);
  EXPECT_EQ(&memory, &SystemClipboard());
}

}  // namespace
}  // namespace pv::clipboard

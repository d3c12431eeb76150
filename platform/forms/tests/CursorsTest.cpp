// The editor cursors land at their indexes, with the fallback for the shape cursor.

#include <gtest/gtest.h>

#include <QApplication>
#include <vector>

#include "forms/Cursors.h"

namespace pv::forms {
namespace {

TEST(Cursors, EditorCursorsFillIndexesOneToSeventeen) {
  CursorTable table;
  LoadEditorCursors(table);
  for (int i = crShape; i <= crContPoly; ++i) EXPECT_TRUE(table.Has(i)) << kEditorCursorNames[i - 1];
  EXPECT_FALSE(table.Has(0));
  EXPECT_FALSE(table.Has(18));
  EXPECT_EQ(table.Get(crPan).shape(), Qt::OpenHandCursor);
  EXPECT_EQ(table.Get(crZoomIn).shape(), Qt::BitmapCursor);
  EXPECT_EQ(table.Get(99).shape(), Qt::ArrowCursor);
}

TEST(Cursors, AMissingShapeCursorTakesTheNumberedOne) {
  std::vector<std::string> asked;
  std::vector<int> askedIds;
  CursorResources resources{
      [&](const std::string& name) -> std::optional<QCursor> {
        asked.push_back(name);
        if (name == "SHAPE_CUR" || name == "PAN_CUR") return std::nullopt;
        return QCursor(Qt::CrossCursor);
      },
      [&](int id) -> std::optional<QCursor> {
        askedIds.push_back(id);
        return QCursor(Qt::UpArrowCursor);
      }};
  CursorTable table;
  LoadEditorCursors(table, resources);
  ASSERT_EQ(asked.size(), 17u);
  EXPECT_EQ(asked.front(), "SHAPE_CUR");
  EXPECT_EQ(asked.back(), "CONT_POLY_CUR");
  EXPECT_EQ(askedIds, std::vector<int>{32516});
  EXPECT_EQ(table.Get(crShape).shape(), Qt::UpArrowCursor);
  EXPECT_FALSE(table.Has(crPan));  // no fallback for the others
}

}  // namespace
}  // namespace pv::forms

#pragma once
// The screen's cursor table (index -> cursor) and the editor cursors loaded into it from the
// program's cursor resources.

#include <QCursor>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "forms/CursorIds.h"

namespace pv::forms {

class CursorTable {
 public:
  void Set(int index, const QCursor& cursor) { cursors_[index] = cursor; }
  bool Has(int index) const { return cursors_.count(index) > 0; }
  // An index that holds no cursor: the system cursor of that (negative) number, else the arrow.
  QCursor Get(int index) const;

 private:
  std::map<int, QCursor> cursors_;
};

// The table the program's windows take their cursors from.
CursorTable& ScreenCursors();

// Where cursors come from: by resource name, and by numeric resource ID.
struct CursorResources {
  std::function<std::optional<QCursor>(const std::string& name)> byName;
  std::function<std::optional<QCursor>(int id)> byId;
};

// The program's own editor cursors (drawn at start-up) and the numeric system cursors.
const CursorResources& ProgramCursorResources();

// Loads the 17 editor cursors into the table at indexes 1 to 17; when SHAPE_CUR yields no
// cursor, index 1 gets the cursor with ID 32516 instead.
void LoadEditorCursors(CursorTable& table = ScreenCursors(), const CursorResources& resources = ProgramCursorResources());

}  // namespace pv::forms

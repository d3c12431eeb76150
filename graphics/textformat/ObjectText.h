#pragma once
// Object blocks of the text format: one control with its stored properties and children.

#include <stdexcept>
#include <string>
#include <string_view>

#include "base/VexaFiler.h"
#include "textformat/DocModel.h"

namespace pv::graphics {

class EDataFormatError : public std::runtime_error {
 public:
  EDataFormatError() : std::runtime_error("Data format error") {}
};

// Objects nested deeper than this are refused (EDataFormatError): the reader recurses per
// level, and a hostile file must not exhaust the stack.
inline constexpr int kMaxObjectDepth = 200;

// A control's or document's name as its block's first line carries it: as it stands, or, when
// it would not read back so (a line break or other control character, blanks at either end,
// a leading apostrophe), in the quoted form of values. ReadNameText undoes it.
std::string NameText(std::string_view name);
std::string ReadNameText(std::string_view text);

// "object Name: TClass", the stored properties and the children one level deeper, "end";
// each block's end adds 1 to the filer's saved count.
void SaveObject(TVexaFiler& filer, IDocControl& control, std::string_view indent);
// The number of object blocks that SaveObject writes for the control.
int CountObjects(const IDocControl& control);

// Reads the object block that line opens and creates its control under parent; none when the
// class is unknown or the control is misplaced (its block skipped). An exception frees the
// half-read control and passes on. clipboard: a pasted control joins the active layer and
// the selection.
IDocControl* LoadControl(TVexaFiler& filer, IDocPanel& panel, IDocControl* parent, bool keepParentless,
                         std::string_view line, bool clipboard = false);

// Counts the panel's loading up until Finish, or until destruction when an exception passes;
// the outermost applies the deferred references in Finish, or drops them otherwise.
class TLoadingScope {
 public:
  explicit TLoadingScope(IDocPanel& panel);
  ~TLoadingScope();
  TLoadingScope(const TLoadingScope&) = delete;
  TLoadingScope& operator=(const TLoadingScope&) = delete;

  void Finish();
  // The loading counter's value after this scope counted up.
  int Depth() const { return depth_; }

 private:
  IDocPanel& panel_;
  int depth_;
  bool finished_ = false;
};

}  // namespace pv::graphics

#pragma once
// Files that drawing properties link to by name: a relative name is taken from the folder of
// the program file, without changing the current directory (which other code relies on).

#include <string>

namespace pv::graphics {

// The folder of the running program.
std::string ProgramFolder();
// The name made absolute against ProgramFolder (an absolute name stays as it is).
std::string ExpandLinkName(const std::string& name);

}  // namespace pv::graphics

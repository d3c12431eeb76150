#include "controls/ControlClasses.h"

#include <algorithm>
#include <vector>

#include "base/TextHelpers.h"

namespace pv::graphics {

namespace {

std::vector<const TVexaControlClass*>& Registry() {
  static std::vector<const TVexaControlClass*> classes;
  return classes;
}

}  // namespace

void RegisterControlClass(const TVexaControlClass& cls) {
  auto& classes = Registry();
  if (std::find(classes.begin(), classes.end(), &cls) == classes.end()) classes.push_back(&cls);
}

const TVexaControlClass* FindControlClass(std::string_view name) {
  for (const TVexaControlClass* cls : Registry()) {
    if (SameName(cls->Name(), name)) return cls;
  }
  return nullptr;
}

int ControlClassCount() { return static_cast<int>(Registry().size()); }

void ClearControlClasses() { Registry().clear(); }

}  // namespace pv::graphics

#include "controls/VexaPanel.h"

#include <set>

#include "controls/VexaControl.h"

namespace pv::graphics {

void IVexaPanel::ForEachControl(const std::function<void(TVexaControl&)>& visit) const {
  for (TVexaControl* top : TopControls()) {
    TPassControlRec pass;
    for (TVexaControl* c = pass.PassFirst(top); c; c = pass.PassNext()) visit(*c);
  }
}

std::string IVexaPanel::DefaultName(const TVexaControl& control, bool withNumber) const {
  std::string base = control.ClassName();
  if (base.rfind("TVexa", 0) == 0) base.erase(0, 5);
  if (!withNumber) return base;
  std::set<int64_t> used;
  ForEachControl([&](TVexaControl& c) {
    if (&c == &control) return;
    const std::string name = c.GetName();
    if (name.size() <= base.size() || name.compare(0, base.size(), base) != 0) return;
    int64_t n = 0;
    for (size_t i = base.size(); i < name.size(); ++i) {
      if (name[i] < '0' || name[i] > '9' || n > INT32_MAX) return;
      n = n * 10 + (name[i] - '0');
    }
    used.insert(n);
  });
  int64_t number = 1;
  while (used.count(number)) ++number;
  return base + std::to_string(number);
}

}  // namespace pv::graphics

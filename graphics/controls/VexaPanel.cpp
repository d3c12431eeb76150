#include "controls/VexaPanel.h"

#include <cstdint>
#include <set>
#include <string_view>

#include "controls/VexaControl.h"

namespace pv::graphics {

void IVexaPanel::ForEachControl(const std::function<void(TVexaControl&)>& visit) const {
  for (TVexaControl* top : TopControls()) {
    TPassControlRec pass;
    for (TVexaControl* c = pass.PassFirst(top); c; c = pass.PassNext()) visit(*c);
  }
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number written by digits, as a default name counts it; false past the range it reads.
bool NameNumber(std::string_view digits, int64_t& number) {
  int64_t n = 0;
  for (char c : digits) {
    if (!IsDigit(c) || n > INT32_MAX) return false;
    n = n * 10 + (c - '0');
  }
  number = n;
  return true;
}

}  // namespace

std::string IVexaPanel::DefaultName(const TVexaControl& control, bool withNumber) const {
  std::string base = control.ClassName();
  if (base.rfind("TVexa", 0) == 0) base.erase(0, 5);
  if (!withNumber) return base;
  int64_t number = 1;
  if (base.empty() || IsDigit(base.back())) {
    // The index splits a name before its last digits, which a base ending in one straddles.
    std::set<int64_t> used;
    ForEachControl([&](TVexaControl& c) {
      if (&c == &control) return;
      const std::string name = c.GetName();
      if (name.size() <= base.size() || name.compare(0, base.size(), base) != 0) return;
      int64_t n = 0;
      if (NameNumber(std::string_view(name).substr(base.size()), n)) used.insert(n);
    });
    while (used.count(number)) ++number;
    return base + std::to_string(number);
  }
  const auto found = numbered_.find(base);
  if (found != numbered_.end()) {
    TNumberedNames& names = found->second;
    while (names.counts.count(names.lowestFree)) ++names.lowestFree;
    number = names.lowestFree;
    // Every number below is borne, perhaps only by the control itself, which may keep it.
    const auto own = filed_.find(&control);
    if (own != filed_.end() && own->second.prefix == &found->first && own->second.number >= 1 &&
        own->second.number < number && names.counts[own->second.number] == 1) {
      number = own->second.number;
    }
  }
  return base + std::to_string(number);
}

void IVexaPanel::FileControlName(const TVexaControl& control) {
  UnfileControlName(control);
  const std::string name = control.GetName();
  size_t split = name.size();
  while (split > 0 && IsDigit(name[split - 1])) --split;
  int64_t number = 0;
  if (split == name.size() || !NameNumber(std::string_view(name).substr(split), number)) return;
  const auto entry = numbered_.try_emplace(name.substr(0, split)).first;
  ++entry->second.counts[number];
  filed_[&control] = {&entry->first, number};
}

void IVexaPanel::UnfileControlName(const TVexaControl& control) {
  const auto filed = filed_.find(&control);
  if (filed == filed_.end()) return;
  TNumberedNames& names = numbered_.find(*filed->second.prefix)->second;
  const int64_t number = filed->second.number;
  filed_.erase(filed);
  const auto count = names.counts.find(number);
  if (--count->second > 0) return;
  names.counts.erase(count);
  if (number >= 1 && number < names.lowestFree) names.lowestFree = number;
}

}  // namespace pv::graphics

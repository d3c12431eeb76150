#pragma once
// A class as a value: what the registries of history actions and controls hold, and what
// "is this class or one derived from it" is asked of.

namespace pv::graphics {

struct TClassRef {
  const char* name;
  const TClassRef* parent;
};

inline bool IsClassOrDescendant(const TClassRef* cls, const TClassRef* base) {
  for (; cls; cls = cls->parent) {
    if (cls == base) return true;
  }
  return false;
}

}  // namespace pv::graphics

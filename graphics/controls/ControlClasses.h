#pragma once
// The registry of control classes that the loader looks classes up in by name. Each library
// registers its classes from its explicit start-up call.

#include <string_view>

#include "base/ClassRef.h"

namespace pv::graphics {

class IVexaPanel;
class TVexaControl;

struct TVexaControlClass {
  TClassRef ref;
  // The virtual constructor: creates, attaches to parent and initialises (none for an
  // abstract class).
  TVexaControl* (*create)(IVexaPanel* panel, TVexaControl* parent, TVexaControl* layer);
  const char* Name() const { return ref.name; }
};

// Appends the class unless it is present.
void RegisterControlClass(const TVexaControlClass& cls);
// The class of that name (case-insensitive); none when not registered.
const TVexaControlClass* FindControlClass(std::string_view name);
int ControlClassCount();
// Empties the registry (shut-down).
void ClearControlClasses();

}  // namespace pv::graphics

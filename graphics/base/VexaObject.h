#pragma once
// The common root of everything the history and the notifications hand around (properties,
// controls, the panel), so that a receiver can ask what it was given.

namespace pv::graphics {

class TVexaObject {
 public:
  TVexaObject() = default;
  TVexaObject(const TVexaObject&) = delete;
  TVexaObject& operator=(const TVexaObject&) = delete;
  virtual ~TVexaObject() = default;
};

}  // namespace pv::graphics

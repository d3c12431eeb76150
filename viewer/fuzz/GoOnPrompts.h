#pragma once
// Reader prompts for the fuzzers: every warning is answered with OK, nothing is shown.

#include <string>

#include "DXF_read.h"

namespace pv::viewer {

class GoOnPrompts : public ReaderPrompts {
 public:
  void Pause(int) override {}
  bool ConfirmReadWarning(const std::string&) override { return true; }
  void ShowReadError(const std::string&) override {}
  void ShowMessage(const std::string&) override {}
};

}  // namespace pv::viewer

#pragma once
// Helpers of the drawing property tests: text save and load of a list, a log of the change
// notifications, files beside the program, and the paint tests' white Qt image.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/TextHelpers.h"
#include "paint/tests/TestCanvas.h"
#include "props/LinkedFile.h"
#include "props/PropList.h"

namespace pv::graphics::drawtest {

inline std::string Save(TPropList& list) {
  TMemoryStream stream;
  TVexaFiler filer(stream);
  list.SaveToFiler(filer, "");
  return stream.Text();
}

inline void Load(TPropList& list, const std::string& text) {
  TMemoryStream stream(text);
  TVexaFiler filer(stream);
  std::string line;
  while (filer.ReadLine(line)) list.LoadProp(filer, line);
}

struct ChangeLog : TPropListEvents {
  void PropBeforeChanged(TPropList&, TCustomProp&) override { ++before; }
  void PropChanged(TPropList&, TCustomProp&) override { ++changed; }
  void PropReadOnly(TPropList&, TCustomProp&, bool& readOnly) override { readOnly = locked; }
  int before = 0;
  int changed = 0;
  bool locked = false;
};

using testing::StartQt;
using testing::WhiteImage;

// Writes a file beside the test program, where linked names are looked up; returns its path.
inline std::filesystem::path WriteBesideProgram(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::filesystem::path file = std::filesystem::path(ProgramFolder()) / name;
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return file;
}

}  // namespace pv::graphics::drawtest

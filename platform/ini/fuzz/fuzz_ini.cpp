// Any bytes must parse; writing what was read and reading it again must give the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ini/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const pv::ini::IniFile first = pv::ini::IniFile::FromCp1251(bytes);
  const std::string written = first.ToCp1251();
  for (const auto& section : first.ReadSections()) {
    for (const auto& key : first.ReadSection(section)) (void)first.ReadInteger(section, key, 0);
  }
  pv::ini::IniFile second = pv::ini::IniFile::FromCp1251(written);
  if (second.ToCp1251() != written) std::abort();
  second.WriteString("Fuzz", "Key", "значение");
  if (second.ReadString("fuzz", "KEY", "") != "значение") std::abort();
  return 0;
}

#pragma once
// Conversion between UTF-8 (how the programs hold text) and Windows code page 1251
// (how files written for Russian-language Windows hold it).

#include <string>
#include <string_view>

namespace pv::ini {

// Every byte decodes; the one unassigned byte (0x98) maps to U+0098 so a round trip keeps it.
std::string Cp1251ToUtf8(std::string_view bytes);

// A character that code page 1251 cannot hold becomes '?', as Windows writes it.
// Broken UTF-8 sequences become '?' too, one per offending byte.
std::string Utf8ToCp1251(std::string_view utf8);

}  // namespace pv::ini

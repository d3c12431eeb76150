#include "base/ModelText.h"

#include "ini/CodePage1251.h"

namespace pv::graphics {

std::string ToModelText(std::string_view utf8) { return ini::Utf8ToCp1251(utf8); }

std::string FromModelText(std::string_view text) { return ini::Cp1251ToUtf8(text); }

}  // namespace pv::graphics

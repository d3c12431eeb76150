#pragma once
// Text in the document model is single-byte, in code page 1251, as the files hold it; the
// host and the canvas see UTF-8 and convert at the edge.

#include <string>
#include <string_view>

namespace pv::graphics {

// UTF-8 to the model's single-byte text (a character it can't hold becomes '?').
std::string ToModelText(std::string_view utf8);
// The model's single-byte text to UTF-8.
std::string FromModelText(std::string_view text);

}  // namespace pv::graphics

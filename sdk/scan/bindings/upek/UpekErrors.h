#pragma once

#include <cstdint>

namespace vela::scan {

// Passes 0; throws scan_timeout_exception for the library's two time-outs
// and scan_exception for every other code, with the code's text ("Unknown
// error!" for codes the table lacks).
void CheckUpekResult(int32_t code);

// The text of a code ("Unknown error!" for codes the table lacks).
const char* UpekErrorText(int32_t code);

}  // namespace vela::scan

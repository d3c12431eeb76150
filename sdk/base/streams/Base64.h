// Base64 text with the standard alphabet and "=" padding, no line breaks.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vela::base {

std::string EncodeBase64(std::span<const uint8_t> bytes);

// Never fails: characters outside the alphabet are skipped, a "=" does not
// end the text, and an unpadded tail gives the whole bytes it holds.
std::vector<uint8_t> DecodeBase64(const char* text);

}  // namespace vela::base

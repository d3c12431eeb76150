#include "streams/Base64.h"

#include <cstring>

namespace vela::base {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Value of an alphabet character; -1 for '=', -2 for anything skipped.
int CharValue(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  if (c == '=') return -1;
  return -2;
}

}  // namespace

std::string EncodeBase64(std::span<const uint8_t> bytes) {
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t left = bytes.size() - i;
    const unsigned b0 = bytes[i];
    const unsigned b1 = left > 1 ? bytes[i + 1] : 0;
    const unsigned b2 = left > 2 ? bytes[i + 2] : 0;
    text += kAlphabet[b0 >> 2];
    text += kAlphabet[((b0 << 4) & 63) | (b1 >> 4)];
    text += left > 1 ? kAlphabet[((b1 << 2) & 63) | (b2 >> 6)] : '=';
    text += left > 2 ? kAlphabet[b2 & 63] : '=';
  }
  return text;
}

std::vector<uint8_t> DecodeBase64(const char* text) {
  std::vector<uint8_t> bytes;
  if (!text) return bytes;
  // One group of up to four characters; value -1 marks '='.
  int group[4];
  int filled = 0;
  auto flush = [&] {
    // A character missing from a short last group counts as '=': the group
    // gives only the bytes its characters fully hold.
    for (int k = filled; k < 4; ++k) group[k] = -1;
    const unsigned v0 = group[0] < 0 ? 0 : group[0];
    const unsigned v1 = group[1] < 0 ? 0 : group[1];
    const unsigned v2 = group[2] < 0 ? 0 : group[2];
    const unsigned v3 = group[3] < 0 ? 0 : group[3];
    if (filled >= 2) bytes.push_back(static_cast<uint8_t>((v0 << 2) | (v1 >> 4)));
    if (group[2] >= 0) bytes.push_back(static_cast<uint8_t>(((v1 << 4) & 0xF0) | (v2 >> 2)));
    if (group[3] >= 0) bytes.push_back(static_cast<uint8_t>(((v2 << 6) & 0xC0) | v3));
    filled = 0;
  };
  for (const char* p = text; *p; ++p) {
    const int value = CharValue(static_cast<unsigned char>(*p));
    if (value == -2) continue;
    group[filled++] = value;
    if (filled == 4) flush();
  }
  if (filled > 0) flush();
  return bytes;
}

}  // namespace vela::base

#include "base/TextHelpers.h"

#include <algorithm>
#include <cstring>

namespace pv::graphics {

std::string ExtractWordN(std::string_view text, int n, char separator) {
  if (n < 1 || text.empty()) return {};
  size_t start = 0;
  for (int field = 1; field < n; ++field) {
    const size_t next = text.find(separator, start);
    if (next == std::string_view::npos) return {};
    start = next + 1;
  }
  const size_t stop = text.find(separator, start);
  return std::string(text.substr(start, stop == std::string_view::npos ? std::string_view::npos : stop - start));
}

bool StartsWithKeyword(std::string_view line, std::string_view word) {
  const size_t n = std::min(line.size(), word.size());
  return line.substr(0, n) == word.substr(0, n);
}

std::string_view TrimBlanks(std::string_view text) {
  size_t first = 0;
  while (first < text.size() && static_cast<unsigned char>(text[first]) <= 32) ++first;
  return TrimRightBlanks(text.substr(first));
}

std::string_view TrimRightBlanks(std::string_view text) {
  size_t last = text.size();
  while (last > 0 && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return text.substr(0, last);
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

unsigned char Fold(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 32) : u;
}

}  // namespace

int HexToByte(char high, char low) {
  const int h = HexDigit(high);
  const int l = HexDigit(low);
  if (h < 0 || l < 0) return -1;
  return h * 16 + l;
}

void ByteToHex(uint8_t value, char out[2]) {
  static const char digits[] = "0123456789ABCDEF";
  out[0] = digits[value >> 4];
  out[1] = digits[value & 15];
}

int CompareNames(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = Fold(a[i]);
    const unsigned char y = Fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace pv::graphics

#pragma once
// Small string helpers of the text format: fields, keywords, hexadecimal bytes.

#include <cstdint>
#include <string>
#include <string_view>

namespace pv::graphics {

// The n-th field (from 1) of text split at separator; the last field runs to the end.
// Empty when n < 1, the text is empty or it has fewer fields.
std::string ExtractWordN(std::string_view text, int n, char separator);

// True when the shorter of line and word is a prefix of the other (case-sensitive): an
// empty line matches every keyword.
bool StartsWithKeyword(std::string_view line, std::string_view word);

// The one test for the line that closes a block: the keyword "end", case-sensitive, so that
// a property such as EndAngle never ends a block.
inline bool IsBlockEnd(std::string_view line) { return StartsWithKeyword(line, "end"); }

// The text without the characters of code 32 and below at both ends.
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimRightBlanks(std::string_view text);

// The byte of two hexadecimal digits; -1 when either is not one (either case is accepted).
int HexToByte(char high, char low);
// Two upper-case hexadecimal digits.
void ByteToHex(uint8_t value, char out[2]);

// Case-insensitive comparison of single-byte names (ASCII letters only fold).
int CompareNames(std::string_view a, std::string_view b);
inline bool SameName(std::string_view a, std::string_view b) { return CompareNames(a, b) == 0; }

}  // namespace pv::graphics

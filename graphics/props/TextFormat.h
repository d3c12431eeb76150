#pragma once
// The value texts of the document text format: how one value is written after "Name = "
// and read back. Shared by the property lines and any other writer of the format.

#include <string>
#include <string_view>
#include <vector>

#include "base/VexaFiler.h"
#include "props/PropValue.h"

namespace pv::graphics {

// A string as a plain value: as it stands, or between apostrophes when it holds a character
// of code 32 or below or an apostrophe, or begins with "(" or "{". A string with a line break
// (or one that would read back otherwise) is written in the coded form 'abc'#13#10'def',
// where every apostrophe, CR and LF is a #code between quoted runs: no line ever breaks.
std::string QuoteValue(std::string_view text);
// A string-list item: always between apostrophes, coded as above where needed.
std::string QuoteItem(std::string_view text);
// The text of a value between apostrophes (both present): the coded form decoded, else the
// text between them as it stands.
std::string UnquoteValue(std::string_view quoted);

// Appends the lines of a value to out: indent + name + " = " ..., each ending with CR LF.
// kind decides how an Empty value looks: "( )" for string lists, "{ }" for binary data,
// nothing at all otherwise.
void AppendValueLines(std::string& out, std::string_view indent, std::string_view name, const PropValue& value,
                      int kind);

// Reads the value whose first line's text (after "=", trimmed) is given; string lists and
// binary data take the lines that follow from the filer.
PropValue ReadValue(TVexaFiler& filer, std::string_view text);

// Appends the bytes of one line of binary data (pairs of hex digits; an odd last digit is
// ignored) to bytes; EConvertError for a pair that is not hex. The vector grows by the usual
// doubling, so that reading a long block of lines costs time in proportion to its length.
void AppendHexLine(std::vector<uint8_t>& bytes, std::string_view text);

// Splits a property line at its first "=": the name and the value text, both trimmed;
// false when the line holds no "=".
bool SplitPropLine(std::string_view line, std::string_view& name, std::string_view& value);

}  // namespace pv::graphics

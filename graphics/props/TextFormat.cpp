#include "props/TextFormat.h"

#include "base/TextHelpers.h"
#include "props/Prop.h"

namespace pv::graphics {

namespace {

bool IsCoded(char c) { return c == '\'' || c == '\r' || c == '\n'; }

// 'run'#nn#nn'run'... with at least one code; false when text is not of that form.
bool DecodeCoded(std::string_view text, std::string& out) {
  out.clear();
  size_t i = 0;
  bool coded = false;
  for (;;) {
    if (i >= text.size() || text[i] != '\'') return false;
    const size_t close = text.find('\'', i + 1);
    if (close == std::string_view::npos) return false;
    out.append(text.substr(i + 1, close - i - 1));
    i = close + 1;
    if (i == text.size()) return coded;
    if (text[i] != '#') return false;
    while (i < text.size() && text[i] == '#') {
      size_t j = i + 1;
      int code = 0;
      while (j < text.size() && j - i <= 3 && text[j] >= '0' && text[j] <= '9') code = code * 10 + (text[j++] - '0');
      if (j == i + 1 || code > 255) return false;
      out.push_back(static_cast<char>(code));
      coded = true;
      i = j;
    }
  }
}

std::string Coded(std::string_view text) {
  std::string out = "'";
  bool inRun = true;
  for (char c : text) {
    if (IsCoded(c)) {
      if (inRun) out.push_back('\'');
      inRun = false;
      out += '#';
      out += std::to_string(static_cast<unsigned char>(c));
    } else {
      if (!inRun) out.push_back('\'');
      inRun = true;
      out.push_back(c);
    }
  }
  out += inRun ? "'" : "''";
  return out;
}

// Between apostrophes as it stands, unless that would read back as something else.
std::string Quoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('\'');
  out.append(text);
  out.push_back('\'');
  if (text.find_first_of("\r\n") != std::string_view::npos) return Coded(text);
  std::string decoded;
  if (text.find('\'') != std::string_view::npos && DecodeCoded(out, decoded)) return Coded(text);
  return out;
}

}  // namespace

std::string QuoteValue(std::string_view text) {
  bool quote = !text.empty() && (text.front() == '(' || text.front() == '{');
  for (char c : text) {
    if (static_cast<unsigned char>(c) <= 32 || c == '\'') quote = true;
  }
  return quote ? Quoted(text) : std::string(text);
}

std::string QuoteItem(std::string_view text) { return Quoted(text); }

std::string UnquoteValue(std::string_view quoted) {
  std::string decoded;
  if (DecodeCoded(quoted, decoded)) return decoded;
  return std::string(quoted.substr(1, quoted.size() - 2));
}

namespace {

void AppendHead(std::string& out, std::string_view indent, std::string_view name) {
  out.append(indent);
  out.append(name);
  out.append(" = ");
}

void AppendList(std::string& out, std::string_view indent, const std::vector<std::string>& items) {
  out.append("(\r\n");
  for (size_t i = 0; i < items.size(); ++i) {
    out.append(indent);
    out.append("  ");
    out.append(QuoteItem(items[i]));
    out.append(i + 1 == items.size() ? " )\r\n" : "\r\n");
  }
}

void AppendBytes(std::string& out, std::string_view indent, const std::vector<uint8_t>& bytes) {
  out.append("{\r\n");
  for (size_t i = 0; i < bytes.size(); i += 32) {
    out.append(indent);
    out.append("  ");
    const size_t stop = std::min(bytes.size(), i + 32);
    for (size_t k = i; k < stop; ++k) {
      char hex[2];
      ByteToHex(bytes[k], hex);
      out.append(hex, 2);
    }
    out.append(stop == bytes.size() ? " }\r\n" : "\r\n");
  }
}

}  // namespace

void AppendValueLines(std::string& out, std::string_view indent, std::string_view name, const PropValue& value,
                      int kind) {
  using K = PropValue::Kind;
  const K k = value.GetKind();
  if (k == K::Empty || (k == K::StringArray && value.AsStringArray().empty()) ||
      (k == K::Bytes && value.AsBytes().empty())) {
    if (kind == static_cast<int>(TPropKind::StringList)) {
      AppendHead(out, indent, name);
      out.append("( )\r\n");
    } else if (kind == static_cast<int>(TPropKind::Binary)) {
      AppendHead(out, indent, name);
      out.append("{ }\r\n");
    } else if (k == K::StringArray) {
      AppendHead(out, indent, name);
      out.append("( )\r\n");
    } else if (k == K::Bytes) {
      AppendHead(out, indent, name);
      out.append("{ }\r\n");
    }
    return;
  }
  AppendHead(out, indent, name);
  switch (k) {
    case K::StringArray: AppendList(out, indent, value.AsStringArray()); return;
    case K::Bytes: AppendBytes(out, indent, value.AsBytes()); return;
    case K::String: out.append(QuoteValue(value.AsString())); break;
    default: out.append(value.ToString()); break;
  }
  out.append("\r\n");
}

namespace {

// Hands each line of a string list or of binary data to onLine, the closing character of the
// last one removed, up to the line that ends with closer or the end of the stream.
template <class OnLine>
void ReadContinued(TVexaFiler& filer, char closer, OnLine&& onLine) {
  std::string line;
  while (filer.ReadLine(line)) {
    std::string_view text = TrimRightBlanks(line);
    const bool last = !text.empty() && text.back() == closer;
    if (last) text = TrimRightBlanks(text.substr(0, text.size() - 1));
    onLine(text);
    if (last) break;
  }
}

PropValue ReadList(TVexaFiler& filer) {
  std::vector<std::string> items;
  ReadContinued(filer, ')', [&](std::string_view text) {
    if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') items.push_back(UnquoteValue(text));
  });
  return items.empty() ? PropValue() : PropValue::StringArray(std::move(items));
}

PropValue ReadBytes(TVexaFiler& filer) {
  std::vector<uint8_t> bytes;
  ReadContinued(filer, '}', [&](std::string_view text) { AppendHexLine(bytes, text); });
  return bytes.empty() ? PropValue() : PropValue::Bytes(std::move(bytes));
}

}  // namespace

void AppendHexLine(std::vector<uint8_t>& bytes, std::string_view text) {
  // No reserve per line: an exact reserve copies all bytes read so far on every line.
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    const int b = HexToByte(text[i], text[i + 1]);
    if (b < 0) throw EConvertError("Invalid binary data");
    bytes.push_back(static_cast<uint8_t>(b));
  }
}

PropValue ReadValue(TVexaFiler& filer, std::string_view text) {
  if (text.empty()) return {};
  if (text.front() == '(') return text.back() == ')' ? PropValue() : ReadList(filer);
  if (text.front() == '{') return text.back() == '}' ? PropValue() : ReadBytes(filer);
  if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') return PropValue::String(UnquoteValue(text));
  return PropValue::String(std::string(text));
}

bool SplitPropLine(std::string_view line, std::string_view& name, std::string_view& value) {
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  name = TrimBlanks(line.substr(0, eq));
  value = TrimBlanks(line.substr(eq + 1));
  return true;
}

}  // namespace pv::graphics

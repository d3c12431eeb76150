#include "IniFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "CodePage1251.h"

namespace pv::ini {
namespace {

std::string_view Trim(std::string_view s) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Windows drops one pair of matching quotes around a value.
std::string_view Unquote(std::string_view s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
    return s.substr(1, s.size() - 2);
  }
  return s;
}

// Reads one UTF-8 code point and folds it to lower case for Latin and Cyrillic letters.
char32_t NextFolded(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  char32_t c = b0;
  std::size_t len = 1;
  if ((b0 & 0xE0) == 0xC0 && i + 1 < s.size()) {
    c = ((b0 & 0x1F) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3F);
    len = 2;
  }
  i += len;
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
  return c;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (NextFolded(a, i) != NextFolded(b, j)) return false;
  }
  return i == a.size() && j == b.size();
}

IniFile::IniFile(std::filesystem::path fileName) : fileName_(std::move(fileName)) {
  std::error_code ec;
  if (!std::filesystem::exists(fileName_, ec) && !ec) return;
  // Reading a folder or a failing disk throws out of the stream's buffer: read by hand.
  const auto fail = [&](int code) {
    readError_ = "cannot read " + fileName_.string() + ": " + std::generic_category().message(code);
  };
  if (std::filesystem::is_directory(fileName_, ec)) {
    fail(EISDIR);
    return;
  }
  std::FILE* file = std::fopen(fileName_.c_str(), "rb");
  if (!file) {
    fail(errno);
    return;
  }
  std::string bytes;
  char buffer[8192];
  size_t got = 0;
  errno = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  const int code = std::ferror(file) ? (errno ? errno : EIO) : 0;
  std::fclose(file);
  if (code) {
    fail(code);
    return;
  }
  Parse(Cp1251ToUtf8(bytes));
}

IniFile IniFile::FromCp1251(std::string_view bytes) {
  IniFile file;
  file.Parse(Cp1251ToUtf8(bytes));
  return file;
}

void IniFile::Parse(std::string_view text) {
  sections_.clear();
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(pos, end - pos);
    pos = end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

    const std::string_view t = Trim(raw);
    if (t.size() >= 2 && t.front() == '[') {
      const std::size_t close = t.find(']');
      if (close != std::string_view::npos) {
        sections_.push_back(Section{std::string(Trim(t.substr(1, close - 1))), true, {}});
        continue;
      }
    }
    if (sections_.empty()) sections_.push_back(Section{"", false, {}});
    Line line;
    line.raw = std::string(raw);
    const std::size_t eq = t.find('=');
    if (eq != std::string_view::npos && eq > 0 && t.front() != ';') {
      line.isValue = true;
      line.key = std::string(Trim(t.substr(0, eq)));
      line.value = std::string(Unquote(Trim(t.substr(eq + 1))));
    }
    sections_.back().lines.push_back(std::move(line));
  }
}

std::string IniFile::ToCp1251() const {
  std::string text;
  for (const Section& section : sections_) {
    if (section.hasHeader) text += "[" + section.name + "]\r\n";
    for (const Line& line : section.lines) {
      // Lines the program did not change go back exactly as they were read.
      text += line.isValue && line.raw.empty() ? line.key + "=" + line.value : line.raw;
      text += "\r\n";
    }
  }
  return Utf8ToCp1251(text);
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
  for (Section& s : sections_) {
    if (s.hasHeader && SameName(s.name, name)) return &s;
  }
  return nullptr;
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
  return const_cast<IniFile*>(this)->FindSection(name);
}

const IniFile::Line* IniFile::FindValue(const Section& section, std::string_view key) {
  for (const Line& line : section.lines) {
    if (line.isValue && SameName(line.key, key)) return &line;
  }
  return nullptr;
}

const IniFile::Line* IniFile::FindValue(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  return s ? FindValue(*s, key) : nullptr;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  const Line* line = FindValue(section, key);
  return std::string(line ? std::string_view(line->value) : def);
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  const Line* line = FindValue(section, key);
  if (!line) return def;
  std::string_view v = Trim(line->value);
  bool negative = false;
  if (!v.empty() && (v.front() == '-' || v.front() == '+')) {
    negative = v.front() == '-';
    v.remove_prefix(1);
  }
  int base = 10;
  if (!v.empty() && v.front() == '$') {
    base = 16;
    v.remove_prefix(1);
  } else if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
    base = 16;
    v.remove_prefix(2);
  }
  if (v.empty()) return def;
  int64_t magnitude = 0;
  const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), magnitude, base);
  if (ec != std::errc() || ptr != v.data() + v.size()) return def;
  const int64_t value = negative ? -magnitude : magnitude;
  // Hexadecimal values name the 32 bits, so $FFFFFFFF is -1 as on Windows.
  if (base == 16 && !negative && magnitude <= 0xFFFFFFFFLL) return static_cast<int32_t>(static_cast<uint32_t>(magnitude));
  if (value < INT32_MIN || value > INT32_MAX) return def;
  return static_cast<int32_t>(value);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Section* s = FindSection(section);
  if (!s) {
    sections_.push_back(Section{std::string(section), true, {}});
    s = &sections_.back();
  }
  for (Line& line : s->lines) {
    if (line.isValue && SameName(line.key, key)) {
      line.value = std::string(value);
      line.raw.clear();
      return;
    }
  }
  // New keys go ahead of the blank lines that separate this section from the next.
  auto at = s->lines.end();
  while (at != s->lines.begin() && !std::prev(at)->isValue && Trim(std::prev(at)->raw).empty()) --at;
  Line line;
  line.isValue = true;
  line.key = std::string(key);
  line.value = std::string(value);
  s->lines.insert(at, std::move(line));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

bool IniFile::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindValue(section, key) != nullptr;
}

std::vector<std::string> IniFile::ReadSections() const {
  std::vector<std::string> names;
  for (const Section& s : sections_) {
    if (s.hasHeader) names.push_back(s.name);
  }
  return names;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* s = FindSection(section)) {
    for (const Line& line : s->lines) {
      if (line.isValue) keys.push_back(line.key);
    }
  }
  return keys;
}

void IniFile::EraseSection(std::string_view section) {
  std::erase_if(sections_, [&](const Section& s) { return s.hasHeader && SameName(s.name, section); });
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
  if (Section* s = FindSection(section)) {
    std::erase_if(s->lines, [&](const Line& l) { return l.isValue && SameName(l.key, key); });
  }
}

bool IniFile::UpdateFile(std::string* error) const {
  if (!readError_.empty()) {
    if (error) *error = "not written, the file was not read (" + readError_ + ")";
    return false;
  }
  return SaveAs(fileName_, error);
}

bool IniFile::SaveAs(const std::filesystem::path& fileName, std::string* error) const {
  const auto fail = [&](const std::string& why) {
    if (error) *error = why + ": " + fileName.string();
    return false;
  };
  if (fileName.empty()) return fail("no file name");
  std::filesystem::path temp = fileName;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return fail("cannot create");
    const std::string bytes = ToCp1251();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      return fail("cannot write");
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, fileName, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    return fail("cannot replace");
  }
  return true;
}

}  // namespace pv::ini

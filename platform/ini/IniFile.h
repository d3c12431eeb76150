#pragma once
// Settings files in the Windows style: "[Section]" headers and "Key=Value" lines, section
// names and keys matched without regard to case, every line the program does not change
// (other sections, comments, unknown keys) written back as it was read. Files are stored in
// code page 1251; the program sees UTF-8.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pv::ini {

class IniFile {
 public:
  IniFile() = default;
  // Reads the file when it exists; a missing file is an empty one, as on Windows. So is one
  // that exists but cannot be read (a folder, no permission, a read error), and then
  // ReadError says why.
  explicit IniFile(std::filesystem::path fileName);

  static IniFile FromCp1251(std::string_view bytes);
  std::string ToCp1251() const;

  const std::filesystem::path& FileName() const { return fileName_; }
  // Why the file could not be read; empty when it was read or does not exist.
  const std::string& ReadError() const { return readError_; }

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // Decimal, or hexadecimal after "$" or "0x"; anything else, or a value out of range, gives def.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> ReadSections() const;
  std::vector<std::string> ReadSection(std::string_view section) const;  // the keys, in file order
  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view key);

  // Writes the whole file through a temporary beside it, so a failed write leaves the old
  // file intact. Returns false (with the reason in *error when given) on failure, and
  // without writing when the file could not be read: what it holds would be lost.
  bool UpdateFile(std::string* error = nullptr) const;
  bool SaveAs(const std::filesystem::path& fileName, std::string* error = nullptr) const;

 private:
  struct Line {
    bool isValue = false;
    std::string key;    // as written, trimmed
    std::string value;  // as the program sees it
    std::string raw;    // the line as read; empty once the program changed the value
  };
  struct Section {
    std::string name;   // empty for the lines ahead of the first header
    bool hasHeader = true;
    std::vector<Line> lines;
  };

  void Parse(std::string_view utf8);
  Section* FindSection(std::string_view name);
  const Section* FindSection(std::string_view name) const;
  static const Line* FindValue(const Section& section, std::string_view key);
  // The value line of a key in a section; none when either is missing.
  const Line* FindValue(std::string_view section, std::string_view key) const;

  std::filesystem::path fileName_;
  std::string readError_;
  std::vector<Section> sections_;
};

// True when two names are equal without regard to case (Latin and Cyrillic letters).
bool SameName(std::string_view a, std::string_view b);

}  // namespace pv::ini

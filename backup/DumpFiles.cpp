#include "DumpFiles.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "Texts.h"

namespace safestow {
namespace fs = std::filesystem;
namespace {

bool SameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

DateTime ToLocal(fs::file_time_type t) {
  const auto sys = std::chrono::file_clock::to_sys(t);
  return LocalTime(std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys)));
}

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
  // Iterative wildcard match with one back-tracking point per "*".
  std::size_t n = 0, m = 0, star = std::string_view::npos, mark = 0;
  // A star is taken as the wildcard before anything else: a name may hold a star itself.
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      star = m++;
      mark = n;
    } else if (m < mask.size() && (mask[m] == '?' || SameLetter(mask[m], name[n]))) {
      ++n;
      ++m;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

bool IsListedDumpName(std::string_view name, std::string_view mask) {
  return !name.empty() && name.front() != '.' && MatchesMask(name, mask);
}

std::vector<DumpFile> ListDumpFiles(const fs::path& folder, std::string_view mask) {
  std::vector<DumpFile> files;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return files;
  // Incremented with an error code: a folder that fails half-way gives what was read so far.
  for (auto end = fs::directory_iterator(); it != end; it.increment(ec)) {
    if (ec) break;
    const fs::directory_entry& entry = *it;
    const std::string name = entry.path().filename().string();
    if (!IsListedDumpName(name, mask)) continue;
    std::error_code fileEc;
    if (!entry.is_regular_file(fileEc)) continue;
    DumpFile f;
    f.name = name;
    f.size = entry.file_size(fileEc);
    if (fileEc) continue;
    f.modified = entry.last_write_time(fileEc);
    if (fileEc) continue;
    f.modifiedLocal = ToLocal(f.modified);
    files.push_back(std::move(f));
  }
  std::sort(files.begin(), files.end(), [](const DumpFile& a, const DumpFile& b) {
    if (a.modified != b.modified) return a.modified < b.modified;
    return a.name < b.name;
  });
  return files;
}

std::uintmax_t AddDirectorySize(const fs::path& folder) {
  std::uintmax_t total = 0;
  std::error_code ec;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
  if (ec) return 0;
  for (auto end = fs::recursive_directory_iterator(); it != end; it.increment(ec)) {
    if (ec) break;
    std::error_code fileEc;
    if (it->is_regular_file(fileEc)) {
      const std::uintmax_t size = it->file_size(fileEc);
      if (!fileEc) total += size;
    }
  }
  return total;
}

std::string FormatSizeText(double value, int decimals) {
  const double rounded = std::round(value * 10000.0) / 10000.0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%20.*f", decimals, rounded);
  std::string s(buf);
  if (const std::size_t dot = s.find('.'); dot != std::string::npos) s[dot] = ',';
  const std::size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : s.substr(first);
}

std::string ArchiveSizeText(std::uintmax_t bytes) {
  return std::string(texts::kArchiveSizeHead) + FormatSizeText(static_cast<double>(bytes) / 1048576.0, 2) +
         texts::kArchiveSizeTail;
}

}  // namespace safestow

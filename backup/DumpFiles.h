#pragma once
// The dump files of the backup folder and the folder's size.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "DateTime.h"

namespace safestow {

inline constexpr char kDumpMask[] = "*.DMP";

struct DumpFile {
  std::string name;
  std::uintmax_t size = 0;
  std::filesystem::file_time_type modified;
  DateTime modifiedLocal;  // for the list's date column
};

// Windows wildcards ("*", "?"), letters compared without regard to case.
bool MatchesMask(std::string_view name, std::string_view mask);

// A name in the folder that the list shows: not a hidden dot-file, and matching `mask`.
bool IsListedDumpName(std::string_view name, std::string_view mask);

// Plain files of `folder` (not sub-folders, not hidden dot-files) that match `mask`, oldest
// first by modification time; files of the same time keep name order. A missing or unreadable
// folder gives an empty list.
std::vector<DumpFile> ListDumpFiles(const std::filesystem::path& folder, std::string_view mask = kDumpMask);

// Bytes of every file under `folder`, sub-folders included; what cannot be read counts 0.
std::uintmax_t AddDirectorySize(const std::filesystem::path& folder);

// 1.5 with 2 decimals gives "1,50".
std::string FormatSizeText(double value, int decimals);
// "Размер архива: 1,50 Mb" for the bytes given.
std::string ArchiveSizeText(std::uintmax_t bytes);

}  // namespace safestow

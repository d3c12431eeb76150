#pragma once
// Keeping the backup folder within its limit, by dump count or by folder size, before a new
// dump is made. Only dump files are deleted, oldest first, and never the newest dump: it is
// the backup just made by the previous run. A failed delete ends the pruning (the export goes
// on), so the loops always end.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace safestow {

struct RetentionResult {
  std::vector<std::string> deleted;
  std::string failed;  // the dump that could not be deleted, if any
};

// Deletes one file; false when it could not. Tests pass one that fails on purpose.
using FileRemover = std::function<bool(const std::filesystem::path&)>;
bool RemoveFile(const std::filesystem::path& path);

// Leaves `keep` dumps (at least 1).
RetentionResult RetainByCount(const std::filesystem::path& folder, int keep, const FileRemover& remove = RemoveFile);

// When the folder (all its files, sub-folders included) is above `limitMb` megabytes, deletes
// dumps until it is below. A limit of 0 or less deletes nothing.
RetentionResult RetainBySize(const std::filesystem::path& folder, double limitMb,
                             const FileRemover& remove = RemoveFile);

}  // namespace safestow

#pragma once
// Keeping the backup folder within its limit, by dump count or by folder size. Only dump
// files are deleted, oldest first, and never the newest of them. The dump named `justMade`
// (the one a run has just written) is set aside: it is neither counted, nor sized, nor
// deleted, so the limits apply to the dumps before it. A failed delete ends the pruning, so
// the loops always end.

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

// Leaves `keep` dumps (at least 1) besides `justMade`.
RetentionResult RetainByCount(const std::filesystem::path& folder, int keep, const FileRemover& remove = RemoveFile,
                              const std::string& justMade = {});

// When the folder (all its files, sub-folders included, without `justMade`) is above
// `limitMb` megabytes, deletes dumps until it is below. A limit of 0 or less deletes nothing.
RetentionResult RetainBySize(const std::filesystem::path& folder, double limitMb,
                             const FileRemover& remove = RemoveFile, const std::string& justMade = {});

}  // namespace safestow

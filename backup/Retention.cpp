#include "Retention.h"

#include "DumpFiles.h"

namespace safestow {
namespace fs = std::filesystem;
namespace {

// Deletes the oldest dump; false (with the name in result.failed) when it cannot.
bool DeleteOldest(const fs::path& folder, const std::vector<DumpFile>& dumps, const FileRemover& remove,
                  RetentionResult& result) {
  const std::string& name = dumps.front().name;
  if (!remove(folder / name)) {
    result.failed = name;
    return false;
  }
  result.deleted.push_back(name);
  return true;
}

double Megabytes(std::uintmax_t bytes) { return static_cast<double>(bytes) / 1048576.0; }

// The dumps retention may count and delete, oldest first.
std::vector<DumpFile> OlderDumps(const fs::path& folder, const std::string& justMade) {
  std::vector<DumpFile> dumps = ListDumpFiles(folder);
  std::erase_if(dumps, [&](const DumpFile& f) { return f.name == justMade; });
  return dumps;
}

// The folder's bytes without the dump just made.
double FolderMegabytes(const fs::path& folder, const std::string& justMade) {
  std::uintmax_t bytes = AddDirectorySize(folder);
  if (!justMade.empty()) {
    std::error_code ec;
    const std::uintmax_t own = fs::file_size(folder / justMade, ec);
    if (!ec && own <= bytes) bytes -= own;
  }
  return Megabytes(bytes);
}

}  // namespace

bool RemoveFile(const fs::path& path) {
  std::error_code ec;
  return fs::remove(path, ec) && !ec;
}

RetentionResult RetainByCount(const fs::path& folder, int keep, const FileRemover& remove,
                              const std::string& justMade) {
  RetentionResult result;
  const std::size_t kept = static_cast<std::size_t>(keep < 1 ? 1 : keep);
  for (;;) {
    const std::vector<DumpFile> dumps = OlderDumps(folder, justMade);
    if (dumps.size() <= kept) break;
    if (!DeleteOldest(folder, dumps, remove, result)) break;
  }
  return result;
}

RetentionResult RetainBySize(const fs::path& folder, double limitMb, const FileRemover& remove,
                             const std::string& justMade) {
  RetentionResult result;
  if (!(limitMb > 0)) return result;
  // The first test is "above the limit"; once pruning has begun it goes on until "below".
  if (!(FolderMegabytes(folder, justMade) > limitMb)) return result;
  for (;;) {
    const std::vector<DumpFile> dumps = OlderDumps(folder, justMade);
    if (dumps.size() <= 1) break;  // the newest dump stays, whatever else fills the folder
    if (!DeleteOldest(folder, dumps, remove, result)) break;
    if (FolderMegabytes(folder, justMade) < limitMb) break;
  }
  return result;
}

}  // namespace safestow

#pragma once
// Runs a test in a fresh temporary directory as the process's current
// directory (the test scanner looks for its folder there).

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class TempWorkingDirectory {
 public:
  TempWorkingDirectory() : previous(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "vela_scan_XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    path = pattern;
    std::filesystem::current_path(path);
  }
  ~TempWorkingDirectory() {
    std::filesystem::current_path(previous);
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  TempWorkingDirectory(const TempWorkingDirectory&) = delete;
  TempWorkingDirectory& operator=(const TempWorkingDirectory&) = delete;

  const std::filesystem::path& Path() const { return path; }

 private:
  std::filesystem::path previous;
  std::filesystem::path path;
};

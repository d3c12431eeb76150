#include "props/LinkedFile.h"

#include <filesystem>
#include <system_error>

namespace pv::graphics {

std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path().string() : exe.parent_path().string();
}

std::string ExpandLinkName(const std::string& name) {
  const std::filesystem::path path(name);
  if (path.is_absolute()) return path.lexically_normal().string();
  return (std::filesystem::path(ProgramFolder()) / path).lexically_normal().string();
}

}  // namespace pv::graphics

#pragma once
// Vendor libraries, loaded at run time by name. The makes' Windows library
// names map to Linux file names through one fixed table; the system loader
// then finds the file in its usual places.

#include <string>
#include <string_view>

namespace vela::scan {

// The Linux file name of a vendor library; throws "Failed to LoadLibrary"
// for a name the table lacks (case is ignored, as Windows ignores it).
std::string VendorLibraryFile(std::string_view windowsName);

// The Linux name of a vendor entry point: decorated Windows names map through
// one fixed table, every other name is its own.
const char* VendorEntryName(const char* windowsName);

// A loaded vendor library. Entry points are asked for by their Windows names.
class DynamicLibrary {
 public:
  // Loads the file; throws std::runtime_error "Failed to LoadLibrary".
  explicit DynamicLibrary(const std::string& fileName);
  virtual ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // The entry point of that name; throws std::runtime_error
  // "Failed to GetProcAddress" when the library lacks it.
  void* GetProc(const char* name) const;

  template <class Function>
  Function GetProc(const char* name) const {
    return reinterpret_cast<Function>(GetProc(name));
  }

  const std::string& LibraryName() const { return libraryName; }

  // Leaves the library loaded for the rest of the process: the destructor
  // then unloads nothing.
  void KeepLoaded() { module = nullptr; }

 private:
  void* module;
  std::string libraryName;
};

}  // namespace vela::scan

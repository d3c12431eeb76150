// Puts the stand-in vendor libraries on the loader's path for this test
// program. The sanitizers' run-times intercept dlopen, so a run path in the
// program would not be searched; the loader reads LD_LIBRARY_PATH only at
// start, so the program starts itself again with the folder in front.
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

__attribute__((constructor)) void PutStandInsOnTheLibraryPath(int, char** argv, char**) {
  const char* current = std::getenv("LD_LIBRARY_PATH");
  const std::string folder = VELA_STANDIN_DIR;
  if (current && std::string(current).rfind(folder, 0) == 0) return;
  const std::string path = current && *current ? folder + ":" + current : folder;
  setenv("LD_LIBRARY_PATH", path.c_str(), 1);
  execv("/proc/self/exe", argv);
}

}  // namespace

// What the system tells the platform layer, from arbitrary bytes: systemctl's ActiveState of a
// unit, and the /proc files of a process (stat, comm, cmdline, the exe link's target, and the
// name looked for, split at the first four NUL bytes).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "process/Process.h"
#include "service/ServiceControl.h"

namespace {

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_system_output: %s\n", what);
  std::abort();
}

std::vector<std::string_view> Fields(std::string_view bytes, std::size_t count) {
  std::vector<std::string_view> fields;
  while (fields.size() + 1 < count) {
    const std::size_t nul = bytes.find('\0');
    if (nul == std::string_view::npos) break;
    fields.push_back(bytes.substr(0, nul));
    bytes.remove_prefix(nul + 1);
  }
  fields.push_back(bytes);
  fields.resize(count);
  return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pv::service;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const int state = ServiceStateOf(bytes);
  Check(state >= kServiceStopped && state <= kServiceRunning, "a state outside the four");
  Check(ServiceStateOf(std::string(bytes) + " \n") == state, "trailing blanks change the state");

  const std::vector<std::string_view> f = Fields(bytes, 5);
  const std::string_view stat = f[0], comm = f[1], cmdline = f[2], exe = f[3], name = f[4];
  (void)pv::process::ProcStatIsLive(stat);
  const bool goesBy = pv::process::ProcessGoesBy(name, comm, cmdline, exe);
  if (name.empty()) Check(!goesBy, "a process goes by the empty name");
  // The name a process was started as (its first argument, a path or not) finds it.
  if (!name.empty() && name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos) {
    Check(pv::process::ProcessGoesBy(name, "", "/usr/bin/" + std::string(name) + std::string(1, '\0') + "-x", ""),
          "the program's file name does not find it");
    Check(pv::process::ProcessGoesBy(name, "", "", "/opt/" + std::string(name)), "the exe link does not find it");
    Check(!pv::process::ProcessGoesBy(name, "", std::string(name) + "x", ""), "a longer name finds it");
  }
  return 0;
}

// Safestow's command line and the names it finds in the dump folder, from arbitrary bytes:
// the first line is a file mask, the others are names; NUL bytes split the same bytes into
// command-line arguments.

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "DumpFiles.h"
#include "ServiceShell.h"

namespace {

using namespace safestow;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_safestow_args: %s\n", what);
  std::abort();
}

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

void CheckCommandLine(const std::vector<std::string>& args) {
  const CommandLine line = ParseCommandLine(args);
  std::vector<std::string> more = args;
  more.push_back("-silent");
  Check(ParseCommandLine(more).silent, "a silent switch was not taken");
  Check(ParseCommandLine(more).command == line.command, "a silent switch changed the command");
  more.push_back("/Uninstall");
  Check(ParseCommandLine(more).command == ServiceCommand::Uninstall, "the last command switch does not count");
}

void CheckNames(const std::vector<std::string>& lines) {
  const std::string& mask = lines.front();
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& name = lines[i];
    const bool listed = IsListedDumpName(name, mask);
    if (listed) Check(!name.empty() && name.front() != '.', "a hidden or empty name is listed");
    Check(MatchesMask(name, name), "a name does not match itself as a mask");
    Check(MatchesMask(Upper(name), name) && MatchesMask(name, Upper(name)), "letter case counts in a mask");
    Check(MatchesMask(name, "*"), "a name does not match \"*\"");
    Check(MatchesMask(name, mask + "*") || !MatchesMask(name, mask), "a longer mask with a star matches less");
    Check(MatchesMask(name, std::string(name.size(), '?')), "as many question marks as letters do not match");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckCommandLine(Split(bytes, '\0'));
  CheckNames(Split(bytes, '\n'));
  return 0;
}

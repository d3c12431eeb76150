// Runs random edit sequences with new seeds for as long as asked and prints every failing
// one, shrunk, as a test to paste:  panel_edit_sequences [SECONDS] [FIRST_SEED] [--no-shrink]
// (--no-shrink: each failure as one line, for counting them).

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <string_view>

#include "panel/tests/EditSequence.h"

int main(int argc, char** argv) {
  using namespace pv::graphics::test;
  const double seconds = argc > 1 ? std::atof(argv[1]) : 60;
  uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : std::random_device{}() * 1000003ull;
  const bool shrink = !(argc > 3 && std::string_view(argv[3]) == "--no-shrink");
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  int runs = 0;
  std::map<std::string, int> failures;
  for (; std::chrono::steady_clock::now() < end; ++seed, ++runs) {
    const TEditSequence sequence = RandomEditSequence(seed);
    const std::string failure = RunEditSequence(sequence);
    if (failure.empty()) continue;
    if (!shrink) {
      ++failures[failure.substr(0, failure.find(':'))];
      std::printf("seed %llu: %s\n", static_cast<unsigned long long>(seed), failure.c_str());
      continue;
    }
    const TEditSequence shrunk = ShrinkEditSequence(sequence, failure);
    const std::string again = RunEditSequence(shrunk);
    ++failures[again.substr(0, again.find(':'))];
    std::printf("== seed %llu\n%s\n", static_cast<unsigned long long>(seed), FormatEditSequence(shrunk, again).c_str());
    std::fflush(stdout);
  }
  int failed = 0;
  for (const auto& [kind, count] : failures) {
    std::printf("%s: %d\n", kind.c_str(), count);
    failed += count;
  }
  std::printf("sequences: %d run, %d failed\n", runs, failed);
  return failed == 0 ? 0 : 1;
}

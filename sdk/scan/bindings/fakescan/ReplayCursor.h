#pragma once

#include <cstddef>
#include <mutex>

namespace vela::scan {

// Walks a list of files round robin. One cursor is shared by every test
// scanner of the process, so a device continues where the previous one
// stopped; devices may hold lists of different lengths, so a position past
// the end of the caller's list starts again at its first entry.
class ReplayCursor {
 public:
  // The index to replay now in a list of `count` entries (count > 0).
  size_t Next(size_t count);

 private:
  std::mutex mutex;
  size_t position = 0;
};

ReplayCursor& FakeScanReplayCursor();

}  // namespace vela::scan

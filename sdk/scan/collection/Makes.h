#pragma once
// The table of scanner makes, in the order the collection probes them. A
// make's binding plugs in through its two functions; a make without them
// lists no device, exactly as when its vendor library is missing.

#include <cstdint>
#include <span>
#include <vector>

#include "vela/scan.h"

namespace vela::scan {

enum class Listing {
  OneDevice,    // one descriptor (index 0) when the probe finds anything
  OnePerIndex,  // one descriptor per index the probe reports
};

struct Make {
  int32_t type;
  const char* name;
  const char* description;
  Listing listing;
  // The device indices found; never throws (a failing probe finds nothing).
  std::vector<uint16_t> (*enumerate)();
  // Opens the device with that id; throws the open failure.
  vela::base::smart_ptr<Scanner> (*open)(int32_t deviceId);
};

std::span<const Make> SupportedMakes();

}  // namespace vela::scan

// The test scanner's replay images from arbitrary bytes, as they would lie in its folder:
// a file is refused with an exception, or it gives an image whose pixels fill its size.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <span>

#include "bindings/fakescan/FakeScanFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vela::scan::ReplayImage image;
  try {
    image = vela::scan::DecodeReplayImage(std::span(data, size));
  } catch (const std::exception&) {
    return 0;
  }
  if (image.width <= 0 || image.height <= 0) std::abort();
  if (image.pixels.size() != size_t(image.width) * size_t(image.height)) std::abort();
  return 0;
}

// Any bytes as a picture stream: a picture or a PictureError, nothing else.
#include <cstddef>
#include <cstdint>

#include "picture/Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = [] {
    pv::picture::RegisterStandardGraphics();
    return true;
  }();
  (void)registered;
  pv::picture::Picture picture;
  try {
    picture.LoadFromStream(std::span<const uint8_t>(data, size));
    (void)picture.SaveToStream();
  } catch (const pv::picture::PictureError&) {
  }
  return 0;
}

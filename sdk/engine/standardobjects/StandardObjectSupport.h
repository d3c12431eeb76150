// What the INCITS 378 and ISO template classes share: grey pixels of any
// image, resolutions in pixels per centimetre, stream bytes and the error map.
#pragma once

#include <cstdint>
#include <vector>

#include "vela/image.h"
#include "vela/incits378.h"
#include "vela/streams.h"

namespace vela::standard {

// dpi x 0.39370079 + 0.5, truncated.
int32_t PixelsPerCm(int32_t dpi);

// Appends width x height grey bytes of the image, read row by row at its
// stride; a 24-bit image is turned grey in a copy. invalid_argument for other
// depths.
void AppendGreyPixels(base::smart_ptr<base::Image> image, std::vector<uint8_t>& pixels);

// Everything an object writes into a stream, as bytes.
template <typename Saveable>
std::vector<uint8_t> SavedBytes(Saveable& object) {
  base::smart_ptr<base::MemoryStream> stream = Create_MemoryStream(nullptr, 0);
  object.Save(stream);
  stream->Seek(0, base::SeekOrigin::Begin);
  std::vector<uint8_t> bytes(static_cast<size_t>(stream->Size()));
  if (!bytes.empty()) stream->Read(bytes.data(), static_cast<int32_t>(bytes.size()));
  return bytes;
}

// Passes codes of 0 and above; turns the engine's negative codes into
// incits378_error with their reasons.
void ThrowOnIncitsResult(int32_t code);

class SimpleResult final : public virtual incits378::SimpleMatchResult {
 public:
  explicit SimpleResult(int32_t score) : score(score) {}
  int32_t GetScore() const override { return score; }

 protected:
  ~SimpleResult() override = default;

 private:
  int32_t score;
};

}  // namespace vela::standard

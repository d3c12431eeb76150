#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vela::engine {

// The work ExtractMinutiae needs: a WorkImage and the extraction's scratch.
size_t ExtractMinutiaeWorkSize();

// Spreads a 1-bit cleaned image into a WorkImage: 255 for a set bit, the most
// significant bit first, a clear margin.
void UnpackCleanedImage(std::span<const uint8_t> cleaned, std::span<uint8_t> workImage);

// The impression's quality under the image's: a quality above 27 becomes the
// cap, a lower one stays unless the cap is lower still.
int32_t CapImpressionQuality(int32_t found, int32_t cap);

// Builds one impression from a cleaned image: block directions, ridge
// clean-up, minutiae. The quality found is then capped by the image's
// quality: above 27 it becomes the cap, otherwise the smaller of the two.
// Returns the final quality, or -1 (record untouched) when a buffer is too
// short.
int32_t ExtractMinutiae(std::span<const uint8_t> cleaned, std::span<uint8_t> work, std::span<uint8_t> record,
                        int32_t cap);

} // namespace vela::engine

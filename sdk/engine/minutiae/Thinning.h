#pragma once

#include <cstdint>

namespace vela::engine {

// One pass over the active area of a WorkImage: a set pixel with a clear
// 4-neighbour (both as they were before the pass, kept in `before`) is deleted
// when ThinKeep says so for its neighbour code in the image being thinned, so
// deletions earlier in the pass count. Returns the number of deleted pixels.
int ThinPass(uint8_t* image, uint8_t* before);

// Thins the image in place, `before` holding each pass's starting image:
// passes run until one deletes 50 pixels or fewer, 6 at most.
void ThinRidges(uint8_t* image, uint8_t* before);

} // namespace vela::engine

#pragma once

#include <cstdint>

namespace vela::engine {

// Turns a hash score (agreeing minutiae in thousandths) into the scale of
// the matcher's scores: 0..450.
int32_t MapHashScore(int32_t hashScore);

} // namespace vela::engine

#pragma once
// Text for layout benchmarks: words of 1 to 9 letters, an occasional line break, always the
// same for a length.

#include <cstddef>
#include <random>
#include <string>

namespace pv::graphics::bench {

inline std::string Words(size_t length) {
  std::mt19937 rng(10000);
  std::string text;
  while (text.size() < length) {
    const size_t word = 1 + rng() % 9;
    for (size_t i = 0; i < word; ++i) text += static_cast<char>('a' + rng() % 26);
    text += rng() % 40 == 0 ? "\r\n" : " ";
  }
  text.resize(length);
  return text;
}

}  // namespace pv::graphics::bench

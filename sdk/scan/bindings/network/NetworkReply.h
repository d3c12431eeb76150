#pragma once
// The network scanner's reply: a BMP file of an 8-bit image whose rows (no
// padding) are stored bottom-up.

#include <cstddef>
#include <cstdint>
#include <span>

namespace vela::scan {

// Copies the reply's pixels into an image of width x height whose rows are
// rowBytes apart, top row first. Reads only within reply (the bytes actually
// received): false, with the image untouched, unless the reply has the BMP
// header, 8 bits per pixel, the width and height the device announced, and
// all the pixels its offset promises.
bool ParseNetworkReply(std::span<const uint8_t> reply, int32_t width, int32_t height, uint8_t* pixels,
                       size_t rowBytes);

}  // namespace vela::scan

#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "engine/records/EngineGeometry.h"

namespace vela::engine {

// Per-block sums of the Sobel gradient products over the block's 256 pixels.
struct GradientSums {
    int32_t gxx;
    int32_t gyy;
    int32_t gxy;
};

using BlockDirectionMap = std::array<uint8_t, kBlockCount>;

// Prepares the record as a plain impression (size, kind, byte 9, 25 rows),
// clears both scratch images and estimates the block directions into it.
// False, touching nothing, when a buffer is too small.
bool BuildBlockDirectionMap(std::span<uint8_t> workImage, std::span<uint8_t> record, std::span<uint8_t> work);

// Writes the 450 block directions (0..59, 61 = none) and their quality 0..100
// into the record (bytes 12.. and 8). The image is a WorkImage.
void EstimateBlockDirections(const uint8_t* workImage, uint8_t* record);
// The same into any block map and quality byte, with the energy a block needs
// ((Gxx + Gyy) / 3333 at least `energyGate`) to get a direction.
void EstimateBlockDirections(const uint8_t* workImage, uint8_t* blockMap, uint8_t& quality, int32_t energyGate);

// The steps of EstimateBlockDirections.
GradientSums BlockGradientSums(const uint8_t* workImage, int blockRow, int blockColumn);
uint8_t RawBlockDirection(const GradientSums& sums, int32_t energyGate = 15000);
BlockDirectionMap SmoothBlockDirections(const BlockDirectionMap& raw);
uint8_t BlockDirectionQuality(const BlockDirectionMap& raw, const BlockDirectionMap& smoothed);

} // namespace vela::engine

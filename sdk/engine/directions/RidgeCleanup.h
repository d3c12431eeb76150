#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "engine/directions/ExtractionWork.h"

namespace vela::engine {

// Pixel steps (dx, dy) 1 to 5 along each of the 60 block directions; dy < 0 is up.
struct DirectionStep {
    int8_t dx;
    int8_t dy;
};
extern const std::array<std::array<DirectionStep, 5>, 60> DirectionSteps;

// Smooths the WorkImage along the block directions of the record, binarises it
// with a local mean threshold and removes small holes and ridge fragments.
// False, touching nothing, when a buffer is too small.
bool CleanRidgeImage(std::span<uint8_t> workImage, std::span<const uint8_t> record, std::span<uint8_t> work);
// The same on a WorkImage with a block map and scratch of the caller's own layout.
void CleanRidgeImage(uint8_t* image, const uint8_t* blockMap, const ExtractionWork& scratch);

// The steps of CleanRidgeImage, on WorkImage-sized buffers.
void SmoothAlongBlockDirection(uint8_t* image, uint8_t* scratch, const uint8_t* blockMap);
void BoxMeanWork(const uint8_t* source, uint8_t* destination, uint8_t* scratch, int window);
void BinariseByLocalMean(uint8_t* meanOf9, const uint8_t* meanOf3);
void FillFrame(uint8_t* image, int width, uint8_t value);
void FillSmallRegions(uint8_t* image, int limit, int32_t* entries);
void InvertImage(uint8_t* image);

} // namespace vela::engine

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/directions/ExtractionWork.h"
#include "engine/records/EngineGeometry.h"

namespace vela::engine {

// The per-view result of the standard path: block map, quality and at most
// `capacity` typed minutiae (half pixels of the work area, directions in 256
// steps from the row direction toward increasing rows).
namespace standard_impression {
inline constexpr size_t kQualityOffset = 2;
inline constexpr size_t kBlockColumnsOffset = 3;
inline constexpr size_t kBlockRowsOffset = 4;
inline constexpr size_t kCountOffset = 5;
inline constexpr size_t kBlocksOffset = 6;
inline constexpr size_t kMinutiaeOffset = kBlocksOffset + kBlockCount; // 456
inline constexpr int kIsoCapacity = 52;
inline constexpr int kIncitsCapacity = 70;
inline constexpr uint8_t kRidgeEnding = 1;
inline constexpr uint8_t kRidgeBifurcation = 0;

constexpr size_t Size(int capacity) { return kMinutiaeOffset + 4 * static_cast<size_t>(capacity); }
constexpr size_t XOffset(int) { return kMinutiaeOffset; }
constexpr size_t YOffset(int capacity) { return kMinutiaeOffset + static_cast<size_t>(capacity); }
constexpr size_t DirectionOffset(int capacity) { return kMinutiaeOffset + 2 * static_cast<size_t>(capacity); }
constexpr size_t TypeOffset(int capacity) { return kMinutiaeOffset + 3 * static_cast<size_t>(capacity); }
} // namespace standard_impression

// The lowest quality a view may have after preparation and after extraction.
inline constexpr int kLowestStandardQuality = 5;

// How many minutiae a view may keep, and how few leave it quality 0.
struct StandardCapacity {
    int capacity;
    int fewestMinutiae;
};
inline constexpr StandardCapacity kIsoMinutiae{standard_impression::kIsoCapacity, 4};

// The working list of FindStandardMinutiae, in work-image pixels.
struct StandardMinutiaList {
    static constexpr int kCapacity = 1000;

    int count = 0;
    std::array<int16_t, kCapacity> x{};
    std::array<int16_t, kCapacity> y{};
    std::array<uint8_t, kCapacity> direction{};
    std::array<uint8_t, kCapacity> type{};
    std::array<uint8_t, kCapacity> valid{};

    bool Add(int column, int row, uint8_t dir, uint8_t kind)
    {
        if (count >= kCapacity)
            return false;
        x[count] = static_cast<int16_t>(column);
        y[count] = static_cast<int16_t>(row);
        direction[count] = dir;
        type[count] = kind;
        valid[count] = 1;
        ++count;
        return true;
    }

    void Compact();
};

// Everything one view of the standard path works in: four WorkImages (W0 the
// binary ridge image, W1 the grey image, W2 and W3 scratch), 32-bit entries
// for candidate lists, ridge walks and flood fills, and two minutia lists.
// Each call makes its own on the heap, so calls from several threads never
// share one, and client threads with small stacks can run them.
struct StandardWorkArea {
    static constexpr size_t kEndingCapacity = 10000;
    static constexpr size_t kBranchingCapacity = 8000;
    static constexpr size_t kWalkCapacity = extraction_work::kWalkCapacity;
    static constexpr size_t kEntryCount = kEndingCapacity + kBranchingCapacity + kWalkCapacity + kEndingCapacity;
    static_assert(kEntryCount >= extraction_work::kFloodStackCapacity + extraction_work::kFloodRecordCapacity);

    std::vector<uint8_t> images = std::vector<uint8_t>(4 * static_cast<size_t>(kWorkImageBytes));
    std::vector<int32_t> entries = std::vector<int32_t>(kEntryCount);
    StandardMinutiaList ridges;  // list A: bifurcations of the ridge skeleton
    StandardMinutiaList valleys; // list B: bifurcations of the valley skeleton, the ridge endings

    uint8_t* W(int k) { return images.data() + static_cast<size_t>(k) * kWorkImageBytes; }
    void Clear();
};

} // namespace vela::engine

#include "engine/directions/RidgeCleanup.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/directions/ExtractionWork.h"
#include "engine/records/EngineGeometry.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

const std::array<std::array<DirectionStep, 5>, 60> DirectionSteps = {{
    {{{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}}}, // 0
    {{{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}}}, // 1
    {{{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, -1}}}, // 2
    {{{1, 0}, {2, 0}, {3, 0}, {4, -1}, {5, -1}}}, // 3
    {{{1, 0}, {2, 0}, {3, -1}, {4, -1}, {5, -1}}}, // 4
    {{{1, 0}, {2, -1}, {3, -1}, {4, -1}, {5, -1}}}, // 5
    {{{1, 0}, {2, -1}, {3, -1}, {4, -1}, {5, -2}}}, // 6
    {{{1, 0}, {2, -1}, {3, -1}, {4, -1}, {5, -2}}}, // 7
    {{{1, 0}, {2, -1}, {3, -1}, {4, -2}, {5, -2}}}, // 8
    {{{1, 0}, {2, -1}, {3, -1}, {4, -2}, {4, -2}}}, // 9
    {{{1, 0}, {2, -1}, {3, -1}, {3, -2}, {4, -2}}}, // 10
    {{{1, -1}, {2, -1}, {3, -2}, {3, -2}, {4, -3}}}, // 11
    {{{1, -1}, {2, -1}, {2, -2}, {3, -2}, {4, -3}}}, // 12
    {{{1, -1}, {2, -1}, {2, -2}, {3, -3}, {4, -3}}}, // 13
    {{{1, -1}, {1, -1}, {2, -2}, {3, -3}, {4, -3}}}, // 14
    {{{1, -1}, {1, -1}, {2, -2}, {3, -3}, {4, -4}}}, // 15
    {{{1, -1}, {1, -1}, {2, -2}, {3, -3}, {3, -4}}}, // 16
    {{{1, -1}, {1, -2}, {2, -2}, {3, -3}, {3, -4}}}, // 17
    {{{1, -1}, {1, -2}, {2, -2}, {2, -3}, {3, -4}}}, // 18
    {{{1, -1}, {1, -2}, {2, -3}, {2, -3}, {3, -4}}}, // 19
    {{{1, -1}, {1, -2}, {2, -3}, {2, -3}, {3, -4}}}, // 20
    {{{0, -1}, {1, -2}, {1, -3}, {2, -4}, {2, -4}}}, // 21
    {{{0, -1}, {1, -2}, {1, -3}, {2, -4}, {2, -5}}}, // 22
    {{{0, -1}, {1, -2}, {1, -3}, {1, -4}, {2, -5}}}, // 23
    {{{0, -1}, {1, -2}, {1, -3}, {1, -4}, {2, -5}}}, // 24
    {{{0, -1}, {1, -2}, {1, -3}, {1, -4}, {1, -5}}}, // 25
    {{{0, -1}, {0, -2}, {1, -3}, {1, -4}, {1, -5}}}, // 26
    {{{0, -1}, {0, -2}, {0, -3}, {1, -4}, {1, -5}}}, // 27
    {{{0, -1}, {0, -2}, {0, -3}, {0, -4}, {1, -5}}}, // 28
    {{{0, -1}, {0, -2}, {0, -3}, {0, -4}, {0, -5}}}, // 29
    {{{0, -1}, {0, -2}, {0, -3}, {0, -4}, {0, -5}}}, // 30
    {{{0, -1}, {0, -2}, {0, -3}, {0, -4}, {0, -5}}}, // 31
    {{{0, -1}, {0, -2}, {0, -3}, {0, -4}, {-1, -5}}}, // 32
    {{{0, -1}, {0, -2}, {0, -3}, {-1, -4}, {-1, -5}}}, // 33
    {{{0, -1}, {0, -2}, {-1, -3}, {-1, -4}, {-1, -5}}}, // 34
    {{{0, -1}, {-1, -2}, {-1, -3}, {-1, -4}, {-1, -5}}}, // 35
    {{{0, -1}, {-1, -2}, {-1, -3}, {-1, -4}, {-2, -5}}}, // 36
    {{{0, -1}, {-1, -2}, {-1, -3}, {-1, -4}, {-2, -5}}}, // 37
    {{{0, -1}, {-1, -2}, {-1, -3}, {-2, -4}, {-2, -5}}}, // 38
    {{{0, -1}, {-1, -2}, {-1, -3}, {-2, -4}, {-2, -4}}}, // 39
    {{{0, -1}, {-1, -2}, {-1, -3}, {-2, -3}, {-2, -4}}}, // 40
    {{{-1, -1}, {-1, -2}, {-2, -3}, {-2, -3}, {-3, -4}}}, // 41
    {{{-1, -1}, {-1, -2}, {-2, -2}, {-2, -3}, {-3, -4}}}, // 42
    {{{-1, -1}, {-1, -2}, {-2, -2}, {-3, -3}, {-3, -4}}}, // 43
    {{{-1, -1}, {-1, -1}, {-2, -2}, {-3, -3}, {-3, -4}}}, // 44
    {{{-1, -1}, {-1, -1}, {-2, -2}, {-3, -3}, {-4, -4}}}, // 45
    {{{-1, -1}, {-1, -1}, {-2, -2}, {-3, -3}, {-4, -3}}}, // 46
    {{{-1, -1}, {-2, -1}, {-2, -2}, {-3, -3}, {-4, -3}}}, // 47
    {{{-1, -1}, {-2, -1}, {-2, -2}, {-3, -2}, {-4, -3}}}, // 48
    {{{-1, -1}, {-2, -1}, {-3, -2}, {-3, -2}, {-4, -3}}}, // 49
    {{{-1, 0}, {-2, -1}, {-3, -1}, {-3, -2}, {-4, -2}}}, // 50
    {{{-1, 0}, {-2, -1}, {-3, -1}, {-4, -2}, {-4, -2}}}, // 51
    {{{-1, 0}, {-2, -1}, {-3, -1}, {-4, -2}, {-5, -2}}}, // 52
    {{{-1, 0}, {-2, -1}, {-3, -1}, {-4, -1}, {-5, -2}}}, // 53
    {{{-1, 0}, {-2, -1}, {-3, -1}, {-4, -1}, {-5, -2}}}, // 54
    {{{-1, 0}, {-2, -1}, {-3, -1}, {-4, -1}, {-5, -1}}}, // 55
    {{{-1, 0}, {-2, 0}, {-3, -1}, {-4, -1}, {-5, -1}}}, // 56
    {{{-1, 0}, {-2, 0}, {-3, 0}, {-4, -1}, {-5, -1}}}, // 57
    {{{-1, 0}, {-2, 0}, {-3, 0}, {-4, 0}, {-5, -1}}}, // 58
    {{{-1, 0}, {-2, 0}, {-3, 0}, {-4, 0}, {-5, 0}}}, // 59
}};

namespace {

constexpr int kStride = kWorkImageStride;
constexpr int kFirstActive = kWorkImageFirstPixel;
constexpr int kLastActive = kWorkImageFirstPixel + (kWorkHeight - 1) * kWorkImageStride + kWorkWidth - 1;
constexpr int kHoleLimit = 18;
constexpr int kFragmentLimit = 14;
constexpr uint8_t kFrameMark = 127;
constexpr uint8_t kRidge = 255;
constexpr uint8_t kPushedMark = 1;

int ActiveOffset(int row, int column) { return kFirstActive + row * kStride + column; }

} // namespace

bool CleanRidgeImage(std::span<uint8_t> workImage, std::span<const uint8_t> record, std::span<uint8_t> work)
{
    const auto scratch = CarveExtractionWork(work);
    if (!scratch || workImage.size() < static_cast<size_t>(kWorkImageBytes) || record.size() < impression::kSize)
        return false;
    CleanRidgeImage(workImage.data(), record.data() + impression::kBlocksOffset, *scratch);
    return true;
}

void CleanRidgeImage(uint8_t* image, const uint8_t* blockMap, const ExtractionWork& scratch)
{
    SmoothAlongBlockDirection(image, scratch.scratch0, blockMap);
    BoxMeanWork(image, scratch.scratch0, scratch.scratch1, 3);
    BoxMeanWork(scratch.scratch0, image, scratch.scratch1, 9);
    BinariseByLocalMean(image, scratch.scratch0);
    FillFrame(image, kWorkImageMargin, kFrameMark);
    FillSmallRegions(image, kHoleLimit, scratch.entries);
    InvertImage(image);
    FillSmallRegions(image, kFragmentLimit, scratch.entries);
    InvertImage(image);
    FillFrame(image, kWorkImageMargin, 0);
}

void SmoothAlongBlockDirection(uint8_t* image, uint8_t* scratch, const uint8_t* blockMap)
{
    for (int row = 0; row < kWorkHeight; ++row) {
        for (int blockColumn = 0; blockColumn < kBlockColumns; ++blockColumn) {
            const uint8_t direction = blockMap[(row / kBlockSide) * kBlockColumns + blockColumn];
            const int first = ActiveOffset(row, blockColumn * kBlockSide);
            if (direction >= kDirectionSteps) {
                std::memset(scratch + first, 0, kBlockSide);
                continue;
            }
            int offsets[5];
            for (int k = 0; k < 5; ++k)
                offsets[k] = DirectionSteps[direction][k].dy * kStride + DirectionSteps[direction][k].dx;
            for (int at = first; at < first + kBlockSide; ++at) {
                int sum = image[at];
                for (int k = 0; k < 5; ++k)
                    sum += image[at + offsets[k]] + image[at - offsets[k]];
                // The mean of 11 integers is never a half, so this is RoundHalfAway of sum / 11.
                scratch[at] = static_cast<uint8_t>((2 * sum + 11) / 22);
            }
        }
    }
    for (int row = 0; row < kWorkHeight; ++row)
        std::memcpy(image + ActiveOffset(row, 0), scratch + ActiveOffset(row, 0), kWorkWidth);
}

// Running means over the active area. Reads reach `window / 2` pixels beyond
// it: the margins are read as they are, and a window wider than the margin is
// held at the buffer's edge rather than read outside it.
void BoxMeanWork(const uint8_t* source, uint8_t* destination, uint8_t* scratch, int window)
{
    window |= 1;
    if (window < 3 || window > 15) {
        std::memcpy(destination, source, kWorkImageBytes);
        return;
    }
    const int half = window / 2;
    std::array<uint8_t, 255 * 15 + 1> mean;
    for (int sum = 0; sum <= 255 * window; ++sum)
        mean[sum] = static_cast<uint8_t>(sum / window);
    auto clampRow = [](int row) { return std::clamp(row, 0, kWorkImageRows - 1); };
    auto clampColumn = [](int column) { return std::clamp(column, 0, kWorkImageStride - 1); };

    const int firstRow = clampRow(kWorkImageMargin - half);
    const int lastRow = clampRow(kWorkImageMargin + kWorkHeight - 1 + half);
    for (int row = firstRow; row <= lastRow; ++row) {
        const uint8_t* in = source + row * kStride;
        uint8_t* out = scratch + row * kStride;
        int sum = 0;
        for (int k = -half; k <= half; ++k)
            sum += in[clampColumn(kWorkImageMargin + k)];
        for (int column = kWorkImageMargin; column < kWorkImageMargin + kWorkWidth; ++column) {
            out[column] = mean[sum];
            sum += in[clampColumn(column + half + 1)] - in[clampColumn(column - half)];
        }
    }
    std::array<int, kWorkImageStride> sums{};
    for (int k = -half; k <= half; ++k) {
        const uint8_t* line = scratch + clampRow(kWorkImageMargin + k) * kStride;
        for (int column = kWorkImageMargin; column < kWorkImageMargin + kWorkWidth; ++column)
            sums[column] += line[column];
    }
    for (int row = kWorkImageMargin; row < kWorkImageMargin + kWorkHeight; ++row) {
        const uint8_t* add = scratch + clampRow(row + half + 1) * kStride;
        const uint8_t* drop = scratch + clampRow(row - half) * kStride;
        uint8_t* out = destination + row * kStride;
        for (int column = kWorkImageMargin; column < kWorkImageMargin + kWorkWidth; ++column) {
            out[column] = mean[sums[column]];
            sums[column] += add[column] - drop[column];
        }
    }
}

void BinariseByLocalMean(uint8_t* meanOf9, const uint8_t* meanOf3)
{
    for (int at = 0; at < kWorkImageBytes; ++at)
        meanOf9[at] = meanOf9[at] < meanOf3[at] ? kRidge : 0;
}

void FillFrame(uint8_t* image, int width, uint8_t value)
{
    for (int row = 0; row < kWorkImageRows; ++row) {
        uint8_t* line = image + row * kStride;
        if (row < width || row >= kWorkImageRows - width) {
            std::memset(line, value, kStride);
            continue;
        }
        std::memset(line, value, width);
        std::memset(line + kStride - width, value, width);
    }
}

// Regions are explored breadth first: the pending pixels then form a thin
// front, far below the capacity of the entry area even for the whole
// background (depth first, a large region would outgrow it and leave pieces
// that later look like small regions). The frame (non-zero) bounds every
// region, so the fill never leaves the image.
void FillSmallRegions(uint8_t* image, int limit, int32_t* entries)
{
    int32_t* pending = entries;
    int32_t* recorded = entries + extraction_work::kFloodStackCapacity;
    constexpr int kCapacity = static_cast<int>(extraction_work::kFloodStackCapacity);
    constexpr int kRecordCapacity = static_cast<int>(extraction_work::kFloodRecordCapacity);
    constexpr int kNeighbours[4] = {-kStride, -1, 1, kStride};

    for (int start = kFirstActive; start <= kLastActive; ++start) {
        if (image[start] != 0)
            continue;
        int head = 0, held = 0, size = 0;
        auto take = [&](int at) {
            image[at] = kPushedMark;
            const int tail = head + held;
            pending[tail >= kCapacity ? tail - kCapacity : tail] = at;
            ++held;
            if (size < kRecordCapacity)
                recorded[size] = at;
            ++size;
        };
        take(start);
        while (held > 0) {
            const int at = pending[head];
            head = head + 1 == kCapacity ? 0 : head + 1;
            --held;
            for (int step : kNeighbours) {
                const int next = at + step;
                if (next >= 0 && next < kWorkImageBytes && image[next] == 0 && held < kCapacity)
                    take(next);
            }
        }
        if (size < limit) {
            for (int k = 0; k < std::min(size, kRecordCapacity); ++k)
                image[recorded[k]] = kRidge;
        }
    }
    for (int at = 0; at < kWorkImageBytes; ++at)
        if (image[at] < kFrameMark)
            image[at] = 0;
}

void InvertImage(uint8_t* image)
{
    for (int at = 0; at < kWorkImageBytes; ++at)
        image[at] = static_cast<uint8_t>(255 - image[at]);
}

} // namespace vela::engine

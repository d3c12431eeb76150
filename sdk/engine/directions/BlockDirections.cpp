#include "engine/directions/BlockDirections.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "engine/directions/ExtractionWork.h"
#include "base/ByteOrder.h"
#include "engine/records/ImpressionRecord.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {
namespace {

constexpr double kStepsPerRadian = 19.098593171027442; // 60 / pi
constexpr int32_t kEnergyDivisor = 3333;
constexpr int32_t kEnergyGate = 15000;
constexpr int kAgreementSteps = 4;

int DirectionOfAngle(double theta)
{
    return RoundHalfAway(theta * kStepsPerRadian) % kDirectionSteps;
}

int CircularStepDistance(int a, int b)
{
    const int d = a > b ? a - b : b - a;
    return d < kDirectionSteps - d ? d : kDirectionSteps - d;
}

} // namespace

bool BuildBlockDirectionMap(std::span<uint8_t> workImage, std::span<uint8_t> record, std::span<uint8_t> work)
{
    const auto scratch = CarveExtractionWork(work);
    if (!scratch || workImage.size() < static_cast<size_t>(kWorkImageBytes) || record.size() < impression::kSize)
        return false;
    std::memset(record.data(), 0, impression::kSize);
    WriteLe<int32_t>(record.data() + impression::kRecordSizeOffset, static_cast<int32_t>(impression::kSize));
    WriteLe<int32_t>(record.data() + impression::kKindOffset, impression::kPlain);
    record[impression::kFingerCodeOffset] = impression::kPlainMarker;
    record[impression::kBlockRowsOffset] = static_cast<uint8_t>(kBlockRows);
    std::memset(scratch->scratch0, 0, kWorkImageBytes);
    std::memset(scratch->scratch1, 0, kWorkImageBytes);
    EstimateBlockDirections(workImage.data(), record.data());
    return true;
}

GradientSums BlockGradientSums(const uint8_t* workImage, int blockRow, int blockColumn)
{
    constexpr int s = kWorkImageStride;
    GradientSums sums{0, 0, 0};
    for (int row = blockRow * kBlockSide; row < (blockRow + 1) * kBlockSide; ++row) {
        const uint8_t* p = workImage + kWorkImageFirstPixel + row * s + blockColumn * kBlockSide;
        for (int column = 0; column < kBlockSide; ++column, ++p) {
            const int nw = p[-s - 1], n = p[-s], ne = p[-s + 1];
            const int w = p[-1], e = p[1];
            const int sw = p[s - 1], so = p[s], se = p[s + 1];
            const int gx = 2 * (e - w) + ne + se - nw - sw;
            const int gy = 2 * (n - so) + nw + ne - sw - se;
            sums.gxx += gx * gx;
            sums.gyy += gy * gy;
            sums.gxy += gx * gy;
        }
    }
    return sums;
}

uint8_t RawBlockDirection(const GradientSums& sums, int32_t energyGate)
{
    if ((sums.gxx + sums.gyy) / kEnergyDivisor < energyGate)
        return kNoDirection;
    double theta;
    if (sums.gxx == sums.gyy) {
        theta = sums.gxy < 0 ? std::numbers::pi / 4 : 3 * std::numbers::pi / 4;
    } else {
        theta = std::atan(2.0 * sums.gxy / static_cast<double>(sums.gxx - sums.gyy)) / 2;
        if (theta < 0)
            theta += std::numbers::pi;
        if (sums.gyy < sums.gxx)
            theta += std::numbers::pi / 2;
    }
    return static_cast<uint8_t>(DirectionOfAngle(theta));
}

BlockDirectionMap SmoothBlockDirections(const BlockDirectionMap& raw)
{
    BlockDirectionMap smoothed;
    smoothed.fill(kNoDirection);
    for (int row = 0; row < kBlockRows; ++row) {
        for (int column = 0; column < kBlockColumns; ++column) {
            if (raw[row * kBlockColumns + column] == kNoDirection)
                continue;
            double cosSum = 0, sinSum = 0;
            for (int r = row - 1; r <= row + 1; ++r) {
                for (int c = column - 1; c <= column + 1; ++c) {
                    if (r < 0 || r >= kBlockRows || c < 0 || c >= kBlockColumns)
                        continue;
                    const uint8_t value = raw[r * kBlockColumns + c];
                    if (value == kNoDirection)
                        continue;
                    const double doubled = value * std::numbers::pi / 30;
                    cosSum += std::cos(doubled);
                    sinSum += std::sin(doubled);
                }
            }
            double theta;
            if (std::fabs(cosSum) <= 0.0001) {
                theta = sinSum > 0 ? std::numbers::pi / 4 : 3 * std::numbers::pi / 4;
            } else {
                theta = std::atan(sinSum / cosSum) / 2;
                if (theta < 0)
                    theta += std::numbers::pi;
                if (cosSum < 0)
                    theta += std::numbers::pi / 2;
            }
            smoothed[row * kBlockColumns + column] = static_cast<uint8_t>(DirectionOfAngle(theta));
        }
    }
    return smoothed;
}

uint8_t BlockDirectionQuality(const BlockDirectionMap& raw, const BlockDirectionMap& smoothed)
{
    int directed = 0, agreeing = 0;
    for (int block = 0; block < kBlockCount; ++block) {
        if (raw[block] == kNoDirection)
            continue;
        ++directed;
        if (CircularStepDistance(raw[block], smoothed[block]) <= kAgreementSteps)
            ++agreeing;
    }
    if (directed == 0)
        return 0;
    const double share = 100.0 * agreeing * agreeing / (static_cast<double>(kBlockCount) * directed);
    return static_cast<uint8_t>(RoundHalfAway(share));
}

void EstimateBlockDirections(const uint8_t* workImage, uint8_t* record)
{
    EstimateBlockDirections(workImage, record + impression::kBlocksOffset, record[impression::kQualityOffset],
                            kEnergyGate);
}

void EstimateBlockDirections(const uint8_t* workImage, uint8_t* blockMap, uint8_t& quality, int32_t energyGate)
{
    BlockDirectionMap raw;
    for (int row = 0; row < kBlockRows; ++row)
        for (int column = 0; column < kBlockColumns; ++column)
            raw[row * kBlockColumns + column] =
                RawBlockDirection(BlockGradientSums(workImage, row, column), energyGate);
    const BlockDirectionMap smoothed = SmoothBlockDirections(raw);
    std::memcpy(blockMap, smoothed.data(), kBlockCount);
    quality = BlockDirectionQuality(raw, smoothed);
}

} // namespace vela::engine

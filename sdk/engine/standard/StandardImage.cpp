#include "engine/standard/StandardImage.h"

#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "engine/directions/RidgeCleanup.h"
#include "engine/input/ResampleToWorkImage.h"
#include "engine/records/RoundHalfAway.h"
#include "engine/standard/PrepareStandardImpression.h"
#include "engine/standard/StandardMinutiae.h"
#include "engine/standard/StandardTemplates.h"

namespace vela::engine {
namespace {

constexpr int32_t kStandardResolution = 170;
constexpr int32_t kSmallestImage = 100;
constexpr int32_t kLowestResolution = 40;
constexpr int32_t kLargestField = std::numeric_limits<uint16_t>::max();
constexpr int64_t kMilli = 1000;
constexpr int64_t kMicro = 1000000;

int32_t FixedPointFactor(int32_t newLength, int32_t length)
{
    return static_cast<int32_t>(static_cast<int64_t>(newLength) * kMilli / length);
}

struct Centroid {
    int32_t column;
    int32_t row;
};

Centroid BrightnessCentroid(const std::vector<uint8_t>& image, int32_t width, int32_t height)
{
    double sum = 0, columnSum = 0, rowSum = 0;
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* line = image.data() + static_cast<size_t>(row) * width;
        for (int32_t column = 0; column < width; ++column) {
            const double weight = line[column];
            sum += weight;
            columnSum += weight * column;
            rowSum += weight * row;
        }
    }
    if (sum == 0)
        return Centroid{width / 2, height / 2};
    return Centroid{RoundHalfAway(columnSum / sum), RoundHalfAway(rowSum / sum)};
}

// Offset of a window of `window` pixels centred on `centre` that stays inside `length`.
int32_t WindowStart(int32_t centre, int32_t length, int32_t window)
{
    int32_t start = centre - window / 2;
    if (start < 0)
        start = 0;
    if (centre + window / 2 > length)
        start = length - window;
    return start;
}

} // namespace

void ResampleImage(const uint8_t* source, uint8_t* destination, int32_t width, int32_t height, int32_t newWidth,
                   int32_t newHeight)
{
    const double sx = static_cast<double>(newWidth) / width;
    const double sy = static_cast<double>(newHeight) / height;
    for (int32_t i = 0; i < newHeight; ++i) {
        const double y = i / sy;
        for (int32_t j = 0; j < newWidth; ++j) {
            const double x = j * (1 / sx);
            destination[static_cast<size_t>(i) * newWidth + j] = SampleArea(source, width, height, x, y, 0, width);
        }
    }
}

bool ResampleImageFixedPoint(const uint8_t* source, uint8_t* destination, int32_t width, int32_t height,
                             int32_t newWidth, int32_t newHeight)
{
    const int64_t sx = FixedPointFactor(newWidth, width);
    const int64_t sy = FixedPointFactor(newHeight, height);
    if (sx <= 0 || sy <= 0)
        return false;
    for (int64_t i = 0; i < newHeight; ++i) {
        const int64_t r = i * kMilli / sy;
        const int64_t y = i * kMicro / sy;
        for (int64_t j = 0; j < newWidth; ++j) {
            uint8_t& out = destination[i * newWidth + j];
            const int64_t c = j * kMilli / sx;
            if (c >= width || r >= height) {
                out = 0;
                continue;
            }
            if (c == 0 || c == width - 1 || r == 0 || r == height - 1) {
                out = source[r * width + c];
                continue;
            }
            const int64_t x = j * kMicro / sx;
            const int64_t columns[2] = {(x - 500) / kMilli, (x + 500) / kMilli};
            const int64_t columnWeights[2] = {kMilli - (x - 500) % kMilli, (x + 500) % kMilli};
            const int64_t rows[2] = {(y - 500) / kMilli, (y + 500) / kMilli};
            const int64_t rowWeights[2] = {kMilli - (y - 500) % kMilli, (y + 500) % kMilli};
            int64_t sum = 0;
            for (int a = 0; a < 2; ++a)
                for (int b = 0; b < 2; ++b)
                    sum += source[rows[a] * width + columns[b]] * rowWeights[a] * columnWeights[b];
            out = static_cast<uint8_t>(sum / kMicro);
        }
    }
    return true;
}

int32_t ScaledLength(int32_t length, int32_t resolution)
{
    if (resolution == kStandardResolution)
        return length;
    return RoundHalfAway(static_cast<double>(static_cast<uint32_t>(length) * kStandardResolution) / resolution);
}

bool UsableImageSpec(const StandardImageSpec& spec, StandardSampler sampler)
{
    if (spec.width < kSmallestImage || spec.height < kSmallestImage || spec.width > kLargestField ||
        spec.height > kLargestField)
        return false;
    if (spec.xResolution < kLowestResolution || spec.yResolution < kLowestResolution ||
        spec.xResolution > kLargestField || spec.yResolution > kLargestField || spec.blockEnergy == 0)
        return false;
    const int32_t width = ScaledLength(spec.width, spec.xResolution);
    const int32_t height = ScaledLength(spec.height, spec.yResolution);
    if (width <= 0 || height <= 0)
        return false;
    if (sampler == StandardSampler::FixedPoint)
        return FixedPointFactor(width, spec.width) > 0 && FixedPointFactor(height, spec.height) > 0;
    return true;
}

int32_t ExtractStandardView(const uint8_t* pixels, const StandardImageSpec& spec, StandardSampler sampler,
                            StandardCapacity capacity, StandardWorkArea& area, uint8_t* impression,
                            StandardCut& cut)
{
    std::memset(impression, 0, standard_impression::Size(capacity.capacity));
    area.Clear();

    int32_t width = ScaledLength(spec.width, spec.xResolution);
    int32_t height = ScaledLength(spec.height, spec.yResolution);
    std::vector<uint8_t> image;
    try {
        image.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    } catch (const std::bad_alloc&) {
        return standard_result::OutOfMemory;
    }
    // The caller's pixels stay as they are: the inversion works on this copy.
    if (spec.xResolution == kStandardResolution && spec.yResolution == kStandardResolution)
        std::memcpy(image.data(), pixels, image.size());
    else if (sampler == StandardSampler::Float)
        ResampleImage(pixels, image.data(), spec.width, spec.height, width, height);
    else
        ResampleImageFixedPoint(pixels, image.data(), spec.width, spec.height, width, height);
    if (spec.invert)
        for (uint8_t& p : image)
            p = static_cast<uint8_t>(255 - p);

    const int32_t fullWidth = width;
    cut = StandardCut{};
    if (width > kWorkWidth || height > kWorkHeight) {
        const Centroid centre = BrightnessCentroid(image, width, height);
        if (height > kWorkHeight) {
            cut.top = WindowStart(centre.row, height, kWorkHeight);
            height = kWorkHeight;
        }
        if (width > kWorkWidth) {
            cut.left = WindowStart(centre.column, width, kWorkWidth);
            width = kWorkWidth;
        }
    }
    uint8_t* grey = area.W(1);
    for (int32_t row = 0; row < height; ++row)
        std::memcpy(grey + kWorkImageFirstPixel + row * kWorkImageStride,
                    image.data() + static_cast<size_t>(row + cut.top) * fullWidth + cut.left, width);

    PrepareStandardImpression(area, impression, spec.blockEnergy);
    if (impression[standard_impression::kQualityOffset] < kLowestStandardQuality)
        return standard_result::LowQuality;
    CleanRidgeImage(area.W(0), impression + standard_impression::kBlocksOffset,
                    ExtractionWork{area.W(1), area.W(2), area.entries.data()});
    FindStandardMinutiae(area, impression, capacity);
    if (impression[standard_impression::kQualityOffset] < kLowestStandardQuality)
        return standard_result::LowQuality;
    return 0;
}

void StandardMinutiaList::Compact()
{
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        if (!valid[i])
            continue;
        x[kept] = x[i];
        y[kept] = y[i];
        direction[kept] = direction[i];
        type[kept] = type[i];
        valid[kept] = 1;
        ++kept;
    }
    count = kept;
}

void StandardWorkArea::Clear()
{
    std::memset(images.data(), 0, images.size());
    ridges.count = 0;
    valleys.count = 0;
}

} // namespace vela::engine

#include "engine/cleaning/CleanFingerImage.h"

#include <array>
#include <cstring>

#include "engine/cleaning/CanvasFilters.h"
#include "engine/cleaning/CleaningCanvas.h"
#include "engine/cleaning/ContrastQuality.h"
#include "engine/cleaning/EnhanceRidges.h"
#include "engine/cleaning/ForegroundMask.h"
#include "engine/cleaning/OrientationMap.h"
#include "engine/cleaning/PatternMeasure.h"
#include "engine/cleaning/ThresholdLine.h"
#include "engine/input/BmpLayout.h"
#include "engine/input/CentreOnCanvas.h"
#include "engine/input/ConvertInputImage.h"
#include "engine/input/CutWorkArea.h"
#include "engine/input/FindCorePoint.h"
#include "engine/input/InitImageParameters.h"
#include "engine/input/MirrorRows.h"
#include "engine/input/PackCleanedImage.h"
#include "engine/input/ResampleToWorkImage.h"
#include "engine/input/ScannerParameters.h"
#include "base/ByteOrder.h"
#include "engine/records/ImageParameters.h"
#include "engine/records/RoundHalfAway.h"

namespace vela::engine {
namespace {

using ParameterBlock = std::array<uint8_t, image_parameters::kSize>;

constexpr int32_t kTwoToneScanner = 12;
constexpr int32_t kContrastClip = 140;
constexpr int32_t kStretchMargin = 20;
constexpr int32_t kBinaryFrame = 32;
constexpr int32_t kSteepEdgeMeasure = 30;
constexpr int32_t kFewestCutPixels = 100;
constexpr int32_t kNoRidgeShare = 200;

struct CleaningBuffers {
    uint8_t* a;
    uint8_t* b;
    uint8_t* c;
    uint8_t* d;
    int16_t* accumulator;
    uint8_t* slots[4];
};

bool CarveCleaningWork(std::span<uint8_t> work, CleaningBuffers& buffers)
{
    if (work.size() < cleaning_work::kSize || reinterpret_cast<uintptr_t>(work.data()) % alignof(int16_t) != 0)
        return false;
    uint8_t* base = work.data();
    buffers.a = base + cleaning_work::kCanvasA;
    buffers.b = base + cleaning_work::kCanvasB;
    buffers.c = base + cleaning_work::kCanvasC;
    buffers.d = base + cleaning_work::kCanvasD;
    buffers.accumulator = reinterpret_cast<int16_t*>(base + cleaning_work::kAccumulator);
    for (int k = 0; k < 4; ++k)
        buffers.slots[k] = base + cleaning_work::kSlots + k * static_cast<size_t>(kCleanedImageBytes);
    return true;
}

bool HasRoomForResults(const CleanedVariantList& variants, const ImageParameterList& parameters)
{
    if (variants.count < 4 || parameters.count < 2)
        return false;
    for (uint8_t* image : variants.images)
        if (image == nullptr)
            return false;
    return parameters.blocks[0] != nullptr && parameters.blocks[1] != nullptr;
}

void WriteField(ParameterBlock& block, size_t offset, int32_t value) { WriteLe<int32_t>(block.data() + offset, value); }
int32_t ReadField(const ParameterBlock& block, size_t offset) { return ReadLe<int32_t>(block.data() + offset); }

// Two-tone pictures of scanner 12 need a lower gate for the print blocks.
void UseTwoToneSettings(ScannerParameters& scanner)
{
    scanner.cleanC = 50;
    scanner.cleanD = 85.333333333333329;
}

int32_t WholeBlocksOffset(int32_t from, int32_t to)
{
    return kCanvasBlockSide * RoundHalfAway((from - to) * 0.0625);
}

// Both cuts of one reference point into two slots and their counts, shares
// and window quality into the parameter block.
struct CutPass {
    const uint8_t* thresholded;
    const uint8_t* enhanced;
    uint8_t* area;
    const CanvasBlockMap& mask;
    const CanvasBlockMap& contrast;
    CanvasExtent extent;
    ContentRect centred;
};

bool CutAndPack(const CutPass& pass, const uint8_t* source, CanvasPoint point, uint8_t* slot, CutCounts& counts)
{
    ContentRect bounds = pass.centred;
    if (CutWorkArea(source, kCanvasBytes, pass.area, kCanvasBytes, point.x, point.y, pass.mask.data(),
                    pass.mask.size(), pass.extent.width, pass.extent.height, bounds, counts) != result::Success)
        return false;
    return PackCleanedImage(pass.area, kCanvasBytes, slot, kCleanedImageBytes, bounds) == result::Success;
}

bool CutVariants(const CutPass& pass, CanvasPoint point, ParameterBlock& block, uint8_t* thresholdSlot,
                 uint8_t* enhancedSlot)
{
    CutCounts counts;
    if (!CutAndPack(pass, pass.thresholded, point, thresholdSlot, counts))
        return false;
    WriteField(block, image_parameters::kCutPixelsOffset, counts.copied);
    WriteField(block, image_parameters::kRidgeShareOffset,
               counts.copied >= kFewestCutPixels
                   ? RoundHalfAway(static_cast<double>(counts.nonZero) / counts.copied * 100)
                   : kNoRidgeShare);
    WriteField(block, image_parameters::kQualityOffset, WindowQuality(point, pass.mask, pass.contrast, pass.extent));
    if (!CutAndPack(pass, pass.enhanced, point, enhancedSlot, counts))
        return false;
    WriteField(block, image_parameters::kCutPixelsOffset, counts.copied);
    const int32_t workPixels = ReadField(block, image_parameters::kWorkPixelsOffset);
    WriteField(block, image_parameters::kAreaShareOffset, workPixels == 0 ? 0 : counts.copied * 100 / workPixels);
    return true;
}

// The top-left corner of the centroid cut in pixels of the input picture.
int32_t InputOrigin(int32_t centroid, int32_t halfWork, int32_t crop, int32_t sourceDpi, int32_t targetDpi)
{
    const int32_t left = kCanvasBlockSide * RoundHalfAway((centroid - halfWork) / 16.0) + crop;
    if (targetDpi <= 0)
        return left;
    return RoundHalfAway(static_cast<double>(left) * sourceDpi / targetDpi);
}

bool WantsAllVariants(int32_t dataId) { return (dataId >= 20 && dataId <= 99) || dataId >= 120; }

void HandBackResults(int32_t dataId, const ScannerParameters& scanner, const CleaningBuffers& buffers,
                     const ParameterBlock& core, const ParameterBlock& centroid, CleanedVariantList& variants,
                     ImageParameterList& parameters)
{
    std::memcpy(parameters.blocks[0], centroid.data(), centroid.size());
    if (WantsAllVariants(dataId)) {
        for (int k = 0; k < 4; ++k)
            std::memcpy(variants.images[k], buffers.slots[3 - k], kCleanedImageBytes);
        variants.count = 4;
        std::memcpy(parameters.blocks[1], core.data(), core.size());
        parameters.count = 2;
        return;
    }
    const int32_t quality = ReadField(centroid, image_parameters::kQualityOffset);
    std::memcpy(variants.images[0], buffers.slots[quality >= scanner.limitHigh ? 2 : 3], kCleanedImageBytes);
    variants.count = quality < scanner.limitLow ? 0 : 1;
    parameters.count = 1;
}

} // namespace

bool HoldsTwoGreyValues(std::span<const uint8_t> bmp)
{
    if (bmp.size() < bmp::kPixelDataOffset)
        return false;
    const int32_t width = ReadLe<int32_t>(bmp.data() + bmp::kWidthField);
    const int32_t height = ReadLe<int32_t>(bmp.data() + bmp::kHeightField);
    const int64_t stride = bmp::RowStride(width);
    if (width <= 0 || height <= 0 || bmp.size() < bmp::kPixelDataOffset + stride * height)
        return false;
    const uint8_t* rows = bmp.data() + bmp::kPixelDataOffset;
    const uint8_t first = rows[0];
    int32_t other = -1;
    for (int32_t row = 0; row < height; ++row)
        for (int32_t column = 0; column < width; ++column) {
            const uint8_t value = rows[row * stride + column];
            if (value == first || value == other)
                continue;
            if (other >= 0)
                return false;
            other = value;
        }
    return true;
}

int32_t CleanFingerImage(int32_t scannerId, int32_t dataId, std::span<const uint8_t> bmp,
                         CleanedVariantList& variants, ImageParameterList& parameters, CleanedOutputImage& output,
                         std::span<uint8_t> work)
{
    if (!HasRoomForResults(variants, parameters))
        return kCleaningNoRoom;
    CleaningBuffers buffers;
    if (!CarveCleaningWork(work, buffers))
        return kCleaningFailed;
    uint8_t* const a = buffers.a;
    uint8_t* const b = buffers.b;
    uint8_t* const c = buffers.c;
    uint8_t* const d = buffers.d;

    ScannerParameters scanner;
    int32_t width = 0, height = 0;
    ContentRect bounds;
    if (ConvertInputImage(bmp.data(), bmp.size(), c, kCanvasBytes, scanner, width, height, bounds) != result::Success ||
        GetScannerParameters(scannerId, dataId, scanner) != result::Success)
        return kCleaningFailed;
    if (scannerId == kTwoToneScanner && HoldsTwoGreyValues(bmp))
        UseTwoToneSettings(scanner);

    ParameterBlock core{}, centroid{};
    InitImageParameters(dataId, core.data(), core.size());
    WriteField(core, image_parameters::kInputWidthOffset, width);
    WriteField(core, image_parameters::kInputHeightOffset, height);
    if (scanner.mirror && MirrorRows(c, kCanvasBytes, width, height) != result::Success)
        return kCleaningFailed;
    int32_t background = 0;
    if (ResampleToWorkImage(c, kCanvasBytes, a, kCanvasBytes, scanner, background, width, height, bounds) !=
        result::Success)
        return kCleaningFailed;
    WriteField(core, image_parameters::kResampledWidthOffset, width);
    WriteField(core, image_parameters::kResampledHeightOffset, height);
    WriteField(core, image_parameters::kResampledPixelsOffset, width * height);
    if (CentreOnCanvas(c, kCanvasBytes, a, kCanvasBytes, background, width, height, bounds) != result::Success)
        return kCleaningFailed;
    scanner.cropX -= bounds.left;
    scanner.cropY -= bounds.top;
    const CanvasExtent extent{width, height};

    StretchContrast(a, extent, kContrastClip,
                    CanvasWindow{kStretchMargin, height - kStretchMargin, kStretchMargin, width - kStretchMargin});
    BoxMean(a, c, d, extent, 3);
    CopyCanvas(c, a);
    BoxMean(a, c, d, extent, 9);
    AbsoluteDifference(c, a, b, extent);
    CanvasBlockMap mask = BuildForegroundMask(b, extent, scanner.cleanC, scanner.cleanD);
    CanvasBlockMap orientation = BuildOrientationMap(a, mask, extent);
    ClearOrientationBreaks(orientation, extent);
    FillOrientationHoles(orientation, mask, extent);
    const PatternResult pattern = PatternMeasure(orientation, extent);
    WriteField(core, image_parameters::kPatternMeasureOffset, pattern.measure);
    WriteField(core, image_parameters::kPatternBalanceOffset, pattern.balance);

    CanvasPoint corePoint{};
    if (!FindCorePoint(orientation.data(), orientation.size(), extent.Columns(), extent.Rows(), corePoint.x,
                       corePoint.y))
        corePoint = FallbackReferencePoint(mask, extent);
    const CanvasPoint centroidPoint = MaskCentroid(mask, extent);
    WriteField(core, image_parameters::kOffsetXOffset, WholeBlocksOffset(centroidPoint.x, corePoint.x));
    WriteField(core, image_parameters::kOffsetYOffset, WholeBlocksOffset(centroidPoint.y, corePoint.y));

    const ThresholdLine line = FitThresholdLine(SumThresholdPixels(a, c, mask, extent), scanner.thresholdSteps);
    RemoveIsolatedBlocks(mask, extent);
    BinariseByThresholdLine(a, c, mask, extent, line, b);
    FillCanvasFrame(b, extent, kBinaryFrame, 0);
    const int32_t edge = EdgeCutMeasure(mask, extent);
    WriteField(core, image_parameters::kEdgeMeasureOffset, edge);
    const double tilt = EstimatePrintTilt(b, extent);
    WriteField(core, image_parameters::kTiltOffset, RoundHalfAway(edge >= kSteepEdgeMeasure ? tilt * 1.5 : tilt));
    FillBackgroundBlocks(b, mask, 0);
    CopyCanvas(b, c);

    CanvasBlockMap contrast{};
    const int32_t period = EnhanceAndBinarise(b, a, d, buffers.accumulator, orientation, mask, contrast, extent);
    WriteField(core, image_parameters::kRidgePeriodOffset, period);
    CopyCanvas(c, b);
    centroid = core;

    const CutPass pass{b, a, c, mask, contrast, extent, bounds};
    if (!CutVariants(pass, corePoint, core, buffers.slots[0], buffers.slots[1]) ||
        !CutVariants(pass, centroidPoint, centroid, buffers.slots[2], buffers.slots[3]))
        return kCleaningFailed;
    if (output.image != nullptr)
        std::memcpy(output.image, buffers.slots[3], kCleanedImageBytes);
    WriteField(centroid, image_parameters::kInputOriginXOffset,
               InputOrigin(centroidPoint.x, kWorkWidth / 2, scanner.cropX, scanner.sourceDpiX, scanner.targetDpiX));
    WriteField(centroid, image_parameters::kInputOriginYOffset,
               InputOrigin(centroidPoint.y, kWorkHeight / 2, scanner.cropY, scanner.sourceDpiY, scanner.targetDpiY));

    HandBackResults(dataId, scanner, buffers, core, centroid, variants, parameters);
    return kCleaningDone;
}

} // namespace vela::engine

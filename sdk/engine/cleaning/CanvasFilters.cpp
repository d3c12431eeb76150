#include "engine/cleaning/CanvasFilters.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vela::engine {
namespace {

// sum / n by a multiplication, exact for the sums a window of at most 640
// pixels of 255 reaches (below 2^18): the loops then do not divide.
class ExactDivision {
public:
    explicit ExactDivision(int32_t n) : factor_((uint64_t{1} << 32) / static_cast<uint64_t>(n) + 1) {}
    uint8_t operator[](int32_t sum) const { return static_cast<uint8_t>((static_cast<uint64_t>(sum) * factor_) >> 32); }

private:
    uint64_t factor_;
};

// The same quotients for the sums of one window of n pixels (at most 255 n)
// by a 16 x 16-bit multiplication, which the loops do for many pixels at a
// time. Checked against ExactDivision over every such sum when made.
class WindowDivision {
public:
    explicit WindowDivision(int32_t n) : multiplier_(static_cast<uint32_t>((65536 + n - 1) / n))
    {
        const ExactDivision exact(n);
        usable_ = 255 * n < 65536;
        for (int32_t sum = 0; usable_ && sum <= 255 * n; ++sum)
            usable_ = Mean(static_cast<uint16_t>(sum)) == exact[sum];
    }
    bool Usable() const { return usable_; }
    uint8_t Mean(uint16_t sum) const { return static_cast<uint8_t>((uint32_t{sum} * multiplier_) >> 16); }

    // Mean of each of `count` sums. The multiplier is below 2^16, so the
    // quotient is the high half of a 16 x 16-bit product: eight at a time.
    void Means(const uint16_t* sums, uint8_t* out, int32_t count) const
    {
        int32_t k = 0;
#if defined(__SSE2__)
        const __m128i multiplier = _mm_set1_epi16(static_cast<int16_t>(multiplier_));
        for (; k + 16 <= count; k += 16) {
            const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + k));
            const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + k + 8));
            const __m128i means = _mm_packus_epi16(_mm_mulhi_epu16(low, multiplier), _mm_mulhi_epu16(high, multiplier));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), means);
        }
#endif
        for (; k < count; ++k)
            out[k] = Mean(sums[k]);
    }

    // The means of the `columns` windows of n pixels from in[0], in[1], ...
    // Each window is summed whole, sixteen windows side by side in registers.
    void WindowMeans(const uint8_t* in, uint8_t* out, int32_t columns, int32_t n) const
    {
        // The windows the cleaning uses get loops of their own length.
        if (n == 3)
            WindowMeansOf<3>(in, out, columns);
        else if (n == 9)
            WindowMeansOf<9>(in, out, columns);
        else
            WindowMeansOf<0>(in, out, columns, n);
    }

private:
    template <int32_t kFixed>
    void WindowMeansOf(const uint8_t* in, uint8_t* out, int32_t columns, int32_t given = kFixed) const
    {
        const int32_t n = kFixed > 0 ? kFixed : given;
        int32_t column = 0;
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        const __m128i multiplier = _mm_set1_epi16(static_cast<int16_t>(multiplier_));
        for (; column + 16 <= columns; column += 16) {
            __m128i low = zero;
            __m128i high = zero;
            for (int32_t k = 0; k < n; ++k) {
                const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + column + k));
                low = _mm_add_epi16(low, _mm_unpacklo_epi8(pixels, zero));
                high = _mm_add_epi16(high, _mm_unpackhi_epi8(pixels, zero));
            }
            const __m128i means = _mm_packus_epi16(_mm_mulhi_epu16(low, multiplier), _mm_mulhi_epu16(high, multiplier));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + column), means);
        }
#endif
        for (; column < columns; ++column) {
            uint32_t sum = 0;
            for (int32_t k = 0; k < n; ++k)
                sum += in[column + k];
            out[column] = Mean(static_cast<uint16_t>(sum));
        }
    }

    uint32_t multiplier_;
    bool usable_ = false;
};

// The exact division of the same sums, one at a time.
struct ExactMeans {
    ExactDivision exact;
    void Means(const int32_t* sums, uint8_t* out, int32_t count) const
    {
        for (int32_t k = 0; k < count; ++k)
            out[k] = exact[sums[k]];
    }
    void WindowMeans(const uint8_t* in, uint8_t* out, int32_t columns, int32_t n) const
    {
        for (int32_t column = 0; column < columns; ++column) {
            int32_t sum = 0;
            for (int32_t k = 0; k < n; ++k)
                sum += in[column + k];
            out[column] = exact[sum];
        }
    }
};

// BoxMean's two passes with the divider given; Sum holds a window's sum.
template <class Sum, class Divide>
void BoxMeanPasses(const uint8_t* source, uint8_t* destination, uint8_t* scratch, CanvasExtent extent,
                   int32_t half, const Divide& divide)
{
    const int32_t n = 2 * half + 1;
    std::memset(scratch, 0, kCanvasBytes);
    if (extent.width >= n) {
        // Each window summed whole rather than slid: the same sums, without
        // the chain from one column to the next, so that the columns of a row
        // are summed side by side.
        const int32_t columns = extent.width - 2 * half;
        for (int32_t row = 0; row < extent.height; ++row)
            divide.WindowMeans(source + row * kCanvasSide, scratch + row * kCanvasSide + half, columns, n);
    }
    std::memset(destination, 0, kCanvasBytes);
    if (extent.height < n)
        return;
    std::array<Sum, kCanvasSide> sums{};
    for (int32_t row = 0; row < n; ++row)
        for (int32_t column = 0; column < extent.width; ++column)
            sums[column] = static_cast<Sum>(sums[column] + scratch[row * kCanvasSide + column]);
    divide.Means(sums.data(), destination + half * kCanvasSide, extent.width);
    for (int32_t row = half + 1; row <= extent.height - half - 1; ++row) {
        const uint8_t* add = scratch + (row + half) * kCanvasSide;
        const uint8_t* drop = scratch + (row - half - 1) * kCanvasSide;
        // In 16 bits the sum may pass below zero between the add and the
        // drop; it wraps back, and every window's sum fits.
        for (int32_t column = 0; column < extent.width; ++column)
            sums[column] = static_cast<Sum>(sums[column] + add[column] - drop[column]);
        divide.Means(sums.data(), destination + row * kCanvasSide, extent.width);
    }
}

} // namespace

void StretchContrast(uint8_t* image, CanvasExtent extent, int32_t clip, CanvasWindow window)
{
    // Four partial histograms: the canvas is mostly one background grey, and
    // one counter bumped by every pixel in turn would serialise the loop.
    std::array<std::array<int32_t, 256>, 4> partial{};
    const int32_t firstColumn = std::max(0, window.firstColumn);
    const int32_t lastColumn = std::min(extent.width - 1, window.lastColumn);
    for (int32_t row = std::max(0, window.firstRow); row <= std::min(extent.height - 1, window.lastRow); ++row) {
        const uint8_t* line = image + row * kCanvasSide;
        int32_t column = firstColumn;
        for (; column + 3 <= lastColumn; column += 4) {
            ++partial[0][line[column]];
            ++partial[1][line[column + 1]];
            ++partial[2][line[column + 2]];
            ++partial[3][line[column + 3]];
        }
        for (; column <= lastColumn; ++column)
            ++partial[0][line[column]];
    }
    std::array<int32_t, 256> histogram{};
    for (int32_t v = 0; v < 256; ++v)
        histogram[v] = partial[0][v] + partial[1][v] + partial[2][v] + partial[3][v];

    int32_t lo = 0, count = 0;
    for (lo = 0; lo < 255; ++lo) {
        count += histogram[lo];
        if (count >= clip)
            break;
    }
    int32_t hi = 255;
    count = 0;
    for (hi = 255; hi > 0; --hi) {
        count += histogram[hi];
        if (count >= clip)
            break;
    }
    if (lo >= hi) {
        lo = 0;
        hi = 255;
    }

    std::array<uint8_t, 256> stretched{};
    for (int32_t v = 0; v < 256; ++v)
        stretched[v] = static_cast<uint8_t>(v < lo ? 0 : v > hi ? 255 : (v - lo) * 255 / (hi - lo));
    for (int32_t row = 0; row < extent.height; ++row) {
        uint8_t* line = image + row * kCanvasSide;
        for (int32_t column = 0; column < extent.width; ++column)
            line[column] = stretched[line[column]];
    }
}

void BoxMean(const uint8_t* source, uint8_t* destination, uint8_t* scratch, CanvasExtent extent, int32_t window)
{
    const int32_t half = std::max(1, window / 2);
    const int32_t n = 2 * half + 1;
    const WindowDivision quick(n);
    if (quick.Usable()) {
        BoxMeanPasses<uint16_t>(source, destination, scratch, extent, half, quick);
        return;
    }
    BoxMeanPasses<int32_t>(source, destination, scratch, extent, half, ExactMeans{ExactDivision(n)});
}

void FillCanvasFrame(uint8_t* image, CanvasExtent extent, int32_t k, uint8_t value)
{
    const int32_t side = std::min(k, extent.width);
    for (int32_t row = 0; row < extent.height; ++row) {
        uint8_t* line = image + row * kCanvasSide;
        if (row < k || row >= extent.height - k) {
            std::memset(line, value, extent.width);
            continue;
        }
        std::memset(line, value, side);
        std::memset(line + extent.width - side, value, side);
    }
}

void AbsoluteDifference(const uint8_t* a, const uint8_t* b, uint8_t* difference, CanvasExtent extent)
{
    for (int32_t row = 0; row < extent.height; ++row)
        for (int32_t column = 0; column < extent.width; ++column) {
            const int32_t at = row * kCanvasSide + column;
            difference[at] = static_cast<uint8_t>(std::abs(a[at] - b[at]));
        }
}

void FillBackgroundBlocks(uint8_t* image, const CanvasBlockMap& mask, uint8_t value)
{
    for (int32_t row = 0; row < kCanvasSide; ++row)
        for (int32_t blockColumn = 0; blockColumn < kBlockMapSide; ++blockColumn)
            if (mask[(row / kCanvasBlockSide) * kBlockMapSide + blockColumn] == 0)
                std::memset(image + row * kCanvasSide + blockColumn * kCanvasBlockSide, value, kCanvasBlockSide);
}

void CopyCanvas(const uint8_t* source, uint8_t* destination) { std::memcpy(destination, source, kCanvasBytes); }

} // namespace vela::engine

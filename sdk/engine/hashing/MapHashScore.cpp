#include "engine/hashing/MapHashScore.h"

#include <algorithm>
#include <array>

#include "engine/records/RoundHalfAway.h"

namespace vela::engine {

namespace {

struct Point {
    double h;
    double score;
};
constexpr std::array<Point, 4> kMiddle{{{334, 200}, {396, 300}, {430, 350}, {540, 450}}};
constexpr int32_t kHighest = 450;

double MapReal(double h)
{
    if (h < kMiddle.front().h)
        return 200.0 - (334.0 - h) * 100.0 / 167.0;
    if (h >= kMiddle.back().h)
        return 5.0 * h / 6.0;
    size_t i = 1;
    while (h > kMiddle[i].h)
        ++i;
    const Point& low = kMiddle[i - 1];
    const Point& high = kMiddle[i];
    return low.score + (h - low.h) * (high.score - low.score) / (high.h - low.h);
}

} // namespace

int32_t MapHashScore(int32_t hashScore)
{
    return std::min(RoundHalfAway(MapReal(hashScore)), kHighest);
}

} // namespace vela::engine

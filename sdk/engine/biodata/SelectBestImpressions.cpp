#include "engine/biodata/SelectBestImpressions.h"

#include <algorithm>
#include <limits>
#include <array>
#include <utility>
#include <vector>

#include "engine/matching/CompareMinutiaeSets.h"
#include "engine/records/BiometricData.h"
#include "base/ByteOrder.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

namespace {

constexpr int32_t kAgreeingScore = 449;
constexpr int32_t kReusedScore = 200;   // a score above this is taken for both directions
constexpr int32_t kNoPair = 1000;

struct Ranked {
    std::array<uint8_t, impression::kSize> record;
    int32_t count = 0;
    int64_t sum = 0;
};

int32_t RecordCount(std::span<const uint8_t> block)
{
    if (block.size() < biometric_data::kHeaderSize)
        return 0;
    const int64_t total = std::min<int64_t>(ReadLe<int32_t>(block.data()), static_cast<int64_t>(block.size()));
    if (total < static_cast<int64_t>(biometric_data::kHeaderSize))
        return 0;
    return static_cast<int32_t>((total - static_cast<int64_t>(biometric_data::kHeaderSize)) /
                                static_cast<int64_t>(impression::kSize));
}

uint8_t* RecordAt(std::span<uint8_t> block, int32_t index)
{
    return block.data() + biometric_data::kHeaderSize + static_cast<size_t>(index) * impression::kSize;
}

} // namespace

int32_t SelectBestImpressions(std::span<uint8_t> block)
{
    const int32_t n = RecordCount(block);
    if (n < 2)
        return kNoPair;
    MatchContextPtr context = MakeSmallMatchContext();
    if (!context)
        return kNoPair;

    std::vector<std::vector<int32_t>> score(n, std::vector<int32_t>(n, 0));
    int32_t lowest = std::numeric_limits<int32_t>::max();
    for (int32_t i = 0; i < n; ++i) {
        for (int32_t j = 0; j < n; ++j) {
            if (i == j)
                continue;
            if (i > j && score[j][i] > kReusedScore)
                score[i][j] = score[j][i];
            else
                score[i][j] = CompareMinutiaeSets(RecordAt(block, i), impression::kSize, RecordAt(block, j),
                                                  impression::kSize, 0, *context);
            lowest = std::min(lowest, score[i][j]);
        }
    }

    std::vector<Ranked> ranked(n);
    for (int32_t i = 0; i < n; ++i) {
        std::copy_n(RecordAt(block, i), impression::kSize, ranked[i].record.begin());
        for (int32_t j = 0; j < n; ++j) {
            ranked[i].count += score[i][j] > kAgreeingScore ? 1 : 0;
            ranked[i].sum += score[i][j];
        }
    }
    auto ahead = [](const Ranked& a, const Ranked& b) {
        return a.count > b.count || (a.count == b.count && a.sum > b.sum);
    };
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int32_t i = 1; i < n; ++i) {
            if (ahead(ranked[i], ranked[i - 1])) {
                std::swap(ranked[i], ranked[i - 1]);
                swapped = true;
            }
        }
    }
    for (int32_t i = 0; i < n; ++i)
        std::copy(ranked[i].record.begin(), ranked[i].record.end(), RecordAt(block, i));
    return lowest;
}

} // namespace vela::engine

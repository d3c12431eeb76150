#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/matching/CompareMinutiaeSets.h"

namespace vela::engine {

// The comparisons of one entry pair, each run once. Compact entries repeat
// their impressions (records 1 and 3 are copies of 0 and 2), and a comparison
// depends on nothing but the two records, the rotation count and the
// context's tuning words, which stay put while one entry pair is compared.
// The records compared must outlive the memo.
class ComparisonMemo {
public:
    explicit ComparisonMemo(MatchContext& context) : context_(context) {}

    int32_t Compare(const Impression& first, const Impression& second, int32_t rotations)
    {
        for (size_t k = 0; k < size_; ++k) {
            const Known& known = known_[k];
            if (known.rotations == rotations && *known.first == first && *known.second == second)
                return known.score;
        }
        const int32_t score = CompareMinutiaeSets(first, second, rotations, context_);
        if (size_ < known_.size())
            known_[size_++] = Known{&first, &second, rotations, score};
        return score;
    }

private:
    struct Known {
        const Impression* first = nullptr;
        const Impression* second = nullptr;
        int32_t rotations = 0;
        int32_t score = 0;
    };
    MatchContext& context_;
    std::array<Known, 8> known_{};
    size_t size_ = 0;
};

} // namespace vela::engine

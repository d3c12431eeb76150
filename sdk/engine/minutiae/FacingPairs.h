#pragma once

#include <optional>

namespace vela::engine {

// The cost at and above which two minutiae cannot be partners.
inline constexpr int kNoPartner = 1000;

// The valid j != i with the lowest cost(i, j) below kNoPartner (the first of
// equal costs); none for an invalid i. Shared by the lists of both minutiae
// finders, whose costs differ.
template <typename List, typename Cost>
std::optional<int> LowestCostPartner(const List& m, int i, Cost cost)
{
    if (!m.valid[i])
        return std::nullopt;
    std::optional<int> best;
    int bestCost = kNoPartner;
    for (int j = 0; j < m.count; ++j) {
        if (j == i || !m.valid[j])
            continue;
        const int c = cost(m, i, j);
        if (c < bestCost) {
            best = j;
            bestCost = c;
        }
    }
    return best;
}

// Drops both minutiae of every pair that are each other's nearest partner,
// then compacts the list.
template <typename List, typename Nearest>
void DropMutualPartners(List& m, Nearest nearest)
{
    for (int i = 0; i < m.count; ++i) {
        const std::optional<int> j = nearest(m, i);
        if (j && nearest(m, *j) == i) {
            m.valid[i] = 0;
            m.valid[*j] = 0;
        }
    }
    m.Compact();
}

} // namespace vela::engine

#include "engine/records/compact/BlockDeltaCode.h"

#include <array>
#include <string_view>

namespace vela::engine {

namespace {

// Differences 0..3 are not in the published list; they take the four strings
// the rest of the code leaves free, which makes the code complete.
constexpr std::array<std::string_view, kBlockValueModulus> kCodeText{
    "0",            "101",          "111",          "1001",         // 0..3
    "10001",        "110000",       "1100110",      "11010010",     // 4..7
    "110101111",    "110100111",    "110010011",    "1101011100",   // 8..11
    "1101010100",   "1101010001",   "1101001101",   "1101000111",   // 12..15
    "1101000101",   "1101000011",   "1100111010",   "1100100010",   // 16..19
    "11010111010",  "11010101100",  "11010100001",  "11010001001",  // 20..23
    "11001001000",  "110101110111", "11001000110",  "11001000111",  // 24..27
    "110101110110", "11001001001",  "11001110011",  "11010101101",  // 28..31
    "11010001101",  "11010001000",  "11001110010",  "11001110110",  // 32..35
    "11001110111",  "11010001100",  "11010100000",  "11010100110",  // 36..39
    "11010101010",  "11010110100",  "11010100100",  "11010101011",  // 40..43
    "11010100101",  "11010100111",  "11010110101",  "11010110110",  // 44..47
    "11010110111",  "1100100101",   "1100111000",   "1101000010",   // 48..51
    "1101001100",   "1101010111",   "110010000",    "110100000",    // 52..55
    "110101100",    "11001111",     "1100101",      "110001",       // 56..59
    "10000",        "11011",                                        // 60, 61
};

constexpr std::array<DeltaCode, kBlockValueModulus> MakeCodes()
{
    std::array<DeltaCode, kBlockValueModulus> codes{};
    for (int32_t difference = 0; difference < kBlockValueModulus; ++difference) {
        uint16_t bits = 0;
        for (char c : kCodeText[difference])
            bits = static_cast<uint16_t>((bits << 1) | (c == '1' ? 1 : 0));
        codes[difference] = {bits, static_cast<uint8_t>(kCodeText[difference].size())};
    }
    return codes;
}

// A binary trie of the code: an entry >= 0 is the next inner node, an entry
// < 0 is the leaf of difference -(entry + 1). A complete prefix code with 62
// leaves has exactly 61 inner nodes.
struct Trie {
    std::array<std::array<int16_t, 2>, kBlockValueModulus - 1> next{};
};

constexpr Trie MakeTrie()
{
    Trie trie{};
    int16_t used = 1;
    for (int32_t difference = 0; difference < kBlockValueModulus; ++difference) {
        const std::string_view text = kCodeText[difference];
        int16_t node = 0;
        for (size_t i = 0; i + 1 < text.size(); ++i) {
            int16_t& child = trie.next[node][text[i] - '0'];
            if (child == 0)
                child = used++;
            node = child;
        }
        trie.next[node][text.back() - '0'] = static_cast<int16_t>(-(difference + 1));
    }
    return trie;
}

constexpr std::array<DeltaCode, kBlockValueModulus> kCodes = MakeCodes();
constexpr Trie kTrie = MakeTrie();

constexpr bool EveryBranchIsUsed(const Trie& trie)
{
    for (size_t node = 0; node < trie.next.size(); ++node) {
        for (int16_t child : trie.next[node]) {
            if (child == 0)
                return false;
        }
    }
    return true;
}
static_assert(EveryBranchIsUsed(kTrie), "the block delta code must be complete");

} // namespace

DeltaCode BlockDeltaCode(int32_t difference)
{
    return kCodes[static_cast<size_t>(difference)];
}

int32_t BlockDeltaDecoder::Feed(int bit)
{
    const int16_t next = kTrie.next[node_][bit != 0 ? 1 : 0];
    if (next < 0) {
        node_ = 0;
        return -(next + 1);
    }
    node_ = next;
    return -1;
}

} // namespace vela::engine

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/records/compact/BlockDeltaCode.h"
#include "engine/records/compact/BlockSpiralOrder.h"

namespace vela::engine {
namespace {

// The sequence position of each block by row; row 1 is not listed because
// the printed table lost it.
const std::map<int, std::vector<int>> kExpectedRows = {
    {0, {449, 448, 447, 446, 445, 444, 443, 442, 441, 440, 439, 438, 437, 436, 435, 434, 433, 432}},
    {2, {369, 294, 293, 292, 291, 290, 289, 288, 287, 286, 285, 284, 283, 282, 281, 280, 351, 430}},
    {3, {370, 295, 228, 227, 226, 225, 224, 223, 222, 221, 220, 219, 218, 217, 216, 279, 350, 429}},
    {4, {371, 296, 229, 170, 169, 168, 167, 166, 165, 164, 163, 162, 161, 160, 215, 278, 349, 428}},
    {5, {372, 297, 230, 171, 120, 119, 118, 117, 116, 115, 114, 113, 112, 159, 214, 277, 348, 427}},
    {6, {373, 298, 231, 172, 121, 78, 77, 76, 75, 74, 73, 72, 111, 158, 213, 276, 347, 426}},
    {7, {374, 299, 232, 173, 122, 79, 44, 43, 42, 41, 40, 71, 110, 157, 212, 275, 346, 425}},
    {8, {375, 300, 233, 174, 123, 80, 45, 18, 17, 16, 39, 70, 109, 156, 211, 274, 345, 424}},
    {9, {376, 301, 234, 175, 124, 81, 46, 19, 0, 15, 38, 69, 108, 155, 210, 273, 344, 423}},
    {10, {377, 302, 235, 176, 125, 82, 47, 20, 1, 14, 37, 68, 107, 154, 209, 272, 343, 422}},
    {11, {378, 303, 236, 177, 126, 83, 48, 21, 2, 13, 36, 67, 106, 153, 208, 271, 342, 421}},
    {12, {379, 304, 237, 178, 127, 84, 49, 22, 3, 12, 35, 66, 105, 152, 207, 270, 341, 420}},
    {13, {380, 305, 238, 179, 128, 85, 50, 23, 4, 11, 34, 65, 104, 151, 206, 269, 340, 419}},
    {14, {381, 306, 239, 180, 129, 86, 51, 24, 5, 10, 33, 64, 103, 150, 205, 268, 339, 418}},
    {15, {382, 307, 240, 181, 130, 87, 52, 25, 6, 9, 32, 63, 102, 149, 204, 267, 338, 417}},
    {16, {383, 308, 241, 182, 131, 88, 53, 26, 7, 8, 31, 62, 101, 148, 203, 266, 337, 416}},
    {17, {384, 309, 242, 183, 132, 89, 54, 27, 28, 29, 30, 61, 100, 147, 202, 265, 336, 415}},
    {18, {385, 310, 243, 184, 133, 90, 55, 56, 57, 58, 59, 60, 99, 146, 201, 264, 335, 414}},
    {19, {386, 311, 244, 185, 134, 91, 92, 93, 94, 95, 96, 97, 98, 145, 200, 263, 334, 413}},
    {20, {387, 312, 245, 186, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 199, 262, 333, 412}},
    {21, {388, 313, 246, 187, 188, 189, 190, 191, 192, 193, 194, 195, 196, 197, 198, 261, 332, 411}},
    {22, {389, 314, 247, 248, 249, 250, 251, 252, 253, 254, 255, 256, 257, 258, 259, 260, 331, 410}},
    {23, {390, 315, 316, 317, 318, 319, 320, 321, 322, 323, 324, 325, 326, 327, 328, 329, 330, 409}},
    {24, {391, 392, 393, 394, 395, 396, 397, 398, 399, 400, 401, 402, 403, 404, 405, 406, 407, 408}},
};

TEST(BlockSpiralOrder, MatchesEveryIntactRowOfTheTable)
{
    const auto& order = BlockSpiralOrder();
    for (const auto& [row, positions] : kExpectedRows) {
        for (int column = 0; column < kBlockColumns; ++column)
            EXPECT_EQ(order[row * kBlockColumns + column], positions[column]) << "row " << row << " column " << column;
    }
}

TEST(BlockSpiralOrder, IsAPermutationWhoseRowOneRunsBetweenItsNeighbours)
{
    const auto& order = BlockSpiralOrder();
    const auto& sequence = BlockSpiralSequence();
    std::set<int> seen(order.begin(), order.end());
    EXPECT_EQ(seen.size(), 450u);
    EXPECT_EQ(*seen.rbegin(), 449);
    for (int position = 0; position < kBlockCount; ++position)
        EXPECT_EQ(order[sequence[position]], position);

    // Row 1: up column 16 to row 1 (352), left along row 1 to column 0 (368),
    // and column 17 on the way up to row 0 (431).
    for (int column = 0; column <= 15; ++column)
        EXPECT_EQ(order[kBlockColumns + column], 368 - column) << column;
    EXPECT_EQ(order[kBlockColumns + 16], 352);
    EXPECT_EQ(order[kBlockColumns + 17], 431);
    EXPECT_EQ(sequence.front(), 9 * kBlockColumns + 8);
    EXPECT_EQ(sequence.back(), 0);
}

std::string CodeText(int difference)
{
    const DeltaCode code = BlockDeltaCode(difference);
    std::string text;
    for (int k = code.length - 1; k >= 0; --k)
        text += ((code.bits >> k) & 1) ? '1' : '0';
    return text;
}

TEST(BlockDeltaCode, TheFourAddedCodesCompleteAPrefixFreeCode)
{
    EXPECT_EQ(CodeText(0), "0");
    EXPECT_EQ(CodeText(1), "101");
    EXPECT_EQ(CodeText(2), "111");
    EXPECT_EQ(CodeText(3), "1001");
    EXPECT_EQ(CodeText(4), "10001");
    EXPECT_EQ(CodeText(28), "110101110110");
    EXPECT_EQ(CodeText(61), "11011");

    // Prefix-free, and the Kraft sum is exactly 1: every bit string decodes.
    uint32_t kraft = 0;  // in units of 2^-12
    for (int a = 0; a < kBlockValueModulus; ++a) {
        const std::string codeA = CodeText(a);
        ASSERT_LE(codeA.size(), 12u);
        kraft += 1u << (12 - codeA.size());
        for (int b = 0; b < kBlockValueModulus; ++b) {
            if (a != b) {
                EXPECT_NE(CodeText(b).rfind(codeA, 0), 0u) << codeA << " is a prefix of " << CodeText(b);
            }
        }
    }
    EXPECT_EQ(kraft, 4096u);
}

TEST(BlockDeltaCode, DecoderReadsEveryCodeAndAnyBitString)
{
    for (int difference = 0; difference < kBlockValueModulus; ++difference) {
        BlockDeltaDecoder decoder;
        const std::string text = CodeText(difference);
        for (size_t i = 0; i + 1 < text.size(); ++i)
            EXPECT_EQ(decoder.Feed(text[i] - '0'), -1);
        EXPECT_EQ(decoder.Feed(text.back() - '0'), difference);
    }

    // A random bit string splits into codes that spell it again.
    std::mt19937 random(7);
    std::string bits;
    for (int i = 0; i < 20000; ++i)
        bits += static_cast<char>('0' + (random() & 1));
    BlockDeltaDecoder decoder;
    std::string respelled;
    size_t consumed = 0;
    for (size_t i = 0; i < bits.size(); ++i) {
        const int difference = decoder.Feed(bits[i] - '0');
        if (difference >= 0) {
            respelled += CodeText(difference);
            consumed = i + 1;
        }
    }
    EXPECT_GT(consumed, bits.size() - 12);
    EXPECT_EQ(respelled, bits.substr(0, consumed));
}

} // namespace
} // namespace vela::engine

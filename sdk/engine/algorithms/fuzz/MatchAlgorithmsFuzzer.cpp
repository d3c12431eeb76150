// Two blocks from untrusted bytes through every matcher algorithm: whatever
// the size words and type ids claim, the algorithms must stay inside the
// blocks they are given.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/algorithms/DispatchMatchAlgorithm.h"
#include "base/ByteOrder.h"

namespace {

constexpr int32_t kAlgorithmIds[] = {1, 2, 3, 140, 150, 151, 152, 153, 154, 155, 160, 161, 170, 180, 181, 182, 183, 191};

} // namespace

// Byte 0 picks the algorithm, bytes 1-2 where the first block ends; the
// rest are the two blocks.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vela::engine;
    if (size < 3)
        return 0;
    const int32_t id = kAlgorithmIds[data[0] % std::size(kAlgorithmIds)];
    const std::span<const uint8_t> blocks(data + 3, size - 3);
    const size_t split = vela::ReadLe<uint16_t>(data + 1) % (blocks.size() + 1);

    static MatchContextPtr context = MakeMatchContext();
    int32_t score = 0;
    DispatchMatchAlgorithm(id, blocks.first(split), blocks.subspan(split), *context, score);
    return 0;
}

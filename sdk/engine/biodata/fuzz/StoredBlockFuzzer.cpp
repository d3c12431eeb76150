// Stored blocks and impression records from untrusted bytes: the chain reader,
// the merges, the features of a block and the matcher must stay inside the
// buffers they are given whatever the size words claim.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/biodata/XGetBiometricData.h"
#include "engine/biodata/XGetBiometricFeatures.h"
#include "engine/matching/CompareMinutiaeSets.h"
#include "engine/records/BiometricData.h"
#include "engine/records/BiometricFeatures.h"
#include "engine/records/ImpressionRecord.h"

namespace {

// The types that read stored blocks only; cleaning pictures is too slow to fuzz.
constexpr int32_t kStoredBlockTypes[] = {140, 151, 152, 153, 163};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vela::engine;
    if (size < 1)
        return 0;
    const int32_t dataId = kStoredBlockTypes[data[0] % std::size(kStoredBlockTypes)];
    std::vector<uint8_t> chain(data + 1, data + size);

    int32_t max = 0;
    XGetMaxBiometricDataSize(dataId, &max);
    std::vector<uint8_t> out(static_cast<size_t>(max));
    XGetBiometricData(dataId, chain, out);

    std::vector<uint8_t> features(biometric_features::kSize);
    XGetBiometricFeatures(std::span<const uint8_t>(data + 1, size - 1), features);

    if (size >= 1 + 2 * impression::kSize) {
        static MatchContextPtr context = MakeMatchContext();
        CompareMinutiaeSets(data + 1, impression::kSize, data + 1 + impression::kSize, size - 1 - impression::kSize, 1,
                            *context);
    }
    return 0;
}

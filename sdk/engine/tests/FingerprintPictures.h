#pragma once

// The shared fingerprint pictures (fFF_I.bmp: finger FF, impression I) and the
// data blocks built from them, for the real-image tests and the benchmarks.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/ByteOrder.h"
#include "engine/biodata/XGetBiometricData.h"
#include "engine/records/BiometricData.h"

namespace vela::engine::test {

inline std::filesystem::path FingerprintDir()
{
    return std::filesystem::path(PV_SHARED_DATA_DIR) / "fingerprints";
}

inline std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bytes of one picture; empty when the shared data is not there.
inline std::vector<uint8_t> FingerprintPicture(int finger, int impression)
{
    char name[32];
    std::snprintf(name, sizeof name, "f%02d_%d.bmp", finger, impression);
    return ReadFileBytes(FingerprintDir() / name);
}

// The block of the type built from a chain, cut to its size word; empty when
// the engine refuses the chain.
inline std::vector<uint8_t> BuildDataBlock(int32_t dataId, std::vector<uint8_t> chain)
{
    int32_t max = 0;
    XGetMaxBiometricDataSize(dataId, &max);
    std::vector<uint8_t> out(static_cast<size_t>(max));
    if (XGetBiometricData(dataId, chain, out) != result::Success)
        return {};
    out.resize(static_cast<size_t>(ReadLe<int32_t>(out.data())));
    return out;
}

} // namespace vela::engine::test

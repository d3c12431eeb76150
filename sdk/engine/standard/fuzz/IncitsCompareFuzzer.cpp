#include "engine/standard/StandardTemplates.h"
#include "engine/standard/fuzz/CompareFuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8_t> a, b;
    if (!SplitFuzzInput(data, size, a, b))
        return 0;
    const int32_t forward = vela::engine::CompareIncitsRecords(a, b);
    const int32_t backward = vela::engine::CompareIncitsRecords(b, a);
    if (forward > 1000 || backward > 1000)
        std::abort();
    return 0;
}

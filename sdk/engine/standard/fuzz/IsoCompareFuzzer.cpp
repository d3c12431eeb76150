#include "engine/standard/StandardTemplates.h"
#include "engine/standard/fuzz/CompareFuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8_t> a, b;
    if (!SplitFuzzInput(data, size, a, b))
        return 0;
    CheckScore(vela::engine::CompareIsoTemplates(a, b), vela::engine::CompareIsoTemplates(b, a), 3000);
    return 0;
}

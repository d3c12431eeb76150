// Feeds untrusted bytes to the engine's two readers of outside data: the BMP
// input steps and the expansion of compact blocks. The first byte chooses.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/input/CentreOnCanvas.h"
#include "engine/input/ConvertInputImage.h"
#include "engine/input/ResampleToWorkImage.h"
#include "engine/input/ScannerParameters.h"
#include "engine/records/compact/ExpandCompactTemplate.h"

using namespace vela::engine;

namespace {

void RunImageInput(const uint8_t* data, size_t size, int32_t scannerId)
{
    static std::vector<uint8_t> canvas(kCanvasBytes);
    static std::vector<uint8_t> second(kCanvasBytes);
    ScannerParameters parameters;
    int32_t width = 0;
    int32_t height = 0;
    ContentRect bounds;
    if (ConvertInputImage(data, size, canvas.data(), canvas.size(), parameters, width, height, bounds) != 0)
        return;
    if (GetScannerParameters(scannerId, 150, parameters) != 0)
        return;
    int32_t background = 0;
    if (ResampleToWorkImage(canvas.data(), canvas.size(), second.data(), second.size(), parameters, background,
                            width, height, bounds) != 0)
        return;
    CentreOnCanvas(canvas.data(), canvas.size(), second.data(), second.size(), background, width, height, bounds);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t selector = data[0];
    std::vector<uint8_t> payload(data + 1, data + size);  // exact length, so overreads are caught
    if (selector & 1)
        ExpandCompactTemplate(payload.data(), payload.size());
    else
        RunImageInput(payload.data(), payload.size(), (selector >> 1) % 18);
    return 0;
}

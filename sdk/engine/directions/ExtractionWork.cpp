#include "engine/directions/ExtractionWork.h"

#include <memory>

namespace vela::engine {

std::optional<ExtractionWork> CarveExtractionWork(std::span<uint8_t> work)
{
    if (work.size() < extraction_work::kSize)
        return std::nullopt;
    void* entries = work.data() + extraction_work::kEntriesOffset;
    size_t room = work.size() - extraction_work::kEntriesOffset;
    if (std::align(alignof(int32_t), extraction_work::kEntryCount * sizeof(int32_t), entries, room) == nullptr)
        return std::nullopt;
    return ExtractionWork{work.data(), work.data() + kWorkImageBytes, static_cast<int32_t*>(entries)};
}

} // namespace vela::engine

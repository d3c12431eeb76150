#include "engine/hashing/EntryImpressions.h"

namespace vela::engine {

bool ReadEntryImpressions(const uint8_t* entry, size_t length, EntryImpressions& out)
{
    if (entry == nullptr || length < finger_entry::kSize)
        return false;
    EntryImpressions read;
    for (size_t k = 0; k < finger_entry::kImpressions; ++k)
        ReadImpression(entry + finger_entry::ImpressionOffset(k), impression::kSize, read.records[k]);
    out = read;
    return true;
}

EntryImpressions RepeatImpression(const Impression& impression)
{
    EntryImpressions entry;
    entry.records.fill(impression);
    return entry;
}

} // namespace vela::engine

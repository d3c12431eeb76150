#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/records/FingerEntry.h"
#include "engine/records/ImpressionRecord.h"

namespace vela::engine {

// The four impressions of one FingerEntry, unpacked once for all the
// comparisons an entry takes part in.
struct EntryImpressions {
    std::array<Impression, finger_entry::kImpressions> records{};

    const Impression& operator[](size_t index) const { return records[index]; }
    int32_t FingerCode() const { return records[0].fingerCode; }
    int32_t Kind() const { return records[0].kind; }
};

// False, touching nothing, when the buffer is shorter than an entry.
bool ReadEntryImpressions(const uint8_t* entry, size_t length, EntryImpressions& out);

// An entry of four copies of one impression.
EntryImpressions RepeatImpression(const Impression& impression);

} // namespace vela::engine

#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "BiodataTestSupport.h"
#include "MatchingTestSupport.h"
#include "engine/hashing/EntryImpressions.h"
#include "engine/records/FingerEntry.h"

namespace vela::engine::test {

// A list block (types 1 and 101) of plain impressions.
inline std::vector<uint8_t> ListBlock(const std::vector<Impression>& impressions, int32_t type = 1)
{
    std::vector<uint8_t> body;
    for (Impression record : impressions) {
        record.kind = impression::kPlain;
        const std::vector<uint8_t> bytes = ToRecord(record);
        body.insert(body.end(), bytes.begin(), bytes.end());
    }
    return MakeBlock(type, body);
}

// A finger entry of four impressions of one finger code.
struct TestFingerEntry {
    uint8_t code;
    std::array<Impression, 4> records;
};

inline TestFingerEntry EntryOf(uint8_t code, const Impression& impression)
{
    TestFingerEntry entry{code, {}};
    entry.records.fill(impression);
    return entry;
}

// A type-150 block; every record becomes kind 3 with the entry's code.
inline std::vector<uint8_t> FingerSetBlock(const std::vector<TestFingerEntry>& entries, int32_t type = 150)
{
    std::vector<uint8_t> body;
    for (const TestFingerEntry& entry : entries) {
        for (Impression record : entry.records) {
            record.kind = impression::kInFingerEntry;
            record.fingerCode = entry.code;
            const std::vector<uint8_t> bytes = ToRecord(record);
            body.insert(body.end(), bytes.begin(), bytes.end());
        }
    }
    return MakeBlock(type, body);
}

inline EntryImpressions EntryImpressionsOf(const TestFingerEntry& entry)
{
    EntryImpressions out;
    for (size_t k = 0; k < 4; ++k) {
        out.records[k] = entry.records[k];
        out.records[k].kind = impression::kInFingerEntry;
        out.records[k].fingerCode = entry.code;
    }
    return out;
}

inline Impression MakeFinger(uint32_t seed)
{
    SyntheticFinger finger;
    finger.seed = seed;
    finger.coreColumn = 8.0 + (seed % 3);
    finger.coreRow = 9.0 + (seed % 4);
    return MakeSyntheticImpression(finger);
}

// Another impression of the same finger.
inline Impression AgainOf(const Impression& finger, uint32_t seed)
{
    return PerturbImpression(finger, seed, 2, 6, 5);
}

} // namespace vela::engine::test

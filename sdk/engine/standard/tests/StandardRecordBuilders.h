#pragma once

// ISO templates and INCITS 378 records written field by field from the
// published layouts (ISO/IEC 19794-2 record header with the engine's 16-byte
// template header; ANSI INCITS 378-2004 header, view and minutia), so that the
// readers are tested against the standards and not against our writers.

#include <cstdint>
#include <vector>

namespace vela::engine::test {

struct StdMinutia {
    int type;      // 2-bit type field
    uint16_t x;    // 14 bits
    uint16_t y;    // written whole: the top bits may be set by a test
    uint8_t angle;
};

struct StdView {
    uint8_t finger;
    uint8_t quality;
    std::vector<StdMinutia> minutiae;
    uint8_t impression = 0;
    int countOverride = -1; // the count byte when >= 0
};

inline void PutBe16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

inline void PutBe32(std::vector<uint8_t>& out, uint32_t v)
{
    PutBe16(out, v >> 16);
    PutBe16(out, v);
}

inline void SetBe32(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        out[at + k] = static_cast<uint8_t>(v >> (24 - 8 * k));
}

// An ISO template: 16-byte header, "FMR" record with the view count minus
// one in byte 22 and 5-byte minutiae.
inline std::vector<uint8_t> IsoTemplateBytes(const std::vector<StdView>& views, size_t trailing = 0)
{
    std::vector<uint8_t> t = {0, 0, 0, 0, 1, 4, 1, 1, 2, 3, 50, 1, 0, 0, 0, 8};
    t.insert(t.end(), {'F', 'M', 'R', 0, ' ', '1', '1', 0, 0, 0, 0, 0});
    PutBe16(t, 0);   // capture equipment
    PutBe16(t, 248); // width
    PutBe16(t, 338); // height
    PutBe16(t, 197);
    PutBe16(t, 197);
    t.push_back(static_cast<uint8_t>(views.size() - 1));
    t.push_back(0);
    for (const StdView& v : views) {
        t.insert(t.end(), {v.finger, v.impression, v.quality,
                           static_cast<uint8_t>(v.countOverride >= 0 ? v.countOverride : v.minutiae.size())});
        for (const StdMinutia& m : v.minutiae) {
            PutBe16(t, static_cast<uint32_t>(m.type) << 14 | (m.x & 0x3FFF));
            PutBe16(t, m.y);
            t.push_back(m.angle);
        }
    }
    t.resize(t.size() + trailing, 0);
    SetBe32(t, 0, static_cast<uint32_t>(t.size()));
    SetBe32(t, 24, static_cast<uint32_t>(t.size() - 16));
    return t;
}

struct IncitsOptions {
    uint16_t xResolution = 197;
    uint16_t yResolution = 197;
    bool longLength = false;
    uint16_t extendedLength = 0; // of every view; that many bytes follow
};

// An ANSI INCITS 378-2004 record with 6-byte minutiae.
inline std::vector<uint8_t> IncitsRecordBytes(const std::vector<StdView>& views, IncitsOptions o = {})
{
    std::vector<uint8_t> r = {'F', 'M', 'R', 0, ' ', '2', '0', 0};
    PutBe16(r, 0);
    if (o.longLength)
        PutBe32(r, 0);
    PutBe32(r, 0x01020304); // product id
    PutBe16(r, 0);
    PutBe16(r, 248);
    PutBe16(r, 338);
    PutBe16(r, o.xResolution);
    PutBe16(r, o.yResolution);
    r.push_back(static_cast<uint8_t>(views.size()));
    r.push_back(0);
    for (const StdView& v : views) {
        r.insert(r.end(), {v.finger, v.impression, v.quality,
                           static_cast<uint8_t>(v.countOverride >= 0 ? v.countOverride : v.minutiae.size())});
        for (const StdMinutia& m : v.minutiae) {
            PutBe16(r, static_cast<uint32_t>(m.type) << 14 | (m.x & 0x3FFF));
            PutBe16(r, m.y);
            r.push_back(m.angle);
            r.push_back(0);
        }
        PutBe16(r, o.extendedLength);
        r.resize(r.size() + o.extendedLength, 0);
    }
    if (o.longLength) {
        SetBe32(r, 10, static_cast<uint32_t>(r.size()));
    } else {
        r[8] = static_cast<uint8_t>(r.size() >> 8);
        r[9] = static_cast<uint8_t>(r.size());
    }
    return r;
}

// A plausible view: `n` minutiae on a jittered grid inside the print, in
// the units given (ISO: thousandths of a cm; INCITS: pixels at 197 per cm).
inline std::vector<StdMinutia> GridMinutiae(int n, double unit, int seed = 1)
{
    std::vector<StdMinutia> m;
    uint32_t state = static_cast<uint32_t>(seed) * 2654435761u;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int i = 0; i < n; ++i) {
        const double px = 30 + (i % 7) * 28 + static_cast<double>(next() % 9);
        const double py = 40 + (i / 7) * 32 + static_cast<double>(next() % 9);
        m.push_back({static_cast<int>(1 + next() % 2), static_cast<uint16_t>(px * unit),
                     static_cast<uint16_t>(py * unit), static_cast<uint8_t>(next() % 256)});
    }
    return m;
}

} // namespace vela::engine::test

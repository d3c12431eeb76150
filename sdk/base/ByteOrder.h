// Little-endian fields of packed records. Every layer of the SDK reads and
// writes its records through these, so they sit in the SDK's root namespace.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace vela {

// Fields are copied in and out with memcpy so that no struct is ever laid over
// the bytes and unaligned offsets (a record at byte 9 of an entry, say) stay
// well defined.

template <typename T>
T ReadLe(const uint8_t* at)
{
    static_assert(std::is_trivially_copyable_v<T>);
    uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, at, sizeof(T));
    if constexpr (std::endian::native == std::endian::big)
        std::reverse(bytes, bytes + sizeof(T));
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

template <typename T>
void WriteLe(uint8_t* at, T value)
{
    static_assert(std::is_trivially_copyable_v<T>);
    uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    if constexpr (std::endian::native == std::endian::big)
        std::reverse(bytes, bytes + sizeof(T));
    std::memcpy(at, bytes, sizeof(T));
}

// Big-endian unsigned fields of the standard records (ISO and INCITS).
inline uint16_t ReadBe16(const uint8_t* at)
{
    return static_cast<uint16_t>(at[0] << 8 | at[1]);
}

inline uint32_t ReadBe32(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) << 24 | static_cast<uint32_t>(at[1]) << 16 |
           static_cast<uint32_t>(at[2]) << 8 | at[3];
}

inline void WriteBe16(uint8_t* at, uint16_t value)
{
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

inline void WriteBe32(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

} // namespace vela

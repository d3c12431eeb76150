// Little- and big-endian fields of packed records. Every layer of the SDK
// reads and writes its records through these, so they sit in the SDK's root
// namespace. The engine's records are little-endian; WSQ files and the ISO
// records are big-endian.
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

template <typename T, std::endian order>
T ReadOrdered(const uint8_t* at)
{
    static_assert(std::is_trivially_copyable_v<T>);
    uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, at, sizeof(T));
    if constexpr (std::endian::native != order)
        std::reverse(bytes, bytes + sizeof(T));
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

template <typename T, std::endian order>
void WriteOrdered(uint8_t* at, T value)
{
    static_assert(std::is_trivially_copyable_v<T>);
    uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    if constexpr (std::endian::native != order)
        std::reverse(bytes, bytes + sizeof(T));
    std::memcpy(at, bytes, sizeof(T));
}

template <typename T>
T ReadLe(const uint8_t* at)
{
    return ReadOrdered<T, std::endian::little>(at);
}

template <typename T>
void WriteLe(uint8_t* at, T value)
{
    WriteOrdered<T, std::endian::little>(at, value);
}

template <typename T>
T ReadBe(const uint8_t* at)
{
    return ReadOrdered<T, std::endian::big>(at);
}

template <typename T>
void WriteBe(uint8_t* at, T value)
{
    WriteOrdered<T, std::endian::big>(at, value);
}

} // namespace vela

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zel {

inline std::uint16_t beU16(const std::uint8_t* p) { return std::uint16_t((p[0] << 8) | p[1]); }
inline std::int16_t beS16(const std::uint8_t* p) { return std::int16_t(beU16(p)); }

inline std::int32_t leS32(const std::uint8_t* p)
{
    return std::int32_t(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16)
                        | (std::uint32_t(p[3]) << 24));
}
inline void putLeU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
inline void putLeS32(std::uint8_t* p, std::int32_t v)
{
    const auto u = std::uint32_t(v);
    p[0] = std::uint8_t(u);
    p[1] = std::uint8_t(u >> 8);
    p[2] = std::uint8_t(u >> 16);
    p[3] = std::uint8_t(u >> 24);
}
inline void putBeU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v >> 8);
    p[1] = std::uint8_t(v);
}
inline std::uint16_t leU16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }

// The station's checksum: the sum, modulo 65536, of big-endian 16-bit words
// starting at the first byte. An odd trailing byte is not part of any word.
inline std::uint16_t checksumAddUint16Be(std::span<const std::uint8_t> data, std::uint16_t init = 0)
{
    std::uint32_t sum = init;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        sum += beU16(data.data() + i);
    return std::uint16_t(sum);
}

} // namespace zel

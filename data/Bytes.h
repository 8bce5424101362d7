#pragma once

#include <QtEndian>

#include <cstddef>
#include <cstdint>
#include <span>

namespace zel {

// The station's checksum: the sum, modulo 65536, of big-endian 16-bit words
// starting at the first byte. An odd trailing byte is not part of any word.
inline std::uint16_t checksumAddUint16Be(std::span<const std::uint8_t> data, std::uint16_t init = 0)
{
    std::uint32_t sum = init;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        sum += qFromBigEndian<quint16>(data.data() + i);
    return std::uint16_t(sum);
}

} // namespace zel

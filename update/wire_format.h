// The two encodings that every packet and reply is made of: 16-bit fields
// travel most significant byte first, and Checksum8 guards the bytes before it.
#pragma once

#include <array>
#include <cstdint>
#include <span>

// The low 8 bits of the sum of the bytes: neither a CRC nor an exclusive-or,
// so carries out of the low byte are simply lost.
constexpr std::uint8_t Checksum8(std::span<const std::uint8_t> bytes)
{
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : bytes)
        sum = static_cast<std::uint8_t>(sum + byte);
    return sum;
}

// The high byte first, the low byte second.
constexpr std::array<std::uint8_t, 2> SplitBigEndian(std::uint16_t value)
{
    return {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value & 0xFF)};
}

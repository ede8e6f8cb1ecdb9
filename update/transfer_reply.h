// The product's 4-byte answer to a packet:
//
//   offset 0  2 bytes  the packet's block number, in the packet's byte order
//          2  1 byte   ReplyStatus
//          3  1 byte   Checksum8 of bytes 0 to 2
//
// Any 4 bytes make a reply; what they mean is judged elsewhere.
#pragma once

#include "update/transfer_packet.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// Any value other than these two means "not accepted".
enum class ReplyStatus : std::uint8_t {
    Accepted = 0,
    WriteFailed = 3,
};

class TransferReply {
public:
    static constexpr std::size_t kSize = 4;

    static constexpr std::size_t kEchoOffset = 0;
    static constexpr std::size_t kStatusOffset = 2;
    static constexpr std::size_t kChecksumOffset = 3;

    // The area that the exchange reads the reply into.
    std::span<std::uint8_t, kSize> Bytes() { return m_bytes; }
    std::span<const std::uint8_t, kSize> Bytes() const { return m_bytes; }

    ReplyStatus Status() const { return static_cast<ReplyStatus>(m_bytes[kStatusOffset]); }
    // Byte for byte: an echo with its bytes swapped does not match.
    bool EchoMatches(const TransferPacket& packet) const;
    bool ChecksumValid() const;

private:
    std::array<std::uint8_t, kSize> m_bytes{};
};

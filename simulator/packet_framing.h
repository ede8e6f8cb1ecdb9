// The product's view of the bytes that arrive: packets of 269 bytes back to
// back, with no start byte or length, so that only counting finds them.
#pragma once

#include "product.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class PacketFraming {
public:
    struct BlockNumberField {
        std::uint16_t blockNumber;
        std::size_t lastByte;  // where the field ends in the bytes looked at
    };

    // The block number fields that `bytes`, arriving next, would complete:
    // each names a packet on its way. Changes nothing.
    std::vector<BlockNumberField> BlockNumbersIn(std::span<const std::uint8_t> bytes) const;
    // Takes the bytes; returns the packets that they complete, in order.
    std::vector<SimulatedProduct::Packet> Add(std::span<const std::uint8_t> bytes);

private:
    std::vector<std::uint8_t> m_partial;  // the packet being received
};

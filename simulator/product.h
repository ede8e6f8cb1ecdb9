// The product on the far side of the adapter's serial line: it collects the
// bytes of each 269-byte packet and answers every packet with a 4-byte reply.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class SimulatedProduct {
public:
    static constexpr std::size_t kPacketSize = 269;
    static constexpr std::size_t kReplySize = 4;

    // Takes bytes as they arrive; returns the replies to the packets that
    // they complete.
    std::vector<std::uint8_t> Receive(const std::uint8_t* bytes, std::size_t count);

private:
    std::vector<std::uint8_t> m_packet;  // the packet being received
};

#include "product.h"

#include <numeric>

namespace {

constexpr std::size_t kBlockNumberOffset = 8;
constexpr std::uint8_t kAccepted = 0;

std::uint8_t Checksum8(const std::uint8_t* bytes, std::size_t count)
{
    return static_cast<std::uint8_t>(std::accumulate(bytes, bytes + count, 0u));
}

}  // namespace

std::vector<std::uint8_t> SimulatedProduct::Receive(const std::uint8_t* bytes, std::size_t count)
{
    std::vector<std::uint8_t> replies;
    for (std::size_t i = 0; i < count; ++i) {
        m_packet.push_back(bytes[i]);
        if (m_packet.size() < kPacketSize)
            continue;
        // The reply echoes the block number in its wire order.
        std::uint8_t reply[kReplySize] = {m_packet[kBlockNumberOffset],
                                          m_packet[kBlockNumberOffset + 1], kAccepted, 0};
        reply[3] = Checksum8(reply, 3);
        replies.insert(replies.end(), reply, reply + kReplySize);
        m_packet.clear();
    }
    return replies;
}

#include "packet_framing.h"

#include <algorithm>

std::vector<PacketFraming::BlockNumberField> PacketFraming::BlockNumbersIn(
    std::span<const std::uint8_t> bytes) const
{
    constexpr std::size_t kLowByte = SimulatedProduct::kBlockNumberOffset + 1;
    std::vector<BlockNumberField> fields;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if ((m_partial.size() + i) % SimulatedProduct::kPacketSize != kLowByte)
            continue;
        // The high byte came just before: in these bytes, or in an earlier write.
        const std::uint8_t high = i > 0 ? bytes[i - 1] : m_partial.back();
        fields.push_back({static_cast<std::uint16_t>(high << 8 | bytes[i]), i});
    }
    return fields;
}

std::vector<SimulatedProduct::Packet> PacketFraming::Add(std::span<const std::uint8_t> bytes)
{
    std::vector<SimulatedProduct::Packet> packets;
    for (const std::uint8_t byte : bytes) {
        m_partial.push_back(byte);
        if (m_partial.size() < SimulatedProduct::kPacketSize)
            continue;
        SimulatedProduct::Packet& packet = packets.emplace_back();
        std::ranges::copy(m_partial, packet.begin());
        m_partial.clear();
    }
    return packets;
}

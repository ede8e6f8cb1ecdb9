#include "update/packet_exchange.h"

#include <array>
#include <cstdint>

void ExchangePacket(ComDevice& link, const TransferPacket& packet, TransferReply& reply)
{
    // The link hears its own transmission: the packet comes back first.
    // Only its length matters, not its content.
    std::array<std::uint8_t, TransferPacket::kSize> echo{};

    link.Purge();
    link.Write(packet.Bytes().data(), TransferPacket::kSize);
    link.Read(echo.data(), TransferPacket::kSize);
    link.Read(reply.Bytes().data(), TransferReply::kSize);
}

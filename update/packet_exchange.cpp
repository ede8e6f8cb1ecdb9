#include "update/packet_exchange.h"

#include "adapter/d2xx.h"

#include <array>
#include <cstdint>

void ExchangePacket(Kestro2& adapter, const TransferPacket& packet, TransferReply& reply)
{
    // The adapter hears its own transmission: the packet comes back first.
    // Only its length matters, not its content.
    std::array<std::uint8_t, TransferPacket::kSize> echo{};

    adapter.Purge(FT_PURGE_RX);
    adapter.Write(packet.Bytes().data(), TransferPacket::kSize);
    adapter.Read(echo.data(), TransferPacket::kSize);
    adapter.Read(reply.Bytes().data(), TransferReply::kSize);
}

#include "update/transfer_packet.h"

#include "update/wire_format.h"

#include <algorithm>

static_assert(TransferPacket::kPayloadOffset + TransferPacket::kPayloadSize == TransferPacket::kChecksumOffset);
static_assert(TransferPacket::kChecksumOffset + 1 == TransferPacket::kSize);

void TransferPacket::SetProductName(const ProductName& name)
{
    std::ranges::copy(name, m_bytes.begin() + kNameOffset);
}

void TransferPacket::SetBlockNumber(std::uint16_t number)
{
    SetField(kBlockNumberOffset, number);
}

void TransferPacket::SetBlockCount(std::uint16_t count)
{
    SetField(kBlockCountOffset, count);
}

void TransferPacket::FillPayload(std::uint8_t value)
{
    std::ranges::fill(Payload(), value);
}

std::span<std::uint8_t, TransferPacket::kPayloadSize> TransferPacket::Payload()
{
    return std::span(m_bytes).subspan<kPayloadOffset, kPayloadSize>();
}

void TransferPacket::Finalize()
{
    m_bytes[kChecksumOffset] = Checksum8(std::span(m_bytes).first<kChecksumOffset>());
}

std::span<const std::uint8_t, 2> TransferPacket::BlockNumberBytes() const
{
    return Bytes().subspan<kBlockNumberOffset, 2>();
}

void TransferPacket::SetField(std::size_t offset, std::uint16_t value)
{
    std::ranges::copy(SplitBigEndian(value), m_bytes.begin() + offset);
}

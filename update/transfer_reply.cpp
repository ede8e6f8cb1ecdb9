#include "update/transfer_reply.h"

#include "update/wire_format.h"

#include <algorithm>

bool TransferReply::EchoMatches(const TransferPacket& packet) const
{
    return std::ranges::equal(Bytes().subspan<kEchoOffset, 2>(), packet.BlockNumberBytes());
}

bool TransferReply::ChecksumValid() const
{
    return m_bytes[kChecksumOffset] == Checksum8(Bytes().first<kChecksumOffset>());
}

#include "product.h"

#include <algorithm>
#include <numeric>
#include <span>

namespace {

using Packet = SimulatedProduct::Packet;

std::uint8_t Checksum8(const std::uint8_t* bytes, std::size_t count)
{
    return static_cast<std::uint8_t>(std::accumulate(bytes, bytes + count, 0u));
}

// Fields travel most significant byte first.
std::uint16_t FieldAt(const Packet& packet, std::size_t offset)
{
    return static_cast<std::uint16_t>(packet[offset] << 8 | packet[offset + 1]);
}

SimulatedProduct::Name NameOf(const Packet& packet)
{
    SimulatedProduct::Name name{};
    std::copy_n(packet.begin(), name.size(), name.begin());
    return name;
}

}  // namespace

SimulatedProduct::SimulatedProduct(std::optional<Name> name, const std::filesystem::path& imagePath)
    : m_name(name), m_image(imagePath)
{
}

SimulatedProduct::Answer SimulatedProduct::Receive(const Packet& packet, std::optional<std::uint8_t> scriptedStatus)
{
    const std::uint8_t verdict = Judge(packet);
    const std::uint8_t status = scriptedStatus.value_or(verdict);
    if (verdict == kAccepted && status == kAccepted)
        Take(packet);
    // The echo keeps the packet's byte order.
    Reply reply = {packet[kBlockNumberOffset], packet[kBlockNumberOffset + 1], status, 0};
    reply[3] = Checksum8(reply.data(), 3);
    return {verdict, reply};
}

std::uint8_t SimulatedProduct::Judge(const Packet& packet) const
{
    if (Checksum8(packet.data(), kChecksumOffset) != packet[kChecksumOffset])
        return kRefused;
    const std::uint16_t number = FieldAt(packet, kBlockNumberOffset);
    if (number == kHeaderBlockNumber)
        return m_name && NameOf(packet) != *m_name ? kOtherProduct : kAccepted;
    const bool fitsHeader = m_header && NameOf(packet) == m_header->name &&
                            FieldAt(packet, kBlockCountOffset) == m_header->blockCount &&
                            number < m_header->blockCount;
    return fitsHeader ? kAccepted : kRefused;
}

void SimulatedProduct::Take(const Packet& packet)
{
    const std::uint16_t number = FieldAt(packet, kBlockNumberOffset);
    if (number == kHeaderBlockNumber) {
        m_header = Header{NameOf(packet), FieldAt(packet, kBlockCountOffset)};
        m_image.Start(m_header->blockCount);
    } else {
        m_image.Store(number, std::span(packet).subspan<kPayloadOffset, ImageFile::kBlockSize>());
    }
}

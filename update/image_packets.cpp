#include "update/image_packets.h"

namespace {

constexpr std::uint8_t kHeaderPayloadFill = 0x00;

}  // namespace

static_assert(TransferPacket::kPayloadSize == UpdateImage::kBlockSize);

void BuildHeaderPacket(TransferPacket& packet, const UpdateImage& image)
{
    packet.SetProductName(image.Name());
    packet.SetBlockCount(image.BlockCount());
    packet.SetBlockNumber(TransferPacket::kHeaderBlockNumber);
    packet.FillPayload(kHeaderPayloadFill);
    packet.Finalize();
}

void BuildDataPacket(TransferPacket& packet, UpdateImage& image, std::uint16_t number)
{
    packet.SetBlockNumber(number);
    // The image's reader fills the payload with 0xFF before it reads.
    image.ReadNextBlock(packet.Payload());
    packet.Finalize();
}

// The wire encodings and the packets that an update image makes.
#include "tests/support/param_name.h"
#include "tests/support/update_folder.h"
#include "tests/support/working_folder.h"
#include "update/image_packets.h"
#include "update/update_image.h"
#include "update/wire_format.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <numeric>
#include <ostream>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

TEST(Checksum8, SumsTheBytesAndDropsTheCarries)
{
    const std::pair<Bytes, std::uint8_t> cases[] = {
        {{}, 0x00},
        {{0x61, 0x62, 0x63}, 0x26},  // 0x126
        {{0xFF, 0x01}, 0x00},
        {{0xFF, 0xFF, 0xFF}, 0xFD},
        {{0x80, 0x01}, 0x81},  // not an exclusive-or
    };
    for (const auto& [bytes, checksum] : cases)
        EXPECT_EQ(Checksum8(bytes), checksum) << testing::PrintToString(bytes);
}

TEST(SplitBigEndian, PutsTheHighByteFirst)
{
    const std::pair<std::uint16_t, std::array<std::uint8_t, 2>> cases[] = {
        {0x0002, {0x00, 0x02}},
        {0x0100, {0x01, 0x00}},
        {0x1234, {0x12, 0x34}},
        {0xFFFF, {0xFF, 0xFF}},
    };
    for (const auto& [value, bytes] : cases)
        EXPECT_EQ(SplitBigEndian(value), bytes) << value;
}

namespace {

const ProductName kName = NameOf("ABCDEFGH");

// Product name ABCDEFGH, block count 3, the block number given, the payload
// starting as given and filled up to 256 bytes, the checksum given.
Bytes PacketOf(std::array<std::uint8_t, 2> number, Bytes payload, std::uint8_t fill, std::uint8_t checksum)
{
    Bytes packet = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', number[0], number[1], 0x00, 0x03};
    payload.resize(256, fill);
    packet.insert(packet.end(), payload.begin(), payload.end());
    packet.push_back(checksum);
    return packet;
}

Bytes Ascending(std::uint8_t first, std::size_t count)
{
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

// Block 0 is full, block 1 holds 01..0A and 246 bytes FF of its own, block 2
// holds only 01..0A where the image ends.
Bytes ThreeBlockPayload()
{
    Bytes payload = Ascending(0x00, 256);
    Bytes block1 = Ascending(0x01, 10);
    block1.resize(256, 0xFF);
    payload.insert(payload.end(), block1.begin(), block1.end());
    const Bytes block2 = Ascending(0x01, 10);
    payload.insert(payload.end(), block2.begin(), block2.end());
    return payload;
}

struct ImagePacket {
    const char* name;
    int block;  // the last data packet built, -1 for the header packet alone
    Bytes expected;
};

void PrintTo(const ImagePacket& packet, std::ostream* out)
{
    *out << packet.name;
}

}  // namespace

class ImagePackets : public testing::TestWithParam<ImagePacket> {
protected:
    WorkingFolder m_folder;
};

// The header and data packets of the protocol's worked example, built from an
// update file: one packet rebuilt in place, block after block.
TEST_P(ImagePackets, MatchTheWorkedExample)
{
    WriteUpdateFile("image.bin", kName, ThreeBlockPayload());
    UpdateImage image = OpenImage();
    ASSERT_EQ(image.BlockCount(), 3);

    TransferPacket packet;
    BuildHeaderPacket(packet, image);
    for (int block = 0; block <= GetParam().block; ++block)
        BuildDataPacket(packet, image, static_cast<std::uint16_t>(block));
    EXPECT_EQ(Bytes(packet.Bytes().begin(), packet.Bytes().end()), GetParam().expected);
}

// Blocks 1 and 2 carry equal payloads: the checksum covers the block number.
INSTANTIATE_TEST_SUITE_P(
    WorkedExample, ImagePackets,
    testing::Values(ImagePacket{"HeaderPacket", -1, PacketOf({0xFF, 0xFF}, {}, 0x00, 0x25)},
                    ImagePacket{"Block0", 0, PacketOf({0x00, 0x00}, Ascending(0x00, 256), 0xFF, 0xA7)},
                    ImagePacket{"Block1", 1, PacketOf({0x00, 0x01}, Ascending(0x01, 10), 0xFF, 0x69)},
                    ImagePacket{"Block2", 2, PacketOf({0x00, 0x02}, Ascending(0x01, 10), 0xFF, 0x6A)}),
    ParamName<ImagePacket>);

// The simulated product on its own: its verdict on each packet, its reply,
// and the image that it keeps.
#include "simulator/product.h"
#include "tests/support/file_bytes.h"
#include "tests/support/working_folder.h"
#include "update/transfer_packet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <optional>
#include <span>
#include <vector>

namespace {

using Packet = SimulatedProduct::Packet;

const ProductName kName = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
const ProductName kOtherName = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'X'};
constexpr std::uint16_t kHeader = TransferPacket::kHeaderBlockNumber;

// A packet as the program builds it; a data packet's payload counts up from
// `firstByte`, so that a block stored at the wrong place shows.
Packet MakePacket(std::uint16_t blockNumber, std::uint16_t blockCount = 3, const ProductName& name = kName,
                  std::uint8_t firstByte = 0)
{
    TransferPacket packet;
    packet.SetProductName(name);
    packet.SetBlockCount(blockCount);
    packet.SetBlockNumber(blockNumber);
    if (blockNumber == kHeader)
        packet.FillPayload(0x00);
    else
        std::iota(packet.Payload().begin(), packet.Payload().end(), firstByte);
    packet.Finalize();
    Packet bytes{};
    std::ranges::copy(packet.Bytes(), bytes.begin());
    return bytes;
}

Packet WithBadChecksum(Packet packet)
{
    ++packet[TransferPacket::kChecksumOffset];
    return packet;
}

std::span<const std::uint8_t, TransferPacket::kPayloadSize> PayloadOf(const Packet& packet)
{
    return std::span(packet).subspan<TransferPacket::kPayloadOffset, TransferPacket::kPayloadSize>();
}

}  // namespace

TEST(SimulatedProduct, JudgesEachPacketAndEchoesItsBlockNumber)
{
    const struct {
        const char* what;
        std::optional<ProductName> productName;
        bool afterHeader;  // the product has taken the header for ABCDEFGH, 3 blocks
        Packet packet;
        std::uint8_t status;
    } cases[] = {
        {"header for this product", kName, false, MakePacket(kHeader), 0},
        {"header for another product", kName, false, MakePacket(kHeader, 3, kOtherName), 1},
        {"header for a product without a name", std::nullopt, false, MakePacket(kHeader, 3, kOtherName), 0},
        {"header with a bad checksum", kName, false, WithBadChecksum(MakePacket(kHeader)), 5},
        {"header for another product with a bad checksum", kName, false,
         WithBadChecksum(MakePacket(kHeader, 3, kOtherName)), 5},
        {"block before any header", std::nullopt, false, MakePacket(0), 5},
        {"last block after its header", kName, true, MakePacket(2), 0},
        {"block with a bad checksum", kName, true, WithBadChecksum(MakePacket(0)), 5},
        {"block with another name", std::nullopt, true, MakePacket(0, 3, kOtherName), 5},
        {"block with another block count", kName, true, MakePacket(0, 4), 5},
        {"block number equal to the count", kName, true, MakePacket(3), 5},
        {"block number beyond the count", kName, true, MakePacket(0x1234), 5},
    };
    for (const auto& c : cases) {
        SimulatedProduct product(c.productName, {});
        if (c.afterHeader) {
            ASSERT_EQ(product.Receive(MakePacket(kHeader)).verdict, 0) << c.what;
        }
        const SimulatedProduct::Answer answer = product.Receive(c.packet);
        EXPECT_EQ(answer.verdict, c.status) << c.what;
        const std::uint8_t high = c.packet[TransferPacket::kBlockNumberOffset];
        const std::uint8_t low = c.packet[TransferPacket::kBlockNumberOffset + 1];
        const SimulatedProduct::Reply reply = {high, low, c.status, static_cast<std::uint8_t>(high + low + c.status)};
        EXPECT_EQ(answer.reply, reply) << c.what;
    }
}

// The product acts on a packet only when its own verdict and the reply both
// say accepted; each header it takes starts the image afresh.
TEST(SimulatedProduct, KeepsWhatItTookInTheImageFile)
{
    WorkingFolder folder;
    const std::filesystem::path image = "image.bin";
    std::ofstream(image) << "left by an earlier process";
    SimulatedProduct product(kName, image);
    EXPECT_FALSE(std::filesystem::exists(image)) << "an earlier image passes for this one";

    product.Receive(MakePacket(kHeader, 3, kOtherName));
    EXPECT_FALSE(std::filesystem::exists(image)) << "the image of a refused header";
    product.Receive(MakePacket(kHeader));
    EXPECT_EQ(ReadFileBytes(image), std::vector<std::uint8_t>(3 * 256, 0xFF));

    const Packet block0 = MakePacket(0, 3, kName, 0x10);
    const Packet block2 = MakePacket(2, 3, kName, 0x80);
    EXPECT_EQ(product.Receive(block2).reply[2], 0);
    EXPECT_EQ(product.Receive(block0).reply[2], 0);
    EXPECT_EQ(product.Receive(MakePacket(1, 3, kName, 0x40), 5).reply[2], 5) << "the scripted status";
    EXPECT_EQ(product.Receive(WithBadChecksum(MakePacket(1, 3, kName, 0x40)), 0).reply[2], 0);

    std::vector<std::uint8_t> expected(3 * 256, 0xFF);  // block 1 was never taken
    std::ranges::copy(PayloadOf(block0), expected.begin());
    std::ranges::copy(PayloadOf(block2), expected.begin() + 2 * 256);
    EXPECT_EQ(ReadFileBytes(image), expected);

    product.Receive(MakePacket(kHeader, 1));
    EXPECT_EQ(ReadFileBytes(image), std::vector<std::uint8_t>(256, 0xFF));
    product.Receive(MakePacket(kHeader, 0));
    EXPECT_TRUE(std::filesystem::exists(image));
    EXPECT_EQ(std::filesystem::file_size(image), 0u);
    product.Receive(MakePacket(kHeader, 2), 3);
    EXPECT_EQ(std::filesystem::file_size(image), 0u) << "a header refused by a scripted status";
}
